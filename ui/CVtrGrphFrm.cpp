#include "CVtrGrphFrm.h"

#include <QAction>
#include <QMenu>
#include <QSplitter>
#include <QVBoxLayout>

#include "C3DGLView.h"
#include "CTracesTreeView.h"
#include "CVtrDoc.h"
#include "CVtrGrphVw.h"
#include "CZAxisDlg.h"
#include "FormHost.h"
#include "GraphPainter.h"
#include "ShownText.h"

namespace vantor::ui {

CVtrGrphFrm::CVtrGrphFrm(FormHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setAccessibleName(QStringLiteral("Grafikausgabe"));
    rows_ = new QSplitter(Qt::Vertical, this);
    rows_->setAccessibleName(QStringLiteral("Zeilen"));
    rows_->setChildrenCollapsible(false);
    upper_ = new QSplitter(Qt::Horizontal, rows_);
    upper_->setAccessibleName(QStringLiteral("Kurven und Grafik"));
    upper_->setChildrenCollapsible(false);
    tree_ = new CTracesTreeView(upper_);
    graph_ = new CVtrGrphVw(host_, *tree_, upper_);
    // The 3D view prints its own picture through the program's printer.
    view3d::C3DGLView::Commands commands;
    commands.print = [this] { host_.print(threeDPicture_); };
    commands.printPreview = [this] { host_.printPreview(threeDPicture_); };
    commands.printSetup = [this] { host_.printSetup(); };
    commands.exitProgram = [this] { host_.exitProgram(); };
    commands.askZAxis = [this](ZAxisFields& fields) { return CZAxisDlg(host_.interaction(), threeD_).exec(fields); };
    threeD_ = new view3d::C3DGLView(host_.document(), commands, rows_);
    threeD_->showMessage = [this](const QString& text) {
        ShowMessage(threeD_, QMessageBox::Warning, QStringLiteral("3D-View"), text);
    };
    threeDPicture_.view = threeD_;
    threeDSlot_ = threeD_;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(rows_);
    buildMenus();
    graph_->OnUpdate(ChangeHint::Everything);
}

CVtrGrphFrm::~CVtrGrphFrm() {
    // The 3D view owns its menu.
    if (threeD_ != nullptr) menus_.removeAll(threeD_->menu());
    qDeleteAll(menus_);
}

void CVtrGrphFrm::ThreeDPicture::printPage(QPainter& painter, const QRectF& page) {
    if (view != nullptr) view->printPage(painter, page);
}

void CVtrGrphFrm::buildMenus() {
    auto add = [this](QMenu* menu, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    auto* file = new QMenu(QStringLiteral("&Datei"));
    // Strg+P is the main window's, which prints the active window's picture.
    add(file, QStringLiteral("&Drucken...\tStrg+P"), [this] { host_.print(*this); });
    add(file, QStringLiteral("Sei&tenansicht"), [this] { host_.printPreview(*this); });
    add(file, QStringLiteral("Drucker&einrichtung..."), [this] { host_.printSetup(); });
    file->addSeparator();
    add(file, QStringLiteral("&Exportieren..."), [this] { graph_->exportGraph(); });
    file->addSeparator();
    add(file, QStringLiteral("&Beenden"), [this] { host_.exitProgram(); });

    auto* properties = new QMenu(QStringLiteral("&Eigenschaften"));
    add(properties, QStringLiteral("&Frequenzbereich..."), [this] { graph_->editFrequencyRange(); });
    add(properties, QStringLiteral("&Y-Achse..."), [this] { graph_->editYAxis(); });
    properties->addSeparator();
    logarithmic_ = add(properties, QStringLiteral("&Logarithmische Achsen"),
                       [this](bool on) { graph_->setLogarithmic(on); });
    logarithmic_->setCheckable(true);
    logarithmic_->setChecked(graph_->logarithmic());
    targetBand_ = add(properties, QStringLiteral("&Zielband"), [this](bool on) { graph_->setTargetBand(on); });
    targetBand_->setCheckable(true);
    targetBand_->setChecked(graph_->targetBand());

    auto* help = new QMenu(QStringLiteral("&?"));
    add(help, QStringLiteral("&Hilfethemen"), [this] { host_.showHelpContents(); });
    menus_ = {file, properties, threeD_->menu(), help};
}

void CVtrGrphFrm::printPage(QPainter& painter, const QRectF& page) {
    render::RenderGraph(painter, render::FitGraphPage(page), graph_->picture(false));
}

void CVtrGrphFrm::setThreeDView(QWidget* view) {
    QWidget* old = rows_->replaceWidget(1, view);
    if (old == threeD_) {
        menus_.removeAll(threeD_->menu());
        threeDPicture_.view = nullptr;
        threeD_ = nullptr;
    }
    delete old;
    threeDSlot_ = view;
    rows_->setSizes({height() / 2, height() - height() / 2});
}

void CVtrGrphFrm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (sized_) return;
    sized_ = true;
    // Rows and columns start at half the window.
    upper_->setSizes({width() / 2, width() - width() / 2});
    rows_->setSizes({height() / 2, height() - height() / 2});
}

void CVtrGrphFrm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The upper row keeps half the height whatever the window's size.
    rows_->setSizes({height() / 2, height() - height() / 2});
}

}  // namespace vantor::ui
