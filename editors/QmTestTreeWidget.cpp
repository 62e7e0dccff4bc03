#include "editors/QmTestTreeWidget.h"

#include "qmtest/QMTestTree.h"

#include <QBrush>
#include <QColor>

namespace vemro {

namespace {

QColor colourOf(QMNode::Farbe farbe)
{
    const auto rgb = [](const int(&c)[3]) { return QColor(c[0], c[1], c[2]); };
    switch (farbe) {
    case QMNode::Farbe::Hellblau:
        return rgb(QMTestTree::kHellblau);
    case QMNode::Farbe::Gruen:
        return rgb(QMTestTree::kGruen);
    case QMNode::Farbe::Rot:
        return rgb(QMTestTree::kRot);
    case QMNode::Farbe::Schwarz:
        break;
    }
    return QColor(0, 0, 0);
}

} // namespace

QmTestTreeWidget::QmTestTreeWidget(QMTestTree& tree, QWidget* parent)
    : QTreeWidget(parent), m_tree(tree)
{
    setObjectName(QStringLiteral("ctlQMTests"));
    setHeaderHidden(true);
    setColumnCount(1);
    connect(&m_tree, &QMTestTree::rebuilt, this, &QmTestTreeWidget::rebuild);
    connect(&m_tree, &QMTestTree::nodeChanged, this, &QmTestTreeWidget::refresh);
    connect(&m_tree, &QMTestTree::checkboxesChanged, this, &QmTestTreeWidget::rebuild);
    connect(&m_tree, &QMTestTree::enabledChanged, this, [this](bool on) {
        setEnabled(on);
        // After a run the colours must be readable: no entry stays highlighted.
        if (on)
            clearSelection();
    });
    connect(&m_tree, &QMTestTree::nodeSelected, this, [this](QMNode* node) {
        if (QTreeWidgetItem* item = itemOf(node)) {
            setCurrentItem(item);
            scrollToItem(item);
        }
    });
    connect(this, &QTreeWidget::itemChanged, this, &QmTestTreeWidget::onItemChanged);
    rebuild();
}

void QmTestTreeWidget::rebuild()
{
    m_updating = true;
    clear();
    m_items.clear();
    for (QMNode* node : m_tree.allNodes()) {
        QTreeWidgetItem* item = node->parent ? new QTreeWidgetItem(m_items.value(node->parent))
                                             : new QTreeWidgetItem(this);
        m_items.insert(node, item);
        item->setText(0, node->text);
    }
    for (QMNode* node : m_tree.allNodes()) {
        refresh(node);
        if (node->expanded)
            m_items.value(node)->setExpanded(true);
    }
    m_updating = false;
}

void QmTestTreeWidget::refresh(QMNode* node)
{
    QTreeWidgetItem* item = itemOf(node);
    if (!item)
        return;
    const bool was = m_updating;
    m_updating = true;
    if (m_tree.checkboxes()) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, node->checked ? Qt::Checked : Qt::Unchecked);
    } else {
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        item->setData(0, Qt::CheckStateRole, QVariant());
    }
    item->setForeground(0, QBrush(colourOf(node->farbe)));
    QFont f = item->font(0);
    f.setBold(node->farbe == QMNode::Farbe::Rot || node->farbe == QMNode::Farbe::Gruen);
    item->setFont(0, f);
    m_updating = was;
}

void QmTestTreeWidget::onItemChanged(QTreeWidgetItem* item, int column)
{
    if (m_updating || column != 0 || !m_tree.checkboxes())
        return;
    QMNode* node = m_items.key(item, nullptr);
    if (!node)
        return;
    const bool checked = item->checkState(0) == Qt::Checked;
    if (checked != node->checked)
        m_tree.NodeCheck(node, checked);
}

} // namespace vemro
