#pragma once

#include "editors/EditMode.h"
#include "editors/Page.h"

#include <array>

namespace vemro {

class PageHost;

// The pages of the main window by page number: which page answers an edit mode, and the
// pages in their order for opening and saving a project.
class PageSet
{
public:
    // Adds `page` (not owned) for its page number, replacing the one there before.
    void add(Page& page, PageHost* host);
    [[nodiscard]] Page* page(int nr) const;
    // The page listing edit mode `mode` among its transfers, or nullptr.
    [[nodiscard]] Page* pageForEditMode(EditMode mode) const;
    // The transfers of edit mode `mode` (both empty when no page answers it, or for none).
    [[nodiscard]] Page::Transfer transfer(std::optional<EditMode> mode) const;
    // Every page's load from the project, by load rank.
    void loadFromProject() const;
    // Every page's save into the project, by save rank; stops at the first failure.
    [[nodiscard]] bool saveToProject(QString* error) const;

private:
    [[nodiscard]] QList<Page*> byRank(int (Page::*rank)() const) const;

    std::array<Page*, kPageCount> m_pages{};
};

} // namespace vemro
