// vemro-cli's fixed-text and command-builder commands against vxsim on its pty.
#include "ProjectTestHome.h"
#include "SimProcess.h"

#include "../common/CliRun.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using vemro::test::CliResult;

class TstCliFesttexte : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void writeReadRoundTrip_data();
    void writeReadRoundTrip();
    void exportImportShow();
    void silentTerminal();
    void declined_data();
    void declined();
    void importRefused_data();
    void importRefused();
    void compose_data();
    void compose();

private:
    CliResult run(const QStringList& args)
    {
        return vemro::test::RunCli(QStringLiteral(VEMRO_CLI), m_home->path(), args);
    }
    std::unique_ptr<ProjectTestHome> m_home;
};

void TstCliFesttexte::initTestCase()
{
    m_home = std::make_unique<ProjectTestHome>();
    QVERIFY(m_home->installTemplates());
    for (const char* name : {"Quelle", "Ziel1", "Ziel2", "Leer1", "Katalog", "Gross"}) {
        const CliResult r =
            run({QStringLiteral("project"), QStringLiteral("new"), QString::fromLatin1(name)});
        QVERIFY2(r.code == 0, qPrintable(r.err));
    }
    // A catalogue with a parameter type the builder does not know.
    QVERIFY(m_home->makeProject(
        QStringLiteral("Fremd"), QStringLiteral("vx_standard"),
        {QStringLiteral("INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, "
                        "Typ) VALUES (10299, 102, 9, 'neu', 9)")}));
}

void TstCliFesttexte::writeReadRoundTrip_data()
{
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QString>("target");
    QTest::newRow("byte writer") << "2.5"
                                 << "Ziel1";
    QTest::newRow("block writer") << "3.0"
                                  << "Ziel2";
}

void TstCliFesttexte::writeReadRoundTrip()
{
    QFETCH(QString, firmware);
    QFETCH(QString, target);
    QTemporaryDir dir;
    const QString pty = dir.filePath(QStringLiteral("vx"));
    SimProcess sim({QStringLiteral("--pty-link"), pty, QStringLiteral("--firmware"), firmware});
    QVERIFY2(sim.waitFor(pty), qPrintable(sim.output()));
    CliResult r = run({QStringLiteral("texts"), QStringLiteral("write"), QStringLiteral("Quelle"),
                       QStringLiteral("--device"), pty});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(r.out, QStringLiteral("5 Festtexte geschrieben"));
    // Without --yes and without a terminal the question is answered No: nothing is read.
    r = run(
        {QStringLiteral("texts"), QStringLiteral("read"), target, QStringLiteral("--device"), pty});
    QCOMPARE(r.code, 1);
    r = run({QStringLiteral("--yes"), QStringLiteral("texts"), QStringLiteral("read"), target,
             QStringLiteral("--device"), pty});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(r.out, QStringLiteral("5 Festtexte gelesen"));
    const QString back =
        m_home
            ->projectValue(target, QStringLiteral("SELECT group_concat(DisplayNr) FROM (SELECT "
                                                  "DisplayNr FROM Festtexte ORDER BY DisplayNr)"))
            .toString();
    QCOMPARE(back, QStringLiteral("0,1,2,3,4"));
}

void TstCliFesttexte::exportImportShow()
{
    const QString file = m_home->path() + QStringLiteral("/texte.txt");
    CliResult r =
        run({QStringLiteral("texts"), QStringLiteral("export"), QStringLiteral("Quelle"), file});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(m_home
                ->projectValue(QStringLiteral("Leer1"), QStringLiteral("DELETE FROM Festtexte "
                                                                       "RETURNING 1"))
                .isValid());
    r = run({QStringLiteral("texts"), QStringLiteral("import"), QStringLiteral("Leer1"), file});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QString sql = QStringLiteral("SELECT group_concat(t, char(1)) FROM (SELECT DisplayNr || "
                                       "'|' || text AS t FROM Festtexte ORDER BY DisplayNr)");
    const QString before = m_home->projectValue(QStringLiteral("Quelle"), sql).toString();
    QVERIFY(before.count(QChar(1)) == 4);
    QCOMPARE(m_home->projectValue(QStringLiteral("Leer1"), sql).toString(), before);

    // An older-family file from number 126 on: two texts fit.
    QFile rk(m_home->path() + QStringLiteral("/rk.txt"));
    QVERIFY(rk.open(QIODevice::WriteOnly));
    rk.write(QByteArray("A\nB\nC\nD\n").repeated(2));
    rk.close();
    r = run({QStringLiteral("texts"), QStringLiteral("import"), QStringLiteral("Leer1"),
             rk.fileName(), QStringLiteral("--from"), QStringLiteral("126")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(r.out, QStringLiteral("2 Festtexte importiert"));

    r = run({QStringLiteral("texts"), QStringLiteral("show"), QStringLiteral("Leer1"),
             QStringLiteral("126")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QString dashes(20, QLatin1Char('-'));
    QCOMPARE(r.out.split(QLatin1Char('\n')), (QStringList{dashes, "A", "B", "C", "D", dashes}));
    r = run({QStringLiteral("texts"), QStringLiteral("show"), QStringLiteral("Leer1"),
             QStringLiteral("100")});
    QCOMPARE(r.code, 1);
}

void TstCliFesttexte::silentTerminal()
{
    QTemporaryDir dir;
    const QString pty = dir.filePath(QStringLiteral("vx"));
    // A terminal at another speed does not understand the PC and stays silent.
    SimProcess sim(
        {QStringLiteral("--pty-link"), pty, QStringLiteral("--speed"), QStringLiteral("38400")});
    QVERIFY2(sim.waitFor(pty), qPrintable(sim.output()));
    const CliResult r = run({QStringLiteral("texts"), QStringLiteral("write"),
                             QStringLiteral("Quelle"), QStringLiteral("--filter-linebreaks"),
                             QStringLiteral("yes"), QStringLiteral("--device"), pty});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("Fehler beim Speichern Festtexte")), qPrintable(r.err));
}

void TstCliFesttexte::declined_data()
{
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QString>("answer"); // "" : no one at standard input
    QTest::newRow("byte writer --no") << "2.5"
                                      << "--no";
    QTest::newRow("block writer --no") << "3.0"
                                       << "--no";
    QTest::newRow("block writer no stdin") << "3.0"
                                           << "";
}

void TstCliFesttexte::declined()
{
    QFETCH(QString, firmware);
    QFETCH(QString, answer);
    // 128 texts of 45 bytes: 5,761 bytes, more than the 4,096 of the terminal.
    QFile big(m_home->path() + QStringLiteral("/gross.txt"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write("VX Festtextdatei 1\n");
    for (int n = 0; n < 128; ++n)
        big.write(QByteArray::number(n).rightJustified(3, '0') + '\t' + QByteArray(44, 'x') + '\n');
    big.close();
    CliResult r = run({QStringLiteral("texts"), QStringLiteral("import"), QStringLiteral("Gross"),
                       big.fileName()});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QTemporaryDir dir;
    const QString pty = dir.filePath(QStringLiteral("vx"));
    SimProcess sim({QStringLiteral("--pty-link"), pty, QStringLiteral("--firmware"), firmware});
    QVERIFY2(sim.waitFor(pty), qPrintable(sim.output()));
    QStringList args{QStringLiteral("texts"), QStringLiteral("write"), QStringLiteral("Gross"),
                     QStringLiteral("--device"), pty};
    if (!answer.isEmpty())
        args.prepend(answer);
    r = run(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(!r.out.contains(QStringLiteral("geschrieben")), qPrintable(r.out));
    QVERIFY2(r.err.contains(QStringLiteral("Festtexte nicht übertragen")), qPrintable(r.err));
}

void TstCliFesttexte::importRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "fehlt.txt"
                             << "nicht lesbar: die Datei gibt es nicht";
    QTest::newRow("folder") << "."
                            << "nicht lesbar: das ist ein Ordner";
    QTest::newRow("device") << "/dev/zero"
                            << "keine gewöhnliche Datei";
    QTest::newRow("fifo") << "fifo"
                          << "keine gewöhnliche Datei";
    QTest::newRow("too large") << "gross.bin"
                               << "zu groß";
    QTest::newRow("binary") << "elf.bin"
                            << "Binärdaten";
}

void TstCliFesttexte::importRefused()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);
    const QString sql = QStringLiteral("SELECT count(*) || group_concat(text) FROM Festtexte");
    const QString before = m_home->projectValue(QStringLiteral("Leer1"), sql).toString();
    const QString fifo = m_home->path() + QStringLiteral("/fifo");
    if (!QFileInfo::exists(fifo))
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile large(m_home->path() + QStringLiteral("/gross.bin"));
    QVERIFY(large.open(QIODevice::WriteOnly));
    QVERIFY(large.resize(2 << 20)); // 2 MB of NULs
    large.close();
    QFile elf(m_home->path() + QStringLiteral("/elf.bin"));
    QVERIFY(elf.open(QIODevice::WriteOnly));
    elf.write(QByteArray("\x7f"
                         "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0",
                         16));
    elf.close();
    const QString path = file.startsWith('/') ? file : m_home->path() + '/' + file;
    const CliResult r =
        run({QStringLiteral("texts"), QStringLiteral("import"), QStringLiteral("Leer1"), path});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(reason), qPrintable(r.err));
    QCOMPARE(m_home->projectValue(QStringLiteral("Leer1"), sql).toString(), before);
}

void TstCliFesttexte::compose_data()
{
    QTest::addColumn<QString>("project");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString k = QStringLiteral("Katalog");
    QTest::newRow("cursor") << k << QStringList{"102", "3", "7"} << 0 << "<ESC>LC3,7;"
                            << "";
    QTest::newRow("out of range") << k << QStringList{"102", "9", "7"} << 1 << ""
                                  << "Zeile: \"9\" ist nicht zulässig, erlaubt ist 1 bis 4";
    QTest::newRow("mode byte") << k << QStringList{"701"} << 0 << "<ESC>KM;"
                               << "";
    // Keyboard and serial answers only: 10, a line feed, stays a code form.
    QTest::newRow("mode 10") << k << QStringList{"701", "0", "1", "1", "0", "0", "0"} << 0
                             << "<ESC>KM<010>"
                             << "";
    // Everything on: 123, a brace, which the link would drop as it stood.
    QTest::newRow("mode 123") << k << QStringList{"701", "1", "1", "1", "1", "1", "1"} << 0
                              << "<ESC>KM<123>"
                              << "";
    QTest::newRow("bytes") << k << QStringList{"201", "1", "13", "--bytes"} << 0
                           << "<ESC>P<001><013>"
                           << "";
    // Choosing an option clears the one preset.
    QTest::newRow("option") << k << QStringList{"106", "ja"} << 0 << "<ESC>LB0;"
                            << "";
    QTest::newRow("byte 300") << k << QStringList{"304", "300", "--bytes"} << 1 << ""
                              << "erlaubt ist 0 bis 255";
    QTest::newRow("bad code form") << k << QStringList{"107", "<300>"} << 1 << ""
                                   << "<300>";
    QTest::newRow("unknown") << k << QStringList{"9999"} << 1 << ""
                             << "nicht im Katalog";
    QTest::newRow("unknown type") << "Fremd" << QStringList{"102", "3", "7"} << 1 << "<ESC>LC3,7,;"
                                  << "unbekannter Parametertyp/CreateBefehlstext";
}

void TstCliFesttexte::compose()
{
    QFETCH(QString, project);
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const CliResult r =
        run(QStringList{QStringLiteral("commands"), QStringLiteral("compose"), project} + args);
    QCOMPARE(r.code, code);
    QCOMPARE(r.out, out);
    QVERIFY2(r.err.contains(err), qPrintable(r.err));
    if (code != 0)
        QVERIFY(!r.err.isEmpty());
}

QTEST_GUILESS_MAIN(TstCliFesttexte)
#include "tst_cli_festtexte.moc"
