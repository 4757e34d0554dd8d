#pragma once
// The surface chart on screen: an OpenGL widget that draws a COpenGL3D
// (surface, axes, border, base, sides; texts and legend with QPainter over
// it), runs the animation on a timer and turns mouse and wheel into the
// chart's moves. Vertex arrays are built once per data set and settings.
// While the chart moves (drag, animation) a coarser surface is drawn, so
// the software renderer keeps up; the full one returns when it stops.

#include <QList>
#include <QOpenGLWidget>
#include <QPoint>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QTimer>

class QPainter;

#include "COpenGL3D.h"
#include "SurfaceGeometry.h"

namespace vantor::view3d {

/// Where a text of size goes beside anchor: on the side away from centre,
/// moved further out while it covers chart, and kept inside bounds.
QRectF PlaceLabel(const QPointF& anchor, const QPointF& centre, const QSizeF& size, const QPolygonF& chart,
                  const QRectF& bounds);

class COpenGL : public QOpenGLWidget {
    Q_OBJECT
public:
    /// Draws chart, which must outlive it.
    explicit COpenGL(COpenGL3D& chart, QWidget* parent = nullptr);
    /// Whether this system can make an OpenGL context at all (asked once).
    static bool Available();
    ~COpenGL() override;

    COpenGL3D& chart() { return chart_; }
    /// Redraws after a change of the chart; starts or stops the animation.
    void chartChanged();
    /// Whether a context could be made and drawing works.
    bool contextValid() const { return glReady_; }
    /// Frames drawn so far (for the benchmark).
    long framesDrawn() const { return frames_; }
    /// Most cells of the surface drawn while the chart moves.
    static constexpr long kMovingCells = 25000;
    /// Columns and rows of the surface in the last frame (fewer while moving).
    QSize gridDrawn() const { return grid_; }
    /// Whether the chart counts as moving: the coarse surface is drawn.
    bool moving() const { return moving_; }
    /// Draws the full surface even while moving (for the benchmark's comparison).
    void setDecimation(bool on) { decimation_ = on; }
    /// Of the last frame: the chart's outline on the widget and where the
    /// axis texts went.
    const QPolygonF& chartOutline() const { return outline_; }
    const QList<QRectF>& labelRects() const { return labels_; }

signals:
    /// The wheel showed another data set.
    void currentSetChanged(int set);

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct GeometryKey {
        int generation = -1, set = -1, type = -1;
        ColourBands bands;
        float zmin = 0, zmax = 0;
        bool operator==(const GeometryKey&) const = default;
    };
    struct CachedSurface {
        SurfaceGeometry geometry;
        GeometryKey key;
        QSize grid;
    };
    void drawChart();
    void drawTexts(QPainter& painter);
    const SurfaceGeometry& geometry();
    /// The chart moved: coarse until it rests.
    void moved();
    /// Nothing moves any more: the full surface at once.
    void rest();

    COpenGL3D& chart_;
    QTimer animation_;
    QTimer settle_;  // single shot after the last movement
    CachedSurface full_, coarse_;
    QSize grid_;
    bool moving_ = false;
    bool decimation_ = true;
    bool painting_ = false;
    bool glReady_ = false;
    bool dragging_ = false;
    QPoint last_;
    long frames_ = 0;
    float projection_[16]{}, modelView_[16]{};  // of the last frame, for the texts
    QPolygonF outline_;
    QList<QRectF> labels_;
};

}  // namespace vantor::view3d
