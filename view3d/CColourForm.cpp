#include "CColourForm.h"

#include <QColorDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPixmap>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "CColourPicker.h"
#include "COpenGL3D.h"
#include "SurfaceMapPainter.h"

namespace vantor::view3d {

namespace {

ChartColour FromQColor(const QColor& c) {
    return {static_cast<float>(c.redF()), static_cast<float>(c.greenF()), static_cast<float>(c.blueF())};
}

QSpinBox* Spin(const QString& name, int lo, int hi, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setRange(lo, hi);
    s->setAccessibleName(name);
    return s;
}

}  // namespace

CColourForm::CColourForm(COpenGL3D& chart, std::function<void()> changed, QWidget* parent)
    : QWidget(parent), chart_(chart), changed_(std::move(changed)) {
    setAccessibleName(QStringLiteral("Color"));
    back_ = new CColourPicker(QStringLiteral("Back Color"), this);
    border_ = new CColourPicker(QStringLiteral("Border Color"), this);
    gradient_ = new QRadioButton(QStringLiteral("Gradient"), this);
    customMode_ = new QRadioButton(QStringLiteral("Custom"), this);
    gradient_->setAccessibleName(gradient_->text());
    customMode_->setAccessibleName(customMode_->text());

    gradientGroup_ = new QGroupBox(QStringLiteral("Gradient color"), this);
    gradientSpin_ = Spin(QStringLiteral("Division (Gradient)"), 0, 20, gradientGroup_);
    minimum_ = new CColourPicker(QStringLiteral("Minimum"), gradientGroup_);
    maximum_ = new CColourPicker(QStringLiteral("Maximum"), gradientGroup_);
    auto* g = new QFormLayout(gradientGroup_);
    g->addRow(QStringLiteral("Division"), gradientSpin_);
    g->addRow(minimum_);
    g->addRow(maximum_);

    customGroup_ = new QGroupBox(QStringLiteral("Custom color"), this);
    customSpin_ = Spin(QStringLiteral("Division (Custom)"), 1, 20, customGroup_);
    custom_ = new QListWidget(customGroup_);
    custom_->setAccessibleName(QStringLiteral("Custom colors"));
    auto* c = new QFormLayout(customGroup_);
    c->addRow(QStringLiteral("Division"), customSpin_);
    c->addRow(custom_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(back_);
    layout->addWidget(border_);
    layout->addWidget(gradient_);
    layout->addWidget(customMode_);
    layout->addWidget(gradientGroup_);
    layout->addWidget(customGroup_);
    layout->addStretch();

    for (CColourPicker* p : {back_, border_, minimum_, maximum_})
        connect(p, &CColourPicker::colourChanged, this, [this] { apply(); });
    for (QRadioButton* r : {gradient_, customMode_}) connect(r, &QRadioButton::toggled, this, [this] { apply(); });
    for (QSpinBox* s : {gradientSpin_, customSpin_}) connect(s, &QSpinBox::valueChanged, this, [this] { apply(); });
    connect(custom_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = custom_->row(item);
        const QColor colour = QColorDialog::getColor(item->background().color(), this);
        if (colour.isValid()) setCustomColour(row, colour);
    });
    sync();
}

void CColourForm::fillCustomList() {
    const ColourBands& b = chart_.Settings().bands;
    custom_->clear();
    for (int i = 0; i < b.customCount && i < static_cast<int>(b.custom.size()); ++i) {
        const QColor colour = render::ToQColor(b.custom[static_cast<std::size_t>(i)]);
        QPixmap swatch(40, 12);
        swatch.fill(colour);
        auto* item = new QListWidgetItem(QIcon(swatch), QStringLiteral("Color %1").arg(i + 1), custom_);
        item->setBackground(colour);
        item->setForeground(colour.lightness() < 128 ? Qt::white : Qt::black);
    }
}

void CColourForm::sync() {
    syncing_ = true;
    const ChartSettings& s = chart_.Settings();
    back_->setColour(render::ToQColor(s.bands.background));
    border_->setColour(render::ToQColor(s.border));
    minimum_->setColour(render::ToQColor(s.bands.start));
    maximum_->setColour(render::ToQColor(s.bands.end));
    gradient_->setChecked(s.bands.gradient);
    customMode_->setChecked(!s.bands.gradient);
    gradientGroup_->setEnabled(s.bands.gradient);
    customGroup_->setEnabled(!s.bands.gradient);
    gradientSpin_->setValue(s.bands.divisions / 2);
    customSpin_->setValue(s.bands.customCount);
    fillCustomList();
    syncing_ = false;
}

void CColourForm::apply() {
    if (syncing_) return;
    ChartSettings& s = chart_.Settings();
    s.bands.background = FromQColor(back_->colour());
    s.border = FromQColor(border_->colour());
    s.bands.start = FromQColor(minimum_->colour());
    s.bands.end = FromQColor(maximum_->colour());
    s.bands.gradient = gradient_->isChecked();
    // The divisions of the gradient are always even.
    s.bands.divisions = 2 * gradientSpin_->value();
    s.bands.customCount = customSpin_->value();
    changed_();
}

void CColourForm::setCustomColour(int row, const QColor& colour) {
    ChartSettings& s = chart_.Settings();
    if (row < 0 || row >= s.bands.customCount || row >= static_cast<int>(s.bands.custom.size())) return;
    s.bands.custom[static_cast<std::size_t>(row)] = FromQColor(colour);
    changed_();
}

}  // namespace vantor::view3d
