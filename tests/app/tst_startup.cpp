#include "app/About.h"
#include "app/frmStart.h"
#include "app/frmhaupt.h"
#include "platform/ProgramInfo.h"
#include "platform/ScriptedUserInterface.h"
#include "platform/clsInfo.h"
#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"
#include "project/SqlScript.h"
#include "project/clsProjekt.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QSqlQuery>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace vemro;

class TstStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void firstStartCreatesProgramDatabase();
    void missingLastProjectStartsQuietly();
    void closeQuestion_data();
    void closeQuestion();
    void brokenProgramDatabase();
    void manual_data();
    void manual();
    void aboutBox();

private:
    std::unique_ptr<QTemporaryDir> m_home;
    ScriptedUserInterface m_ui;
};

void TstStartup::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    setProgramFolder(m_home->path());
    setUi(&m_ui);
    m_ui.clear();
}

void TstStartup::cleanup()
{
    setUi(nullptr);
    setProgramFolder(QString());
    m_home.reset();
}

void TstStartup::firstStartCreatesProgramDatabase()
{
    const QString db = m_home->filePath(QStringLiteral("VEMRO.mdb"));
    QVERIFY(!QFileInfo::exists(db));
    frmStart start;
    frmhaupt window(&start);
    QVERIFY(window.Init());
    QVERIFY(QFileInfo::exists(db));
    QVERIFY(m_ui.texts().isEmpty());
    QCOMPARE(Info().InfoLevel(), 9);
    QCOMPARE(start.progress(), start.progressMaximum());
    QCOMPARE(window.windowTitle(), QStringLiteral("Vemro"));
    QCOMPARE(window.Projekt().Basispfad(), m_home->path() + QStringLiteral("/Projekte/"));
    QVERIFY(window.Data().isOpen(DataEnvironment::kDaten));
    QCOMPARE(window.tmrTimeout()->interval(), 2000);
    QVERIFY(window.tmrTimeout()->isSingleShot());
    QVERIFY(!window.tmrDemo()->isActive());
    QCOMPARE(window.ctlRegister()->currentIndex(), 0);
    QCOMPARE(window.ctlRegister()->tabText(0), QStringLiteral("Projekt"));
    for (const char* name : {"mnuDateiNeu", "mnuDateiOpen", "mnuDateiEnde", "mnuInfoHandbuch",
                             "mnuHilfe_about", "cmdReadfromTerminal", "cmdSaveinTerminal",
                             "cmdSaveTerminalkonfiguration", "ctlFortschritt", "frProjekt"})
        QVERIFY2(window.findChild<QObject*>(QString::fromLatin1(name)), name);
}

void TstStartup::missingLastProjectStartsQuietly()
{
    QString error;
    const QString db = m_home->filePath(QStringLiteral("VEMRO.mdb"));
    QVERIFY(BuildDatabaseFile(
        db,
        {ProgramDatabaseScript(),
         QStringLiteral("INSERT INTO ProjekteLRU VALUES ('Weg', '2026-01-01 10:00:00', 1)")},
        &error));
    frmStart start;
    frmhaupt window(&start);
    QVERIFY(window.Init());
    QVERIFY(m_ui.texts().isEmpty());
    QCOMPARE(window.panelText(2), QStringLiteral("kein Projekt geöffnet"));
}

void TstStartup::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("Cancel keeps the window") << int(UserInterface::Answer::Cancel) << true;
    QTest::newRow("No closes") << int(UserInterface::Answer::No) << false;
    QTest::newRow("Yes closes") << int(UserInterface::Answer::Yes) << false;
}

void TstStartup::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, staysOpen);
    frmhaupt window;
    QVERIFY(window.Init());
    window.show();
    m_ui.queueAnswer(static_cast<UserInterface::Answer>(answer));
    window.close();
    QCOMPARE(m_ui.texts(), QStringList{QStringLiteral("Projekt speichern ?")});
    QCOMPARE(window.isVisible(), staysOpen);
}

void TstStartup::brokenProgramDatabase()
{
    const QString db = m_home->filePath(QStringLiteral("VEMRO.mdb"));
    QFile f(db);
    QVERIFY(f.open(QIODevice::WriteOnly));
    const QByteArray garbage = QByteArray("kein SQLite, nur Text\n").repeated(300);
    f.write(garbage);
    f.close();
    frmStart start;
    frmhaupt window(&start);
    QVERIFY(!window.Init());
    const QStringList texts = m_ui.texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY2(texts.at(0).contains(QStringLiteral("keine gültige Datenbank")),
             qPrintable(texts.at(0)));
    QVERIFY(texts.at(1).endsWith(QStringLiteral("es wird MDAC 2.7 oder höher benötigt")));
    // The user's file is left as it was.
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), garbage);
}

void TstStartup::manual_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QStringList>("installed"); // in the installed data folder
    QTest::newRow("none") << QStringList{"handbuch.pdf", "um.txt"} << true
                          << QStringList{"kein Handbuch ('um_xxx.pdf') gefunden"} << QString()
                          << QStringList{"handbuch.pdf"};
    QTest::newRow("found") << QStringList{"um_de.pdf"} << true << QStringList() << "um_de.pdf"
                           << QStringList{"um_en.pdf"};
    QTest::newRow("installed copy") << QStringList{"um.txt"} << true << QStringList()
                                    << "share/um_de.pdf" << QStringList{"um_de.pdf"};
    QTest::newRow("system refuses")
        << QStringList{"um_de.pdf"} << false
        << QStringList{"Fehler beim Aufruf...der Acrobat Reader muss installiert sein"}
        << "um_de.pdf" << QStringList();
}

void TstStartup::manual()
{
    QFETCH(QStringList, files);
    QFETCH(bool, opens);
    QFETCH(QStringList, messages);
    QFETCH(QString, document);
    QFETCH(QStringList, installed);
    for (const QString& name : files) {
        QFile f(m_home->filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("share")));
    for (const QString& name : installed) {
        QFile f(m_home->filePath(QStringLiteral("share/") + name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    setInstalledDataFolder(m_home->filePath(QStringLiteral("share")));
    m_ui.setOpenDocumentResult(opens);
    frmhaupt window;
    window.findChild<QAction*>(QStringLiteral("mnuInfoHandbuch"))->trigger();
    m_ui.setOpenDocumentResult(true);
    setInstalledDataFolder(QString());
    QCOMPARE(m_ui.texts(), messages);
    QString opened;
    for (const auto& s : m_ui.shown()) {
        if (s.kind == QLatin1String("document"))
            opened = s.text;
    }
    QCOMPARE(opened, document.isEmpty() ? QString() : m_home->filePath(document));
}

void TstStartup::aboutBox()
{
    frmhaupt window;
    window.findChild<QAction*>(QStringLiteral("mnuHilfe_about"))->trigger();
    auto* about = window.findChild<About*>();
    QVERIFY(about);
    QVERIFY(!about->isModal());
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lbl_version"))->text(),
             QStringLiteral("1.3.8"));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lbl_progname"))->text(),
             QStringLiteral("Vemro"));
    QPointer<About> guard(about);
    // It closes by itself (and deletes itself) after five seconds.
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 15000);

    window.findChild<QAction*>(QStringLiteral("mnuHilfe_about"))->trigger();
    guard = window.findChild<About*>();
    QVERIFY(guard);
    QTest::mouseClick(guard->findChild<QLabel*>(QStringLiteral("picLogo")), Qt::LeftButton);
    QTRY_VERIFY(guard.isNull());
}

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
