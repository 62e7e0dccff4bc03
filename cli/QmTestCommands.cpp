#include "cli/QmTestCommands.h"

#include "cli/CliRegistry.h"
#include "cli/CliSession.h"
#include "cli/InterruptGuard.h"
#include "cli/QmTestAnswers.h"
#include "cli/VerifyCommands.h"
#include "config/TerminalSettingsCore.h"
#include "config/TerminalSettingsData.h"
#include "firmware/clsBootloader.h"
#include "link/clsVX.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"
#include "project/OutputTarget.h"
#include "project/clsProjekt.h"
#include "qmtest/CoreProgrammingSeam.h"
#include "qmtest/ProtokollView.h"
#include "qmtest/QMKeyboardTest.h"
#include "qmtest/QMProcedures.h"
#include "qmtest/QMReport.h"
#include "qmtest/clsQMTest.h"

#include <QDateTime>
#include <QTimer>

#include <memory>

namespace vemro {

namespace {

constexpr int kKeyboardTimeoutMs = 60000;

const QString kHwType = QStringLiteral("hwtype");
const QString kSteps = QStringLiteral("steps");
const QString kAnswers = QStringLiteral("answers");
const QString kSerial = QStringLiteral("serial");
const QString kLog = QStringLiteral("log");
const QString kReport = QStringLiteral("report");
const QString kVerify = QStringLiteral("verify");

// The transfers the programming steps call: the subsystems' cores with the session's project
// and terminal.
std::unique_ptr<ProgrammingSeam> makeSeam(clsVX& vx, DataEnvironment& env)
{
    return std::make_unique<CoreProgrammingSeam>(vx, env);
}

bool readHwType(CliContext& ctx, clsQMTest& test, int& code)
{
    if (!ctx.has(kHwType))
        return true;
    bool ok = false;
    const int value = ctx.option(kHwType).toInt(&ok);
    if (!ok || value < 0 || value > 32767) {
        code = ctx.usage(QStringLiteral("--hwtype N (0 bis 32767)"));
        return false;
    }
    test.aktHWTyp = static_cast<qint16>(value);
    return true;
}

bool fillList(CliContext& ctx, clsQMTest& test, int& code)
{
    QString error;
    if (!test.FillTestListe(&error)) {
        code = ctx.fail(QStringLiteral("Testliste nicht lesbar : ") + error);
        return false;
    }
    if (test.QMListe().isEmpty()) {
        code = ctx.fail(QStringLiteral("keine Tests für Hardwaretyp %1").arg(test.aktHWTyp));
        return false;
    }
    return true;
}

// Opens the named project and fills the test list for the chosen hardware type.
bool openTestList(CliContext& ctx, clsProjekt& projekt, clsQMTest& test, int& code)
{
    if (!ctx.session->openProject(ctx.args.first(), projekt)) {
        code = 1;
        return false;
    }
    return readHwType(ctx, test, code) && fillList(ctx, test, code);
}

QString entryLine(clsQMTest& test, const QMNode& node)
{
    const QVariantMap row = test.zeileVon(node.text);
    const QString proc = row.value(QStringLiteral("Prozedurname")).toString();
    const int passes = row.value(QStringLiteral("Durchgaenge")).toInt();
    QString line = (node.parent ? QStringLiteral("  ") : QString()) + node.text;
    line += QStringLiteral("  [") + (proc.isEmpty() ? QStringLiteral("-") : proc) +
            QStringLiteral(", ") + QString::number(passes) + QStringLiteral("x]");
    return line;
}

int qmtestList(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("qmtest list NAME [--hwtype N]"));
    DataEnvironment& env = ctx.session->env();
    clsProjekt projekt(env);
    clsQMTest test(env);
    int code = 0;
    if (!openTestList(ctx, projekt, test, code))
        return code;
    for (QMNode* node : test.QMListe().allNodes())
        ctx.out << entryLine(test, *node) << '\n';
    return 0;
}

// --steps: only the entries named (by their name or their procedure) stay checked; a group
// named brings its tests, a test its group.
bool selectSteps(CliContext& ctx, clsQMTest& test, int& code)
{
    if (!ctx.has(kSteps))
        return true;
    QMTestTree& tree = test.QMListe();
    tree.setAllChecked(false);
    for (const QString& raw : ctx.option(kSteps).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString step = raw.trimmed();
        bool found = false;
        for (QMNode* node : tree.allNodes()) {
            const QString proc =
                test.zeileVon(node->text).value(QStringLiteral("Prozedurname")).toString();
            if (node->text == step ||
                (!proc.isEmpty() && proc.compare(step, Qt::CaseInsensitive) == 0)) {
                tree.NodeCheck(node, true);
                found = true;
            }
        }
        if (!found) {
            code = ctx.fail(QStringLiteral("unbekannter Schritt : ") + step);
            return false;
        }
    }
    return true;
}

// What a signal does to a production test run: no further step, the keyboard test ends, a
// bootloader session ends after its current exchange (and is closed with 237).
void stopRun(clsQMTest& test, clsVX* vx)
{
    test.Abbruch();
    if (auto* boot = vx->findChild<clsBootloader*>())
        boot->requestAbort();
}

int qmtestRun(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral(
            "qmtest NAME [--hwtype N] [--steps A,B] [--answers ja,nein,...] [--serial N] "
            "[--log DATEI] [--report DATEI.pdf|DATEI.csv] [Verbindung]"));
    if (ctx.has(kReport)) {
        const QString report = ctx.option(kReport).toLower();
        if (!report.endsWith(QLatin1String(".pdf")) && !report.endsWith(QLatin1String(".csv")))
            return ctx.usage(QStringLiteral("--report DATEI.pdf oder DATEI.csv"));
    }
    DataEnvironment& env = ctx.session->env();
    clsProjekt projekt(env);
    clsQMTest test(env);
    int code = 0;
    if (!openTestList(ctx, projekt, test, code) || !selectSteps(ctx, test, code))
        return code;
    // Where the report and the log go is known before the first step: a run whose record
    // cannot be kept does not start.
    QString outputError;
    if ((ctx.has(kReport) && !OutputTarget::checkWritable(
                                 ctx.option(kReport), OutputTarget::Mode::Replace, &outputError)) ||
        (ctx.has(kLog) &&
         !OutputTarget::checkWritable(ctx.option(kLog), OutputTarget::Mode::Append, &outputError)))
        return ctx.fail(outputError);
    // The programming steps write the project's configuration, as in the window after opening.
    TerminalSettingsData data;
    clsVX* vx = ctx.session->configuredTerminal(data, code);
    if (!vx)
        return code;

    const std::unique_ptr<ProgrammingSeam> seam = makeSeam(*vx, env);
    QMProcedures procedures(test, *vx, env, *seam);
    procedures.registerAll();
    procedures.setKeyboardView([&ctx](QMKeyboardTest& keys) {
        ctx.out << QMKeyboardTest::kAnweisung << '\n';
        ctx.out.flush();
        QObject::connect(&keys, &QMKeyboardTest::keyMarked, &keys, [&ctx](int key) {
            ctx.out << "    Taste " << key << '\n';
            ctx.out.flush();
        });
        // Nobody at the console to cancel: a test without keys ends after a minute.
        auto* limit = new QTimer(&keys);
        limit->setSingleShot(true);
        QObject::connect(limit, &QTimer::timeout, &keys, [&keys] { keys.cancel(); });
        limit->start(kKeyboardTimeoutMs);
    });

    MemoryProtokollView view;
    clsProtokoll& log = test.QMProtokoll();
    log.setListView(&view);
    clsProtokoll fileLog;
    bool logLost = false;
    if (ctx.has(kLog)) {
        fileLog.setDateiname(ctx.option(kLog));
        fileLog.setAktiv(clsProtokoll::kDatei);
        QObject::connect(&fileLog, &clsProtokoll::fileWriteFailed, &fileLog,
                         [&ctx, &logLost](const QString& message) {
                             logLost = true;
                             ctx.console.message(message, kProductName);
                         });
    }
    QObject::connect(&log, &clsProtokoll::entryAdded, &log, [&](const QString& text) {
        ctx.out << "    " << text << '\n';
        ctx.out.flush();
        if (ctx.has(kLog))
            fileLog.add(text);
    });
    QObject::connect(&test, &clsQMTest::schrittBegonnen, &test,
                     [&ctx](const QString& name, const QString& proc) {
                         ctx.out << name << " (" << proc << ")\n";
                         ctx.out.flush();
                     });
    QObject::connect(&test, &clsQMTest::schrittBeendet, &test,
                     [&ctx, &test](const QString& name, const QString& proc, bool passed) {
                         ctx.out << (!test.hasResult(proc) ? "  ohne Ergebnis: "
                                     : passed              ? "  bestanden: "
                                                           : "  NICHT BESTANDEN: ")
                                 << name << '\n';
                         ctx.out.flush();
                     });

    QmTestAnswers answers(ctx.console,
                          ctx.option(kAnswers).split(QLatin1Char(','), Qt::SkipEmptyParts),
                          ctx.option(kSerial));
    setUi(&answers);
    const QDateTime started = QDateTime::currentDateTime();
    int interrupted = 0;
    {
        // A signal ends the run after the exchange (and the transfer) under way: a
        // transfer in the byte form puts the decimal form back, a bootloader session is
        // closed with 237, and no further step starts.
        InterruptGuard guard([&test, vx] { stopRun(test, vx); });
        test.Start();
        interrupted = guard.interrupted() ? guard.exitCode() : 0;
    }
    setUi(&ctx.console);
    log.setListView(nullptr);

    const bool passed = test.allePassed() && interrupted == 0;
    const int failed = static_cast<int>(test.fehlgeschlagen().size());
    if (interrupted)
        ctx.out << "Prüfung abgebrochen\n";
    if (passed)
        ctx.out << "Ergebnis: bestanden (" << test.schritteMitErgebnis() << " Schritte)\n";
    else
        ctx.out << "Ergebnis: NICHT BESTANDEN (" << failed << " von " << test.schritteMitErgebnis()
                << " Schritten)\n";
    if (ctx.has(kReport)) {
        QMReport report(log.Eintraege(), procedures.bekannteSerNr(), started);
        report.setSchritte(test.Schritte());
        QString error;
        if (!report.save(ctx.option(kReport), &error))
            return ctx.fail(error);
        ctx.out << "Bericht: " << ctx.option(kReport) << '\n';
    }
    if (interrupted)
        return interrupted;
    if (logLost)
        return ctx.fail(QStringLiteral("Protokoll unvollständig: ") + ctx.option(kLog));
    return passed ? 0 : 1;
}

int projectWrite(CliContext& ctx)
{
    DataEnvironment& env = ctx.session->env();
    // Every part is checked before the first is sent: a damaged table must not leave the
    // terminal half written.
    if (!ctx.session->requireProjectData(
            {QStringLiteral("cmdFesttexte"), QStringLiteral("cmdUserzeichen"),
             QStringLiteral("cmdTastaturmodus"), QStringLiteral("cmdTastencodes")}))
        return 1;
    TerminalSettingsData data;
    int code = 0;
    clsVX* vx = ctx.session->configuredTerminal(data, code, true);
    if (!vx)
        return code;
    TerminalSettingsCore settings(*vx, env);
    const std::unique_ptr<ProgrammingSeam> seam = makeSeam(*vx, env);
    bool all = true;
    // A signal lets the part under way finish (a fixed-text transfer puts the decimal form
    // back) and starts no further part.
    InterruptGuard guard(nullptr);
    const auto part = [&](const QString& name, const std::function<bool(QString*)>& write) {
        if (guard.interrupted()) {
            all = false;
            return;
        }
        QString why;
        const bool ok = write(&why);
        ctx.out << name << ": "
                << (ok ? QStringLiteral("geschrieben") : QStringLiteral("FEHLER ") + why) << '\n';
        ctx.out.flush();
        all = all && ok;
    };
    // The fixed texts first: both writers leave the terminal in the decimal form, which
    // would undo the mode of a project in the byte form.
    part(QStringLiteral("Festtexte"), [&](QString* why) { return seam->SaveFesttexte(why); });
    part(QStringLiteral("Terminalmodus, Display, Beleuchtung, Kontrast"),
         [&](QString* why) { return settings.writeToTerminal(data, why); });
    part(QStringLiteral("Userzeichen"), [&](QString* why) { return seam->SaveUserzeichen(why); });
    part(QStringLiteral("Tastaturkonfiguration"),
         [&](QString* why) { return seam->SaveTastaturConfig(why); });
    part(QStringLiteral("Tastencodes"), [&](QString* why) { return seam->SaveTastaturcodes(why); });
    part(QStringLiteral("dauerhaft speichern"),
         [&](QString* why) { return settings.keepConfiguration(why); });
    if (guard.interrupted()) {
        ctx.out << "abgebrochen, nicht alles geschrieben\n";
        return guard.exitCode();
    }
    // --verify: done only when the terminal is found to hold the project.
    if (ctx.has(kVerify)) {
        const int verified = printVerify(ctx, *vx, env);
        return all ? verified : 1;
    }
    return all ? 0 : 1;
}

} // namespace

void registerQmTestCommands(CliRegistry& registry)
{
    for (const QString& option : {kHwType, kSteps, kAnswers, kSerial, kLog, kReport})
        registry.addValueOption(option);
    registry.add({QStringLiteral("qmtest list"),
                  QStringLiteral("qmtest list NAME [--hwtype N]"),
                  QStringLiteral("zeigt die Testliste (Gruppen, Tests, Prozedur, Durchgänge)"),
                  qmtestList,
                  {kHwType}});
    registry.add(
        {QStringLiteral("qmtest"),
         QStringLiteral("qmtest NAME [--hwtype N] [--steps A,B] [--answers ja,nein,...] "
                        "[--serial N] [--log DATEI] [--report DATEI.pdf|DATEI.csv]"),
         QStringLiteral("führt die Produktionsprüfung aus; Exit 0 nur wenn jeder Schritt bestand"),
         qmtestRun,
         {kHwType, kSteps, kAnswers, kSerial, kLog, kReport},
         true});
    registry.add(
        {QStringLiteral("project write"),
         QStringLiteral("project write NAME [--verify]"),
         QStringLiteral("schreibt das ganze Projekt ins Terminal und speichert es dauerhaft "
                        "(--verify: danach vergleichen, Exit 0 nur wenn gleich)"),
         withProject(1, QStringLiteral("project write NAME [--verify] [Verbindung]"), projectWrite),
         {kVerify},
         true});
}

} // namespace vemro
