#include "CForm3D.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "CColourPicker.h"
#include "COpenGL3D.h"
#include "SurfaceMapPainter.h"

namespace vantor::view3d {

namespace {

template <class T>
T* Named(const QString& text, QWidget* parent) {
    auto* w = new T(text, parent);
    w->setAccessibleName(text);
    return w;
}

}  // namespace

CForm3D::CForm3D(COpenGL3D& chart, std::function<void()> changed, QWidget* parent)
    : QWidget(parent), chart_(chart), changed_(std::move(changed)) {
    setAccessibleName(QStringLiteral("Map"));
    auto* mapGroup = new QGroupBox(QStringLiteral("Map name"), this);
    maps_ = new QListWidget(mapGroup);
    maps_->setAccessibleName(QStringLiteral("Map name"));
    (new QVBoxLayout(mapGroup))->addWidget(maps_);
    connect(maps_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (syncing_ || row < 0) return;
        chart_.SetCurrent(row);
        changed_();
    });

    auto* typeGroup = new QGroupBox(QStringLiteral("Types"), this);
    solid_ = Named<QRadioButton>(QStringLiteral("Solid"), typeGroup);
    grid_ = Named<QRadioButton>(QStringLiteral("Grid"), typeGroup);
    flat_ = Named<QRadioButton>(QStringLiteral("Flat"), typeGroup);
    auto* types = new QHBoxLayout(typeGroup);
    const std::pair<QRadioButton*, int> typeButtons[] = {{solid_, kSolid}, {grid_, kGrid}, {flat_, kFlat}};
    for (auto [button, type] : typeButtons) {
        types->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this, type](bool on) {
            if (on) setType(type);
        });
    }

    auto* componentGroup = new QGroupBox(QStringLiteral("Components"), this);
    auto* components = new QGridLayout(componentGroup);
    border_ = Named<QCheckBox>(QStringLiteral("Border"), componentGroup);
    axis_ = Named<QCheckBox>(QStringLiteral("Axis"), componentGroup);
    side_ = Named<QCheckBox>(QStringLiteral("Side"), componentGroup);
    legend_ = Named<QCheckBox>(QStringLiteral("Legend"), componentGroup);
    base_ = Named<QCheckBox>(QStringLiteral("Base"), componentGroup);
    marker_ = Named<QCheckBox>(QStringLiteral("Marker"), componentGroup);
    int k = 0;
    for (QCheckBox* box : {border_, axis_, side_, legend_, base_, marker_}) {
        components->addWidget(box, k / 2, k % 2);
        ++k;
        connect(box, &QCheckBox::toggled, this, [this] { takeComponents(); });
    }

    auto* markerGroup = new QGroupBox(QStringLiteral("Marker"), this);
    line_ = Named<QCheckBox>(QStringLiteral("Line"), markerGroup);
    label_ = Named<QCheckBox>(QStringLiteral("Lable"), markerGroup);
    markerColours_ = new QComboBox(markerGroup);
    markerColours_->setAccessibleName(QStringLiteral("Marker color"));
    for (int i = 0; i < kPopupColourCount; ++i) markerColours_->addItem(QString::fromLatin1(PopupColours()[i].name));
    markerColour_ = new CColourPicker(QStringLiteral("Color"), markerGroup);
    markerLevel_ = new QSlider(Qt::Vertical, markerGroup);
    markerLevel_->setAccessibleName(QStringLiteral("Marker level"));
    auto* markerLayout = new QGridLayout(markerGroup);
    markerLayout->addWidget(line_, 0, 0);
    markerLayout->addWidget(label_, 1, 0);
    markerLayout->addWidget(markerColours_, 2, 0);
    markerLayout->addWidget(markerColour_, 3, 0);
    markerLayout->addWidget(markerLevel_, 0, 1, 4, 1);
    markerLevel_->setRange(0, 100);
    connect(label_, &QCheckBox::toggled, this, [this](bool on) {
        if (syncing_) return;
        chart_.Settings().label = on;
        changed_();
    });
    connect(line_, &QCheckBox::toggled, this, [this](bool on) {
        if (syncing_) return;
        chart_.Settings().markerLine = on;
        changed_();
    });
    connect(markerLevel_, &QSlider::valueChanged, this, [this](int level) {
        if (syncing_) return;
        chart_.Settings().markerLevel = level;
        changed_();
    });
    const auto setMarkerColour = [this](const QColor& c) {
        if (syncing_) return;
        chart_.Settings().markerColour = {static_cast<float>(c.redF()), static_cast<float>(c.greenF()),
                                          static_cast<float>(c.blueF())};
        changed_();
    };
    connect(markerColour_, &CColourPicker::colourChanged, this, setMarkerColour);
    connect(markerColours_, &QComboBox::currentIndexChanged, this, [setMarkerColour](int i) {
        if (i < 0 || i >= kPopupColourCount) return;
        const NamedColour& n = PopupColours()[i];
        setMarkerColour(QColor(n.r, n.g, n.b));
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mapGroup, 1);
    layout->addWidget(typeGroup);
    layout->addWidget(componentGroup);
    layout->addWidget(markerGroup);
    sync();
}

void CForm3D::setType(int type) {
    if (syncing_) return;
    ChartSettings& s = chart_.Settings();
    s.surfaceType = type;
    if (type == kFlat) {
        // The flat picture lies in one plane: no walls, no base, always its outline.
        s.side = s.base = false;
        s.border_ = true;
    } else {
        takeComponents();
        return;
    }
    changed_();
}

void CForm3D::takeComponents() {
    if (syncing_) return;
    ChartSettings& s = chart_.Settings();
    s.border_ = border_->isChecked();
    s.axis = axis_->isChecked();
    s.legend = legend_->isChecked();
    s.marker = marker_->isChecked();
    if (s.surfaceType != kFlat) {
        s.side = side_->isChecked();
        s.base = base_->isChecked();
    }
    changed_();
}

void CForm3D::sync() {
    syncing_ = true;
    if (loadedGeneration_ != chart_.Generation()) {
        loadedGeneration_ = chart_.Generation();
        maps_->clear();
        for (int i = 0; i < chart_.SetCount(); ++i) maps_->addItem(QString::fromStdString(chart_.Set(i).name));
    }
    if (chart_.HasData()) maps_->setCurrentRow(chart_.Current());
    const ChartSettings& s = chart_.Settings();
    solid_->setChecked(s.surfaceType == kSolid);
    grid_->setChecked(s.surfaceType == kGrid);
    flat_->setChecked(s.surfaceType == kFlat);
    border_->setChecked(s.border_);
    axis_->setChecked(s.axis);
    side_->setChecked(s.side);
    legend_->setChecked(s.legend);
    base_->setChecked(s.base);
    marker_->setChecked(s.marker);
    label_->setChecked(s.label);
    line_->setChecked(s.markerLine);
    markerLevel_->setValue(s.markerLevel);
    const QColor marker = render::ToQColor(s.markerColour);
    markerColour_->setColour(marker);
    for (int i = 0; i < kPopupColourCount; ++i)
        if (QColor(PopupColours()[i].r, PopupColours()[i].g, PopupColours()[i].b) == marker)
            markerColours_->setCurrentIndex(i);
    const bool flat = s.surfaceType == kFlat;
    side_->setEnabled(!flat);
    base_->setEnabled(!flat);
    border_->setEnabled(!flat);
    syncing_ = false;
}

}  // namespace vantor::view3d
