#include "editors/PageSet.h"

#include <algorithm>

namespace vemro {

void PageSet::add(Page& page, PageHost* host)
{
    const int nr = toStored(page.pageNumber());
    if (nr < 0 || nr >= kPageCount)
        return;
    page.setHost(host);
    m_pages[static_cast<size_t>(nr)] = &page;
}

Page* PageSet::page(int nr) const
{
    return nr >= 0 && nr < kPageCount ? m_pages[static_cast<size_t>(nr)] : nullptr;
}

Page* PageSet::pageForEditMode(EditMode mode) const
{
    for (Page* p : m_pages) {
        if (!p)
            continue;
        const QList<Page::Transfer> transfers = p->transfers();
        if (std::any_of(transfers.cbegin(), transfers.cend(),
                        [mode](const Page::Transfer& t) { return t.editMode == mode; }))
            return p;
    }
    return nullptr;
}

Page::Transfer PageSet::transfer(std::optional<EditMode> mode) const
{
    if (!mode)
        return {};
    if (Page* p = pageForEditMode(*mode))
        for (const Page::Transfer& t : p->transfers())
            if (t.editMode == mode)
                return t;
    return {};
}

QList<Page*> PageSet::byRank(int (Page::*rank)() const) const
{
    QList<Page*> pages;
    for (Page* p : m_pages)
        if (p && (p->*rank)() != ProjectOrder::kNone)
            pages.append(p);
    std::stable_sort(pages.begin(), pages.end(),
                     [rank](Page* a, Page* b) { return (a->*rank)() < (b->*rank)(); });
    return pages;
}

void PageSet::loadFromProject() const
{
    for (Page* p : byRank(&Page::loadRank))
        p->loadFromProject();
}

bool PageSet::saveToProject(QString* error) const
{
    for (Page* p : byRank(&Page::saveRank))
        if (!p->saveToProject(error))
            return false;
    return true;
}

} // namespace vemro
