#pragma once

#include "platform/UserInterface.h"

#include <cstdio>

namespace vemro {

// vemro-cli's user interface: messages go to standard error; questions are answered
// by a preset answer (--yes / --no) or, without one, read from an interactive
// standard input; with neither, the cautious answer (No / Cancel) is taken.
class ConsoleUserInterface : public UserInterface
{
public:
    enum class Preset { None, Yes, No };

    explicit ConsoleUserInterface(FILE* out = stderr, FILE* in = stdin);

    void setPreset(Preset preset) { m_preset = preset; }

    void message(const QString& text, const QString& title) override;
    Answer ask(const QString& text, Buttons buttons, const QString& title,
               std::optional<Answer> preselected = std::nullopt) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString openFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    void setBusy(bool busy) override;
    bool openDocument(const QString& path) override;

private:
    [[nodiscard]] bool interactive() const;
    std::optional<QString> readLine();

    FILE* m_out;
    FILE* m_in;
    Preset m_preset = Preset::None;
};

} // namespace vemro
