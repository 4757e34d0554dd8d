#pragma once
// The loading window "S-Parameter-Daten werden geladen...": the component
// folder is read on a worker thread while this window shows the file being
// read and the number of sets read so far.

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;

namespace vantor {
class CSParameterDB;
}

namespace vantor::app {

class CSplashDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSplashDlg(QWidget* parent = nullptr);

    /// Loads folder into database on a worker thread; the window repaints
    /// meanwhile and a message of the reader is shown (the load waits for
    /// it). Returns the number of sets read.
    int LoadDatabase(CSParameterDB& database, const QString& folder);

    QString fileText() const;
    QString countText() const;

private:
    void showState(const QString& file, const QString& count, int value, int maximum);

    QLabel* file_;
    QLabel* count_;
    QProgressBar* bar_;
};

}  // namespace vantor::app
