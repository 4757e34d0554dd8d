#include "NamedComboAccessible.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>

namespace vantor::ui {

namespace {

// What Qt's own combo box interface offers (its list and its text field as
// children, the popup as action), with the name a person gave it.
class NamedComboAccessible : public QAccessibleWidget {
public:
    explicit NamedComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        const QString name = combo()->accessibleName();
        if (t == QAccessible::Name && !name.isEmpty()) return name;
        if (t == QAccessible::Name || t == QAccessible::Value)
            return combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
        if (t == QAccessible::Accelerator) return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return combo()->isEditable() ? 2 : 1; }

    QAccessibleInterface* child(int index) const override {
        if (index == 0) return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && combo()->isEditable()) return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) return -1;
        if (child->object() == combo()->view()) return 0;
        if (combo()->isEditable() && child->object() == combo()->lineEdit()) return 1;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        QLineEdit* edit = combo()->lineEdit();
        if (edit != nullptr && edit->rect().contains(edit->mapFromGlobal(QPoint(x, y)))) return child(1);
        return nullptr;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) return;
        if (combo()->view()->isVisible())
            combo()->hidePopup();
        else
            combo()->showPopup();
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* NamedComboFactory(const QString& className, QObject* object) {
    auto* combo = qobject_cast<QComboBox*>(object);
    if (combo == nullptr || className != QLatin1String("QComboBox")) return nullptr;
    return new NamedComboAccessible(combo);
}

}  // namespace

void InstallNamedComboAccessible() {
    static const bool installed = (QAccessible::installFactory(&NamedComboFactory), true);
    (void)installed;
}

}  // namespace vantor::ui
