#pragma once
// The layer editor's drawing surface: the Vcc plane to scale, and the mouse
// that moves groups, probes and cut-outs, draws new cut-outs and deletes
// them. Objects move in a preview while the button is down; the release is
// one document command, so every edit is undoable and refreshes all views.

#include <memory>
#include <vector>

#include <QPointF>
#include <QWidget>

#include "LayerEditLogic.h"
#include "LayerPainter.h"
#include "ViewRecords.h"

class QMenu;

namespace vantor {
class CLayer;
}

namespace vantor::ui {

class FormHost;

class CLayerEditView : public QWidget, public DocumentView {
    Q_OBJECT
public:
    /// Attaches itself to the host's document; detaches when destroyed.
    explicit CLayerEditView(FormHost& host, QWidget* parent = nullptr);
    ~CLayerEditView() override;

    void OnUpdate(ChangeHint hint) override;
    ViewRecord* Record() override { return &record_; }

    /// The plane shown: the document's edited plane; null when the board has none.
    const CLayer* layer() const;

    /// Screen pixels per metre of plane.
    double scale() const { return scale_; }
    void setScale(double pixelsPerMetre);
    /// The person's zoom by factor (menu, Strg+wheel); says so with zoomed().
    void zoomBy(double factor);
    /// The scale at which the whole plane fills size (with the margin).
    double fitScale(const QSize& size) const;
    /// Widget pixel of a plane point, m, and back (clamped into the plane).
    QPointF toPixel(double x, double y) const;
    QPointF toPlane(const QPointF& pixel) const;

    /// Whether the impedance map of the last solve is shown under the
    /// objects, and whether there is one to show.
    void setMapShown(bool shown);
    bool mapShown() const { return mapShown_; }
    bool mapAvailable() const;
    /// True when objects moved since the shown map was solved.
    bool mapOutOfDate() const;
    /// The map drawn under the objects; null while none is shown.
    const render::ImpedanceMap* shownMap() const { return mapShown_ && map_.valid() ? &map_ : nullptr; }

    /// The status bar's texts: "X=…", "Y=…" and the active object's name or
    /// "Kein Objekt aktiv".
    QString xText() const;
    QString yText() const;
    QString activeText() const;

    /// The context menu at a widget point (keyboard: at the 5 px corner, for
    /// the active object); null when none is offered there.
    std::unique_ptr<QMenu> contextMenuAt(const QPoint& pos, bool keyboard);

    /// The picture on a painter: the plane fills target.
    void renderPicture(QPainter& painter, const QRectF& target, bool withDrag) const;

    QSize sizeHint() const override;

    /// Margin around the plane, px: the largest symbol (a group's square) on
    /// the border shows whole at the current scale.
    int margin() const;
    /// The margin at small scales, px.
    static constexpr int kMinMargin = 16;

signals:
    /// The cursor, the active object or the map changed.
    void statusChanged();
    /// The plane's extents changed (the board was resized).
    void planeResized();
    /// The person zoomed.
    void zoomed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    enum class Mode { Idle, Drawing, Dragging };

    void hover(const QPointF& planePoint);
    void finishDrawing();
    void finishDragging(bool moved);
    void refreshMap();
    std::vector<double> layoutSignature() const;
    /// Pixels the drag feedback covers now.
    QRect feedbackRect() const;
    void resizeToPlane();

    FormHost& host_;
    LayerEditorRecord record_;
    double scale_ = 6000.0;  // px per m
    Mode mode_ = Mode::Idle;
    PlaneHit active_;
    QPointF cursor_;      // m, the last mouse point in the plane
    QPointF pressPixel_;  // where the button went down
    QPointF lastPoint_;   // m, the previous point of a cut-out drag
    render::LayerDrag drag_;
    QRect feedback_;                               // what the drag feedback covered at the last paint request
    double planeLength_ = 0.0, planeWidth_ = 0.0;  // m, the extents the widget is sized for

    bool mapShown_ = false;
    ComplexMatrix mapSource_;  // shares the storage of the map shown
    render::ImpedanceMap map_;
    std::vector<double> solvedLayout_;  // groups and cut-outs when the map arrived
};

}  // namespace vantor::ui
