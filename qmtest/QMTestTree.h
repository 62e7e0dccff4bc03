#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace vemro {

// One entry of the test tree: a group (top level) or a test (below its group).
struct QMNode
{
    enum class Farbe { Schwarz, Hellblau, Gruen, Rot };

    QString text;
    bool checked = true;
    bool expanded = false;
    Farbe farbe = Farbe::Schwarz;
    QMNode* parent = nullptr;
    std::vector<std::unique_ptr<QMNode>> children;

    [[nodiscard]] QMNode* firstChild() const
    {
        return children.empty() ? nullptr : children.front().get();
    }
};

// The test tree ctlQMTests without its widget: nodes with a check mark and a colour, the
// check rules, selection and the enabled state. The page shows it and passes clicks back.
class QMTestTree : public QObject
{
    Q_OBJECT
public:
    // The colours the runner gives the entries (red, green, blue).
    static constexpr int kHellblau[3] = {128, 128, 255};
    static constexpr int kGruen[3] = {0, 192, 0};
    static constexpr int kRot[3] = {255, 0, 0};

    explicit QMTestTree(QObject* parent = nullptr);
    ~QMTestTree() override;

    void clear();
    QMNode* addGroup(const QString& text);
    QMNode* addTest(QMNode* group, const QString& text);

    [[nodiscard]] bool isEmpty() const { return m_roots.empty(); }
    [[nodiscard]] QMNode* first() const;
    [[nodiscard]] QMNode* nextSibling(const QMNode* node) const;
    [[nodiscard]] const std::vector<std::unique_ptr<QMNode>>& roots() const { return m_roots; }
    // Every node, groups followed by their tests.
    [[nodiscard]] std::vector<QMNode*> allNodes() const;
    // The first node with this text (groups and tests), or nullptr.
    [[nodiscard]] QMNode* find(const QString& text) const;

    // A check mark changed by the tester: the node's direct children take the same state and
    // a checked node checks its parent.
    void NodeCheck(QMNode* node, bool checked);
    // "alle" / "keiner".
    void setAllChecked(bool checked);
    // "einzeln auswählen": check boxes shown; switched off, every node is checked.
    void setCheckboxes(bool on);
    [[nodiscard]] bool checkboxes() const { return m_checkboxes; }

    void setFarbe(QMNode* node, QMNode::Farbe farbe);
    void setAllFarbe(QMNode::Farbe farbe);
    void select(QMNode* node);
    [[nodiscard]] QMNode* selected() const { return m_selected; }
    void setEnabled(bool on);
    [[nodiscard]] bool enabled() const { return m_enabled; }

signals:
    void rebuilt();
    void nodeChanged(vemro::QMNode* node);
    void nodeSelected(vemro::QMNode* node);
    void enabledChanged(bool on);
    void checkboxesChanged(bool on);

private:
    void setChecked(QMNode* node, bool checked);

    std::vector<std::unique_ptr<QMNode>> m_roots;
    QMNode* m_selected = nullptr;
    bool m_enabled = true;
    bool m_checkboxes = true;
};

} // namespace vemro
