#pragma once
// The graph window "Grafikausgabe" of a document: the traces tree and the
// graph side by side in the upper row, the 3D view in the lower row, and
// the window's own menus. It prints the graph.

#include <QList>
#include <QWidget>

#include "OwnMenus.h"
#include "Printable.h"

class QAction;
class QMenu;
class QSplitter;

namespace vantor::ui {

class CTracesTreeView;
class CVtrGrphVw;
class FormHost;

class CVtrGrphFrm : public QWidget, public OwnMenus, public Printable {
    Q_OBJECT
public:
    explicit CVtrGrphFrm(FormHost& host, QWidget* parent = nullptr);
    ~CVtrGrphFrm() override;

    QList<QMenu*> menus() override { return menus_; }
    /// The graph fitted to 1.33 wide to high on the page.
    void printPage(QPainter& painter, const QRectF& page) override;

    CTracesTreeView& tree() { return *tree_; }
    CVtrGrphVw& graph() { return *graph_; }
    /// The lower row, where the 3D view goes.
    QWidget* threeDViewSlot() const { return threeDSlot_; }
    /// Puts the 3D view into the lower row in place of what is there; the
    /// frame owns it.
    void setThreeDView(QWidget* view);
    /// The log-log switch of "&Eigenschaften".
    QAction* logarithmicAction() const { return logarithmic_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();

    FormHost& host_;
    QSplitter* rows_;
    QSplitter* upper_;
    CTracesTreeView* tree_;
    CVtrGrphVw* graph_;
    QWidget* threeDSlot_;
    QAction* logarithmic_ = nullptr;
    QList<QMenu*> menus_;
    bool sized_ = false;
};

}  // namespace vantor::ui
