#pragma once

#include "link/ComPort.h"
#include "link/ComPortResolver.h"
#include "link/clsVX.h"
#include "netmodule/clsNetModul.h"

#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

namespace vemro {

class DataEnvironment;
class clsProjekt;
struct CliContext;
struct TerminalSettingsData;

// One run of vemro-cli: the program database of the program folder and the project folder,
// the port resolver made from that database, the terminal link as the link options say,
// and the project names checked by the dialog's rules. Every command reaches the terminal,
// the program database and the projects through its session, so the options mean the same
// for every command.
//
// Link options (parsed here and nowhere else):
//   --com N            the port "Com N", 1 to 8 (default 1), resolved from the program database
//   --device PATH      the device for that port in this run only
//   --net HOST[:PORT]  through the network module (data port 3001 unless given)
//   --local ADDRESS    the PC's own address for --net (and the search)
//   --speed S          9600, 19200 (default) or 38400
//   --rs485            interface kind RS485/422
class CliSession
{
public:
    explicit CliSession(CliContext& ctx);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // The link options (all) and those that take a value.
    [[nodiscard]] static const QStringList& linkOptions();
    [[nodiscard]] static const QStringList& linkValueOptions();
    // One line for the help text.
    [[nodiscard]] static QString linkHelp();

    // Opens the program database (once) and finds the project folder. False after printing why.
    [[nodiscard]] bool openProgram();
    [[nodiscard]] DataEnvironment& env();
    [[nodiscard]] QString projectFolder() const { return m_projectFolder; }
    // "Com n" -> device path, from the program database when it could be opened.
    [[nodiscard]] ComPortResolver& resolver();

    // The terminal, set up as the link options say; on the serial line the port is opened
    // unless `openPort` is false. nullptr after printing why, with the exit code in `code`.
    [[nodiscard]] clsVX* terminal(int& code, bool openPort = true);
    // The terminal as terminal() gives it, after the open project's terminal settings were
    // loaded into `d` and taken into the terminal object, as opening the project in the
    // window does. For sending, the project's values are checked first (`checked`).
    [[nodiscard]] clsVX* configuredTerminal(TerminalSettingsData& d, int& code,
                                            bool checked = false);
    [[nodiscard]] ComPort& port() { return m_port; }
    [[nodiscard]] clsNetModul& net() { return m_net; }
    // Applies --local to the network module (for commands that search without a link).
    [[nodiscard]] bool applyLocalAddress(int& code);

    // The name rules of the new-project dialog: prints every rule `name` breaks, in order.
    [[nodiscard]] bool checkProjectName(const QString& name);
    // Project NAME of the project folder: name rules, file present and connected; unless
    // `upgrade` is false also upgraded and checked against the program version. False
    // after printing why.
    [[nodiscard]] bool openProject(const QString& name, clsProjekt& projekt, bool upgrade = true);
    // Opens the project commands a transfer reads, each checked for the columns it needs,
    // before anything is sent: false after printing the damaged-project message.
    [[nodiscard]] bool requireProjectData(const QStringList& commands);

private:
    [[nodiscard]] int setUpLink(bool openPort);
    // The command only reads the project.
    [[nodiscard]] bool readsOnly() const;

    CliContext& m_ctx;
    bool m_programOpen = false;
    bool m_programTried = false;
    QString m_projectFolder;
    std::unique_ptr<ComPortResolver> m_resolver;
    std::unique_ptr<QTimer> m_timer;
    ComPort m_port;
    clsNetModul m_net;
    clsVX m_vx;
    bool m_linkReady = false;
};

// A command that needs the terminal: `action` runs with the connected terminal.
[[nodiscard]] std::function<int(CliContext&)>
withTerminal(std::function<int(CliContext&, clsVX&)> action, bool openPort = true);
// A command on project NAME, its first argument, that takes `args` arguments (else `usage`
// is printed): `action` runs with the project open, and in the second form with the
// terminal, whose link is set up after the project was opened.
[[nodiscard]] std::function<int(CliContext&)> withProject(int args, const QString& usage,
                                                          std::function<int(CliContext&)> action);
[[nodiscard]] std::function<int(CliContext&)>
withProjectAndTerminal(int args, const QString& usage,
                       std::function<int(CliContext&, clsVX&)> action);

} // namespace vemro
