#pragma once

#include "platform/ConsoleUserInterface.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>

namespace vemro {

class CliSession;

// What a subcommand gets: its arguments after the command words, the options, the
// output stream for results, the console user interface for messages and questions, and
// the session (program database, port resolver, terminal link, project names).
struct CliContext
{
    QStringList args;
    QHash<QString, QString> options; // "--home DIR" -> options["home"] = "DIR"; flags map to ""
    QTextStream& out;
    ConsoleUserInterface& console;
    CliSession* session = nullptr;
    QString command = {}; // the command's words, e.g. "texts show"

    [[nodiscard]] bool has(const QString& option) const { return options.contains(option); }
    [[nodiscard]] QString option(const QString& name, const QString& fallback = {}) const
    {
        return options.value(name, fallback);
    }
    // Prints an error to standard error and gives the exit code 1.
    int fail(const QString& message) const;
    // Prints the usage of a wrong call and gives the exit code 2.
    int usage(const QString& usage) const;
};

// A whole number from `low` to `high` (blanks around it allowed) into `value`; false, with
// `value` untouched, for anything else.
[[nodiscard]] bool readNumber(const QString& text, qint64 low, qint64 high, qint64* value);
[[nodiscard]] bool readNumber(const QString& text, int low, int high, int* value);

// The subcommands of vemro-cli. A command is one or more words ("ports map", "io get");
// the longest registered match wins. Options are checked before any command runs: an
// option nobody declared, or one the chosen command does not take, ends the run with
// exit code 2.
class CliRegistry
{
public:
    struct Command
    {
        Command(QString name, QString usage, QString help, std::function<int(CliContext&)> run,
                QStringList options = {}, bool link = false)
            : name(std::move(name)), usage(std::move(usage)), help(std::move(help)),
              run(std::move(run)), options(std::move(options)), link(link)
        {
        }

        QString name;  // words separated by blanks
        QString usage; // e.g. "upgrade DATEI" (the link options are added for link commands)
        QString help;  // one line
        std::function<int(CliContext&)> run;
        QStringList options; // own options besides the general ones, e.g. {"template"}
        bool link = false;   // takes the link options --com, --device, --net, --speed, --rs485
    };

    CliRegistry();
    void add(Command command);
    // Options that take a value ("--template VORLAGE"); all others are flags.
    void addValueOption(const QString& name);
    [[nodiscard]] int run(const QStringList& arguments, QTextStream& out,
                          ConsoleUserInterface& console);
    [[nodiscard]] QString helpText() const;

private:
    [[nodiscard]] bool known(const QString& option) const;
    [[nodiscard]] const Command* find(const QStringList& words, int& matched) const;

    QList<Command> m_commands;
    QSet<QString> m_valueOptions;
};

} // namespace vemro
