#include "CLayerEditView.h"

#include <algorithm>
#include <cmath>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "CCGroup.h"
#include "CLayer.h"
#include "CVtrDoc.h"
#include "FormHost.h"
#include "PlaneEdits.h"
#include "Values.h"

namespace vantor::ui {

namespace {

// Zoom limits, px per m: a 1 m board still fits a small window, a 10 mm
// board can fill a large screen.
constexpr double kMinScale = 100.0;
constexpr double kMaxScale = 2e5;
// The window opens at this scale at most, and so that the plane fits this box.
constexpr double kOpenScale = 8000.0;
const QSize kOpenBox(900, 650);

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

CLayerEditView::CLayerEditView(FormHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setAccessibleName(Text("Vcc-Lage"));
    setMouseTracking(true);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    host_.document().AddView(*this);
    OnUpdate(ChangeHint::Everything);
    scale_ = std::min(kOpenScale, fitScale(kOpenBox));
    resizeToPlane();
}

CLayerEditView::~CLayerEditView() { host_.document().RemoveView(*this); }

const CLayer* CLayerEditView::layer() const { return host_.document().plane(); }

void CLayerEditView::OnUpdate(ChangeHint) {
    const CLayer* l = layer();
    record_.nameText = l != nullptr && !l->name.empty() ? l->name : std::string("Vcc");
    // The model may have been replaced (undo): nothing held from before
    // is trusted, a drag in progress ends.
    mode_ = Mode::Idle;
    drag_ = {};
    const double length = l != nullptr ? l->planeLength : 0.0;
    const double width = l != nullptr ? l->planeWidth : 0.0;
    cursor_ = QPointF(std::clamp(cursor_.x(), 0.0, length), std::clamp(cursor_.y(), 0.0, width));
    active_ = l != nullptr ? HitTest(*l, cursor_.x(), cursor_.y()) : PlaneHit{};
    if (length != planeLength_ || width != planeWidth_) {
        planeLength_ = length;
        planeWidth_ = width;
        resizeToPlane();
        emit planeResized();
    }
    refreshMap();
    update();
    emit statusChanged();
}

void CLayerEditView::setScale(double pixelsPerMetre) {
    if (!std::isfinite(pixelsPerMetre)) return;
    scale_ = std::clamp(pixelsPerMetre, kMinScale, kMaxScale);
    resizeToPlane();
    update();
}

void CLayerEditView::zoomBy(double factor) {
    setScale(scale_ * factor);
    emit zoomed();
}

int CLayerEditView::margin() const {
    // Half a group's square beyond the border, its pen and the smoothing.
    const int symbol = static_cast<int>(std::ceil(kGroupHalfEdge * scale_)) + 3;
    return std::max(kMinMargin, symbol);
}

double CLayerEditView::fitScale(const QSize& size) const {
    if (!(planeLength_ > 0.0 && planeWidth_ > 0.0)) return scale_;
    double s = std::min((size.width() - 2.0 * kMinMargin) / planeLength_,
                        (size.height() - 2.0 * kMinMargin) / planeWidth_);
    if (kGroupHalfEdge * s + 3 > kMinMargin) {
        // The margin grows with the scale (see margin()); with its rounding
        // the plane and both margins take at most s · (extent + 5 mm) + 9 px.
        s = std::min((size.width() - 9.0) / (planeLength_ + 2 * kGroupHalfEdge),
                     (size.height() - 9.0) / (planeWidth_ + 2 * kGroupHalfEdge));
    }
    return std::clamp(s, kMinScale, kMaxScale);
}

void CLayerEditView::resizeToPlane() { resize(sizeHint()); }

QSize CLayerEditView::sizeHint() const {
    const int m = margin();
    return QSize(static_cast<int>(std::ceil(planeLength_ * scale_)) + 2 * m,
                 static_cast<int>(std::ceil(planeWidth_ * scale_)) + 2 * m);
}

QPointF CLayerEditView::toPixel(double x, double y) const {
    const int m = margin();
    return {m + x * scale_, m + y * scale_};
}

QPointF CLayerEditView::toPlane(const QPointF& pixel) const {
    const int m = margin();
    return {std::clamp((pixel.x() - m) / scale_, 0.0, planeLength_),
            std::clamp((pixel.y() - m) / scale_, 0.0, planeWidth_)};
}

// The map --------------------------------------------------------------------

std::vector<double> CLayerEditView::layoutSignature() const {
    // What the solution depends on among the things the editor moves.
    std::vector<double> s;
    if (const CLayer* l = layer()) {
        s = {l->planeLength, l->planeWidth};
        for (const auto& g : l->capacitorGroups) s.insert(s.end(), {g->posX, g->posY});
        for (const auto& c : l->cutOuts) s.insert(s.end(), {c->x1, c->y1, c->x2, c->y2, double(c->inactive)});
    }
    return s;
}

void CLayerEditView::refreshMap() {
    const CLayer* l = layer();
    const ComplexMatrix* maximum = l != nullptr ? l->results.MaximumMap() : nullptr;
    if (maximum == nullptr) {
        mapSource_ = ComplexMatrix();
        map_ = {};
        solvedLayout_.clear();
        return;
    }
    // A new solve brings new storage; undo and redo keep a solve's storage.
    if (!maximum->SharesStorageWith(mapSource_)) {
        mapSource_ = *maximum;
        map_ = {};
        solvedLayout_ = layoutSignature();
    }
    if (mapShown_ && !map_.valid()) map_ = render::MakeImpedanceMap(mapSource_, l->mesh.cellSize);
    map_.outOfDate = mapOutOfDate();
}

bool CLayerEditView::mapAvailable() const {
    const CLayer* l = layer();
    return l != nullptr && l->results.MaximumMap() != nullptr;
}

bool CLayerEditView::mapOutOfDate() const { return mapAvailable() && layoutSignature() != solvedLayout_; }

void CLayerEditView::setMapShown(bool shown) {
    mapShown_ = shown;
    refreshMap();
    update();
    emit statusChanged();
}

// Drawing --------------------------------------------------------------------

void CLayerEditView::renderPicture(QPainter& painter, const QRectF& target, bool withDrag) const {
    const CLayer* l = layer();
    if (l == nullptr) return;
    render::LayerExtras extras;
    extras.map = shownMap();
    if (withDrag) extras.drag = drag_;
    render::RenderLayer(painter, *l, target, extras);
}

void CLayerEditView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    renderPicture(p, QRectF(toPixel(0, 0), toPixel(planeLength_, planeWidth_)), true);
}

// Mouse ----------------------------------------------------------------------

void CLayerEditView::hover(const QPointF& point) {
    cursor_ = point;
    if (const CLayer* l = layer()) active_ = HitTest(*l, point.x(), point.y());
    emit statusChanged();
}

void CLayerEditView::mousePressEvent(QMouseEvent* event) {
    const CLayer* l = layer();
    if (event->button() != Qt::LeftButton || l == nullptr || mode_ != Mode::Idle) {
        QWidget::mousePressEvent(event);
        return;
    }
    QPointF p = toPlane(event->position());
    hover(p);
    pressPixel_ = event->position();
    drag_ = {};
    if (!active_.any()) {
        mode_ = Mode::Drawing;
        drag_.band = true;
        drag_.bandFrom = drag_.bandTo = p;
    } else {
        mode_ = Mode::Dragging;
        // A probe or group is taken by its centre.
        if (active_.probe != nullptr) p = QPointF(active_.probe->x, active_.probe->y);
        if (active_.group != nullptr) p = QPointF(active_.group->posX, active_.group->posY);
        drag_.probe = active_.probe;
        drag_.group = active_.group;
        drag_.cutOut = active_.cutOut;
        drag_.pos = p;
        lastPoint_ = p;
    }
    feedback_ = feedbackRect();
    update(feedback_);
}

QRect CLayerEditView::feedbackRect() const {
    constexpr double kProbeRing = 3e-3, kGroupEdge = 2 * kGroupHalfEdge;  // m
    QRectF r;
    auto around = [&](QPointF c, double edge) {
        return QRectF(toPixel(c.x() - edge / 2, c.y() - edge / 2), toPixel(c.x() + edge / 2, c.y() + edge / 2));
    };
    if (drag_.band)
        r = QRectF(toPixel(drag_.bandFrom.x(), drag_.bandFrom.y()), toPixel(drag_.bandTo.x(), drag_.bandTo.y()));
    if (drag_.probe != nullptr) {
        // The probe leaves its place at once: that place is redrawn too.
        r = around(drag_.pos, kProbeRing) | around(QPointF(drag_.probe->x, drag_.probe->y), kProbeRing);
    }
    if (drag_.group != nullptr) r = around(drag_.pos, kGroupEdge);
    if (const CCutOut* c = drag_.cutOut)
        r = QRectF(toPixel(c->x1 + drag_.shift.x(), c->y1 + drag_.shift.y()),
                   toPixel(c->x2 + drag_.shift.x(), c->y2 + drag_.shift.y())) |
            QRectF(toPixel(c->x1, c->y1), toPixel(c->x2, c->y2));
    // Room for the pens and the smoothed edges.
    const int pad = 4 + static_cast<int>(std::ceil(devicePixelRatioF()));
    return r.normalized().toAlignedRect().adjusted(-pad, -pad, pad, pad);
}

void CLayerEditView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = toPlane(event->position());
    switch (mode_) {
        case Mode::Idle: hover(p); return;
        case Mode::Drawing: drag_.bandTo = p; break;
        case Mode::Dragging:
            // A probe follows the cursor, a group's square too (the group is
            // placed on release), a cut-out moves by the cursor's steps.
            drag_.pos = p;
            drag_.shift += p - lastPoint_;
            lastPoint_ = p;
            break;
    }
    cursor_ = p;
    // Only what the feedback covered before and covers now is redrawn.
    const QRect now = feedbackRect();
    update(feedback_ | now);
    feedback_ = now;
    emit statusChanged();
}

void CLayerEditView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || mode_ == Mode::Idle) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPointF p = toPlane(event->position());
    cursor_ = p;
    const Mode was = mode_;
    mode_ = Mode::Idle;
    // A click, shaky or not, is no drag: it draws and moves nothing.
    const bool dragged = (event->position() - pressPixel_).manhattanLength() >= QApplication::startDragDistance();
    if (was == Mode::Drawing) {
        drag_.bandTo = p;
        if (dragged) finishDrawing();
    } else {
        drag_.pos = p;
        drag_.shift += p - lastPoint_;
        finishDragging(dragged);
    }
    drag_ = {};
    update();
    emit statusChanged();
}

void CLayerEditView::finishDrawing() {
    const QPointF a = drag_.bandFrom, b = drag_.bandTo;
    host_.runCommand(Text("Aussparung zeichnen"), [&] { AddCutOut(host_.document(), a.x(), a.y(), b.x(), b.y()); });
}

void CLayerEditView::finishDragging(bool moved) {
    CVtrDoc& doc = host_.document();
    const QPointF p = drag_.pos;
    if (const CCGroup* g = drag_.group) {
        const bool select = doc.MainForm() != nullptr && doc.currentGroup() != g;
        if (!select && !moved) return;
        host_.runCommand(moved ? Text("Gruppe verschieben") : Text("Gruppe wählen"), [&] {
            if (select) doc.selectGroup(g);
            if (moved) doc.moveGroup(g, p.x(), p.y());
        });
    } else if (const CProbe* probe = drag_.probe) {
        if (!moved) return;
        const std::string name = probe->name;
        host_.runCommand(Text("Prüfpunkt verschieben"), [&] { MoveProbe(doc, name, p.x(), p.y()); });
    } else if (const CCutOut* cut = active_.cutOut) {
        const QPointF shift = drag_.shift;
        if (!moved) return;
        host_.runCommand(Text("Aussparung verschieben"), [&] { doc.dragCutOut(*cut, shift.x(), shift.y()); });
    }
}

void CLayerEditView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
        QWidget::wheelEvent(event);
        return;
    }
    // Zoom about the cursor: the plane point under it stays there.
    const QPointF at = event->position();
    const QPointF plane((at.x() - margin()) / scale_, (at.y() - margin()) / scale_);
    auto* area = parentWidget() != nullptr ? qobject_cast<QAbstractScrollArea*>(parentWidget()->parentWidget())
                                           : nullptr;
    const QPointF inViewport = area != nullptr ? mapTo(parentWidget(), at) : at;
    zoomBy(std::pow(1.25, event->angleDelta().y() / 120.0));
    if (area != nullptr) {
        const QPointF now = toPixel(plane.x(), plane.y());
        area->horizontalScrollBar()->setValue(static_cast<int>(std::lround(now.x() - inViewport.x())));
        area->verticalScrollBar()->setValue(static_cast<int>(std::lround(now.y() - inViewport.y())));
    }
    event->accept();
}

// Context menu ---------------------------------------------------------------

std::unique_ptr<QMenu> CLayerEditView::contextMenuAt(const QPoint& pos, bool keyboard) {
    const CLayer* l = layer();
    if (l == nullptr || mode_ != Mode::Idle) return nullptr;
    PlaneHit hit = active_;
    QPointF point = cursor_;
    if (!keyboard) {
        // Only a point on the plane offers anything.
        const QPointF raw((pos.x() - margin()) / scale_, (pos.y() - margin()) / scale_);
        if (raw.x() < 0 || raw.y() < 0 || raw.x() > planeLength_ || raw.y() > planeWidth_) return nullptr;
        hover(raw);
        hit = active_;
        point = raw;
    }
    auto menu = std::make_unique<QMenu>(this);
    menu->setAccessibleName(Text("Layer-Editor Kontextmenü"));
    const std::string name = hit.Name();
    if (hit.cutOut != nullptr) {
        connect(menu->addAction(Text("&Delete")), &QAction::triggered, this, [this, name] {
            host_.runCommand(Text("Aussparung löschen"), [&] { DeleteCutOut(host_.document(), name); });
        });
    } else if (hit.probe != nullptr) {
        connect(menu->addAction(Text("Prüfpunkt löschen")), &QAction::triggered, this, [this, name] {
            host_.runCommand(Text("Prüfpunkt löschen"), [&] { DeleteProbe(host_.document(), name); });
        });
    } else if (!hit.any() && !keyboard) {
        connect(menu->addAction(Text("Neuer Prüfpunkt")), &QAction::triggered, this, [this, point] {
            host_.runCommand(Text("Neuer Prüfpunkt"), [&] {
                CVtrDoc& doc = host_.document();
                if (const CLayer* plane = doc.plane()) AddProbe(doc, NextProbeName(*plane), point.x(), point.y());
            });
        });
    } else {
        return nullptr;
    }
    return menu;
}

void CLayerEditView::contextMenuEvent(QContextMenuEvent* event) {
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    // From the keyboard the menu opens near the visible part's corner.
    const QPoint at = keyboard ? visibleRegion().boundingRect().topLeft() + QPoint(5, 5) : event->pos();
    if (std::unique_ptr<QMenu> menu = contextMenuAt(at, keyboard)) menu->exec(mapToGlobal(at));
}

// Status ---------------------------------------------------------------------

QString CLayerEditView::xText() const {
    return QStringLiteral("X=") + QString::fromStdString(FormatValue(cursor_.x(), "m"));
}

QString CLayerEditView::yText() const {
    return QStringLiteral("Y=") + QString::fromStdString(FormatValue(cursor_.y(), "m"));
}

QString CLayerEditView::activeText() const {
    return active_.any() ? QString::fromStdString(active_.Name()) : Text("Kein Objekt aktiv");
}

}  // namespace vantor::ui
