#include "FormDialogs.h"

#include "CAnaDomainDlg.h"
#include "CEditCDlg.h"
#include "CEditCapaDlg.h"
#include "CEditLayDlg.h"
#include "CEditOptDlg.h"
#include "CVtrDoc.h"
#include "FormHost.h"
#include "MainFormLogic.h"

namespace vantor::ui {

void RunLayoutCommand(FormHost& host, QWidget* parent) {
    CEditLayDlg dialog(host.interaction(), parent);
    host.runCommand(QStringLiteral("Layout"), [&] { host.document().editLayout(dialog); });
}

void RunCapacitorCommand(FormHost& host, QWidget* parent) {
    CVtrDoc& doc = host.document();
    CEditCapaDlg dialog(&doc.board(), host.interaction(), parent);
    host.runCommand(QStringLiteral("Kondensatoren"), [&] { EditDefaultPackage(doc, dialog); });
}

void RunTargetCommand(FormHost& host, QWidget* parent) {
    CEditOptDlg dialog(host.interaction(), parent);
    host.runCommand(QStringLiteral("Optimierungsziele"), [&] { host.document().editTargets(dialog); });
}

void RunAnalysisParameterCommand(FormHost& host, QWidget* parent) {
    CAnaDomainDlg dialog(host.interaction(), parent);
    host.runCommand(QStringLiteral("Analyse-Parameter"), [&] { host.document().editAnalysis(dialog); });
}

void RunSlotCommand(FormHost& host, const CCGroup& group, int k, QWidget* parent) {
    CVtrDoc& doc = host.document();
    const int n = group.CapacitorCount();
    const QString slot = QStringLiteral("C%1").arg(k);
    CEditCDlg::Actions actions;
    // Each action ends the dialog, so the group is not touched after its
    // command ran. A changed group is a change of the design: closing it
    // without a save question would drop the change.
    actions.remove = [&] {
        host.runCommand(slot + QStringLiteral(" entfernen"), [&] {
            if (doc.removeCapacitor(group, SlotElement(n, k))) doc.SetModifiedFlag(true);
        });
    };
    actions.insert = [&] {
        host.runCommand(slot + QStringLiteral(" neu"), [&] {
            if (doc.insertCapacitor(group, InsertPosition(n, k))) doc.SetModifiedFlag(true);
        });
    };
    CEditCDlg* shown = nullptr;
    actions.edit = [&] {
        bool changed = false;
        host.runCommand(slot + QStringLiteral(" bearbeiten"), [&] {
            CEditCapaDlg dialog(&doc.board(), host.interaction(), shown);
            changed = doc.editCapacitor(group, SlotElement(n, k), dialog);
        });
        return changed;
    };
    CEditCDlg dialog(k, n, std::move(actions), parent);
    shown = &dialog;
    dialog.exec();
}

}  // namespace vantor::ui
