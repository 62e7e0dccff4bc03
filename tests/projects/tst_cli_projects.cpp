#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/common/CliRun.h"

class TstCliProjects : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void lifecycle();
    void badNames_data();
    void badNames();
    void missingTemplate();

private:
    using Result = vemro::test::CliResult;
    Result run(const QStringList& args)
    {
        return vemro::test::RunCli(QStringLiteral(VEMRO_CLI), m_dir.path(), args);
    }
    QTemporaryDir m_dir;
};

void TstCliProjects::initTestCase()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("Hardware"));
    for (const char* t : {"vx_standard", "vx_1602"}) {
        const QString name = QString::fromLatin1(t) + QStringLiteral(".mdb");
        QVERIFY(QFile::copy(qEnvironmentVariable("VEMRO_PROGRAM_DIR") +
                                QStringLiteral("/Hardware/") + name,
                            m_dir.filePath(QStringLiteral("Hardware/") + name)));
    }
}

void TstCliProjects::lifecycle()
{
    Result r = run({QStringLiteral("project"), QStringLiteral("new"), QStringLiteral("Anlage1")});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.endsWith(QStringLiteral("/Projekte/Anlage1.mdb")));
    r = run({QStringLiteral("project"), QStringLiteral("new"), QStringLiteral("Anlage2"),
             QStringLiteral("--template"), QStringLiteral("vx_1602")});
    QCOMPARE(r.code, 0);
    r = run({QStringLiteral("project"), QStringLiteral("list")});
    QCOMPARE(r.out, QStringLiteral("Anlage1\nAnlage2"));
    // Overwriting needs --yes.
    r = run({QStringLiteral("project"), QStringLiteral("new"), QStringLiteral("Anlage1"),
             QStringLiteral("--template"), QStringLiteral("vx_1602"), QStringLiteral("--no")});
    QCOMPARE(r.code, 1);
    r = run({QStringLiteral("project"), QStringLiteral("info"), QStringLiteral("Anlage1")});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains(QStringLiteral("Display_Spalten: 20")), qPrintable(r.out));
    QVERIFY(r.out.contains(QStringLiteral("DBVersion: 1.4")));
    QVERIFY(r.out.contains(QStringLiteral("Tastencodes: ")));
    r = run({QStringLiteral("project"), QStringLiteral("info"), QStringLiteral("Fehlt1")});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("Projektdatei nicht gefunden")));
    r = run({QStringLiteral("project"), QStringLiteral("delete"), QStringLiteral("Anlage1"),
             QStringLiteral("--no")});
    QCOMPARE(r.code, 1);
    r = run({QStringLiteral("project"), QStringLiteral("delete"), QStringLiteral("Anlage1"),
             QStringLiteral("--yes")});
    QCOMPARE(r.code, 0);
    r = run({QStringLiteral("project"), QStringLiteral("list")});
    QCOMPARE(r.out, QStringLiteral("Anlage2"));
}

void TstCliProjects::badNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("parent folder") << "../../ausserhalb"
                                   << "keine Sonderzeichen wie '/' zulässig";
    QTest::newRow("short") << "kurz"
                           << "Bezeichnung muss mindestens 5 Zeichen lang sein";
    QTest::newRow("dot") << ".versteckt"
                         << "Bezeichnung darf nicht mit '.' beginnen";
}

void TstCliProjects::badNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    const Result r = run({QStringLiteral("project"), QStringLiteral("new"), name});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("ausserhalb.mdb"))));
}

void TstCliProjects::missingTemplate()
{
    const Result r =
        run({QStringLiteral("project"), QStringLiteral("new"), QStringLiteral("Anlage9"),
             QStringLiteral("--template"), QStringLiteral("gibtsnicht")});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("Hardwarevorlage nicht gefunden")), qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("Projekte/Anlage9.mdb"))));
}

QTEST_GUILESS_MAIN(TstCliProjects)
#include "tst_cli_projects.moc"
