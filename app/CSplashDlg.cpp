#include "CSplashDlg.h"

#include <mutex>
#include <thread>

#include <QEventLoop>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "AboutDialog.h"
#include "CSParameterDB.h"
#include "LocalFileName.h"
#include "QtInteraction.h"
#include "ShownText.h"

namespace vantor::app {

namespace {

/// The loader's side of the window: called on the worker thread. Progress
/// is kept for the window's timer; messages wait until the person closed
/// them on the window's thread.
class LoaderInteraction : public Interaction, private ProgressReporter {
public:
    explicit LoaderInteraction(QWidget& window) : window_(window) {}

    struct State {
        QString file, count;
        int value = 0, maximum = 0;
        bool finished = false;
    };
    State state() {
        const std::lock_guard<std::mutex> guard(lock_);
        return state_;
    }
    void finish() {
        const std::lock_guard<std::mutex> guard(lock_);
        state_.finished = true;
    }

    void message(const std::string& text, MessageKind kind) override {
        QMetaObject::invokeMethod(
            &window_, [&] { ui::QtInteraction(&window_).message(text, kind); }, Qt::BlockingQueuedConnection);
    }
    Answer ask(const std::string& text, Buttons buttons) override {
        Answer answer = SafeAnswer(buttons);
        QMetaObject::invokeMethod(
            &window_, [&] { answer = ui::QtInteraction(&window_).ask(text, buttons); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    ProgressReporter& progress() override { return *this; }

private:
    void range(ProgressBar bar, int maximum) override {
        if (bar != ProgressBar::Upper) return;
        const std::lock_guard<std::mutex> guard(lock_);
        state_.maximum = maximum;
        state_.value = 0;
    }
    void value(ProgressBar bar, int value) override {
        if (bar != ProgressBar::Upper) return;
        const std::lock_guard<std::mutex> guard(lock_);
        state_.value = value;
    }
    void text(const std::string& text) override {
        // "file" or "file\nBisher gelesene S-Parameter-Sätze: n"
        const QString all = QString::fromStdString(text);
        const std::lock_guard<std::mutex> guard(lock_);
        state_.file = all.section(QLatin1Char('\n'), 0, 0);
        const QString second = all.section(QLatin1Char('\n'), 1);
        if (!second.isEmpty()) state_.count = second.mid(QString::fromUtf8(kLoadedSetsLabel).size()).trimmed();
    }

    QWidget& window_;
    std::mutex lock_;
    State state_;
};

/// The picture at the top of the window.
class SplashPicture : public QWidget {
public:
    explicit SplashPicture(QWidget* parent) : QWidget(parent) {
        setMinimumSize(fontMetrics().averageCharWidth() * 48, fontMetrics().height() * 4);
        setAccessibleName(QString::fromUtf8(kProductVersion));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QLinearGradient g(rect().topLeft(), rect().bottomRight());
        g.setColorAt(0, QColor(40, 60, 140));
        g.setColorAt(1, QColor(250, 125, 64));
        p.fillRect(rect(), g);
        QFont f = font();
        f.setPointSizeF(f.pointSizeF() * 2);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(rect(), Qt::AlignCenter, QString::fromUtf8(kProductVersion));
    }
};

}  // namespace

CSplashDlg::CSplashDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(kLoadingTitle));
    auto* picture = new SplashPicture(this);
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    bar_->setAccessibleName(QStringLiteral("Fortschritt"));
    file_ = ui::NewPlainLabel(this);
    file_->setAccessibleName(QStringLiteral("Datei"));
    file_->setMinimumWidth(fontMetrics().averageCharWidth() * 56);
    auto* label = new QLabel(QString::fromUtf8(kLoadedSetsLabel), this);
    count_ = new QLabel(QStringLiteral("0"), this);
    count_->setAccessibleName(label->text());
    label->setBuddy(count_);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(count_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(bar_);
    layout->addWidget(file_);
    layout->addLayout(row);
}

QString CSplashDlg::fileText() const { return file_->text(); }
QString CSplashDlg::countText() const { return count_->text(); }

void CSplashDlg::showState(const QString& file, const QString& count, int value, int maximum) {
    file_->setText(file);
    if (!count.isEmpty()) count_->setText(count);
    bar_->setRange(0, std::max(1, maximum));
    bar_->setValue(std::min(value, std::max(1, maximum)));
}

int CSplashDlg::LoadDatabase(CSParameterDB& database, const QString& folder) {
    LoaderInteraction ui(*this);
    int total = 0;
    std::thread worker([&] {
        total = database.LoadDatabase(render::FsPath(folder), ui);
        ui.finish();
    });
    QEventLoop loop;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        const LoaderInteraction::State s = ui.state();
        showState(s.file, s.count, s.value, s.maximum);
        if (s.finished) loop.quit();
    });
    timer.start(25);
    if (!ui.state().finished) loop.exec();
    worker.join();
    const LoaderInteraction::State s = ui.state();
    showState(s.file, s.count, s.value, s.maximum);
    return total;
}

}  // namespace vantor::app
