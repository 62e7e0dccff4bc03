// vemro-cli keys / chars / keytest against vxsim on its pseudo-terminal, steered through the
// simulator's control socket.
#include "../common/CliRun.h"
#include "../projects/ProjectTestHome.h"
#include "../projects/SimProcess.h"

#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using vemro::test::CliResult;

class tst_KeyboardCli : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<ProjectTestHome> m_home;
    QTemporaryDir m_dir;

    CliResult cli(const QStringList& args)
    {
        return vemro::test::RunCli(QStringLiteral(VEMRO_CLI), m_home->path(), args);
    }
    QString pty() const { return m_dir.filePath(QStringLiteral("vx")); }
    QString controlPath() const { return m_dir.filePath(QStringLiteral("ctl")); }
    QStringList link() const { return {QStringLiteral("--device"), pty()}; }
    QStringList simArgs() const
    {
        return {QStringLiteral("--pty-link"), pty(), QStringLiteral("--control"), controlPath()};
    }
    // One control command; the answer up to its "OK"/"ERR" line.
    QString control(const QString& line)
    {
        QLocalSocket s;
        s.connectToServer(controlPath());
        if (!s.waitForConnected(5000))
            return QStringLiteral("no control");
        s.write(line.toUtf8() + '\n');
        s.flush();
        QString answer;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            s.waitForReadyRead(200);
            answer += QString::fromUtf8(s.readAll());
            const QStringList lines = answer.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            if (!lines.isEmpty() && (lines.last().startsWith(QLatin1String("OK")) ||
                                     lines.last().startsWith(QLatin1String("ERR"))))
                break;
        }
        return answer;
    }
    void newProject(const QString& name)
    {
        const CliResult r =
            cli({QStringLiteral("project"), QStringLiteral("new"), name, QStringLiteral("--yes")});
        QVERIFY2(r.code == 0, qPrintable(r.err));
    }

private slots:
    void initTestCase()
    {
        m_home = std::make_unique<ProjectTestHome>();
        QVERIFY(m_home->installTemplates());
    }

    void keysWriteReadAndShow()
    {
        SimProcess sim(simArgs());
        QVERIFY2(sim.waitFor(QStringLiteral("Steuerung")), qPrintable(sim.output()));
        newProject(QStringLiteral("Keys1"));
        newProject(QStringLiteral("Keys2"));
        QVERIFY(ProjectTestHome::exec(
            m_home->projects() + QStringLiteral("Keys1.mdb"),
            {QStringLiteral("UPDATE TastaturModus SET Mindestdauer=7, NrShifttaste=32, Polling=1"),
             QStringLiteral("UPDATE Tastencodes SET Tastencode='#15', Tastencode_Shift='$41' "
                            "WHERE TastenNr=5")}));
        CliResult r = cli(
            QStringList{QStringLiteral("keys"), QStringLiteral("write"), QStringLiteral("Keys1")} +
            link());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(control(QStringLiteral("dump")).contains(QStringLiteral("config=7,50,10,51,32")),
                 qPrintable(control(QStringLiteral("dump"))));
        r = cli(
            QStringList{QStringLiteral("keys"), QStringLiteral("read"), QStringLiteral("Keys2")} +
            link());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const CliResult one =
            cli({QStringLiteral("keys"), QStringLiteral("show"), QStringLiteral("Keys1")});
        const CliResult two =
            cli({QStringLiteral("keys"), QStringLiteral("show"), QStringLiteral("Keys2")});
        // "$41" is the letter A: it comes back as the character.
        QString expected = one.out;
        expected.replace(QStringLiteral("5\t#15\t$41"), QStringLiteral("5\t#15\tA"));
        QCOMPARE(two.out, expected);
        QCOMPARE(ProjectTestHome::query(m_home->projects() + QStringLiteral("Keys2.mdb"),
                                        QStringLiteral("SELECT Mindestdauer || '/' || NrShifttaste "
                                                       "|| '/' || Polling FROM TastaturModus"))
                     .toString(),
                 QStringLiteral("7/32/1"));

        r = cli({QStringLiteral("keys"), QStringLiteral("standard"), QStringLiteral("Keys2")});
        QCOMPARE(r.code, 0);
        r = cli({QStringLiteral("keys"), QStringLiteral("show"), QStringLiteral("Keys2")});
        QCOMPARE(r.out.split(QLatin1Char('\n')).size(), 32);
        QVERIFY(r.out.startsWith(QStringLiteral("1\ta\tA")));
    }

    void keyReadWithoutAnswerKeepsTable()
    {
        SimProcess sim(simArgs());
        QVERIFY2(sim.waitFor(QStringLiteral("Steuerung")), qPrintable(sim.output()));
        newProject(QStringLiteral("Keys3"));
        const QString before =
            cli({QStringLiteral("keys"), QStringLiteral("show"), QStringLiteral("Keys3")}).out;
        // The link dies after the mode query and a few keys.
        QVERIFY(control(QStringLiteral("fault drop 40")).startsWith(QStringLiteral("OK")));
        const CliResult r = cli(
            QStringList{QStringLiteral("keys"), QStringLiteral("read"), QStringLiteral("Keys3")} +
            link());
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Verbindungsfehler")), qPrintable(r.err));
        QCOMPARE(cli({QStringLiteral("keys"), QStringLiteral("show"), QStringLiteral("Keys3")}).out,
                 before);
    }

    // "geschrieben" only after the read-back matched; a link that dies part-way fails.
    void keysWriteReadsBack()
    {
        SimProcess sim(simArgs());
        QVERIFY2(sim.waitFor(QStringLiteral("Steuerung")), qPrintable(sim.output()));
        newProject(QStringLiteral("Keys4"));
        QVERIFY(control(QStringLiteral("fault drop 100")).startsWith(QStringLiteral("OK")));
        const CliResult r = cli(
            QStringList{QStringLiteral("keys"), QStringLiteral("write"), QStringLiteral("Keys4")} +
            link());
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Verbindungsfehler")), qPrintable(r.err));
        QVERIFY2(!r.out.contains(QStringLiteral("geschrieben")), qPrintable(r.out));
    }

    // Codes and configuration are stored together or not at all: the terminal goes quiet
    // after the 32 codes, before the configuration ("fault mute" after the mode query and
    // the 32 key queries, 219 bytes, and 3 bytes of "T?K").
    void keysReadAllOrNothing()
    {
        SimProcess sim(simArgs());
        QVERIFY2(sim.waitFor(QStringLiteral("Steuerung")), qPrintable(sim.output()));
        newProject(QStringLiteral("Keys5"));
        newProject(QStringLiteral("Keys6"));
        QVERIFY(ProjectTestHome::exec(
            m_home->projects() + QStringLiteral("Keys5.mdb"),
            {QStringLiteral("UPDATE TastaturModus SET Mindestdauer=9"),
             QStringLiteral("UPDATE Tastencodes SET Tastencode='#3' WHERE TastenNr=2")}));
        QCOMPARE(cli(QStringList{QStringLiteral("keys"), QStringLiteral("write"),
                                 QStringLiteral("Keys5")} +
                     link())
                     .code,
                 0);
        const QString file = m_home->projects() + QStringLiteral("Keys6.mdb");
        const QString codes =
            cli({QStringLiteral("keys"), QStringLiteral("show"), QStringLiteral("Keys6")}).out;
        const QString config = QStringLiteral("SELECT Mindestdauer FROM TastaturModus");
        const int minPress = ProjectTestHome::query(file, config).toInt();
        QVERIFY(control(QStringLiteral("fault mute 222")).startsWith(QStringLiteral("OK")));
        const CliResult r = cli(
            QStringList{QStringLiteral("keys"), QStringLiteral("read"), QStringLiteral("Keys6")} +
            link());
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Verbindungsfehler")), qPrintable(r.err));
        QCOMPARE(cli({QStringLiteral("keys"), QStringLiteral("show"), QStringLiteral("Keys6")}).out,
                 codes);
        QCOMPARE(ProjectTestHome::query(file, config).toInt(), minPress);
    }

    // A terminal left in the byte parameter form answers "M:" and one byte: vemro-cli
    // builds its commands in that form.
    void byteFormTerminal()
    {
        SimProcess sim(simArgs());
        QVERIFY2(sim.waitFor(QStringLiteral("Steuerung")), qPrintable(sim.output()));
        newProject(QStringLiteral("Bytes1"));
        QVERIFY(ProjectTestHome::exec(m_home->projects() + QStringLiteral("Bytes1.mdb"),
                                      {QStringLiteral("UPDATE TastaturModus SET Mindestdauer=7")}));
        (void)cli(QStringList{QStringLiteral("send"), QStringLiteral("<ESC>KM<026>")} + link());
        QVERIFY(control(QStringLiteral("dump")).contains(QStringLiteral("mode=26\n")));
        // The characters' reset comes last: it would drop the keyboard configuration.
        for (const QString& part : {QStringLiteral("keys"), QStringLiteral("chars")}) {
            const CliResult r =
                cli(QStringList{part, QStringLiteral("write"), QStringLiteral("Bytes1")} + link());
            QVERIFY2(r.code == 0, qPrintable(part + QLatin1Char(' ') + r.err));
            const QString dump = control(QStringLiteral("dump"));
            const QString expected = part == QLatin1String("keys")
                                         ? QStringLiteral("config=7,")
                                         : QStringLiteral("slot0=0A 00 0E 01 0F 11 0F 00 swap E4");
            QVERIFY2(dump.contains(expected), qPrintable(dump));
        }
    }

    void charsWriteAndShow()
    {
        SimProcess sim(simArgs());
        QVERIFY2(sim.waitFor(QStringLiteral("Steuerung")), qPrintable(sim.output()));
        newProject(QStringLiteral("Chars1"));
        CliResult r = cli(QStringList{QStringLiteral("chars"), QStringLiteral("write"),
                                      QStringLiteral("Chars1")} +
                          link());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QString dump = control(QStringLiteral("dump"));
        QVERIFY2(dump.contains(QStringLiteral("slot0=0A 00 0E 01 0F 11 0F 00 swap E4")),
                 qPrintable(dump));
        r = cli({QStringLiteral("chars"), QStringLiteral("show"), QStringLiteral("Chars1"),
                 QStringLiteral("0")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith(QStringLiteral(".#.#.  &H0A\n.....  &H00\n.###.  &H0E")),
                 qPrintable(r.out));
        QVERIFY(r.out.endsWith(QStringLiteral("Tauschzeichen: ä")));
        r = cli({QStringLiteral("chars"), QStringLiteral("show"), QStringLiteral("Chars1"),
                 QStringLiteral("8")});
        QCOMPARE(r.code, 2);

        QVERIFY(control(QStringLiteral("fault nak 10")).startsWith(QStringLiteral("OK")));
        r = cli(QStringList{QStringLiteral("chars"), QStringLiteral("write"),
                            QStringLiteral("Chars1")} +
                link());
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Fehler beim Schreiben in EEProm")),
                 qPrintable(r.err));
    }

    void keytest_data()
    {
        QTest::addColumn<bool>("hex");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << false << QStringLiteral("e");
        QTest::newRow("hex") << true << QStringLiteral("$65");
    }
    void keytest()
    {
        QFETCH(bool, hex);
        QFETCH(QString, expected);
        SimProcess sim(simArgs());
        QVERIFY2(sim.waitFor(QStringLiteral("Steuerung")), qPrintable(sim.output()));
        QProcess p;
        QStringList args{QStringLiteral("--home"), m_home->path(), QStringLiteral("keytest"),
                         QStringLiteral("--seconds"), QStringLiteral("4")};
        if (hex)
            args << QStringLiteral("--hex");
        p.start(QStringLiteral(VEMRO_CLI), args + link());
        QVERIFY(p.waitForStarted());
        QString out;
        QElapsedTimer t;
        t.start();
        while (!out.contains(QStringLiteral("Tastentest")) && t.elapsed() < 10000) {
            p.waitForReadyRead(200);
            out += QString::fromUtf8(p.readAllStandardOutput());
        }
        QVERIFY2(control(QStringLiteral("key 5")).startsWith(QStringLiteral("OK")), "control");
        QVERIFY(p.waitForFinished(20000));
        out += QString::fromUtf8(p.readAllStandardOutput());
        QCOMPARE(p.exitCode(), 0);
        const QString keys = out.section(QLatin1Char('\n'), 1).trimmed();
        QCOMPARE(keys, expected);
    }
};

QTEST_GUILESS_MAIN(tst_KeyboardCli)
#include "tst_keyboard_cli.moc"
