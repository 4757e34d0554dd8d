#pragma once
// The map panel: the list of data sets, the surface type, the drawn
// components and the marker group.

#include <functional>

#include <QWidget>

class QCheckBox;
class QComboBox;
class QListWidget;
class QRadioButton;
class QSlider;

namespace vantor::view3d {

class COpenGL3D;
class CColourPicker;

class CForm3D : public QWidget {
    Q_OBJECT
public:
    CForm3D(COpenGL3D& chart, std::function<void()> changed, QWidget* parent = nullptr);
    void sync();
    QListWidget& mapList() { return *maps_; }

private:
    void setType(int type);
    void takeComponents();

    COpenGL3D& chart_;
    std::function<void()> changed_;
    QListWidget* maps_;
    QRadioButton *solid_, *grid_, *flat_;
    QCheckBox *border_, *axis_, *side_, *legend_, *base_, *marker_;
    QCheckBox *line_, *label_;
    QComboBox* markerColours_;
    CColourPicker* markerColour_;
    QSlider* markerLevel_;
    int loadedGeneration_ = -1;
    bool syncing_ = false;
};

}  // namespace vantor::view3d
