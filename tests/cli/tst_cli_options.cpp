// vemro-cli's one session: options are checked before any command runs, the link options
// mean the same for every command, project names follow the dialog's rules.
#include "tests/common/CliRun.h"

#include <QTemporaryDir>
#include <QtTest>

class TstCliOptions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refused_data();
    void refused();
    void everyNameRuleReported();
    void helpShowsLinkOptionsOnce();

private:
    [[nodiscard]] vemro::test::CliResult run(const QStringList& args) const
    {
        return vemro::test::RunCli(QStringLiteral(VEMRO_CLI), m_dir.path(), args);
    }
    QTemporaryDir m_dir;
};

void TstCliOptions::refused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");
    QTest::newRow("unknown before the command")
        << QStringList{"--bogus", "project", "list"} << "Unbekannte Option: --bogus";
    QTest::newRow("unknown after the command")
        << QStringList{"project", "list", "--bogus"} << "Unbekannte Option: --bogus";
    QTest::newRow("unknown with a value")
        << QStringList{"project", "list", "--bogus=1"} << "Unbekannte Option: --bogus=1";
    QTest::newRow("a bare --") << QStringList{"--", "project", "list"} << "Unbekannte Option: --";
    QTest::newRow("empty program folder")
        << QStringList{"--home", "", "project", "list"} << "Option --home braucht ein Verzeichnis";
    QTest::newRow("blank program folder")
        << QStringList{"--home=  ", "project", "list"} << "Option --home braucht ein Verzeichnis";
    QTest::newRow("another command's option")
        << QStringList{"info", "--template", "x"} << "Option --template gilt nicht";
    QTest::newRow("link option on a project command")
        << QStringList{"project", "list", "--com", "2"} << "Option --com gilt nicht";
    QTest::newRow("a flag with a value")
        << QStringList{"info", "--rs485=ja"} << "Option --rs485 nimmt keinen Wert";
    QTest::newRow("a value missing")
        << QStringList{"info", "--com"} << "Option --com braucht einen Wert";
    QTest::newRow("com out of range") << QStringList{"info", "--com", "9"} << "N = 1 bis 8";
    QTest::newRow("com not a number") << QStringList{"info", "--com", "eins"} << "N = 1 bis 8";
    QTest::newRow("speed") << QStringList{"io", "get", "1", "--speed", "57600"}
                           << "9600, 19200 oder 38400";
    QTest::newRow("net and com") << QStringList{"info", "--net", "127.0.0.1", "--com", "2"}
                                 << "ohne --com und --device";
    QTest::newRow("net port") << QStringList{"info", "--net", "127.0.0.1:70000"}
                              << "PORT = 1 bis 65535";
    QTest::newRow("local without net")
        << QStringList{"info", "--local", "127.0.0.1"} << "nur mit --net";
    QTest::newRow("empty device") << QStringList{"info", "--device", " "} << "ein Gerätepfad";
}

// Refused with exit code 2 and a German message, before anything is opened.
void TstCliOptions::refused()
{
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    const auto r = run(args);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(err), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
}

void TstCliOptions::everyNameRuleReported()
{
    for (const QString& command :
         {QStringLiteral("new"), QStringLiteral("delete"), QStringLiteral("info")}) {
        const auto r = run({QStringLiteral("project"), command, QStringLiteral("ab$&x")});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, QStringLiteral("keine Sonderzeichen wie '&' zulässig\n"
                                       "keine Sonderzeichen wie '$' zulässig"));
    }
    const auto r = run({QStringLiteral("config"), QStringLiteral("read"), QStringLiteral("../x")});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("Bezeichnung muss mindestens 5 Zeichen lang sein\n"
                                   "keine Sonderzeichen wie '/' zulässig\n"
                                   "Bezeichnung darf nicht mit '.' beginnen"));
}

void TstCliOptions::helpShowsLinkOptionsOnce()
{
    const auto r = run({QStringLiteral("--help")});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out.count(QStringLiteral("--device")), 1);
    QCOMPARE(r.out.count(QStringLiteral("--com N")), 1);
    QVERIFY(r.out.contains(QStringLiteral("--net HOST[:PORT]")));
    QVERIFY(r.out.contains(QStringLiteral("config write NAME [Verbindung]")));
}

QTEST_GUILESS_MAIN(TstCliOptions)
#include "tst_cli_options.moc"
