#pragma once
// The chart where no OpenGL context can be made: the shown data set as the
// flat colour map (the picture vantor-cli map draws), the wheel stepping
// the sets as on the OpenGL view.

#include <QWidget>

namespace vantor::view3d {

class COpenGL3D;

class CFlatChartView : public QWidget {
    Q_OBJECT
public:
    explicit CFlatChartView(COpenGL3D& chart, QWidget* parent = nullptr);

signals:
    void currentSetChanged(int set);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    COpenGL3D& chart_;
};

}  // namespace vantor::view3d
