#include "platform/ScriptedUserInterface.h"
#include "project/DataEnvironment.h"
#include "project/clsProjekt.h"

#include <QDir>
#include <QtTest>

using namespace vemro;

// Every hardware template the build ships opens through the data environment, is at the
// newest schema, and has the rows the program reads from it.
class TstTemplates : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void templates_data();
    void templates();
    void programDatabase();

private:
    QString m_bin;
};

void TstTemplates::initTestCase()
{
    m_bin = qEnvironmentVariable("VEMRO_PROGRAM_DIR");
    QVERIFY(!m_bin.isEmpty());
}

void TstTemplates::templates_data()
{
    QTest::addColumn<QString>("file");
    const QStringList files = QDir(m_bin + QStringLiteral("/Hardware"))
                                  .entryList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 2);
    for (const QString& f : files)
        QTest::newRow(qPrintable(f)) << m_bin + QStringLiteral("/Hardware/") + f;
}

void TstTemplates::templates()
{
    QFETCH(QString, file);
    ScriptedUserInterface ui;
    setUi(&ui);
    DataEnvironment env;
    clsProjekt projekt(env);
    QString error;
    QVERIFY2(projekt.connectFile(file, &error), qPrintable(error));
    QVERIFY(projekt.UpdateProjekt());
    QVERIFY(projekt.CheckMinProgversion());
    QCOMPARE(projekt.DBVersion(), QStringLiteral("1.4"));
    QVERIFY(ui.texts().isEmpty());

    const auto count = [&](const QString& command, const QVariant& parameter = {}) {
        if (!env.execute(command, parameter, &error))
            return -1;
        return env.recordset(command).recordCount();
    };
    QCOMPARE(count(QStringLiteral("cmdProjekt")), 1);
    QCOMPARE(count(QStringLiteral("cmdTerminaleinstellung")), 1);
    QCOMPARE(count(QStringLiteral("cmdTastaturmodus")), 1);
    QCOMPARE(count(QStringLiteral("cmdTastencodes")), 32);
    QCOMPARE(count(QStringLiteral("cmdUserzeichen")), 8);
    QVERIFY(count(QStringLiteral("cmdFesttexte")) >= 1);
    QVERIFY(count(QStringLiteral("cmdProgRegister")) >= 5);
    QVERIFY(count(QStringLiteral("cmdDisplaytyp")) >= 2);
    QVERIFY(count(QStringLiteral("cmdQMTests")) >= 1);
    QVERIFY(count(QStringLiteral("cmdBefehlsgruppen")) >= 1);

    // Every command group has commands, and the display types read "<cols>x<rows>".
    Recordset& groups = env.recordset(QStringLiteral("cmdBefehlsgruppen"));
    for (groups.moveFirst(); !groups.eof(); groups.moveNext())
        QVERIFY(count(QStringLiteral("cmdBefehle"), groups.value(QStringLiteral("ID"))) > 0);
    Recordset& types = env.recordset(QStringLiteral("cmdDisplaytyp"));
    const QRegularExpression form(QStringLiteral("^[0-9]+x[0-9]+$"));
    for (types.moveFirst(); !types.eof(); types.moveNext())
        QVERIFY(form.match(types.value(QStringLiteral("Displaytyp")).toString()).hasMatch());
    setUi(nullptr);
}

void TstTemplates::programDatabase()
{
    DataEnvironment env;
    env.setConnectionString(DataEnvironment::kDaten,
                            DataEnvironment::connectionText(m_bin + QStringLiteral("\\VEMRO.mdb")));
    QString error;
    QVERIFY2(env.open(DataEnvironment::kDaten, &error), qPrintable(error));
    QVERIFY(env.execute(QStringLiteral("cmdAllgemein"), {}, &error));
    Recordset& settings = env.recordset(QStringLiteral("cmdAllgemein"));
    QCOMPARE(settings.value(QStringLiteral("ProjektPfad")).toString(),
             QStringLiteral("\\Projekte\\"));
    QVERIFY(env.execute(QStringLiteral("cmdProjektLRU"), {}, &error));
    QVERIFY(env.execute(QStringLiteral("cmdSuchergebnis"), {}, &error));
}

QTEST_GUILESS_MAIN(TstTemplates)
#include "tst_templates.moc"
