#include "CLayerEditFrm.h"

#include <cmath>

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

#include "CLayer.h"
#include "CLayerEditView.h"
#include "FormHost.h"
#include "LayerPainter.h"
#include "ShownText.h"

namespace vantor::ui {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// A status pane as wide as its widest text.
QLabel* Pane(QStatusBar* bar, const char* widest, const char* accessibleName) {
    QLabel* label = NewPlainLabel(bar);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(Text(widest)) + 12);
    label->setAccessibleName(Text(accessibleName));
    bar->addWidget(label);
    return label;
}

}  // namespace

CLayerEditFrm::CLayerEditFrm(FormHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setAccessibleName(Text("Layer-Editor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    area_ = new QScrollArea(this);
    area_->setAccessibleName(Text("Layer-Editor Zeichenfläche"));
    area_->setWidgetResizable(false);
    area_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view_ = new CLayerEditView(host_);
    area_->setWidget(view_);
    layout->addWidget(area_, 1);

    auto* bar = new QStatusBar(this);
    bar->setAccessibleName(Text("Statusleiste"));
    bar->setSizeGripEnabled(false);
    x_ = Pane(bar, "X=0000mm", "X-Position");
    y_ = Pane(bar, "Y=0000mm", "Y-Position");
    active_ = Pane(bar, "Kein Objekt aktiv", "Aktives Objekt");
    legend_ = new QLabel(bar);
    legend_->setAccessibleName(Text("Farbskala der Impedanzkarte"));
    bar->addPermanentWidget(legend_);
    layout->addWidget(bar);

    QMenu* file = new QMenu(Text("&Datei"), this);
    file->addAction(Text("&Schließen"), this, [this] { host_.setLayerEditorOpen(false); });
    file->addSeparator();
    file->addAction(Text("&Drucken..."), QKeySequence::Print, this, [this] { host_.print(*this); });
    file->addAction(Text("Sei&tenansicht"), this, [this] { host_.printPreview(*this); });
    file->addAction(Text("Drucker&einrichtung..."), this, [this] { host_.printSetup(); });

    QMenu* show = new QMenu(Text("&Ansicht"), this);
    show->addAction(Text("Einpassen"), QKeySequence(Qt::CTRL | Qt::Key_0), this, [this] { fitToWindow(); });
    show->addAction(Text("Vergrößern"), QKeySequence::ZoomIn, this, [this] { view_->zoomBy(1.25); });
    show->addAction(Text("Verkleinern"), QKeySequence::ZoomOut, this, [this] { view_->zoomBy(1 / 1.25); });
    show->addSeparator();
    map_ = show->addAction(Text("Impedanzkarte"));
    map_->setCheckable(true);
    connect(map_, &QAction::toggled, view_, &CLayerEditView::setMapShown);

    QMenu* help = new QMenu(Text("&?"), this);
    help->addAction(Text("&Hilfethemen"), QKeySequence::HelpContents, this, [this] { host_.showHelpContents(); });

    menus_ = {file, show, help};
    for (QMenu* m : menus_) {
        m->setAccessibleName(m->title().remove(QLatin1Char('&')));
        // The shortcuts work while the editor has the focus, whichever menu bar shows.
        addActions(m->actions());
        for (QAction* a : m->actions()) a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }

    connect(view_, &CLayerEditView::statusChanged, this, &CLayerEditFrm::updateStatus);
    connect(view_, &CLayerEditView::planeResized, this, &CLayerEditFrm::fitToWindow);
    connect(view_, &CLayerEditView::zoomed, this, [this] { followWindow_ = false; });
    updateStatus();
}

QSize CLayerEditFrm::sizeHint() const {
    const int frame = 2 * area_->frameWidth();
    const QSize plane = view_->sizeHint() + QSize(frame, frame);
    return QSize(plane.width(), plane.height() + layout()->itemAt(1)->sizeHint().height());
}

void CLayerEditFrm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The window gets its real size late (after the main window's layout,
    // when maximised): the plane is fitted to every size until then.
    if (followWindow_) fitToWindow();
}

void CLayerEditFrm::fitToWindow() {
    followWindow_ = true;
    view_->setScale(view_->fitScale(area_->maximumViewportSize()));
}

void CLayerEditFrm::updateStatus() {
    x_->setText(view_->xText());
    y_->setText(view_->yText());
    active_->setText(view_->activeText());
    const bool available = view_->mapAvailable();
    map_->setEnabled(available);
    if (!available && map_->isChecked()) map_->setChecked(false);
    map_->setText(view_->mapShown() && view_->mapOutOfDate() ? Text("Impedanzkarte (veraltet)")
                                                             : Text("Impedanzkarte"));
    updateLegend();
}

void CLayerEditFrm::updateLegend() {
    const render::ImpedanceMap* map = view_->shownMap();
    legend_->setVisible(map != nullptr);
    if (map == nullptr) return;
    const int h = legend_->fontMetrics().height();
    const int w = static_cast<int>(std::ceil(render::MapLegendWidth(*map, h)));
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(QSize(w, h) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    render::RenderMapLegend(p, *map, QRectF(0, 0, w, h));
    p.end();
    legend_->setPixmap(picture);
    legend_->setToolTip(Text("Impedanzkarte: |Z| über alle Frequenzen (\"Maximum\")"));
}

void CLayerEditFrm::printPage(QPainter& painter, const QRectF& page) {
    const CLayer* l = view_->layer();
    if (l == nullptr) return;
    // With the map, its colour scale takes a line below the plane.
    const render::ImpedanceMap* map = view_->shownMap();
    const double line = map != nullptr ? page.height() / 40 : 0.0;
    const QRectF plane = render::FitPlane(l->planeLength, l->planeWidth, page.adjusted(0, 0, 0, -1.5 * line));
    view_->renderPicture(painter, plane, false);
    if (map != nullptr)
        render::RenderMapLegend(painter, *map, QRectF(plane.left(), plane.bottom() + 0.5 * line, plane.width(), line));
}

}  // namespace vantor::ui
