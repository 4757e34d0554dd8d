#include "C3DGLView.h"

#include <QAction>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>

#include "BitmapExport.h"
#include "CColourForm.h"
#include "CFlatChartView.h"
#include "CForm3D.h"
#include "CLayer.h"
#include "COpenGL.h"
#include "CVtrDoc.h"
#include "CZoomForm.h"
#include "PlaneResults.h"
#include "SurfaceData.h"

namespace vantor::view3d {

C3DGLView::C3DGLView(CVtrDoc& doc, Commands commands, QWidget* parent)
    : QWidget(parent), doc_(doc), askZAxis_(commands.askZAxis) {
    setAccessibleName(QStringLiteral("3D-View"));
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setAccessibleName(QStringLiteral("3D-Ansicht und Einstellungen"));
    if (COpenGL::Available()) {
        gl_ = new COpenGL(chart_, split);
        picture_ = gl_;
        connect(gl_, &COpenGL::currentSetChanged, this, [this] { chartChanged(); });
    } else {
        auto* flat = new CFlatChartView(chart_, split);
        picture_ = flat;
        connect(flat, &CFlatChartView::currentSetChanged, this, [this] { chartChanged(); });
    }
    tabs_ = new QTabWidget(split);
    tabs_->setAccessibleName(QStringLiteral("Einstellungen"));
    const auto changed = [this] { chartChanged(); };
    form3D_ = new CForm3D(chart_, changed, tabs_);
    colourForm_ = new CColourForm(chart_, changed, tabs_);
    zoomForm_ = new CZoomForm(chart_, changed, tabs_);
    tabs_->addTab(form3D_, QStringLiteral("Map"));
    tabs_->addTab(colourForm_, QStringLiteral("Color"));
    tabs_->addTab(zoomForm_, QStringLiteral("Zoom"));
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    split->setChildrenCollapsible(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    askBitmapPath = [this] {
        QFileDialog dialog(this, QStringLiteral("Save Bitmap Dialog"), QStringLiteral("*.bmp"),
                           QStringLiteral("Bitmap Files (*.bmp);;All Files (*.*)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::ReadOnly, false);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                       : QString();
    };

    buildMenu(commands);
    doc_.AddView(*this);
    loadResults();
}

C3DGLView::~C3DGLView() {
    doc_.RemoveView(*this);
    // The picture and the panels use the chart: they go before it.
    delete picture_;
    delete tabs_;
    delete menu_;
}

void C3DGLView::buildMenu(const Commands& c) {
    menu_ = new QMenu(QStringLiteral("3D-&Ansicht"));
    auto add = [this](const QString& text, const std::function<void()>& slot) {
        QAction* a = menu_->addAction(text);
        connect(a, &QAction::triggered, this, [slot] {
            if (slot) slot();
        });
        return a;
    };
    add(QStringLiteral("Bit&map speichern..."), [this] { saveBitmap(); });
    menu_->addSeparator();
    add(QStringLiteral("&Drucken..."), c.print);
    add(QStringLiteral("Sei&tenansicht"), c.printPreview);
    add(QStringLiteral("Drucker&einrichtung..."), c.printSetup);
    menu_->addSeparator();
    add(QStringLiteral("&Beenden"), c.exitProgram);
    menu_->addSeparator();
    global_ = add(QStringLiteral("&Global"), [this] {
        chart_.SetGlobal(global_->isChecked());
        chartChanged();
    });
    global_->setStatusTip(QStringLiteral("Einheitliche Darstellung für alle Frequenzpunkte"));
    rotation_ = add(QStringLiteral("&Rotation"), [this] {
        chart_.ToggleRotation();
        chartChanged();
    });
    rotation_->setStatusTip(QStringLiteral("Rotation der 3D-Darstellung ein/aus"));
    gridAsSurface_ = add(QStringLiteral("Gitter als &Fläche"), [this] {
        chart_.ToggleGridSolid();
        chartChanged();
    });
    add(QStringLiteral("&Z-Achse..."), [this] { editZAxis(); });
    for (QAction* a : {global_, rotation_, gridAsSurface_}) a->setCheckable(true);
}

void C3DGLView::OnUpdate(ChangeHint) {
    // Whatever the hint says (undo and opening a design say everything):
    // moving a probe or a cut-out leaves the results as they are.
    if (resultsChanged()) loadResults();
}

bool C3DGLView::resultsChanged() const {
    const CLayer* plane = doc_.plane();
    if (plane == nullptr) return !loadedMaps_.empty();
    const PlaneResults& r = plane->results;
    if (plane->planeLength != loadedLength_ || plane->planeWidth != loadedWidth_ || r.resultLabels != loadedLabels_ ||
        r.resultMaps.size() != loadedMaps_.size())
        return true;
    for (std::size_t i = 0; i < loadedMaps_.size(); ++i)
        if (!r.resultMaps[i].SharesStorageWith(loadedMaps_[i])) return true;
    return false;
}

void C3DGLView::loadResults() {
    float zmin = 0, zmax = 0;
    std::vector<render::SurfaceDataSet> sets;
    const CLayer* plane = doc_.plane();
    if (plane != nullptr) sets = render::BuildDataSets(*plane, zmin, zmax);
    loadedMaps_ = plane != nullptr ? plane->results.resultMaps : std::vector<ComplexMatrix>();
    loadedLabels_ = plane != nullptr ? plane->results.resultLabels : std::vector<std::string>();
    loadedLength_ = plane != nullptr ? plane->planeLength : 0.0;
    loadedWidth_ = plane != nullptr ? plane->planeWidth : 0.0;
    chart_.Load(std::move(sets), zmin, zmax);
    chartChanged();
}

void C3DGLView::chartChanged() {
    if (syncing_) return;
    syncing_ = true;
    COpenGL3D& chart = chart_;
    global_->setChecked(chart.Global());
    rotation_->setChecked(chart.Settings().mode != kMove);
    gridAsSurface_->setChecked(chart.Settings().surfaceType == kSolid);
    form3D_->sync();
    colourForm_->sync();
    zoomForm_->sync();
    if (gl_ != nullptr)
        gl_->chartChanged();
    else
        picture_->update();
    syncing_ = false;
}

void C3DGLView::editZAxis() {
    ZAxis& z = chart_.zAxis;
    ZAxisFields fields = ZAxisFields::From(z.automatic, z.zmax, z.zmin);
    if (!askZAxis_ || !askZAxis_(fields)) return;
    fields.ApplyTo(z.automatic, z.zmax, z.zmin);
    chartChanged();
}

QImage C3DGLView::capture() {
    if (captureMode == 0) return gl_ != nullptr ? gl_->grabFramebuffer() : picture_->grab().toImage();
    // The whole window as the screen shows it.
    QWidget* w = window();
    if (w->screen() == nullptr) return {};
    QImage image = w->screen()
                       ->grabWindow(0, w->frameGeometry().x(), w->frameGeometry().y(), w->frameGeometry().width(),
                                    w->frameGeometry().height())
                       .toImage();
    return image.isNull() ? w->grab().toImage() : image;
}

void C3DGLView::saveBitmap() {
    const QImage picture = capture();
    if (picture.isNull()) {
        showMessage(NoBitmapMessage());
        return;
    }
    const QString path = askBitmapPath();
    if (path.isEmpty()) return;
    QString error;
    if (!SaveBitmap(picture, path, error)) showMessage(error);
}

void C3DGLView::printPage(QPainter& painter, const QRectF& page) {
    const QImage picture = capture();
    if (picture.isNull() || page.isEmpty()) return;
    QSizeF size = picture.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(page.topLeft(), size), picture);
}

}  // namespace vantor::view3d
