// vxsim: the virtual Vobrix terminal (options and control commands in docs/vxsim.md).
#include "sim/VxControlServer.h"
#include "sim/VxNetModule.h"
#include "sim/VxPtyTransport.h"
#include "sim/VxTerminal.h"
#include "sim/VxTrafficLog.h"
#include "sim/gui/VxTerminalWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

using namespace vemro;

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    const ssize_t n = ::write(g_signalPipe[0], &c, 1);
    (void)n;
}

bool hasArg(int argc, char** argv, const char* name)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], name) == 0)
            return true;
    return false;
}

int speedCodeFor(int baud)
{
    switch (baud) {
    case 9600:
        return 0;
    case 19200:
        return 1;
    case 38400:
        return 2;
    default:
        return -1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::unique_ptr<QCoreApplication> app;
    if (hasArg(argc, argv, "--gui"))
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vxsim"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Virtuelles Vobrix-Terminal"));
    cli.addHelpOption();
    const QCommandLineOption gui(QStringLiteral("gui"), QStringLiteral("Fenster zeigen"));
    const QCommandLineOption rows(QStringLiteral("rows"), QStringLiteral("Displayzeilen"),
                                  QStringLiteral("n"), QStringLiteral("4"));
    const QCommandLineOption cols(QStringLiteral("cols"), QStringLiteral("Displayspalten"),
                                  QStringLiteral("n"), QStringLiteral("20"));
    const QCommandLineOption eeprom(QStringLiteral("eeprom-size"),
                                    QStringLiteral("EEPROM-Größe in Bytes"), QStringLiteral("n"),
                                    QStringLiteral("4096"));
    const QCommandLineOption firmware(QStringLiteral("firmware"), QStringLiteral("Firmwareversion"),
                                      QStringLiteral("text"), QStringLiteral("2.7"));
    const QCommandLineOption sernr(QStringLiteral("sernr"), QStringLiteral("Seriennummer"),
                                   QStringLiteral("text"), QStringLiteral("004711"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("Geschwindigkeit 9600, 19200, 38400"),
                                   QStringLiteral("baud"), QStringLiteral("19200"));
    const QCommandLineOption rs485(QStringLiteral("rs485"),
                                   QStringLiteral("Schnittstelle RS485/422"));
    const QCommandLineOption noPty(QStringLiteral("no-pty"),
                                   QStringLiteral("ohne serielle Leitung"));
    const QCommandLineOption ptyLink(QStringLiteral("pty-link"),
                                     QStringLiteral("symbolischer Link auf die serielle Leitung"),
                                     QStringLiteral("path"));
    const QCommandLineOption wire(QStringLiteral("wire-timing"),
                                  QStringLiteral("Bytes so langsam wie bei der Baudrate"));
    const QCommandLineOption udp(QStringLiteral("udp"), QStringLiteral("Netzwerkmodul an Adresse"),
                                 QStringLiteral("addr"));
    const QCommandLineOption moduleName(QStringLiteral("module-name"),
                                        QStringLiteral("Name des Netzwerkmoduls"),
                                        QStringLiteral("text"), QStringLiteral("vxsim"));
    const QCommandLineOption moduleType(QStringLiteral("module-type"),
                                        QStringLiteral("Typ des Netzwerkmoduls"),
                                        QStringLiteral("text"), QStringLiteral("VX-NET"));
    const QCommandLineOption dest(QStringLiteral("module-dest"),
                                  QStringLiteral("Ziel-IP des Moduls"), QStringLiteral("addr"),
                                  QStringLiteral("0.0.0.0"));
    const QCommandLineOption control(QStringLiteral("control"), QStringLiteral("Steuer-Socket"),
                                     QStringLiteral("path"));
    const QCommandLineOption state(QStringLiteral("state"), QStringLiteral("Zustandsdatei"),
                                   QStringLiteral("file"));
    const QCommandLineOption memory(
        QStringLiteral("memory"),
        QStringLiteral("Speicher des Terminals: beim Start gelesen, beim Ende geschrieben"),
        QStringLiteral("file"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Protokoll der Übertragung"),
                                 QStringLiteral("file"));
    const QCommandLineOption logMonotonic(
        QStringLiteral("log-monotonic"),
        QStringLiteral("Protokollzeit: monotone Systemuhr in Mikrosekunden"));
    const QCommandLineOption plugs(QStringLiteral("test-plugs"),
                                   QStringLiteral("Prüfstecker der Fertigungsprüfung"));
    const QCommandLineOption step(QStringLiteral("analog-step"),
                                  QStringLiteral("Analogstufe je Wert von Port 0 mit Prüfstecker"),
                                  QStringLiteral("n"), QStringLiteral("256"));
    const QCommandLineOption window(QStringLiteral("contact-window"),
                                    QStringLiteral("Bootloader-Kontaktfenster nach Reset (ms)"),
                                    QStringLiteral("ms"), QStringLiteral("2000"));
    for (const auto* o :
         {&gui,   &rows,    &cols, &eeprom, &firmware,   &sernr,      &speed,       &rs485,
          &noPty, &ptyLink, &wire, &udp,    &moduleName, &moduleType, &dest,        &control,
          &state, &memory,  &log,  &plugs,  &step,       &window,     &logMonotonic})
        cli.addOption(*o);
    cli.process(*app);

    const auto number = [&](const QCommandLineOption& o, int lo, int hi) {
        bool ok = false;
        const int v = cli.value(o).toInt(&ok);
        if (!ok || v < lo || v > hi) {
            err << "vxsim: ungültiger Wert für --" << o.names().first() << ": " << cli.value(o)
                << "\n";
            err.flush();
            std::exit(2);
        }
        return v;
    };

    VxTerminal::Options options;
    options.rows = number(rows, 1, VxDisplay::kMaxRows);
    options.cols = number(cols, 1, VxDisplay::kMaxCols);
    options.eepromSize = number(eeprom, 512, 65536);
    options.firmware = cli.value(firmware);
    options.serialNumber = cli.value(sernr);
    options.contactWindowMs = number(window, 0, 60000);
    const int code = speedCodeFor(number(speed, 1, 1000000));
    if (code < 0) {
        err << "vxsim: --speed muss 9600, 19200 oder 38400 sein\n";
        return 2;
    }
    options.speedCode = code + (cli.isSet(rs485) ? 4 : 0);
    VxTerminal terminal(options);
    // A real terminal keeps its EEPROM and saved settings when it is switched off.
    const QString memoryFile = cli.value(memory);
    if (!memoryFile.isEmpty() && QFile::exists(memoryFile)) {
        QFile file(memoryFile);
        QString loadError;
        if (!file.open(QIODevice::ReadOnly) ||
            !terminal.loadState(QString::fromUtf8(file.readAll()), &loadError)) {
            err << "vxsim: Speicherdatei " << memoryFile
                << " nicht lesbar: " << (loadError.isEmpty() ? file.errorString() : loadError)
                << "\n";
            return 1;
        }
    }
    if (cli.isSet(plugs))
        terminal.setTestPlugs(true, number(step, 1, 1023));

    VxTrafficLog traffic;
    traffic.setMonotonicMicroseconds(cli.isSet(logMonotonic));
    QString error;
    if (cli.isSet(log) && !traffic.open(cli.value(log), &error)) {
        err << "vxsim: Protokoll " << cli.value(log) << ": " << error << "\n";
        return 1;
    }

    // Answers go back over the transport the PC spoke through last.
    std::unique_ptr<VxPtyTransport> pty;
    std::unique_ptr<VxNetModule> net;
    enum class Via { Serial, Network } via = Via::Serial;
    QString linkText;

    if (!cli.isSet(noPty)) {
        pty = std::make_unique<VxPtyTransport>(&terminal);
        pty->setWireTiming(cli.isSet(wire));
        if (!pty->open(&error)) {
            err << "vxsim: " << error << "\n";
            return 1;
        }
        QObject::connect(pty.get(), &VxPtyTransport::received,
                         [&](const QByteArray& b, bool understood) {
                             via = Via::Serial;
                             traffic.fromPc(b, understood, pty->inputDoneNs());
                         });
        QObject::connect(pty.get(), &VxPtyTransport::sent,
                         [&](const QByteArray& b) { traffic.toPc(b); });
        out << "vxsim: serielle Leitung " << pty->slavePath() << "\n";
        linkText = QStringLiteral("Seriell: %1").arg(pty->slavePath());
        if (cli.isSet(ptyLink)) {
            if (!pty->createLink(cli.value(ptyLink), &error)) {
                err << "vxsim: " << error << "\n";
                return 1;
            }
            out << "vxsim: Link " << cli.value(ptyLink) << " -> " << pty->slavePath() << "\n";
            linkText += QStringLiteral(" (%1)").arg(cli.value(ptyLink));
        }
    }
    if (cli.isSet(udp)) {
        VxNetModule::Identity identity;
        identity.name = cli.value(moduleName);
        identity.type = cli.value(moduleType);
        identity.destination = QHostAddress(cli.value(dest));
        net = std::make_unique<VxNetModule>(&terminal, identity);
        const QHostAddress address(cli.value(udp));
        if (address.isNull() || !net->start(address, &error)) {
            err << "vxsim: Netzwerkmodul " << cli.value(udp) << ": " << error << "\n";
            return 1;
        }
        QObject::connect(net.get(), &VxNetModule::received, [&](const QByteArray& b) {
            via = Via::Network;
            traffic.fromPc(b);
        });
        QObject::connect(net.get(), &VxNetModule::sent,
                         [&](const QByteArray& b) { traffic.toPc(b); });
        out << "vxsim: Netzwerkmodul " << address.toString() << " Datenport "
            << VxNetModule::kDataPort << ", Konfiguration " << VxNetModule::kConfigPort << "\n";
        linkText += QStringLiteral("  Netzwerk: %1").arg(address.toString());
    }
    QObject::connect(&terminal, &VxTerminal::transmit, [&](const QByteArray& b) {
        if (via == Via::Network && net)
            net->send(b);
        else if (pty)
            pty->send(b);
    });

    VxControlServer controlServer(&terminal);
    controlServer.setStateFile(cli.value(state));
    if (cli.isSet(control)) {
        if (!controlServer.listen(cli.value(control), &error)) {
            err << "vxsim: Steuer-Socket " << cli.value(control) << ": " << error << "\n";
            return 1;
        }
        out << "vxsim: Steuerung " << cli.value(control) << "\n";
    }
    QObject::connect(&controlServer, &VxControlServer::quitRequested, app.get(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
    out.flush();

    // SIGINT/SIGTERM end the event loop, so the state is written on the way out.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, app.get());
        QObject::connect(notifier, &QSocketNotifier::activated, app.get(), [&] {
            char c = 0;
            const ssize_t n = ::read(g_signalPipe[1], &c, 1);
            (void)n;
            QCoreApplication::quit();
        });
        struct sigaction sa
        {
        };
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &sa, nullptr);
        ::sigaction(SIGTERM, &sa, nullptr);
    }

    std::unique_ptr<VxTerminalWindow> windowWidget;
    if (cli.isSet(gui)) {
        windowWidget = std::make_unique<VxTerminalWindow>(&terminal);
        windowWidget->setLinkText(linkText);
        windowWidget->show();
    }

    const int rc = app->exec();
    if (!memoryFile.isEmpty()) {
        QSaveFile file(memoryFile);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text) ||
            file.write(terminal.stateText().toUtf8()) < 0 || !file.commit())
            err << "vxsim: Speicherdatei " << memoryFile << " nicht schreibbar\n";
    }
    if (!controlServer.writeState()) {
        err << "vxsim: Zustandsdatei " << cli.value(state) << " nicht schreibbar\n";
        return rc == 0 ? 1 : rc;
    }
    return rc;
}
