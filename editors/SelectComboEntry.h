#pragma once

#include "platform/Globals.h"

#include <QString>

namespace vemro {

// Selects the entry of a drop-down list whose text equals `text`. While it works the
// program-wide ControlsUpdating flag is raised, so the list's change handler does
// nothing — unless `asUserChoice` asks for the selection to be handled like the user's,
// in which case the handler runs even when the entry was already selected.
// Works with any combo box type (QComboBox); returns false when no entry matches.
template <typename Combo>
bool SelectComboEntry(Combo* combo, const QString& text, bool asUserChoice = false)
{
    if (!combo)
        return false;
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        return false;
    if (asUserChoice) {
        if (combo->currentIndex() == index)
            Q_EMIT combo->currentIndexChanged(index);
        else
            combo->setCurrentIndex(index);
        return true;
    }
    ControlsUpdatingGuard guard;
    combo->setCurrentIndex(index);
    return true;
}

} // namespace vemro
