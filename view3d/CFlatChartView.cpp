#include "CFlatChartView.h"

#include <QPainter>
#include <QWheelEvent>

#include "COpenGL3D.h"
#include "SurfaceMapPainter.h"

namespace vantor::view3d {

CFlatChartView::CFlatChartView(COpenGL3D& chart, QWidget* parent) : QWidget(parent), chart_(chart) {
    setAccessibleName(QStringLiteral("3D-Diagramm"));
    setMinimumSize(120, 90);
}

void CFlatChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    render::SurfaceMapPicture picture;
    if (chart_.HasData()) {
        const ChartSettings& s = chart_.Settings();
        picture.set = &chart_.Set(chart_.Current());
        picture.bands = s.bands;
        picture.border = s.border;
        chart_.ZRange(picture.zmin, picture.zmax);
    }
    render::RenderSurfaceMap(painter, QRectF(rect()), picture);
}

void CFlatChartView::wheelEvent(QWheelEvent* event) {
    if (!chart_.HasData()) return;
    const int before = chart_.Current();
    chart_.StepSet(event->angleDelta().y() > 0 ? 1 : -1);
    event->accept();
    if (chart_.Current() != before) emit currentSetChanged(chart_.Current());
}

}  // namespace vantor::view3d
