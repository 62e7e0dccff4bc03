#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"
#include "project/Recordset.h"
#include "project/SqlScript.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace vemro;

class TstRecordset : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void splitScript_data();
    void splitScript();
    void navigation();
    void findAndFilter();
    void addUpdateDelete();
    void optimisticLocking();
    void readOnlyRefusesWrites();
    void commandTexts_data();
    void commandTexts();
    void commandsAndParameters();
    void openErrors_data();
    void openErrors();

private:
    void openProjectDb(const QString& script);
    QTemporaryDir m_dir;
    std::unique_ptr<DataEnvironment> m_env;
};

void TstRecordset::init()
{
    m_env = std::make_unique<DataEnvironment>();
}

void TstRecordset::cleanup()
{
    m_env.reset();
}

void TstRecordset::openProjectDb(const QString& script)
{
    const QString file =
        m_dir.filePath(QStringLiteral("p%1.mdb").arg(QTest::currentTestFunction()));
    QFile::remove(file);
    QString error;
    QVERIFY2(BuildDatabaseFile(file, {script}, &error), qPrintable(error));
    m_env->setConnectionString(DataEnvironment::kProjekt, DataEnvironment::connectionText(file));
    QVERIFY2(m_env->open(DataEnvironment::kProjekt, &error), qPrintable(error));
}

void TstRecordset::splitScript_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("statements");
    QTest::newRow("two") << "A;B;" << QStringList{"A", "B"};
    QTest::newRow("semicolon in text") << "INSERT INTO t VALUES ('<ESC>V;');B"
                                       << QStringList{"INSERT INTO t VALUES ('<ESC>V;')", "B"};
    QTest::newRow("doubled quote") << "X 'it''s;';Y" << QStringList{"X 'it''s;'", "Y"};
    QTest::newRow("comment with semicolon") << "-- a; b\nC;" << QStringList{"C"};
    QTest::newRow("blank statements") << " ; ;\n;" << QStringList{};
    QTest::newRow("quoted identifier") << "SELECT \"a;b\";" << QStringList{"SELECT \"a;b\""};
}

void TstRecordset::splitScript()
{
    QFETCH(QString, script);
    QFETCH(QStringList, statements);
    QCOMPARE(SplitSqlScript(script), statements);
}

void TstRecordset::navigation()
{
    openProjectDb(
        QStringLiteral("CREATE TABLE Festtexte (DisplayNr INTEGER, text TEXT, TextRTF TEXT);"
                       "INSERT INTO Festtexte VALUES (2,'zwei',NULL);"
                       "INSERT INTO Festtexte VALUES (1,'eins',NULL);"));
    QVERIFY(m_env->execute(QStringLiteral("cmdFesttexte")));
    Recordset& rs = m_env->recordset(QStringLiteral("cmdFesttexte"));
    QCOMPARE(rs.recordCount(), 2);
    QVERIFY(!rs.bof());
    QVERIFY(!rs.eof());
    QCOMPARE(rs.value(QStringLiteral("displaynr")).toInt(), 1); // ordered, any case
    QCOMPARE(rs.value(QStringLiteral("TEXT")).toString(), QStringLiteral("eins"));
    QVERIFY(rs.value(QStringLiteral("TextRTF")).isNull());
    // A column the table lacks is an error, not an empty value.
    QVERIFY(rs.lastError().isEmpty());
    QVERIFY(!rs.value(QStringLiteral("Tauschzeichen")).isValid());
    QVERIFY(rs.lastError().contains(QStringLiteral("fehlt eine Tabelle oder Spalte")) &&
            rs.lastError().contains(QStringLiteral("Festtexte.Tauschzeichen")));
    rs.moveNext();
    QCOMPARE(rs.value(QStringLiteral("DisplayNr")).toInt(), 2);
    rs.moveNext();
    QVERIFY(rs.eof());
    QVERIFY(!rs.value(QStringLiteral("DisplayNr")).isValid());
    rs.moveNext(); // stays at EOF
    QVERIFY(rs.eof());
    rs.moveFirst();
    rs.movePrevious();
    QVERIFY(rs.bof());
    rs.moveLast();
    QCOMPARE(rs.value(QStringLiteral("DisplayNr")).toInt(), 2);
    rs.close();
    QCOMPARE(rs.state(), Recordset::State::Closed);
    QVERIFY(rs.bof() && rs.eof());

    // An empty result is BOF and EOF at once.
    QSqlQuery(m_env->database(DataEnvironment::kProjekt))
        .exec(QStringLiteral("DELETE FROM Festtexte"));
    QVERIFY(m_env->execute(QStringLiteral("cmdFesttexte")));
    QVERIFY(rs.bof() && rs.eof());
    QCOMPARE(rs.recordCount(), 0);

    // Executing a command whose table lacks a column its users read leaves it closed.
    QSqlQuery(m_env->database(DataEnvironment::kProjekt))
        .exec(QStringLiteral("ALTER TABLE Festtexte DROP COLUMN TextRTF"));
    QString error;
    QVERIFY(!m_env->execute(QStringLiteral("cmdFesttexte"), {}, &error));
    QVERIFY2(error.contains(QStringLiteral("(fehlt: Festtexte.TextRTF)")), qPrintable(error));
    QVERIFY(!rs.isOpen());
}

void TstRecordset::findAndFilter()
{
    openProjectDb(QStringLiteral(
        "CREATE TABLE Tastencodes (TastenNr INTEGER, Tastencode TEXT, Tastencode_Shift TEXT);"
        "INSERT INTO Tastencodes VALUES (1,'a','A');"
        "INSERT INTO Tastencodes VALUES (2,'b','B');"
        "INSERT INTO Tastencodes VALUES (3,'a','C');"));
    QVERIFY(m_env->execute(QStringLiteral("cmdTastencodes")));
    Recordset& rs = m_env->recordset(QStringLiteral("cmdTastencodes"));
    QVERIFY(rs.find(QStringLiteral("TastenNr"), 2));
    QCOMPARE(rs.value(QStringLiteral("Tastencode")).toString(), QStringLiteral("b"));
    QVERIFY(rs.find(QStringLiteral("tastencode"), QStringLiteral("A"))); // from the current row on
    QCOMPARE(rs.value(QStringLiteral("TastenNr")).toInt(), 3);
    QVERIFY(!rs.find(QStringLiteral("TastenNr"), 1)); // behind the current row
    QVERIFY(rs.eof());
    QVERIFY(!rs.find(QStringLiteral("Unbekannt"), 1));

    rs.setFilter(QStringLiteral("Tastencode"), QStringLiteral("a"));
    QCOMPARE(rs.recordCount(), 2);
    QCOMPARE(rs.value(QStringLiteral("TastenNr")).toInt(), 1);
    rs.setFilter(QStringLiteral("TastenNr"), QStringLiteral("2")); // text matches number
    QCOMPARE(rs.recordCount(), 1);
    rs.setFilter(QStringLiteral("TastenNr"), 99);
    QVERIFY(rs.bof() && rs.eof());
    rs.clearFilter();
    QCOMPARE(rs.recordCount(), 3);
}

void TstRecordset::addUpdateDelete()
{
    openProjectDb(QStringLiteral(
        "CREATE TABLE Festtexte (DisplayNr INTEGER, text TEXT, TextRTF TEXT DEFAULT 'rtf');"
        "INSERT INTO Festtexte VALUES (1,'eins','x');"
        "INSERT INTO Festtexte VALUES (1,'eins','x');"));
    QVERIFY(m_env->execute(QStringLiteral("cmdFesttexte")));
    Recordset& rs = m_env->recordset(QStringLiteral("cmdFesttexte"));

    // Two identical rows: an update changes exactly one of them.
    QVERIFY(rs.setValue(QStringLiteral("text"), QStringLiteral("neu")));
    QVERIFY(rs.editing());
    QVERIFY2(rs.update(), qPrintable(rs.lastError()));
    QVERIFY(!rs.editing());

    QVERIFY(rs.addNew());
    QVERIFY(rs.setValue(QStringLiteral("DisplayNr"), 7));
    QVERIFY(rs.setValue(QStringLiteral("text"), QStringLiteral("sieben; 'quote'")));
    QVERIFY2(rs.update(), qPrintable(rs.lastError()));
    QCOMPARE(rs.value(QStringLiteral("TextRTF")).toString(),
             QStringLiteral("rtf")); // default read back

    // cancelUpdate drops a new row and restores changed fields.
    QVERIFY(rs.addNew());
    rs.cancelUpdate();
    QCOMPARE(rs.recordCount(), 3);
    rs.moveFirst();
    QVERIFY(rs.setValue(QStringLiteral("text"), QStringLiteral("verworfen")));
    rs.cancelUpdate();
    QVERIFY(rs.value(QStringLiteral("text")).toString() != QLatin1String("verworfen"));

    QVERIFY(m_env->execute(QStringLiteral("cmdFesttexte")));
    QStringList texts;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        texts << rs.value(QStringLiteral("text")).toString();
    texts.sort();
    QCOMPARE(texts, (QStringList{"eins", "neu", "sieben; 'quote'"}));

    QVERIFY(!rs.find(QStringLiteral("DisplayNr"), 7)); // searching starts at the current row (EOF)
    rs.moveFirst();
    QVERIFY(rs.find(QStringLiteral("DisplayNr"), 7));
    QVERIFY(rs.deleteCurrent());
    QVERIFY(rs.eof());
    QVERIFY(m_env->execute(QStringLiteral("cmdFesttexte")));
    QCOMPARE(rs.recordCount(), 2);
}

void TstRecordset::optimisticLocking()
{
    openProjectDb(QStringLiteral("CREATE TABLE Allgemein (DBVersion TEXT, minProgversion TEXT, "
                                 "RKHardwarebezeichnung TEXT, lastComMode INTEGER);"
                                 "INSERT INTO Allgemein VALUES ('1.4', NULL, 'x', 0);"));
    QVERIFY(m_env->execute(QStringLiteral("cmdProjekt")));
    Recordset& rs = m_env->recordset(QStringLiteral("cmdProjekt"));
    // Someone else changes the row behind the recordset's back.
    QSqlQuery(m_env->database(DataEnvironment::kProjekt))
        .exec(QStringLiteral("UPDATE Allgemein SET lastComMode = 20"));
    QVERIFY(rs.setValue(QStringLiteral("RKHardwarebezeichnung"), QStringLiteral("y")));
    QVERIFY(!rs.update());
    QVERIFY(rs.lastError().contains(QStringLiteral("geändert")));
    rs.cancelUpdate();
    QVERIFY(m_env->execute(QStringLiteral("cmdProjekt")));
    QCOMPARE(rs.value(QStringLiteral("lastComMode")).toInt(), 20);
    QCOMPARE(rs.value(QStringLiteral("RKHardwarebezeichnung")).toString(), QStringLiteral("x"));
}

void TstRecordset::readOnlyRefusesWrites()
{
    openProjectDb(QStringLiteral("CREATE TABLE Display (Displaytyp TEXT);"
                                 "INSERT INTO Display VALUES ('20x4');"));
    QVERIFY(m_env->execute(QStringLiteral("cmdDisplaytyp")));
    Recordset& rs = m_env->recordset(QStringLiteral("cmdDisplaytyp"));
    QVERIFY(!rs.updatable());
    QVERIFY(!rs.setValue(QStringLiteral("Displaytyp"), QStringLiteral("16x2")));
    QVERIFY(!rs.addNew());
    QVERIFY(!rs.deleteCurrent());
    QCOMPARE(rs.value(QStringLiteral("Displaytyp")).toString(), QStringLiteral("20x4"));
}

// The fifteen named commands: connection, text as it goes to the database (blanks
// included; parameters bound by name), whether updates go through, the parameter.
void TstRecordset::commandTexts_data()
{
    QTest::addColumn<QString>("connection");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("updatable");
    QTest::addColumn<QString>("parameter");
    const QString d = DataEnvironment::kDaten;
    const QString p = DataEnvironment::kProjekt;
    QTest::newRow("cmdAllgemein") << d << "SELECT * FROM Allgemein" << true << "";
    QTest::newRow("cmdProjektLRU")
        << d << "SELECT * FROM ProjekteLRU ORDER BY lastused desc" << true << "";
    QTest::newRow("cmdSuchergebnis")
        << d << "SELECT * FROM Suchergebnis ORDER BY Typ, IPAdresse" << true << "";
    QTest::newRow("cmdProjekt") << p << "SELECT * FROM Allgemein" << true << "";
    QTest::newRow("cmdTerminaleinstellung")
        << p << "SELECT * FROM Terminaleinstellungen " << true << "";
    QTest::newRow("cmdFesttexte") << p << "SELECT * FROM Festtexte ORDER BY DisplayNr" << true
                                  << "";
    QTest::newRow("cmdTastencodes")
        << p << "SELECT * FROM Tastencodes ORDER BY TastenNr" << true << "";
    QTest::newRow("cmdTastaturmodus") << p << "SELECT * FROM TastaturModus" << true << "";
    QTest::newRow("cmdUserzeichen")
        << p << "SELECT * FROM Userzeichen ORDER BY CGramAdresse" << true << "";
    QTest::newRow("cmdProgRegister")
        << p << "SELECT * From Register WHERE visible=true  ORDER BY Reihenfolge" << false << "";
    QTest::newRow("cmdDisplaytyp")
        << p << "SELECT * FROM Display ORDER BY Displaytyp" << false << "";
    QTest::newRow("cmdBefehlsgruppen")
        << p << "SELECT * FROM Befehlsgruppen ORDER BY Bezeichnung" << false << "";
    QTest::newRow("cmdBefehle")
        << p << "SELECT * FROM Befehlssatz WHERE Gruppe_ID = :aktGruppe ORDER BY Bezeichnung"
        << false << "aktGruppe";
    QTest::newRow("cmdBefehlsparameter")
        << p << "SELECT * FROM Befehlsparameter WHERE Befehl_ID= :aktBefehl ORDER BY Reihenfolge"
        << false << "aktBefehl";
    QTest::newRow("cmdQMTests") << p << "SELECT * FROM QMTests" << false << "";
}

void TstRecordset::commandTexts()
{
    QFETCH(QString, connection);
    QFETCH(QString, text);
    QFETCH(bool, updatable);
    QFETCH(QString, parameter);
    const DataEnvironment::Command* c =
        m_env->command(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(c);
    QCOMPARE(c->connection, connection);
    QCOMPARE(c->text, text);
    QCOMPARE(c->updatable, updatable);
    QCOMPARE(c->parameter, parameter);
}

void TstRecordset::commandsAndParameters()
{

    openProjectDb(QStringLiteral(
        "CREATE TABLE Befehlssatz (ID INTEGER PRIMARY KEY, Gruppe_ID INTEGER, Bezeichnung TEXT, "
        "Sequenz TEXT, Abschlusszeichen TEXT);"
        "INSERT INTO Befehlssatz VALUES (1, 1, 'B', '<ESC>B', ';');"
        "INSERT INTO Befehlssatz VALUES (2, 1, 'A', '<ESC>A', ';');"
        "INSERT INTO Befehlssatz VALUES (3, 2, 'C', '<ESC>C', ';');"
        "CREATE TABLE Register (FrameNr INTEGER, FrameBezeichnung TEXT, enabled BIT, visible BIT, "
        "Reihenfolge INTEGER);"
        "INSERT INTO Register VALUES (1, 'Schnittstelle', 1, 1, 2);"
        "INSERT INTO Register VALUES (0, 'Projekt', 1, 1, 1);"
        "INSERT INTO Register VALUES (2, '(reserviert)', 0, 0, 3);"));
    QVERIFY(m_env->execute(QStringLiteral("cmdBefehle"), 1));
    Recordset& rs = m_env->recordset(QStringLiteral("cmdBefehle"));
    QCOMPARE(rs.recordCount(), 2);
    QCOMPARE(rs.value(QStringLiteral("Bezeichnung")).toString(), QStringLiteral("A"));
    QVERIFY(
        m_env->execute(QStringLiteral("cmdBefehle"), QStringLiteral("2; DROP TABLE Befehlssatz")));
    QCOMPARE(rs.recordCount(), 0);
    QVERIFY(m_env->execute(QStringLiteral("cmdBefehle"), 2)); // the table is still there
    QCOMPARE(rs.recordCount(), 1);

    QVERIFY(m_env->execute(QStringLiteral("cmdProgRegister")));
    Recordset& reg = m_env->recordset(QStringLiteral("cmdProgRegister"));
    QCOMPARE(reg.recordCount(), 2);
    QCOMPARE(reg.value(QStringLiteral("FrameBezeichnung")).toString(), QStringLiteral("Projekt"));

    // Closing the connection closes its recordsets.
    m_env->close(DataEnvironment::kProjekt);
    QCOMPARE(rs.state(), Recordset::State::Closed);
    QString error;
    QVERIFY(!m_env->execute(QStringLiteral("cmdBefehle"), 1, &error));
    QVERIFY(!error.isEmpty());
}

void TstRecordset::openErrors_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("create");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing") << QByteArray() << false << "nicht gefunden";
    QTest::newRow("garbage") << QByteArray("this is not a database, just text\n").repeated(200)
                             << true << "keine gültige Datenbank";
}

void TstRecordset::openErrors()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, create);
    QFETCH(QString, expected);
    const QString file = m_dir.filePath(QStringLiteral("bad_%1.mdb").arg(QTest::currentDataTag()));
    if (create) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    m_env->setConnectionString(DataEnvironment::kProjekt, DataEnvironment::connectionText(file));
    QString error;
    QVERIFY(!m_env->open(DataEnvironment::kProjekt, &error));
    QVERIFY2(error.contains(expected), qPrintable(error));
    QVERIFY(!m_env->isOpen(DataEnvironment::kProjekt));
    QCOMPARE(QFileInfo::exists(file), create); // nothing created, nothing destroyed
}

QTEST_GUILESS_MAIN(TstRecordset)
#include "tst_recordset.moc"
