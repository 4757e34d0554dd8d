#pragma once
// The layer editor window of a document: the plane view in a scroll area,
// its own menus (closing, printing, fitting, the impedance map, help) and a
// status bar with the cursor position and the active object.

#include <QList>
#include <QWidget>

#include "OwnMenus.h"
#include "Printable.h"

class QAction;
class QLabel;
class QMenu;
class QScrollArea;

namespace vantor::ui {

class CLayerEditView;
class FormHost;

class CLayerEditFrm : public QWidget, public OwnMenus, public Printable {
    Q_OBJECT
public:
    explicit CLayerEditFrm(FormHost& host, QWidget* parent = nullptr);

    CLayerEditView& view() const { return *view_; }
    QScrollArea& scrollArea() const { return *area_; }

    QList<QMenu*> menus() override { return menus_; }
    bool editsDesign() const override { return true; }
    void printPage(QPainter& painter, const QRectF& page) override;

    /// "Einpassen": the scale at which the whole plane fills the window; it
    /// keeps filling it as the window changes until the person zooms.
    void fitToWindow();
    QAction* mapAction() const { return map_; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateStatus();
    void updateLegend();

    FormHost& host_;
    QScrollArea* area_;
    CLayerEditView* view_;
    QLabel* x_;
    QLabel* y_;
    QLabel* active_;
    QLabel* legend_;
    QAction* map_ = nullptr;
    QList<QMenu*> menus_;
    bool followWindow_ = true;  // until the person zooms, the plane fills the window
};

}  // namespace vantor::ui
