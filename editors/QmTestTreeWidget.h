#pragma once

#include <QHash>
#include <QTreeWidget>

namespace vemro {

class QMTestTree;
struct QMNode;

// The test tree ctlQMTests: shows the production test's tree (check marks, colours,
// selection, enabled state) and hands the tester's check marks back to it.
class QmTestTreeWidget : public QTreeWidget
{
    Q_OBJECT
public:
    explicit QmTestTreeWidget(QMTestTree& tree, QWidget* parent = nullptr);

    [[nodiscard]] QTreeWidgetItem* itemOf(QMNode* node) const { return m_items.value(node); }

private:
    void rebuild();
    void refresh(QMNode* node);
    void onItemChanged(QTreeWidgetItem* item, int column);

    QMTestTree& m_tree;
    QHash<QMNode*, QTreeWidgetItem*> m_items;
    bool m_updating = false;
};

} // namespace vemro
