#pragma once
// The traces tree beside the graph: one checkable item per curve the
// document can show, under the root "FreqDomain". The check state decides
// whether a curve is drawn; it lives only here.

#include <string>

#include <QTreeWidget>

namespace vantor {
class CVtrDoc;
}

namespace vantor::ui {

class CTracesTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit CTracesTreeView(QWidget* parent = nullptr);

    /// Follows the document: "Approx" while the current group holds a
    /// capacitor, one item per probe while results are stored, "Filter"
    /// while the filter has candidates. New items come checked; an item
    /// keeps the state the person gave it.
    void refresh(const CVtrDoc& doc);

    /// The child of "FreqDomain" with exactly this text, or null.
    QTreeWidgetItem* findTrace(const std::string& name) const;
    /// Whether the item of that name is checked; a curve without an item
    /// is drawn.
    bool isChecked(const std::string& name) const;
    /// The text of the item last clicked, while the graph rebuilds for it.
    const QString& clickedText() const { return clicked_; }

signals:
    /// A check box changed: the graph rebuilds.
    void tracesChanged();

private:
    void ensure(const std::string& name);
    void remove(const std::string& name);

    QTreeWidgetItem* root_;
    QString clicked_;
};

}  // namespace vantor::ui
