// dialog_shots DIR SUFFIX: shows every dialog filled from a new document and
// saves its picture as DIR/dlg-NAME-SUFFIX.png, for looking at the layout
// (run under xvfb-run; QT_SCALE_FACTOR=2 for 200 %).

#include <cstdio>
#include <functional>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include "CAnaDomainDlg.h"
#include "CEditCDlg.h"
#include "CEditCapaDlg.h"
#include "CEditFreqDlg.h"
#include "CEditLayDlg.h"
#include "CEditOptDlg.h"
#include "CVtrDoc.h"
#include "CZAxisDlg.h"
#include "RecordingInteraction.h"

using namespace vantor;
using namespace vantor::ui;

namespace {

QString dir, suffix;

// Saves the next modal dialog once it has been laid out and painted.
void GrabWhenShown(const char* name) {
    const QString file = QStringLiteral("%1/dlg-%2-%3.png").arg(dir, QString::fromUtf8(name), suffix);
    QTimer::singleShot(200, qApp, [file] {
        QWidget* d = QApplication::activeModalWidget();
        if (d == nullptr) return;
        if (!d->grab().save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        static_cast<QDialog*>(d)->reject();
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: dialog_shots DIR SUFFIX\n");
        return 2;
    }
    dir = QString::fromLocal8Bit(argv[1]);
    suffix = QString::fromLocal8Bit(argv[2]);

    RecordingInteraction ui;
    CSParameterDB db;
    CVtrDoc doc(db, ui);
    doc.OnNewDocument();

    GrabWhenShown("layout");
    LayoutFields layout = LayoutFields::FromBoard(doc.board());
    CEditLayDlg(ui).exec(layout);

    GrabWhenShown("capacitor");
    CapacitorFields capacitor = CapacitorFields::FromShape(doc.optimisationGroup().defaultPackage, &doc.board());
    CEditCapaDlg(&doc.board(), ui).exec(capacitor);

    // With Auto off, as a user-defined package opens: the values typed.
    GrabWhenShown("capacitor-user");
    capacitor.SetAutomatic(false, &doc.board());
    CEditCapaDlg(&doc.board(), ui).exec(capacitor);

    GrabWhenShown("slot");
    CEditCDlg(3, 2, {}).exec();

    GrabWhenShown("frequency");
    FrequencyRangeFields range{"1MHz", "1GHz", "999"};
    CEditFreqDlg("250MHz", ui).exec(range);

    GrabWhenShown("targets");
    TargetFields targets = TargetFields::FromGroup(doc.optimisationGroup(), kTargetFrequencyLimit);
    CEditOptDlg(ui).exec(targets);

    GrabWhenShown("analysis");
    AnalysisFields analysis = AnalysisFields::FromDomain(doc.analysisDomain());
    CAnaDomainDlg(ui).exec(analysis);

    GrabWhenShown("zaxis");
    ZAxisFields zAxis = ZAxisFields::From(false, 2.0, 0.1);
    CZAxisDlg(ui).exec(zAxis);
    return 0;
}
