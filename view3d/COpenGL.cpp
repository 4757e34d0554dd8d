#include "COpenGL.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <GL/gl.h>
#include <QMatrix4x4>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "SurfaceMapPainter.h"
#include "Values.h"

namespace vantor::view3d {

using render::kHalfEdge;

namespace {

constexpr int kTickMs = 40;     // animation timer
constexpr int kSettleMs = 250;  // after the last movement the full surface returns

void Colour(const ChartColour& c) { glColor3f(c.r, c.g, c.b); }

// The convex hull of points (monotone chain), counter-clockwise.
QPolygonF Hull(std::vector<QPointF> p) {
    std::sort(p.begin(), p.end(),
              [](QPointF a, QPointF b) { return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y()); });
    if (p.size() < 3) return QPolygonF(QList<QPointF>(p.begin(), p.end()));
    auto cross = [](QPointF o, QPointF a, QPointF b) {
        return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
    };
    std::vector<QPointF> h(2 * p.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        while (k >= 2 && cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
        h[k++] = p[i];
    }
    for (std::size_t i = p.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
        h[k++] = p[i];
    }
    return QPolygonF(QList<QPointF>(h.begin(), h.begin() + static_cast<std::ptrdiff_t>(k - 1)));
}

}  // namespace

QRectF PlaceLabel(const QPointF& anchor, const QPointF& centre, const QSizeF& size, const QPolygonF& chart,
                  const QRectF& bounds) {
    QPointF d = anchor - centre;
    const double length = std::hypot(d.x(), d.y());
    d = length > 1e-9 ? d / length : QPointF(0, 1);
    // The box just touches the anchor from outside: its centre is as far
    // along d as half its extent in that direction, plus a gap.
    const double reach = (std::abs(d.x()) * size.width() + std::abs(d.y()) * size.height()) / 2 + 3;
    QRectF r(QPointF(), size);
    r.moveCenter(anchor + d * reach);
    for (int step = 0; step < 200 && chart.intersects(QPolygonF(r)) && bounds.contains(r); ++step) r.translate(d * 2);
    // Never cut: the widget's edge wins over the chart.
    r.moveLeft(std::clamp(r.left(), bounds.left(), std::max(bounds.left(), bounds.right() - r.width())));
    r.moveTop(std::clamp(r.top(), bounds.top(), std::max(bounds.top(), bounds.bottom() - r.height())));
    return r;
}

bool COpenGL::Available() {
    // Some platforms (offscreen) have no OpenGL, and a GL widget in a
    // window there brings the window down: ask before making one.
    static const bool available = [] {
        QOpenGLContext context;
        return context.create();
    }();
    return available;
}

COpenGL::COpenGL(COpenGL3D& chart, QWidget* parent) : QOpenGLWidget(parent), chart_(chart) {
    setAccessibleName(QStringLiteral("3D-Diagramm"));
    setMinimumSize(120, 90);
    setFocusPolicy(Qt::WheelFocus);
    animation_.setInterval(kTickMs);
    connect(&animation_, &QTimer::timeout, this, [this] {
        chart_.AnimationStep();
        moved();
    });
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] {
        // A running animation keeps it moving.
        if (!animation_.isActive()) rest();
    });
}

COpenGL::~COpenGL() = default;

void COpenGL::chartChanged() {
    if (chart_.Animating()) {
        if (!animation_.isActive()) animation_.start();
    } else {
        animation_.stop();
        if (!dragging_) rest();
    }
    update();
}

void COpenGL::moved() {
    moving_ = true;
    settle_.start();
    update();
}

void COpenGL::rest() {
    settle_.stop();
    if (!moving_) return;
    moving_ = false;
    update();
}

void COpenGL::initializeGL() {
    glReady_ = context() != nullptr && context()->isValid();
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
}

void COpenGL::resizeGL(int, int) {}

const SurfaceGeometry& COpenGL::geometry() {
    GeometryKey key;
    key.generation = chart_.Generation();
    key.set = chart_.Current();
    key.type = chart_.Settings().surfaceType;
    key.bands = chart_.Settings().bands;
    chart_.ZRange(key.zmin, key.zmax);
    const SurfaceDataSet& set = chart_.Set(chart_.Current());
    const int k = moving_ && decimation_ ? DecimationStep(set.nx, set.ny, kMovingCells) : 1;
    CachedSurface& cached = k > 1 ? coarse_ : full_;
    if (!(key == cached.key)) {
        // Both on the chart's z range: the coarse surface keeps the colours.
        const SurfaceDataSet coarse = k > 1 ? DecimateSurface(set, k) : SurfaceDataSet();
        const SurfaceDataSet& drawn = k > 1 ? coarse : set;
        cached.geometry = BuildSurface(drawn, key.type, key.bands, key.zmin, key.zmax);
        cached.grid = QSize(drawn.nx, drawn.ny);
        cached.key = key;
    }
    grid_ = cached.grid;
    return cached.geometry;
}

void COpenGL::paintGL() {
    if (painting_) return;
    painting_ = true;
    // The texts go over the GL picture with the same painter; it keeps its
    // own GL state apart from ours.
    QPainter painter(this);
    painter.beginNativePainting();
    // Fixed-function drawing from client memory: no program, no buffer.
    QOpenGLFunctions* f = context()->functions();
    f->glUseProgram(0);
    f->glBindBuffer(GL_ARRAY_BUFFER, 0);
    f->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    const bool hasData = chart_.HasData();
    const ChartColour back = hasData ? chart_.Settings().bands.background : ChartColour{0.5686f, 0.5686f, 0.5686f};
    glClearColor(back.r, back.g, back.b, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (hasData) {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        drawChart();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
    glDisable(GL_DEPTH_TEST);
    painter.endNativePainting();
    drawTexts(painter);
    ++frames_;
    painting_ = false;
}

void COpenGL::drawChart() {
    const ChartSettings& s = chart_.Settings();
    const ChartTransform t = chart_.FrameTransform();
    const float R = kHalfEdge;
    const float aspect = height() > 0 ? static_cast<float>(width()) / static_cast<float>(height()) : 1.0f;

    QMatrix4x4 projection;
    if (s.mode == kCenterRotation) {
        projection.perspective(45.0f, aspect, 1.0f, 15.0f);
    } else {
        // The orthographic window around the pan offset, widened to the
        // widget's proportions; depth generous enough for any tz.
        const float wx = aspect >= 1.0f ? R * aspect : R, wy = aspect >= 1.0f ? R : R / aspect;
        projection.ortho(s.px - wx, s.px + wx, s.py - wy, s.py + wy, -15.0f, 15.0f);
    }
    QMatrix4x4 model;
    model.translate(t.tx, t.ty, t.tz);
    if (t.rotate) {
        model.rotate(t.ax, 1, 0, 0);
        model.rotate(t.ay, 0, 1, 0);
        model.rotate(t.az, 0, 0, 1);
    }
    model.scale(t.sx, t.sy, t.sz);
    std::copy(projection.constData(), projection.constData() + 16, projection_);
    std::copy(model.constData(), model.constData() + 16, modelView_);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection.constData());
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(model.constData());

    const SurfaceDataSet& set = chart_.Set(chart_.Current());
    const float ymax = set.y.empty() ? R : set.y.back();
    const float zlow = -R;
    const bool flat = s.surfaceType == kFlat;
    // The plane's rectangle at height z.
    const auto rectangle = [&](GLenum mode, float z) {
        glBegin(mode);
        glVertex3f(-R, -R, z);
        glVertex3f(R, -R, z);
        glVertex3f(R, ymax, z);
        glVertex3f(-R, ymax, z);
        glEnd();
    };

    if (s.base && !flat) {
        const ChartColour& b = s.bands.background;
        glColor3f(b.r * 0.6f + 0.12f, b.g * 0.6f + 0.12f, b.b * 0.6f + 0.12f);
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(2.0f, 2.0f);
        rectangle(GL_QUADS, zlow);
        glDisable(GL_POLYGON_OFFSET_FILL);
    }
    // GL line widths are device pixels: a line keeps its width on a 200 % screen.
    const float px = static_cast<float>(devicePixelRatioF());
    Colour(s.border);
    glLineWidth(px);
    if (s.side && !flat) {
        glBegin(GL_LINES);
        for (float x : {-R, R})
            for (float y : {-R, ymax}) {
                glVertex3f(x, y, -R);
                glVertex3f(x, y, R);
            }
        glEnd();
        rectangle(GL_LINE_LOOP, R);
    }
    if (s.marker && s.markerLine && !flat) {
        Colour(s.markerColour);
        rectangle(GL_LINE_LOOP, -R + 2 * R * static_cast<float>(s.markerLevel) / 100.0f);
        Colour(s.border);
    }
    if (s.axis) {
        glBegin(GL_LINES);
        glVertex3f(-R, -R, -R);
        glVertex3f(-R + 2 * R * 6.8f / 5.0f, -R, -R);
        glVertex3f(-R, -R, -R);
        glVertex3f(-R, ymax + 2 * R * 1.5f / 5.0f, -R);
        if (!flat) {
            glVertex3f(-R, -R, -R);
            glVertex3f(-R, -R, -R + 2 * R * 6.2f / 5.0f);
        }
        glEnd();
    }

    const SurfaceGeometry& g = geometry();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, g.vertices.data());
    if (g.TriangleVertices() > 0) {
        glShadeModel(GL_SMOOTH);
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 1.0f);  // the edges lie over the surface
        glColorPointer(3, GL_FLOAT, 0, g.colours.data());
        glDrawElements(GL_TRIANGLES, g.TriangleVertices(), GL_UNSIGNED_INT, g.triangles.data());
        glDisable(GL_POLYGON_OFFSET_FILL);
    }
    if (g.LineVertices() > 0) {
        glColorPointer(3, GL_FLOAT, 0, g.edgeColours.data());
        glDrawElements(GL_LINES, g.LineVertices(), GL_UNSIGNED_INT, g.lines.data());
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);

    if (flat || s.border_) {
        // The outline of the plane (the flat map always has it).
        Colour(s.border);
        glLineWidth(2.0f * px);
        rectangle(GL_LINE_LOOP, zlow);
        glLineWidth(px);
    }
}

void COpenGL::drawTexts(QPainter& painter) {
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (!chart_.HasData()) {
        render::RenderNoData(painter, QRectF(rect()), Qt::black);
        return;
    }
    const ChartSettings& s = chart_.Settings();
    const SurfaceDataSet& set = chart_.Set(chart_.Current());
    const QColor text = render::ToQColor(s.border);
    const QMatrix4x4 mvp = QMatrix4x4(projection_).transposed() * QMatrix4x4(modelView_).transposed();
    auto screen = [&](float x, float y, float z) {
        const QVector3D ndc = mvp.map(QVector3D(x, y, z));
        return QPointF((ndc.x() + 1.0) * 0.5 * width(), (1.0 - ndc.y()) * 0.5 * height());
    };
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(text);
    const float R = kHalfEdge;
    const float ymax = set.y.empty() ? R : set.y.back();
    const bool flat = s.surfaceType == kFlat;
    // The drawn chart on the widget: the box the surface lives in.
    std::vector<QPointF> corners;
    for (float x : {-R, R})
        for (float y : {-R, ymax})
            for (float z : {-R, flat ? -R : R}) corners.push_back(screen(x, y, z));
    outline_ = Hull(corners);
    labels_.clear();
    const QPointF middle = screen(0, (ymax - R) / 2, flat ? -R : 0);
    const QRectF bounds = QRectF(rect()).adjusted(2, 2, -2, -2);
    // Texts beside their point, outside the chart and inside the widget.
    auto label = [&](const QPointF& at, const QString& caption) {
        const QFontMetricsF fm(painter.font());
        const QRectF r = PlaceLabel(at, middle, QSizeF(fm.horizontalAdvance(caption) + 2, fm.height()), outline_,
                                    bounds);
        painter.drawText(r, Qt::AlignCenter, caption);
        labels_.push_back(r);
    };
    if (s.axis) {
        label(screen(-R + 2 * R * 6.8f / 5.0f, -R, -R), QStringLiteral("X (m)"));
        label(screen(-R, ymax + 2 * R * 1.5f / 5.0f, -R), QStringLiteral("Y (m)"));
        if (!flat) {
            label(screen(-R, -R, -R + 2 * R * 6.2f / 5.0f), QStringLiteral("|Z|"));
            float zmin = 0, zmax = 0;
            chart_.ZRange(zmin, zmax);
            for (int k = 0; k <= 2; ++k) {
                char value[32];
                std::snprintf(value, sizeof value, "%-10.2f", zmin + (zmax - zmin) * k / 2.0f);
                label(screen(-R, -R, -R + R * k), QString::fromLatin1(value).trimmed() + QStringLiteral(" Ohm"));
            }
        }
    }
    if (s.marker && !flat) {
        // The marker's level in Ohm beside its far corner.
        float zmin = 0, zmax = 0;
        chart_.ZRange(zmin, zmax);
        const float level = static_cast<float>(s.markerLevel) / 100.0f;
        painter.setPen(render::ToQColor(s.markerColour));
        painter.drawText(screen(R, ymax, -R + 2 * R * level) + QPointF(6, 0),
                         QString::fromStdString(FormatValue(zmin + (zmax - zmin) * level, "Ohm", 1)));
        painter.setPen(text);
    }
    if (s.label) painter.drawText(QPointF(8, height() - 8), QString::fromStdString(set.name));
    if (s.legend) {
        render::SurfaceMapPicture legend;
        legend.bands = s.bands;
        legend.border = s.border;
        chart_.ZRange(legend.zmin, legend.zmax);
        const double w = render::ChartLegendWidth(legend, 11);
        const double h = std::min(height() * 0.6,
                                  16.0 * std::max(1, s.bands.gradient ? s.bands.divisions : s.bands.customCount));
        // Kept inside the widget wherever the mouse put it.
        const double x = std::clamp<double>(width() - w - 10 + s.legendX - 10, 0.0, std::max(0.0, width() - w));
        const double y = std::clamp<double>(s.legendY, 0.0, std::max(0.0, height() - h - 10));
        render::RenderChartLegend(painter, QRectF(x, y + 6, w, h), legend);
    }
}

void COpenGL::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QOpenGLWidget::mousePressEvent(event);
    dragging_ = true;
    last_ = event->position().toPoint();
}

void COpenGL::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !chart_.HasData()) return;
    const QPoint p = event->position().toPoint();
    chart_.MouseDrag(last_.x(), last_.y(), p.x(), p.y(), width(), height(),
                     (event->modifiers() & Qt::ShiftModifier) != 0);
    last_ = p;
    moved();
}

void COpenGL::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        if (!animation_.isActive()) rest();
    }
    QOpenGLWidget::mouseReleaseEvent(event);
}

void COpenGL::wheelEvent(QWheelEvent* event) {
    if (!chart_.HasData()) return;
    const int before = chart_.Current();
    // Away from the user steps forwards.
    chart_.StepSet(event->angleDelta().y() > 0 ? 1 : -1);
    event->accept();
    if (chart_.Current() == before) return;
    animation_.stop();
    chartChanged();
    emit currentSetChanged(chart_.Current());
}

}  // namespace vantor::view3d
