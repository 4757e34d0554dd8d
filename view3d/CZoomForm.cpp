#include "CZoomForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "COpenGL3D.h"

namespace vantor::view3d {

namespace {

// Which axes move together for each link setting (bits x, y, z).
constexpr int kLinked[5] = {0, 0b011, 0b101, 0b110, 0b111};

}  // namespace

CZoomForm::CZoomForm(COpenGL3D& chart, std::function<void()> changed, QWidget* parent)
    : QWidget(parent), chart_(chart), changed_(std::move(changed)) {
    setAccessibleName(QStringLiteral("Zoom"));
    auto* linkGroup = new QGroupBox(QStringLiteral("Link"), this);
    auto* linkLayout = new QGridLayout(linkGroup);
    const char* links[] = {"NO", "XY", "XZ", "YZ", "XYZ"};
    for (int i = 0; i < 5; ++i) {
        link_[i] = new QRadioButton(QString::fromLatin1(links[i]), linkGroup);
        link_[i]->setAccessibleName(link_[i]->text());
        linkLayout->addWidget(link_[i], 0, i);
        connect(link_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (syncing_ || !on) return;
            chart_.Settings().link = i;
            changed_();
        });
    }
    const char* axes[] = {"X", "Y", "Z"};
    for (int a = 0; a < 3; ++a) {
        scale_[a] = new QSlider(Qt::Horizontal, linkGroup);
        scale_[a]->setRange(1, 30);  // tenths of the scale
        scale_[a]->setAccessibleName(QString::fromLatin1(axes[a]));
        linkLayout->addWidget(new QLabel(QString::fromLatin1(axes[a]), linkGroup), a + 1, 0);
        linkLayout->addWidget(scale_[a], a + 1, 1, 1, 4);
        connect(scale_[a], &QSlider::valueChanged, this, [this, a](int v) { scaleMoved(a, v); });
    }

    auto* moveGroup = new QGroupBox(QStringLiteral("Move or rotation"), this);
    type_ = new QComboBox(moveGroup);
    type_->setAccessibleName(QStringLiteral("Type"));
    for (const char* t : {"X", "Y", "Z", "Y + X", "Z + X", "Z + Y", "Z + Y + X", "None"})
        type_->addItem(QString::fromLatin1(t));
    const char* modes[] = {"Move", "Random rotation", "Center rotation"};
    speed_ = new QSlider(Qt::Horizontal, moveGroup);
    speed_->setRange(1, 10);
    speed_->setAccessibleName(QStringLiteral("Speed"));
    auto* moveLayout = new QFormLayout(moveGroup);
    moveLayout->addRow(QStringLiteral("Type"), type_);
    for (int m = 0; m < 3; ++m) {
        mode_[m] = new QRadioButton(QString::fromLatin1(modes[m]), moveGroup);
        mode_[m]->setAccessibleName(mode_[m]->text());
        moveLayout->addRow(mode_[m]);
        connect(mode_[m], &QRadioButton::toggled, this, [this, m](bool on) {
            if (syncing_ || !on) return;
            chart_.SetMode(m);
            changed_();
        });
    }
    auto* speedRow = new QHBoxLayout;
    speedRow->addWidget(new QLabel(QStringLiteral("Slow"), moveGroup));
    speedRow->addWidget(speed_);
    speedRow->addWidget(new QLabel(QStringLiteral("Fast"), moveGroup));
    moveLayout->addRow(speedRow);
    connect(type_, &QComboBox::currentIndexChanged, this, [this](int pattern) {
        if (syncing_) return;
        chart_.Settings().pattern = pattern;
        changed_();  // stops the timer, and starts it again for a pattern
    });
    connect(speed_, &QSlider::valueChanged, this, [this](int v) {
        if (syncing_) return;
        chart_.speed = static_cast<float>(v);
        changed_();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(linkGroup);
    layout->addWidget(moveGroup);
    layout->addStretch();
    sync();
}

void CZoomForm::scaleMoved(int axis, int value) {
    if (syncing_) return;
    ChartSettings& s = chart_.Settings();
    float* scales[3] = {&s.sx, &s.sy, &s.sz};
    const int linked = kLinked[std::clamp(s.link, 0, 4)];
    const float v = static_cast<float>(value) / 10.0f;
    *scales[axis] = v;
    if (linked & (1 << axis))
        for (int a = 0; a < 3; ++a)
            if (linked & (1 << a)) *scales[a] = v;
    changed_();
}

void CZoomForm::sync() {
    syncing_ = true;
    const ChartSettings& s = chart_.Settings();
    link_[std::clamp(s.link, 0, 4)]->setChecked(true);
    const float scales[3] = {s.sx, s.sy, s.sz};
    for (int a = 0; a < 3; ++a) scale_[a]->setValue(static_cast<int>(scales[a] * 10.0f + 0.5f));
    type_->setCurrentIndex(std::clamp(s.pattern, 0, kNoAnimation));
    mode_[std::clamp(s.mode, 0, 2)]->setChecked(true);
    speed_->setValue(static_cast<int>(chart_.speed + 0.5f));
    syncing_ = false;
}

}  // namespace vantor::view3d
