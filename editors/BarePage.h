#pragma once

#include "editors/Page.h"

namespace vemro {

// A page whose content is not there yet: it has no transfers (both buttons answer
// "unbekannte Bearbeitungsfunktion") but keeps the page switch as designed: the edit
// mode it sets when chosen and whether the frame "aktuelles Projekt" stays visible.
// A real page registered for the same number replaces it.
class BarePage : public Page
{
public:
    BarePage(int pageNumber, int shownEditMode, bool projectFrame = true)
        : m_page(pageNumber), m_mode(shownEditMode), m_projectFrame(projectFrame)
    {
    }

    [[nodiscard]] int pageNumber() const override { return m_page; }
    void pageShown() override;

private:
    int m_page;
    int m_mode;
    bool m_projectFrame;
};

} // namespace vemro
