#pragma once
// Panel "Color": background and border colour, gradient or custom colour
// bands with their divisions and colours.

#include <functional>

#include <QWidget>

class QGroupBox;
class QListWidget;
class QRadioButton;
class QSpinBox;

namespace vantor::view3d {

class COpenGL3D;
class CColourPicker;

class CColourForm : public QWidget {
    Q_OBJECT
public:
    CColourForm(COpenGL3D& chart, std::function<void()> changed, QWidget* parent = nullptr);
    /// Shows the chart's current settings.
    void sync();
    QListWidget& customList() { return *custom_; }
    /// The double click's work: entry row becomes colour.
    void setCustomColour(int row, const QColor& colour);

private:
    void apply();
    void fillCustomList();

    COpenGL3D& chart_;
    std::function<void()> changed_;
    CColourPicker *back_, *border_, *minimum_, *maximum_;
    QRadioButton *gradient_, *customMode_;
    QGroupBox *gradientGroup_, *customGroup_;
    QSpinBox *gradientSpin_, *customSpin_;
    QListWidget* custom_;
    bool syncing_ = false;
};

}  // namespace vantor::view3d
