#pragma once

class QCoreApplication;

namespace vemro {

// Loads Qt's own German texts (buttons of message boxes, file dialogs), so that the
// program is German throughout. Debian ships them in qt6-translations-l10n; without
// them Qt's English texts stay. Returns whether the German Qt texts were found.
bool InstallQtTranslations(QCoreApplication& app);

} // namespace vemro
