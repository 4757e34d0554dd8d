#include "CTracesTreeView.h"

#include <set>

#include <QHeaderView>
#include <QSignalBlocker>

#include "CLayer.h"
#include "CVtrDoc.h"
#include "GraphTraces.h"

namespace vantor::ui {

CTracesTreeView::CTracesTreeView(QWidget* parent) : QTreeWidget(parent) {
    setAccessibleName(QStringLiteral("Kurven"));
    setHeaderHidden(true);
    setColumnCount(1);
    root_ = new QTreeWidgetItem(this, QStringList(QStringLiteral("FreqDomain")));
    root_->setFlags(Qt::ItemIsEnabled);
    root_->setExpanded(true);
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (item->parent() != root_) return;
        clicked_ = item->text(0);
        emit tracesChanged();
        clicked_.clear();
    });
}

QTreeWidgetItem* CTracesTreeView::findTrace(const std::string& name) const {
    const QString text = QString::fromStdString(name);
    for (int i = 0; i < root_->childCount(); ++i)
        if (root_->child(i)->text(0) == text) return root_->child(i);
    return nullptr;
}

bool CTracesTreeView::isChecked(const std::string& name) const {
    const QTreeWidgetItem* item = findTrace(name);
    return item == nullptr || item->checkState(0) == Qt::Checked;
}

void CTracesTreeView::ensure(const std::string& name) {
    if (findTrace(name) != nullptr) return;
    auto* item = new QTreeWidgetItem(root_, QStringList(QString::fromStdString(name)));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(0, Qt::Checked);
}

void CTracesTreeView::remove(const std::string& name) { delete findTrace(name); }

void CTracesTreeView::refresh(const CVtrDoc& doc) {
    // Building the tree is no click of the person's.
    const QSignalBlocker quiet(this);
    const CCGroup* group = doc.currentGroup();
    if (group != nullptr && group->CapacitorCount() >= 1)
        ensure(kApproxTrace);
    else
        remove(kApproxTrace);

    // Probe items follow the curves there are: a probe that went, or
    // results that were dropped, take their items with them.
    std::set<QString> probes;
    if (const CLayer* plane = doc.plane(); plane != nullptr && plane->HasResults())
        for (const auto& probe : plane->probes) {
            ensure(probe->name);
            probes.insert(QString::fromStdString(probe->name));
        }
    for (int i = root_->childCount() - 1; i >= 0; --i) {
        const QString text = root_->child(i)->text(0);
        if (text != QLatin1String(kApproxTrace) && text != QLatin1String(kFilterTrace) && !probes.count(text))
            delete root_->child(i);
    }

    if (doc.filter().candidates.empty())
        remove(kFilterTrace);
    else
        ensure(kFilterTrace);
    root_->setExpanded(true);
}

}  // namespace vantor::ui
