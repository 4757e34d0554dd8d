#pragma once
// "Info über Vantor für Windows": the program, its version, OK.

#include <QDialog>

namespace vantor::app {

inline constexpr const char* kProductVersion = "Vantor V.4.01";

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace vantor::app
