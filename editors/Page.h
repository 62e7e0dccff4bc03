#pragma once

#include "editors/EditMode.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace vemro {

class PageHost;

// The order in which pages take part in opening a project (load, data side 1) and in
// saving it (inside the one save transaction). Lower ranks run first.
namespace ProjectOrder {
inline constexpr int kNone = -1; // takes no part
// Opening: the keyboard before the terminal settings, the user-defined characters after.
inline constexpr int kLoadTastatur = 10;
inline constexpr int kLoadKonfiguration = 20;
inline constexpr int kLoadUserzeichen = 30;
// Saving: the terminal settings, the keyboard, the user-defined characters.
inline constexpr int kSaveKonfiguration = 10;
inline constexpr int kSaveTastatur = 20;
inline constexpr int kSaveUserzeichen = 30;
} // namespace ProjectOrder

// One page of the main window as the frame sees it: its number (FrameNr), the edit modes
// it answers with their read and send transfers, what it does when it is chosen, and its
// part in opening and saving a project. The window asks its pages; it never numbers them.
class Page
{
public:
    // The transfers of one edit mode for "vom Terminal lesen" and "an Terminal senden".
    // A missing operation answers "unbekannte Bearbeitungsfunktion".
    struct Transfer
    {
        std::optional<EditMode> editMode;
        std::function<void()> read;
        std::function<void()> send;
    };

    virtual ~Page() = default;

    // The page frame this page fills (0 to 9).
    [[nodiscard]] virtual EditMode pageNumber() const = 0;
    // The edit modes this page answers: its page number or its sub-tabs' modes.
    [[nodiscard]] virtual QList<Transfer> transfers() { return {}; }
    // The page was chosen: the window has set the edit mode to the page number. A page with
    // sub-tabs sets its sub-tab's mode here; others may change the shared buttons.
    virtual void pageShown() {}

    // Opening a project: the rank (ProjectOrder) and the load from the project.
    [[nodiscard]] virtual int loadRank() const { return ProjectOrder::kNone; }
    virtual void loadFromProject() {}
    // Saving a project: the rank and the write into the project; false with `error` set
    // rolls the whole save back.
    [[nodiscard]] virtual int saveRank() const { return ProjectOrder::kNone; }
    [[nodiscard]] virtual bool saveToProject(QString* error)
    {
        (void)error;
        return true;
    }

    // The frame the page lives in; set when the window adds the page.
    void setHost(PageHost* host) { m_host = host; }
    [[nodiscard]] PageHost* host() const { return m_host; }

private:
    PageHost* m_host = nullptr;
};

} // namespace vemro
