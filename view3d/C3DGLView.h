#pragma once
// The 3D view "3D-View": the surface chart of the document's Vcc results
// beside its tabbed control panels, the menu of the view, the Z-axis
// dialog, the bitmap export and the picture for the printer. It observes
// the document and rebuilds its data sets only when the results change, so
// an edit of the plane keeps the shown set and each set's settings.

#include <functional>
#include <string>
#include <vector>

#include <QImage>
#include <QWidget>

#include "COpenGL3D.h"
#include "Matrix.h"
#include "ViewRecords.h"
#include "ZAxisFields.h"

class QAction;
class QMenu;
class QPainter;
class QRectF;
class QTabWidget;

namespace vantor {
class CVtrDoc;
}

namespace vantor::view3d {

class COpenGL;
class CColourForm;
class CForm3D;
class CZoomForm;

class C3DGLView : public QWidget, public DocumentView {
    Q_OBJECT
public:
    /// The program's commands the menu reaches: printing, the end, and the
    /// Z-axis dialog (true on OK, with the checked fields).
    struct Commands {
        std::function<void()> print, printPreview, printSetup, exitProgram;
        std::function<bool(ZAxisFields&)> askZAxis;
    };
    C3DGLView(CVtrDoc& doc, Commands commands, QWidget* parent = nullptr);
    ~C3DGLView() override;

    void OnUpdate(ChangeHint hint) override;

    COpenGL3D& chart() { return chart_; }
    /// The OpenGL drawing; null where no context can be made (the flat
    /// map stands in).
    COpenGL* glView() { return gl_; }
    /// The view's menu; the view owns it.
    QMenu* menu() const { return menu_; }
    QAction* globalAction() const { return global_; }
    QAction* rotationAction() const { return rotation_; }
    QAction* gridAsSurfaceAction() const { return gridAsSurface_; }
    QTabWidget& panels() { return *tabs_; }

    /// 0: the chart's picture; 1 and 2: the whole window.
    int captureMode = 0;
    /// The picture for the export and the printer (null when none).
    QImage capture();
    /// "Bit&map speichern...": capture, ask for the name, write.
    void saveBitmap();
    /// "&Z-Achse...": the Z-axis dialog, then the new z scaling.
    void editZAxis();
    /// The captured picture fitted to page.
    void printPage(QPainter& painter, const QRectF& page);

    /// The file dialog; tests put their own.
    std::function<QString()> askBitmapPath;
    /// Shows a message; the window that holds the view sets it (with the
    /// program's message box), tests put their own.
    std::function<void(const QString&)> showMessage = [](const QString&) {};

    /// Redraws after a change of the chart and brings menu and panels up to date.
    void chartChanged();

private:
    void buildMenu(const Commands& commands);
    /// True when the document's results are not those the sets were built from.
    bool resultsChanged() const;
    void loadResults();

    CVtrDoc& doc_;
    COpenGL3D chart_;
    COpenGL* gl_ = nullptr;
    QWidget* picture_;
    QTabWidget* tabs_;
    CColourForm* colourForm_;
    CZoomForm* zoomForm_;
    CForm3D* form3D_;
    QMenu* menu_ = nullptr;
    QAction* global_ = nullptr;
    QAction* rotation_ = nullptr;
    QAction* gridAsSurface_ = nullptr;
    std::function<bool(ZAxisFields&)> askZAxis_;
    bool syncing_ = false;
    // What the data sets were built from: the maps (sharing their storage,
    // which a new solve replaces), their labels and the plane's size, m.
    std::vector<ComplexMatrix> loadedMaps_;
    std::vector<std::string> loadedLabels_;
    double loadedLength_ = 0.0, loadedWidth_ = 0.0;
};

}  // namespace vantor::view3d
