#include "DocumentHost.h"

#include <algorithm>
#include <utility>

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTimer>

#include "CLayerEditFrm.h"
#include "CMainFrame.h"
#include "CVtrGrphFrm.h"
#include "CVtrView.h"
#include "DocumentFrame.h"
#include "LocalFileName.h"
#include "ReportPainter.h"
#include "ShownText.h"
#include "SolverProgressDialog.h"

namespace vantor::app {

namespace {

constexpr const char* kFileFilter = "Vantor Entkopplung (*.vnt)";

/// How long a note stays in the status bar, ms.
constexpr int kStatusNoteMs = 5000;

/// How long a save waits for a vantor-cli run that is changing the file.
constexpr std::chrono::seconds kSaveLockWait{5};

std::filesystem::path FsPath(const QString& path) { return render::FsPath(path); }

/// Takes the file's lock, waiting at most kSaveLockWait for a vantor-cli run
/// that holds it. The window stays alive meanwhile: a modal note says what
/// the save waits for and offers "Abbrechen" (then Busy with no error).
DocumentLock::Outcome LockForSave(DocumentLock& lock, const std::filesystem::path& target, const QString& shown,
                                  QWidget* parent, std::string& error) {
    DocumentLock::Outcome outcome = lock.Acquire(target, std::chrono::milliseconds(0), error);
    if (outcome != DocumentLock::Outcome::Busy) return outcome;
    QProgressDialog wait(parent);
    wait.setWindowTitle(QString::fromUtf8(ui::kMessageCaption));
    wait.setLabel(ui::NewPlainLabel(&wait, QStringLiteral("Die Datei %1 wird gerade von einem anderen Programm "
                                                          "geändert.\nDas Speichern wartet, bis sie frei ist...")
                                               .arg(shown)));
    wait.setCancelButtonText(QStringLiteral("Abbrechen"));
    wait.setRange(0, 0);
    wait.setMinimumDuration(0);
    wait.setAutoReset(false);
    wait.setAutoClose(false);
    const auto deadline = std::chrono::steady_clock::now() + kSaveLockWait;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
        outcome = lock.Acquire(target, std::chrono::milliseconds(0), error);
        if (outcome != DocumentLock::Outcome::Busy || std::chrono::steady_clock::now() >= deadline) wait.accept();
    });
    poll.start(50);
    // Not a nested loop in a callback: the save runs from a menu command.
    if (wait.exec() != QDialog::Accepted) {
        lock.Release();
        error.clear();
        return DocumentLock::Outcome::Busy;
    }
    return outcome;
}

}  // namespace

DocumentHost::DocumentHost(CMainFrame& frame, CSParameterDB& database, int untitledNumber)
    : frame_(frame), ui_(&frame), doc_(database, ui_), history_(doc_), untitledNumber_(untitledNumber) {
    doc_.AddView(*this);
}

DocumentHost::~DocumentHost() {
    closing_ = true;
    // The views inside the frames detach from the document when they go,
    // so they go first.
    for (const QPointer<DocumentFrame>& f : frames_) delete f.data();
    doc_.RemoveView(*this);
}

void DocumentHost::runCommand(const QString& label, const std::function<void()>& command) {
    if (commandDepth_++ == 0) history_.Begin(label.toStdString());
    try {
        command();
    } catch (...) {
        if (--commandDepth_ == 0) history_.Commit();
        emit stateChanged();
        throw;
    }
    if (--commandDepth_ == 0 && history_.Commit()) updateCaptions();
    emit stateChanged();
}

void DocumentHost::runJob(const QString& label, JobStart start, JobFinish finish) {
    runCommand(label, [&] {
        std::unique_ptr<SolveJob> job = (doc_.*start)(SolverOptions{});
        if (job == nullptr) return;
        ui::SolverProgressDialog::Run(*job, ui_, &frame_);
        (doc_.*finish)(*job);
    });
}

void DocumentHost::runAnalysis() {
    runJob(QStringLiteral("Analyse"), &CVtrDoc::startAnalysis, &CVtrDoc::finishAnalysis);
}

void DocumentHost::runKillMax() { runJob(QStringLiteral("KillMax"), &CVtrDoc::startKillMax, &CVtrDoc::finishKillMax); }

DocumentFrame* DocumentHost::findFrame(FrameKind kind) const {
    for (const QPointer<DocumentFrame>& f : frames_)
        if (f != nullptr && f->kind() == kind) return f.data();
    return nullptr;
}

DocumentFrame* DocumentHost::makeFrame(FrameKind kind) {
    QWidget* content = nullptr;
    QString caption = title();
    switch (kind) {
        case FrameKind::MainForm: content = new ui::CVtrView(*this); break;
        case FrameKind::Graph: content = new ui::CVtrGrphFrm(*this); break;
        case FrameKind::LayerEditor: content = new ui::CLayerEditFrm(*this); break;
    }
    auto* f = new DocumentFrame(*this, kind, content);
    frames_.push_back(f);
    frame_.mdiArea()->addSubWindow(f);
    updateCaptions();
    return f;
}

void DocumentHost::updateCaptions() {
    std::vector<DocumentFrame*> forms;
    for (DocumentFrame* f : frames())
        if (f->kind() == FrameKind::MainForm) forms.push_back(f);
    const QString name = title();
    for (DocumentFrame* f : frames()) {
        QString caption = name;
        if (f->kind() == FrameKind::Graph) caption = QStringLiteral("Grafikausgabe - ") + name;
        if (f->kind() == FrameKind::LayerEditor) caption = QStringLiteral("Layer-Editor - ") + name;
        if (f->kind() == FrameKind::MainForm && forms.size() > 1) {
            const auto at = std::find(forms.begin(), forms.end(), f);
            caption += QStringLiteral(":%1").arg(at - forms.begin() + 1);
        }
        f->setWindowTitle(caption + QStringLiteral("[*]"));
        f->setWindowModified(doc_.IsModified());
    }
}

void DocumentHost::showFrame(DocumentFrame* f) { frame_.showChildFrame(f); }

QMdiSubWindow* DocumentHost::addMainForm() {
    DocumentFrame* f = makeFrame(FrameKind::MainForm);
    f->resize(f->content()->sizeHint() + QSize(8, 30));
    showFrame(f);
    return f;
}

std::vector<DocumentFrame*> DocumentHost::frames() const {
    std::vector<DocumentFrame*> all;
    for (const QPointer<DocumentFrame>& f : frames_)
        if (f != nullptr) all.push_back(f.data());
    std::stable_partition(all.begin(), all.end(), [](DocumentFrame* f) { return f->kind() == FrameKind::MainForm; });
    return all;
}

void DocumentHost::openCompanions() {
    if (!frame_.isVisible()) {
        companionsPending_ = true;
        return;
    }
    if (!std::exchange(companionsPending_, false)) return;
    DocumentFrame* form = findFrame(FrameKind::MainForm);
    if (doc_.graphWindowOpen() != 0) setGraphWindowOpen(true);
    if (doc_.layerEditorOpen() != 0) setLayerEditorOpen(true);
    // The design opens on its main form; the companions wait behind it.
    if (form != nullptr) frame_.mdiArea()->setActiveSubWindow(form);
}

void DocumentHost::createNew() {
    addMainForm();
    {
        BusyScope busy(ui_);
        doc_.OnNewDocument();
    }
    doc_.SetModifiedFlag(false);
    history_.Clear();
    doc_.UpdateAllViews(ChangeHint::Everything);
    companionsPending_ = true;
    openCompanions();
    emit stateChanged();
}

bool DocumentHost::open(const QString& path, QString& error, bool showMessage) {
    // All or nothing: a design that could not be read, or whose windows
    // threw on the way, leaves no half-made windows behind.
    CVtrDoc::OpenResult result;
    try {
        result = read(path);
    } catch (...) {
        closeAll();
        throw;
    }
    if (result.ok()) return true;
    error = QString::fromStdString(result.message);
    // The windows go before the message; the host goes later, so only the
    // frame is used from here on.
    CMainFrame& frame = frame_;
    closeAll();
    // An unknown version was shown by the reader already.
    if (showMessage && result.kind == CVtrDoc::OpenResult::Failed)
        ui::QtInteraction(&frame).message(result.message, MessageKind::Error);
    return false;
}

CVtrDoc::OpenResult DocumentHost::read(const QString& path) {
    addMainForm();
    CVtrDoc::OpenResult result;
    {
        BusyScope busy(ui_);
        result = doc_.OpenFile(FsPath(path));
    }
    if (!result.ok()) return result;
    path_ = render::AbsoluteFileName(path);
    history_.Clear();
    updateCaptions();
    companionsPending_ = true;
    openCompanions();
    emit stateChanged();
    return result;
}

QString DocumentHost::title() const {
    if (!path_.isEmpty()) return QFileInfo(path_).fileName();
    return QStringLiteral("Entkopplung%1").arg(untitledNumber_);
}

bool DocumentHost::save() { return path_.isEmpty() ? saveAs() : saveTo(path_); }

bool DocumentHost::saveAs() {
    const QString start = path_.isEmpty() ? title() + QStringLiteral(".vnt") : path_;
    QString chosen = QFileDialog::getSaveFileName(&frame_, QStringLiteral("Speichern unter"), start,
                                                  QString::fromUtf8(kFileFilter));
    if (chosen.isEmpty()) return false;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".vnt");
    return saveTo(chosen);
}

bool DocumentHost::saveTo(const QString& path) {
    const std::filesystem::path target = FsPath(path);
    DocumentLock lock;
    std::string error;
    const DocumentLock::Outcome locked = LockForSave(lock, target, path, &frame_, error);
    if (locked == DocumentLock::Outcome::Busy || locked == DocumentLock::Outcome::Failed) {
        if (!error.empty()) ui_.message(error, MessageKind::Error);
        return false;
    }
    // Another program replaced the file since it was read here: saving
    // would silently drop its change. Asked with the lock held, so that a
    // run that held it before has written all it is going to.
    if (!path_.isEmpty() && QFileInfo(path).absoluteFilePath() == path_ && doc_.ChangedOnDisk(target)) {
        const QString question = QStringLiteral(
                                     "Die Datei %1 wurde seit dem Öffnen von einem anderen Programm geändert.\n"
                                     "Soll sie trotzdem überschrieben werden?")
                                     .arg(path);
        if (ui_.ask(question.toStdString(), Buttons::YesNo) != Answer::Yes) return false;
    }
    bool saved = false;
    {
        BusyScope busy(ui_);
        saved = doc_.SaveFile(target, error);
    }
    if (!saved) {
        ui_.message(error, MessageKind::Error);
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    history_.MarkSaved();
    frame_.addRecentFile(path_);
    updateCaptions();
    emit stateChanged();
    return true;
}

bool DocumentHost::askToSave() {
    if (!doc_.IsModified()) return true;
    const QString question = QStringLiteral("Änderungen in %1 speichern?").arg(title());
    switch (ui::AskQuestion(&frame_, question, Buttons::YesNoCancel)) {
        case Answer::Yes: return save();
        case Answer::No: return true;
        default: return false;
    }
}

void DocumentHost::undo() {
    if (history_.Undo()) emit stateChanged();
}

void DocumentHost::redo() {
    if (history_.Redo()) emit stateChanged();
}

void DocumentHost::setGraphWindowOpen(bool open) { setCompanionOpen(FrameKind::Graph, open); }

void DocumentHost::setLayerEditorOpen(bool open) { setCompanionOpen(FrameKind::LayerEditor, open); }

void DocumentHost::setCompanionOpen(FrameKind kind, bool open) {
    DocumentFrame* f = findFrame(kind);
    if (open && f == nullptr) {
        f = makeFrame(kind);
        const QSize area = frame_.mdiArea()->size();
        f->resize(area.width() * 2 / 3, area.height() * 2 / 3);
        // The layer editor opens showing the whole plane.
        if (kind == FrameKind::LayerEditor) f->resize((f->content()->sizeHint() + QSize(8, 30)).boundedTo(area));
        showFrame(f);
    } else if (!open && f != nullptr) {
        f->closeQuietly();
    }
    // Which windows are open is stored with the design but is no change
    // that asks to be saved.
    if (kind == FrameKind::Graph)
        doc_.setGraphWindowOpen(open);
    else
        doc_.setLayerEditorOpen(open);
}

void DocumentHost::showHelpContents() { frame_.showHelpContents(); }

void DocumentHost::showHelpSection(const QString& target) { frame_.showHelpSection(target); }

void DocumentHost::print(ui::Printable& picture) { frame_.print(picture); }

void DocumentHost::printPreview(ui::Printable& picture) { frame_.printPreview(picture); }

void DocumentHost::printSetup() { frame_.printSetup(); }

void DocumentHost::exitProgram() { frame_.close(); }

void DocumentHost::showStatusMessage(const QString& text) { frame_.statusBar()->showMessage(text, kStatusNoteMs); }

void DocumentHost::Report::printPage(QPainter& painter, const QRectF&) {
    // The report lays itself out on the whole sheet of the painter's device.
    render::RenderReport(painter, host_.doc_, host_.title());
}

void DocumentHost::closeAll() {
    if (closing_) return;
    closing_ = true;
    for (DocumentFrame* f : frames()) f->closeQuietly();
    emit closed();
}

bool DocumentHost::frameMayClose(DocumentFrame& frame) {
    if (closing_ || frame.kind() == FrameKind::Graph) return true;
    int others = 0;
    for (DocumentFrame* f : frames())
        if (f != &frame && f->kind() != FrameKind::Graph) ++others;
    if (!doc_.asksToSaveOnClose(false, others == 0)) return true;
    return askToSave();
}

void DocumentHost::frameClosed(DocumentFrame& frame) {
    frames_.erase(std::remove(frames_.begin(), frames_.end(), &frame), frames_.end());
    if (closing_) return;
    if (frame.kind() == FrameKind::Graph || frame.kind() == FrameKind::LayerEditor) {
        if (frame.kind() == FrameKind::Graph)
            doc_.setGraphWindowOpen(false);
        else
            doc_.setLayerEditorOpen(false);
    }
    const bool formLeft = findFrame(FrameKind::MainForm) != nullptr || findFrame(FrameKind::LayerEditor) != nullptr;
    if (!formLeft)
        closeAll();
    else
        updateCaptions();
}

void DocumentHost::OnUpdate(ChangeHint) {
    updateCaptions();
    emit stateChanged();
}

}  // namespace vantor::app
