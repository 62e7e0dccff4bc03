#pragma once

#include "platform/UserInterface.h"

#include <QQueue>
#include <QStringList>

#include <cstdio>

namespace vemro {

// The operator's side of the production test at the console: questions and input boxes are
// answered in order from --answers (yes/ja/no/nein for questions, the text for inputs),
// the serial-number box by --serial, and otherwise by a line read from standard input (end of
// input: No / cancelled; an empty line takes an input box's default shown in brackets).
// Every question and answer is echoed; messages go to the console.
// A preselected answer is not taken: each question of the test is answered explicitly.
class QmTestAnswers : public UserInterface
{
public:
    QmTestAnswers(UserInterface& console, const QStringList& answers, const QString& serial,
                  FILE* echo = stderr, FILE* in = stdin);

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

    // Reads a yes/no word; nullopt when it is neither.
    [[nodiscard]] static std::optional<bool> yesNo(const QString& word);

private:
    std::optional<QString> next();
    void echo(const QString& text);

    UserInterface& m_console;
    QQueue<QString> m_answers;
    QString m_serial;
    bool m_serialUsed = false;
    FILE* m_echo;
    FILE* m_in;
};

} // namespace vemro
