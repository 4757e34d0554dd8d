#pragma once
// "Skalierung: Z-Achse": automatic z range or a fixed Zmin..Zmax in Ohm.

#include <QDialog>

#include "COpenGL3D.h"

class QCheckBox;
class QLineEdit;

namespace vantor::view3d {

class CZAxisDlg : public QDialog {
    Q_OBJECT
public:
    explicit CZAxisDlg(const ZAxis& axis, QWidget* parent = nullptr);
    /// The values as entered (read with ParseValue).
    ZAxis axis() const;

private:
    QCheckBox* automatic_;
    QLineEdit* zmax_;
    QLineEdit* zmin_;
};

}  // namespace vantor::view3d
