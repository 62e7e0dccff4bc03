#include "cli/CliRegistry.h"

#include "platform/ProgramInfo.h"

#include <algorithm>
#include <cstdio>

namespace vemro {

int CliContext::fail(const QString& message) const
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return 1;
}

int CliContext::usage(const QString& usage) const
{
    std::fprintf(stderr, "Aufruf: vemro-cli %s\n", usage.toLocal8Bit().constData());
    return 2;
}

CliRegistry::CliRegistry()
{
    addValueOption(QStringLiteral("home"));
}

void CliRegistry::add(Command command)
{
    m_commands.append(std::move(command));
}

void CliRegistry::addValueOption(const QString& name)
{
    m_valueOptions.insert(name);
}

QString CliRegistry::helpText() const
{
    QStringList lines{QStringLiteral("Aufruf: vemro-cli [Optionen] BEFEHL [Argumente]"), QString(),
                      QStringLiteral("Optionen: --home VERZ (Programmordner), --yes / --no "
                                     "(Antwort auf Rückfragen), --version, --help"),
                      QString(), QStringLiteral("Befehle:")};
    QList<Command> sorted = m_commands;
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    for (const Command& c : sorted)
        lines.append(QStringLiteral("  %1\n      %2").arg(c.usage, c.help));
    return lines.join(QLatin1Char('\n'));
}

int CliRegistry::run(const QStringList& arguments, QTextStream& out, ConsoleUserInterface& console)
{
    CliContext ctx{{}, {}, out, console};
    QStringList words;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            QString name = a.mid(2);
            QString value;
            const int eq = name.indexOf(QLatin1Char('='));
            if (eq >= 0) {
                value = name.mid(eq + 1);
                name = name.left(eq);
            } else if (m_valueOptions.contains(name)) {
                if (i + 1 >= arguments.size()) {
                    std::fprintf(stderr, "Option --%s braucht einen Wert\n", qPrintable(name));
                    return 2;
                }
                value = arguments.at(++i);
            }
            ctx.options.insert(name, value);
        } else {
            words.append(a);
        }
    }
    if (ctx.has(QStringLiteral("version"))) {
        out << ProgramVersionText() << '\n';
        return 0;
    }
    if (ctx.has(QStringLiteral("help")) || words.isEmpty()) {
        out << helpText() << '\n';
        return words.isEmpty() && !ctx.has(QStringLiteral("help")) ? 2 : 0;
    }
    if (ctx.has(QStringLiteral("yes")) && ctx.has(QStringLiteral("no"))) {
        std::fprintf(stderr, "--yes und --no schließen sich aus\n");
        return 2;
    }
    if (ctx.has(QStringLiteral("yes")))
        console.setPreset(ConsoleUserInterface::Preset::Yes);
    else if (ctx.has(QStringLiteral("no")))
        console.setPreset(ConsoleUserInterface::Preset::No);
    if (ctx.has(QStringLiteral("home")))
        setProgramFolder(ctx.option(QStringLiteral("home")));

    const Command* best = nullptr;
    int bestWords = 0;
    for (const Command& c : m_commands) {
        const QStringList name = c.name.split(QLatin1Char(' '));
        if (name.size() > words.size() || name.size() <= bestWords)
            continue;
        if (words.mid(0, name.size()) == name) {
            best = &c;
            bestWords = static_cast<int>(name.size());
        }
    }
    if (!best) {
        std::fprintf(stderr, "Unbekannter Befehl: %s\n%s\n", qPrintable(words.join(QLatin1Char(' '))),
                     qPrintable(helpText()));
        return 2;
    }
    ctx.args = words.mid(bestWords);
    return best->run(ctx);
}

} // namespace vemro
