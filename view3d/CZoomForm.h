#pragma once
// Panel "Zoom": the axis scales with their link, the move or rotation mode,
// the animation pattern and its speed.

#include <functional>

#include <QWidget>

class QComboBox;
class QRadioButton;
class QSlider;

namespace vantor::view3d {

class COpenGL3D;

class CZoomForm : public QWidget {
    Q_OBJECT
public:
    CZoomForm(COpenGL3D& chart, std::function<void()> changed, QWidget* parent = nullptr);
    void sync();

private:
    void scaleMoved(int axis, int value);

    COpenGL3D& chart_;
    std::function<void()> changed_;
    QRadioButton* link_[5];
    QSlider* scale_[3];
    QComboBox* type_;
    QRadioButton* mode_[3];
    QSlider* speed_;
    bool syncing_ = false;
};

}  // namespace vantor::view3d
