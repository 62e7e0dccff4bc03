#include "qmtest/QMTestTree.h"

namespace vemro {

QMTestTree::QMTestTree(QObject* parent) : QObject(parent) {}

QMTestTree::~QMTestTree() = default;

void QMTestTree::clear()
{
    m_selected = nullptr;
    m_roots.clear();
    emit rebuilt();
}

QMNode* QMTestTree::addGroup(const QString& text)
{
    auto node = std::make_unique<QMNode>();
    node->text = text;
    node->expanded = true;
    m_roots.push_back(std::move(node));
    emit rebuilt();
    return m_roots.back().get();
}

QMNode* QMTestTree::addTest(QMNode* group, const QString& text)
{
    if (!group)
        return nullptr;
    auto node = std::make_unique<QMNode>();
    node->text = text;
    node->parent = group;
    group->children.push_back(std::move(node));
    emit rebuilt();
    return group->children.back().get();
}

QMNode* QMTestTree::first() const
{
    return m_roots.empty() ? nullptr : m_roots.front().get();
}

QMNode* QMTestTree::nextSibling(const QMNode* node) const
{
    if (!node)
        return nullptr;
    const auto& list = node->parent ? node->parent->children : m_roots;
    for (size_t i = 0; i + 1 < list.size(); ++i) {
        if (list[i].get() == node)
            return list[i + 1].get();
    }
    return nullptr;
}

std::vector<QMNode*> QMTestTree::allNodes() const
{
    std::vector<QMNode*> nodes;
    for (const auto& root : m_roots) {
        nodes.push_back(root.get());
        for (const auto& child : root->children)
            nodes.push_back(child.get());
    }
    return nodes;
}

QMNode* QMTestTree::find(const QString& text) const
{
    for (QMNode* node : allNodes()) {
        if (node->text == text)
            return node;
    }
    return nullptr;
}

void QMTestTree::setChecked(QMNode* node, bool checked)
{
    if (node->checked == checked)
        return;
    node->checked = checked;
    emit nodeChanged(node);
}

void QMTestTree::NodeCheck(QMNode* node, bool checked)
{
    if (!node)
        return;
    setChecked(node, checked);
    for (const auto& child : node->children)
        setChecked(child.get(), checked);
    if (checked && node->parent)
        setChecked(node->parent, true);
}

void QMTestTree::setAllChecked(bool checked)
{
    for (QMNode* node : allNodes())
        setChecked(node, checked);
}

void QMTestTree::setCheckboxes(bool on)
{
    m_checkboxes = on;
    if (!on)
        setAllChecked(true);
    emit checkboxesChanged(on);
}

void QMTestTree::setFarbe(QMNode* node, QMNode::Farbe farbe)
{
    if (!node || node->farbe == farbe)
        return;
    node->farbe = farbe;
    emit nodeChanged(node);
}

void QMTestTree::setAllFarbe(QMNode::Farbe farbe)
{
    for (QMNode* node : allNodes())
        setFarbe(node, farbe);
}

void QMTestTree::select(QMNode* node)
{
    m_selected = node;
    emit nodeSelected(node);
}

void QMTestTree::setEnabled(bool on)
{
    if (m_enabled == on)
        return;
    m_enabled = on;
    emit enabledChanged(on);
}

} // namespace vemro
