#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vemro {

// Everything the core asks of a person goes through this interface: messages,
// questions, inputs, file names, the busy pointer and opening documents.
// Implementations: Qt dialogs (GUI), console (vemro-cli), scripted (tests).
class UserInterface
{
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~UserInterface() = default;

    // A modal message box with an OK button.
    virtual void message(const QString& text, const QString& title) = 0;
    // A modal question; returns the button pressed. `preselected` is the answer that Enter
    // gives (the box's default button); without it each implementation keeps its own.
    virtual Answer ask(const QString& text, Buttons buttons, const QString& title,
                       std::optional<Answer> preselected = std::nullopt) = 0;
    // An input box; std::nullopt when cancelled.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText) = 0;
    // File choice; an empty text when cancelled. `filter` as "Name (*.ext)".
    virtual QString openFileName(const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    // Hourglass pointer on or off.
    virtual void setBusy(bool busy) = 0;
    // Opens a document with its application; false when the system refused.
    virtual bool openDocument(const QString& path) = 0;
};

// The program-wide user interface. Never null: until one is installed a console
// interface answers (so library code is safe to call from tools).
[[nodiscard]] UserInterface& ui();
// Installs `ui` (not owned); nullptr restores the default console interface.
void setUi(UserInterface* ui);

// Title of the plain message boxes the program shows.
inline const QString kProductName = QStringLiteral("Vemro");

} // namespace vemro
