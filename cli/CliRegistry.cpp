#include "cli/CliRegistry.h"

#include "cli/CliSession.h"
#include "platform/ProgramInfo.h"

#include <algorithm>
#include <cstdio>

namespace vemro {

namespace {

// Options every command takes.
const QStringList kGeneralOptions{QStringLiteral("home"), QStringLiteral("yes"),
                                  QStringLiteral("no"), QStringLiteral("version"),
                                  QStringLiteral("help")};

void error(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

} // namespace

int CliContext::fail(const QString& message) const
{
    error(message);
    return 1;
}

int CliContext::usage(const QString& usage) const
{
    std::fprintf(stderr, "Aufruf: vemro-cli %s\n", usage.toLocal8Bit().constData());
    return 2;
}

bool readNumber(const QString& text, qint64 low, qint64 high, qint64* value)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

bool readNumber(const QString& text, int low, int high, int* value)
{
    qint64 v = 0;
    if (!readNumber(text, qint64{low}, qint64{high}, &v))
        return false;
    *value = static_cast<int>(v);
    return true;
}

CliRegistry::CliRegistry()
{
    addValueOption(QStringLiteral("home"));
    for (const QString& option : CliSession::linkValueOptions())
        addValueOption(option);
}

void CliRegistry::add(Command command)
{
    m_commands.append(std::move(command));
}

void CliRegistry::addValueOption(const QString& name)
{
    m_valueOptions.insert(name);
}

bool CliRegistry::known(const QString& option) const
{
    if (kGeneralOptions.contains(option) || m_valueOptions.contains(option) ||
        CliSession::linkOptions().contains(option))
        return true;
    return std::any_of(m_commands.cbegin(), m_commands.cend(),
                       [&option](const Command& c) { return c.options.contains(option); });
}

QString CliRegistry::helpText() const
{
    QStringList lines{QStringLiteral("Aufruf: vemro-cli [Optionen] BEFEHL [Argumente]"),
                      QString(),
                      QStringLiteral("Optionen: --home VERZ (Programmordner), --yes / --no "
                                     "(Antwort auf Rückfragen), --version, --help"),
                      QStringLiteral("Verbindung (Befehle mit [Verbindung]): ") +
                          CliSession::linkHelp(),
                      QString(),
                      QStringLiteral("Befehle:")};
    QList<Command> sorted = m_commands;
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    for (const Command& c : sorted)
        lines.append(
            QStringLiteral("  %1%2\n      %3")
                .arg(c.usage, c.link ? QStringLiteral(" [Verbindung]") : QString(), c.help));
    return lines.join(QLatin1Char('\n'));
}

const CliRegistry::Command* CliRegistry::find(const QStringList& words, int& matched) const
{
    const Command* best = nullptr;
    matched = 0;
    for (const Command& c : m_commands) {
        const QStringList name = c.name.split(QLatin1Char(' '));
        if (name.size() > words.size() || name.size() <= matched)
            continue;
        if (words.mid(0, name.size()) == name) {
            best = &c;
            matched = static_cast<int>(name.size());
        }
    }
    return best;
}

int CliRegistry::run(const QStringList& arguments, QTextStream& out, ConsoleUserInterface& console)
{
    CliContext ctx{{}, {}, out, console};
    QStringList words;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (!a.startsWith(QLatin1String("--"))) {
            words.append(a);
            continue;
        }
        QString name = a.mid(2);
        QString value;
        const int eq = static_cast<int>(name.indexOf(QLatin1Char('=')));
        const bool inlineValue = eq >= 0;
        if (inlineValue) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        }
        if (name.isEmpty() || !known(name)) {
            error(QStringLiteral("Unbekannte Option: %1 (vemro-cli --help zeigt alle Optionen)")
                      .arg(a));
            return 2;
        }
        if (m_valueOptions.contains(name)) {
            if (!inlineValue) {
                if (i + 1 >= arguments.size()) {
                    error(QStringLiteral("Option --%1 braucht einen Wert").arg(name));
                    return 2;
                }
                value = arguments.at(++i);
            }
        } else if (inlineValue) {
            error(QStringLiteral("Option --%1 nimmt keinen Wert").arg(name));
            return 2;
        }
        ctx.options.insert(name, value);
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
        error(QStringLiteral("--yes und --no schließen sich aus"));
        return 2;
    }
    if (ctx.has(QStringLiteral("home")) && ctx.option(QStringLiteral("home")).trimmed().isEmpty()) {
        // An empty folder would silently become the install folder.
        error(QStringLiteral("Option --home braucht ein Verzeichnis"));
        return 2;
    }

    int matched = 0;
    const Command* best = find(words, matched);
    if (!best) {
        error(QStringLiteral("Unbekannter Befehl: %1\n%2")
                  .arg(words.join(QLatin1Char(' ')), helpText()));
        return 2;
    }
    for (auto it = ctx.options.cbegin(); it != ctx.options.cend(); ++it) {
        const QString& name = it.key();
        if (kGeneralOptions.contains(name) || best->options.contains(name) ||
            (best->link && CliSession::linkOptions().contains(name)))
            continue;
        error(QStringLiteral("Option --%1 gilt nicht für den Befehl \"%2\"").arg(name, best->name));
        return 2;
    }
    if (ctx.has(QStringLiteral("yes")))
        console.setPreset(ConsoleUserInterface::Preset::Yes);
    else if (ctx.has(QStringLiteral("no")))
        console.setPreset(ConsoleUserInterface::Preset::No);
    if (ctx.has(QStringLiteral("home")))
        setProgramFolder(ctx.option(QStringLiteral("home")));

    ctx.args = words.mid(matched);
    ctx.command = best->name;
    CliSession session(ctx);
    ctx.session = &session;
    return best->run(ctx);
}

} // namespace vemro
