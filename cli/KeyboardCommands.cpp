// vemro-cli commands of the keyboard and the user-defined characters: the same cores as the
// pages "Tastatur" and "User-Zeichen".
#include "cli/KeyboardCommands.h"

#include "cli/CliRegistry.h"
#include "cli/CliSession.h"
#include "config/KeyboardSettings.h"
#include "config/TerminalSettingsCore.h"
#include "config/UserCharPattern.h"
#include "config/UserCharacters.h"
#include "link/ComPort.h"
#include "link/clsVX.h"
#include "platform/Codepage.h"
#include "platform/LocalWait.h"
#include "project/DataEnvironment.h"

#include <QElapsedTimer>

#include <csignal>

namespace vemro {

namespace {

// The terminal's parameter form decides how commands are built. The first guess is the
// project's form, taken into the terminal object as opening the project in the window does;
// a terminal that does not answer the mode query in that form is asked in the other one.
bool learnParameterForm(CliContext& ctx, clsVX& vx)
{
    TerminalSettingsCore core(vx, ctx.session->env());
    TerminalSettingsData d = core.terminalObject();
    if (core.loadFromProject(d))
        core.takeMode(d);
    QString error;
    if (core.readMode(d, &error))
        return true;
    vx.ParameterMode = vx.ParameterMode == 0 ? 1 : 0;
    if (core.readMode(d, &error))
        return true;
    ctx.fail(error);
    return false;
}

int keysRead(CliContext& ctx, clsVX& vx)
{
    if (!learnParameterForm(ctx, vx))
        return 1;
    QString error;
    KeyboardSettings keys(vx, ctx.session->env());
    if (!keys.readAllIntoProject(&error))
        return ctx.fail(error);
    ctx.out << "Tastaturkonfiguration und 32 Tastencodes gelesen\n";
    return 0;
}

// Writes the project's configuration and key codes, then reads both back: the terminal
// answers neither "TK" nor "TC", so only the read-back tells what it holds.
int keysWrite(CliContext& ctx, clsVX& vx)
{
    if (!ctx.session->requireProjectData(
            {QStringLiteral("cmdTastaturmodus"), QStringLiteral("cmdTastencodes")}))
        return 1;
    QString error;
    KeyboardSettings keys(vx, ctx.session->env());
    KeyCodeTable table;
    if (!keys.loadConfig(&error) || !keys.loadCodesFromProject(table, &error))
        return ctx.fail(error);
    const KeyboardConfig config = KeyboardSettings::fromKeyboard(*vx.Keyboard());
    // Nothing goes out before both are known to be possible.
    for (const QString& problem :
         {KeyboardSettings::configProblem(config), clsVX::TastaturcodesProblem(table)}) {
        if (!problem.isEmpty())
            return ctx.fail(problem);
    }
    if (!learnParameterForm(ctx, vx))
        return 1;
    if (!keys.writeConfig(&error) || !keys.writeCodes(table, &error) ||
        !keys.verifyConfig(config, &error) || !keys.verifyCodes(table, &error))
        return ctx.fail(error);
    ctx.out << "Tastaturkonfiguration und Tastencodes geschrieben\n";
    return 0;
}

int keysStandard(CliContext& ctx)
{
    QString error;
    clsVX vx; // the project's table only
    KeyboardSettings keys(vx, ctx.session->env());
    if (!keys.storeCodesToProject(KeyboardSettings::standardTable(), &error))
        return ctx.fail(error);
    ctx.out << "Standardbelegung gespeichert\n";
    return 0;
}

int keysShow(CliContext& ctx)
{
    KeyCodeTable table;
    QString error;
    clsVX vx; // the project's table only
    if (!KeyboardSettings(vx, ctx.session->env()).loadCodesFromProject(table, &error))
        return ctx.fail(error);
    for (const KeyCodeRow& row : table)
        ctx.out << row.TastenNr << '\t' << row.Tastencode << '\t' << row.Tastencode_Shift << '\n';
    return 0;
}

int charsWrite(CliContext& ctx, clsVX& vx)
{
    if (!ctx.session->requireProjectData({QStringLiteral("cmdUserzeichen")}) ||
        !learnParameterForm(ctx, vx))
        return 1;
    QString error;
    // The messages have been shown; the exit code tells the rest.
    if (!UserCharacters(vx, ctx.session->env()).writeToTerminal(&error))
        return 1;
    ctx.out << "72 Zellen geschrieben, Terminal zurückgesetzt\n";
    return 0;
}

int charsShow(CliContext& ctx)
{
    bool ok = false;
    const int slot = ctx.args.at(1).toInt(&ok);
    if (!ok || slot < 0 || slot > 7)
        return ctx.usage(QStringLiteral("chars show NAME PLATZ   (PLATZ 0 bis 7)"));
    UserCharSet chars;
    QString error;
    clsVX vx; // the project's characters only
    if (!UserCharacters(vx, ctx.session->env()).loadFromProject(chars, &error))
        return ctx.fail(error);
    const UserChar& c = chars[static_cast<size_t>(slot)];
    if (!c.present)
        return ctx.fail(QStringLiteral("Zeichen %1 fehlt im Projekt").arg(slot));
    const UserCharPattern p = UserCharPattern::fromRows(c.rows);
    for (int row = 0; row < UserCharPattern::kRows; ++row) {
        for (int col = 0; col < UserCharPattern::kCols; ++col)
            ctx.out << (p.pixel(row * UserCharPattern::kCols + col) ? '#' : '.');
        ctx.out << "  " << UserCharPattern::rowCodeText(p.rowCode(row)) << '\n';
    }
    ctx.out << "Tauschzeichen: " << c.Tauschzeichen << '\n';
    return 0;
}

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int)
{
    g_interrupted = 1;
}

int keytest(CliContext& ctx, clsVX& vx)
{
    double seconds = -1;
    if (ctx.has(QStringLiteral("seconds"))) {
        bool ok = false;
        seconds = ctx.option(QStringLiteral("seconds")).toDouble(&ok);
        if (!ok || seconds <= 0)
            return ctx.fail(QStringLiteral("--seconds braucht eine Zahl größer 0"));
    }
    const bool hex = ctx.has(QStringLiteral("hex"));
    ComPort* port = vx.ctlcom();
    if (vx.ComMode == ComMode::Network || !port)
        return ctx.fail(QStringLiteral("keytest braucht eine serielle Schnittstelle"));
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    auto print = [&](const QByteArray& bytes) {
        for (char c : bytes) {
            const auto code = static_cast<uchar>(c);
            if (hex)
                ctx.out << '$'
                        << QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0'))
                        << '\n';
            else
                ctx.out << AnsiToString(QByteArray(1, c));
        }
        ctx.out.flush();
    };
    QObject::connect(port, &ComPort::receiveEvent, port, [&] { print(port->read()); });
    port->setReceiveEvents(true);
    ctx.out << "Tastentest: Tasten am Terminal drücken (Ende mit Strg+C)\n";
    ctx.out.flush();
    QElapsedTimer clock;
    clock.start();
    // The wait sleeps in the event loop; a signal is noticed within a quarter second.
    while (!g_interrupted && (seconds < 0 || clock.elapsed() < seconds * 1000)) {
        const qint64 left =
            seconds < 0 ? 250 : qMin<qint64>(250, qint64(seconds * 1000) - clock.elapsed());
        PauseMS(static_cast<int>(qMax<qint64>(1, left)));
    }
    port->setReceiveEvents(false);
    print(port->read());
    if (!hex)
        ctx.out << '\n';
    return 0;
}

// The registry row of a command on project NAME that takes `args` arguments: `usage` is
// both its synopsis and what a wrong call prints.
CliRegistry::Command onProject(const QString& name, const QString& usage, int args,
                               const QString& help, std::function<int(CliContext&)> action)
{
    return {name, usage, help, withProject(args, usage, std::move(action))};
}

// The same for a command that also needs the terminal (it takes the link options).
CliRegistry::Command onProjectAndTerminal(const QString& name, const QString& usage, int args,
                                          const QString& help,
                                          std::function<int(CliContext&, clsVX&)> action)
{
    return {name, usage, help, withProjectAndTerminal(args, usage, std::move(action)), {}, true};
}

} // namespace

void registerKeyboardCommands(CliRegistry& registry)
{
    registry.addValueOption(QStringLiteral("seconds"));
    registry.add(onProjectAndTerminal(
        QStringLiteral("keys read"), QStringLiteral("keys read NAME"), 1,
        QStringLiteral("Tastaturkonfiguration und 32 Tastencodes vom Terminal ins Projekt"),
        keysRead));
    registry.add(onProjectAndTerminal(
        QStringLiteral("keys write"), QStringLiteral("keys write NAME"), 1,
        QStringLiteral("Tastaturkonfiguration und Tastencodes des Projekts ins Terminal"),
        keysWrite));
    registry.add(onProject(QStringLiteral("keys standard"), QStringLiteral("keys standard NAME"), 1,
                           QStringLiteral("Standardbelegung (a..z / A..Z ...) ins Projekt"),
                           keysStandard));
    registry.add(onProject(QStringLiteral("keys show"), QStringLiteral("keys show NAME"), 1,
                           QStringLiteral("zeigt die 32 Tastencodes des Projekts"), keysShow));
    registry.add(onProjectAndTerminal(
        QStringLiteral("chars write"), QStringLiteral("chars write NAME"), 1,
        QStringLiteral("die acht User-Zeichen ins EEPROM (72 Zellen), dann Reset"), charsWrite));
    registry.add(onProject(QStringLiteral("chars show"), QStringLiteral("chars show NAME PLATZ"), 2,
                           QStringLiteral("zeigt ein User-Zeichen des Projekts als Matrix"),
                           charsShow));
    registry.add({QStringLiteral("keytest"),
                  QStringLiteral("keytest [--hex] [--seconds S]"),
                  QStringLiteral("zeigt die Tastencodes, die das Terminal sendet"),
                  withTerminal([](CliContext& ctx, clsVX& vx) {
                      if (!ctx.args.isEmpty())
                          return ctx.usage(QStringLiteral("keytest [--hex] [--seconds S]"));
                      return keytest(ctx, vx);
                  }),
                  {QStringLiteral("hex"), QStringLiteral("seconds")},
                  true});
}

} // namespace vemro
