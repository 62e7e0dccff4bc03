#include "cli/FirmwareCommands.h"

#include "cli/CliRegistry.h"
#include "cli/CliSession.h"
#include "cli/InterruptGuard.h"
#include "firmware/clsBootloader.h"
#include "link/ComPort.h"
#include "link/clsVX.h"
#include "platform/ProgressIndicator.h"
#include "platform/UserInterface.h"

#include <cstdio>
#include <unistd.h>

namespace vemro {

namespace {

const QString kAttempts = QStringLiteral("attempts");
constexpr int kDefaultAttempts = 3;
constexpr int kExitInterrupted = 130;

// Progress on standard error: one line per step of 5 %, or one line rewritten in place on
// a terminal; the contact attempts left are shown while the terminal is sought.
class ConsoleProgress : public NullProgress
{
public:
    explicit ConsoleProgress(const QString& what) : m_what(what), m_tty(isatty(STDERR_FILENO)) {}

    void setValue(int value) override
    {
        NullProgress::setValue(value);
        if (maximum() == clsBootloader::kContactAttempts + 1 && value % 10 == 0 && value > 0)
            print(QStringLiteral("keine Antwort, noch %1 Versuche").arg(value), true);
    }
    void setVisible(bool visible) override
    {
        NullProgress::setVisible(visible);
        if (!visible && m_inPlace) {
            std::fputc('\n', stderr);
            m_inPlace = false;
        }
    }
    void block(int done, int total, qint64 msLeft)
    {
        const int percent = total > 0 ? done * 100 / total : 100;
        if (percent / 5 == m_lastStep && done != total)
            return;
        m_lastStep = percent / 5;
        QString line = QStringLiteral("%1 %2 %").arg(m_what).arg(percent, 3);
        const QString left = clsBootloader::TimeLeftText(done == total ? 0 : msLeft);
        if (!left.isEmpty() && done != total)
            line += QStringLiteral(", ") + left;
        print(line, false);
    }

private:
    void print(const QString& line, bool own)
    {
        if (m_tty && !own) {
            std::fprintf(stderr, "\r%-60s", line.toLocal8Bit().constData());
            m_inPlace = true;
        } else {
            if (m_inPlace)
                std::fputc('\n', stderr);
            m_inPlace = false;
            std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
        }
        std::fflush(stderr);
    }

    QString m_what;
    bool m_tty;
    bool m_inPlace = false;
    int m_lastStep = -1;
};

QString hex4(qint64 v)
{
    return QString::number(v, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

int check(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("firmware check DATEI"));
    clsVX vx;
    clsBootloader* boot = clsBootloader::Bootloader(vx);
    if (!boot->loadUpdatefile(ctx.args.first()))
        return 1; // the message is out already
    const UpdateImage& image = boot->Image();
    ctx.out << QStringLiteral("Startadresse: %1\n").arg(hex4(image.startAddress))
            << QStringLiteral("Länge: %1 Bytes\n").arg(image.length)
            << QStringLiteral("Blöcke: %1 zu %2 Bytes\n")
                   .arg(image.length / clsBootloader::kWriteBlockBytes)
                   .arg(clsBootloader::kWriteBlockBytes)
            // Two files that give the same image (other tools, line ends, record lengths)
            // show the same figure.
            << QStringLiteral("Prüfsumme (CRC-16): %1\n").arg(hex4(qChecksum(image.bytes)));
    return 0;
}

// Runs update or verify with the progress on standard error; Ctrl-C stops it, the session is
// closed all the same.
int transfer(CliContext& ctx, clsBootloader* boot, const QString& what, bool update)
{
    ConsoleProgress progress(what);
    boot->setCtlFortschritt(&progress);
    QObject::connect(
        boot, &clsBootloader::blockDone, boot,
        [&progress](int done, int total, qint64 msLeft) { progress.block(done, total, msLeft); });
    bool ok = false;
    int interruptCode = kExitInterrupted;
    {
        InterruptGuard guard([boot] { boot->requestAbort(); });
        ok = update ? boot->update() : boot->verify();
        if (guard.interrupted())
            interruptCode = guard.exitCode();
    }
    QObject::disconnect(boot, &clsBootloader::blockDone, boot, nullptr);
    boot->setCtlFortschritt(nullptr);
    if (boot->aborted()) {
        std::fprintf(stderr, "%s abgebrochen, Bootloader beendet\n", qPrintable(what));
        return interruptCode;
    }
    (void)ctx;
    return ok ? 0 : 1;
}

int update(CliContext& ctx, clsVX& vx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("firmware update DATEI"));
    const QString version = vx.Version();
    const QString refusal =
        clsBootloader::UpdateRefusal(version, vx.ctlcom() ? vx.ctlcom()->Settings() : QString());
    if (!refusal.isEmpty())
        return ctx.fail(refusal);
    clsBootloader* boot = clsBootloader::Bootloader(vx);
    if (!boot->loadUpdatefile(ctx.args.first()))
        return 1;
    // --yes / --no answer the question of the window; without them the warning is printed
    // and the update goes on, as the command asked for it.
    if (ctx.has(QStringLiteral("yes")) || ctx.has(QStringLiteral("no"))) {
        if (ui().ask(clsBootloader::kResetConfirm, UserInterface::Buttons::OkCancel, kProductName,
                     UserInterface::Answer::Cancel) != UserInterface::Answer::Ok)
            return ctx.fail(QStringLiteral("Firmwareupdate nicht gestartet"));
    } else {
        ui().message(clsBootloader::kResetWarning, kProductName);
    }
    return transfer(ctx, boot, QStringLiteral("Programiervorgang...."), true);
}

int verify(CliContext& ctx, clsVX& vx)
{
    qint64 attempts = kDefaultAttempts;
    bool ok = true;
    if (ctx.has(kAttempts))
        attempts = ctx.option(kAttempts).toLongLong(&ok);
    if (ctx.args.size() != 1 || !ok || attempts < 0 || attempts > 1000)
        return ctx.usage(QStringLiteral("firmware verify DATEI [--attempts N] [--no]"));
    if (ctx.has(QStringLiteral("no")))
        attempts = 0;
    clsBootloader* boot = clsBootloader::Bootloader(vx);
    if (!boot->loadUpdatefile(ctx.args.first()))
        return 1;
    int asked = 0;
    boot->setResetQuestion([&asked, attempts] {
        ++asked;
        const bool again = asked <= attempts;
        std::fprintf(
            stderr, "%s: %s\n", qPrintable(clsBootloader::kResetQuestion),
            again ? qPrintable(QStringLiteral("neuer Versuch %1 von %2").arg(asked).arg(attempts))
                  : "abgebrochen");
        return again;
    });
    const int code = transfer(ctx, boot, QStringLiteral("Verify...."), false);
    boot->setResetQuestion(nullptr);
    return code;
}

} // namespace

void registerFirmwareCommands(CliRegistry& registry)
{
    registry.addValueOption(kAttempts);
    registry.add({QStringLiteral("firmware check"), QStringLiteral("firmware check DATEI"),
                  QStringLiteral("liest eine Updatedatei (*.hex) und zeigt Startadresse, Länge "
                                 "und Blöcke"),
                  check});
    registry.add({QStringLiteral("firmware update"),
                  QStringLiteral("firmware update DATEI"),
                  QStringLiteral("programmiert die Firmware aus DATEI über den Bootloader (Exit 0 "
                                 "nach \"Firmwareupdate abgeschlossen\")"),
                  withTerminal(update),
                  {},
                  true});
    registry.add({QStringLiteral("firmware verify"),
                  QStringLiteral("firmware verify DATEI [--attempts N] [--no]"),
                  QStringLiteral("vergleicht den Programmspeicher mit DATEI; ohne Kontakt bis zu N "
                                 "neue Versuche (3), --no bricht sofort ab"),
                  withTerminal(verify),
                  {kAttempts},
                  true});
}

} // namespace vemro
