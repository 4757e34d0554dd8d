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

namespace vantor::view3d {
class C3DGLView;
}

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
    /// The 3D view of the lower row (null once replaced).
    view3d::C3DGLView* threeDView() const { return threeD_; }
    /// The lower row, where the 3D view goes.
    QWidget* threeDViewSlot() const { return threeDSlot_; }
    /// Puts the 3D view into the lower row in place of what is there; the
    /// frame owns it.
    void setThreeDView(QWidget* view);
    /// The log-log switch of "&Eigenschaften".
    QAction* logarithmicAction() const { return logarithmic_; }
    QAction* targetBandAction() const { return targetBand_; }

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
    view3d::C3DGLView* threeD_ = nullptr;
    // The 3D view's picture for the printer.
    struct ThreeDPicture : Printable {
        view3d::C3DGLView* view = nullptr;
        void printPage(QPainter& painter, const QRectF& page) override;
    } threeDPicture_;
    QAction* logarithmic_ = nullptr;
    QAction* targetBand_ = nullptr;
    QList<QMenu*> menus_;
    bool sized_ = false;
};

}  // namespace vantor::ui
