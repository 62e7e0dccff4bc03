#pragma once

#include "editors/Page.h"

#include <functional>

namespace vemro::test {

// A page whose transfers and project part a test writes: for checking the frame's dispatch
// and its opening and saving without the real pages.
class ScriptedPage : public Page
{
public:
    explicit ScriptedPage(int nr) : m_nr(nr) {}

    [[nodiscard]] EditMode pageNumber() const override { return static_cast<EditMode>(m_nr); }
    [[nodiscard]] QList<Transfer> transfers() override { return transferList; }
    [[nodiscard]] int loadRank() const override { return load ? loadOrder : ProjectOrder::kNone; }
    void loadFromProject() override
    {
        if (load)
            load();
    }
    [[nodiscard]] int saveRank() const override { return save ? saveOrder : ProjectOrder::kNone; }
    [[nodiscard]] bool saveToProject(QString* error) override { return !save || save(error); }

    QList<Transfer> transferList;
    int loadOrder = ProjectOrder::kNone;
    int saveOrder = ProjectOrder::kNone;
    std::function<void()> load;
    std::function<bool(QString*)> save;

private:
    int m_nr;
};

} // namespace vemro::test
