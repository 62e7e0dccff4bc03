#pragma once

#include "platform/ConsoleUserInterface.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

namespace vemro {

// What a subcommand gets: its arguments after the command words, the options, the
// output stream for results and the console user interface for messages and questions.
struct CliContext
{
    QStringList args;
    QHash<QString, QString> options; // "--home DIR" -> options["home"] = "DIR"; flags map to ""
    QTextStream& out;
    ConsoleUserInterface& console;

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

// The subcommands of vemro-cli. A command is one or more words ("ports map", "io get");
// the longest registered match wins.
class CliRegistry
{
public:
    struct Command
    {
        QString name;  // words separated by blanks
        QString usage; // e.g. "upgrade DATEI"
        QString help;  // one line
        std::function<int(CliContext&)> run;
    };

    CliRegistry();
    void add(Command command);
    // Options that take a value ("--home DIR"); all others are flags.
    void addValueOption(const QString& name);
    [[nodiscard]] int run(const QStringList& arguments, QTextStream& out, ConsoleUserInterface& console);
    [[nodiscard]] QString helpText() const;

private:
    QList<Command> m_commands;
    QSet<QString> m_valueOptions;
};

} // namespace vemro
