#include "ProjectTestHome.h"

#include "../pages/FakeTerminal.h"
#include "app/frmhaupt.h"
#include "editors/ProjektPage.h"
#include "editors/SchnittstellePage.h"
#include "editors/SelectComboEntry.h"
#include "editors/frmProjektneu.h"
#include "link/ComPort.h"
#include "link/MemoryTransport.h"
#include "platform/Globals.h"
#include "platform/ScriptedUserInterface.h"
#include "project/DataEnvironment.h"
#include "project/ProjectFiles.h"
#include "project/clsProjekt.h"
#include "tests/common/ScriptedPage.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>

using namespace vemro;
using vemro::test::ScriptedPage;

namespace {

// The serial port leads to an in-memory line: these tests never touch the PC's real ports.
void quietPort(frmhaupt& window)
{
    window.ctlcom()->setOpener([](int, const SerialSettings&, SerialOpenError&, QString&) {
        return std::unique_ptr<Transport>(new MemoryTransport);
    });
}

} // namespace

class TstProjects : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void nameRules_data();
    void nameRules();
    void entryRule();
    void newProjectFromTemplate();
    void newProjectKeepsExistingOnNo();
    void newProjectOverwritesOnYes();
    void missingHardwareFolder();
    void recentlyUsed();
    void reopenedAtStart_data();
    void reopenedAtStart();
    void newerProgramLeavesWindow();
    void missingProjectFile();
    void brokenProjectFile();
    void deleteProject();
    void openFromMenu();
    void dispatch_data();
    void dispatch();
    void pagesAnswerTheirModes_data();
    void pagesAnswerTheirModes();
    void readKeepsSendState();
    void sendDisablesAndRestoresFrames();
    void pageSwitchButtons();
    void allTabsInvisible();
    void disabledPageEnabledBySend();
    void saveIsAllOrNothing();

private:
    // Answers the next new-project dialog with a name and template.
    void answerNewDialog(frmhaupt& window, const QString& name, const QString& hardware = {});
    std::unique_ptr<ProjectTestHome> m_home;
    ScriptedUserInterface m_ui;
};

void TstProjects::init()
{
    m_home = std::make_unique<ProjectTestHome>();
    setUi(&m_ui);
    m_ui.clear();
    globals().ControlsUpdating = false;
}

void TstProjects::cleanup()
{
    setUi(nullptr);
    m_home.reset();
}

void TstProjects::answerNewDialog(frmhaupt& window, const QString& name, const QString& hardware)
{
    QTimer::singleShot(0, &window, [&window, name, hardware] {
        auto* dialog = window.findChild<frmProjektneu*>();
        QVERIFY(dialog);
        dialog->txtProjektbezeichnung()->setText(name);
        if (!hardware.isEmpty())
            dialog->cboHardwareVarianten()->setCurrentText(hardware);
        dialog->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
        if (dialog->isVisible()) // a rule was broken: give up
            dialog->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    });
}

void TstProjects::nameRules_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("messages");
    const QString shortMsg = QStringLiteral("Bezeichnung muss mindestens 5 Zeichen lang sein");
    const QString longMsg = QStringLiteral("Bezeichnung darf höchstens 30 Zeichen lang sein");
    QTest::newRow("5 characters") << "Halle" << QStringList();
    QTest::newRow("30 characters") << QString(30, QLatin1Char('x')) << QStringList();
    QTest::newRow("4 characters") << "Hall" << QStringList{shortMsg};
    QTest::newRow("31 characters") << QString(31, QLatin1Char('x')) << QStringList{longMsg};
    QTest::newRow("dollar and ampersand")
        << "$&xy"
        << QStringList{shortMsg, "keine Sonderzeichen wie '&' zulässig",
                       "keine Sonderzeichen wie '$' zulässig"};
    QTest::newRow("backslash") << "Halle\\1"
                               << QStringList{"keine Sonderzeichen wie '\\' zulässig"};
    QTest::newRow("slash") << "Halle/1" << QStringList{"keine Sonderzeichen wie '/' zulässig"};
    QTest::newRow("parent folder") << "../Halle1"
                                   << QStringList{"keine Sonderzeichen wie '/' zulässig",
                                                  "Bezeichnung darf nicht mit '.' beginnen"};
    QTest::newRow("hidden file") << ".Halle1"
                                 << QStringList{"Bezeichnung darf nicht mit '.' beginnen"};
    QTest::newRow("dot inside") << "Halle.1" << QStringList();
    // The connection text splits at ";": such a project could never be opened.
    QTest::newRow("semicolon") << "Halle;1" << QStringList{"keine Sonderzeichen wie ';' zulässig"};
    QTest::newRow("newline") << "New\nline1"
                             << QStringList{
                                    "keine Steuerzeichen (Zeilenumbruch, Tabulator) zulässig"};
    QTest::newRow("quote and wildcards") << "Ha\"l*?[e"
                                         << QStringList{"keine Sonderzeichen wie '\"' zulässig",
                                                        "keine Sonderzeichen wie '*' zulässig",
                                                        "keine Sonderzeichen wie '?' zulässig",
                                                        "keine Sonderzeichen wie '[' zulässig"};
    QTest::newRow("apostrophe") << "Hal'le1" << QStringList{"keine Sonderzeichen wie ''' zulässig"};
    const QString blanks = QStringLiteral("Bezeichnung darf nicht mit einem Leerzeichen beginnen "
                                          "oder enden");
    QTest::newRow("leading blank") << " Halle1" << QStringList{blanks};
    QTest::newRow("trailing blank") << "Halle1 " << QStringList{blanks};
    QTest::newRow("blank inside") << "Halle 1" << QStringList();
    QTest::newRow("leading dash") << "-Halle1"
                                  << QStringList{"Bezeichnung darf nicht mit '-' beginnen"};
    QTest::newRow("ending .mdb") << "Halle1.mdb"
                                 << QStringList{"Bezeichnung darf 'mdb' nicht enthalten"};
}

void TstProjects::nameRules()
{
    QFETCH(QString, name);
    QFETCH(QStringList, messages);
    frmProjektneu dialog;
    dialog.show();
    dialog.txtProjektbezeichnung()->setText(name);
    dialog.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    QCOMPARE(m_ui.texts(), messages);
    QCOMPARE(dialog.isVisible(), !messages.isEmpty());
    QCOMPARE(ProjectFiles::NameProblems(name), messages);
    if (dialog.isVisible()) {
        dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(dialog.txtProjektbezeichnung()->text().isEmpty());
    }
}

void TstProjects::entryRule()
{
    for (const char* f :
         {"Anlage1.mdb", "Anlage1.ldb", "notes.txt", "mdb.txt", "Anlage1.mdb.neu"}) {
        QFile file(m_home->projects() + QString::fromLatin1(f));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QDir(m_home->projects()).mkpath(QStringLiteral("Ordner.mdb"));
    QCOMPARE(ProjectFiles::EntryFromFileName(QStringLiteral("Anlage1.mdb")),
             QStringLiteral("Anlage1"));
    QCOMPARE(ProjectFiles::EntryFromFileName(QStringLiteral("Anlage1.MDB")), QString());
    QCOMPARE(ProjectFiles::EntryFromFileName(QStringLiteral("mdb.txt")), QString());
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    QComboBox* list = window.findChild<QComboBox*>(QStringLiteral("cboProjekte"));
    QVERIFY(list);
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->itemText(0), QStringLiteral("Anlage1"));
}

void TstProjects::newProjectFromTemplate()
{
    QVERIFY(m_home->installTemplates());
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    answerNewDialog(window, QStringLiteral("Anlage1"), QStringLiteral("vx_1602"));
    window.findChild<QPushButton*>(QStringLiteral("cmdNewProjekt"))->click();
    QVERIFY2(m_ui.texts().isEmpty(), qPrintable(m_ui.texts().join('|')));
    QVERIFY(QFileInfo::exists(m_home->projects() + QStringLiteral("Anlage1.mdb")));
    QVERIFY(window.Projekt().isLoaded());
    QCOMPARE(window.Projekt().Bezeichnung(), QStringLiteral("Anlage1"));
    QCOMPARE(window.panelText(2), QStringLiteral("Anlage1"));
    QCOMPARE(window.projektPage()->cboProjekte()->currentText(), QStringLiteral("Anlage1"));
    const QString designation =
        m_home
            ->projectValue(QStringLiteral("Anlage1"),
                           QStringLiteral("SELECT RKHardwarebezeichnung FROM Allgemein"))
            .toString();
    QVERIFY(!designation.isEmpty());
    QCOMPARE(window.projektPage()->lblTerminalbezeichung()->text(), designation);
    // The tabs come from the template's Register table.
    const int visible =
        m_home
            ->projectValue(QStringLiteral("Anlage1"),
                           QStringLiteral("SELECT count(*) FROM Register WHERE visible"))
            .toInt();
    QCOMPARE(window.ctlRegister()->count(), visible);
    QVERIFY(window.cmdReadfromTerminal()->isEnabled());
    QCOMPARE(m_home->programValue(QStringLiteral("SELECT Bezeichnung FROM ProjekteLRU")).toString(),
             QStringLiteral("Anlage1"));
    // The template list offers both templates.
    frmProjektneu dialog;
    QVERIFY(dialog.FillHardwarecombo());
    QCOMPARE(dialog.cboHardwareVarianten()->count(), 2);
    QVERIFY(dialog.cboHardwareVarianten()->isEnabled());
}

void TstProjects::newProjectKeepsExistingOnNo()
{
    QVERIFY(m_home->installTemplates());
    QVERIFY(
        m_home->makeProject(QStringLiteral("Anlage1"), QStringLiteral("vx_standard"),
                            {QStringLiteral("UPDATE Allgemein SET RKHardwarebezeichnung='alt'")}));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    m_ui.queueAnswer(UserInterface::Answer::No);
    answerNewDialog(window, QStringLiteral("Anlage1"), QStringLiteral("vx_1602"));
    window.findChild<QPushButton*>(QStringLiteral("cmdNewProjekt"))->click();
    QCOMPARE(m_ui.texts(),
             QStringList{QStringLiteral("Projekt existiert bereits, überschreiben?")});
    QCOMPARE(m_home->projectValue(QStringLiteral("Anlage1"),
                                  QStringLiteral("SELECT RKHardwarebezeichnung FROM Allgemein")),
             QVariant(QStringLiteral("alt")));
    QCOMPARE(window.Projekt().Bezeichnung(), QStringLiteral("Anlage1"));
    QCOMPARE(window.projektPage()->lblTerminalbezeichung()->text(), QStringLiteral("alt"));
}

void TstProjects::newProjectOverwritesOnYes()
{
    QVERIFY(m_home->installTemplates());
    QVERIFY(
        m_home->makeProject(QStringLiteral("Anlage1"), QStringLiteral("vx_standard"),
                            {QStringLiteral("UPDATE Allgemein SET RKHardwarebezeichnung='alt'")}));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    // The open project itself is replaced: its connection must let go of the file.
    window.projektPage()->cboProjekte()->setCurrentText(QStringLiteral("Anlage1"));
    QCOMPARE(window.Projekt().Bezeichnung(), QStringLiteral("Anlage1"));
    m_ui.queueAnswer(UserInterface::Answer::Yes);
    answerNewDialog(window, QStringLiteral("Anlage1"), QStringLiteral("vx_1602"));
    window.findChild<QPushButton*>(QStringLiteral("cmdNewProjekt"))->click();
    const QString fresh =
        ProjectTestHome::query(ProjectTestHome::builtTemplate(QStringLiteral("vx_1602")),
                               QStringLiteral("SELECT RKHardwarebezeichnung FROM Allgemein"))
            .toString();
    QCOMPARE(m_home
                 ->projectValue(QStringLiteral("Anlage1"),
                                QStringLiteral("SELECT RKHardwarebezeichnung FROM Allgemein"))
                 .toString(),
             fresh);
    QCOMPARE(window.projektPage()->lblTerminalbezeichung()->text(), fresh);
}

void TstProjects::missingHardwareFolder()
{
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    window.findChild<QPushButton*>(QStringLiteral("cmdNewProjekt"))->click();
    QCOMPARE(m_ui.texts().size(), 1);
    QVERIFY2(m_ui.texts().first().startsWith(QStringLiteral("Keine Hardwarevorlage gefunden")),
             qPrintable(m_ui.texts().first()));
    QVERIFY(!window.findChild<frmProjektneu*>());
    QVERIFY(QDir(m_home->projects()).entryList(QDir::Files).isEmpty());
    QVERIFY(!window.cmdReadfromTerminal()->isEnabled());
}

void TstProjects::recentlyUsed()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage2")));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    QComboBox* list = window.projektPage()->cboProjekte();
    (void)SelectComboEntry(list, QStringLiteral("Anlage1"), true);
    const QString lru =
        QStringLiteral("SELECT Bezeichnung || '|' || lastused || '|' || Nr FROM ProjekteLRU");
    const QString first = m_home->programValue(lru).toString();
    QVERIFY2(first.startsWith(QStringLiteral("Anlage1|")), qPrintable(first));
    QVERIFY(first.endsWith(QStringLiteral("|1")));
    // The newest already: nothing is written.
    QTest::qWait(1100);
    (void)SelectComboEntry(list, QStringLiteral("Anlage1"), true);
    QCOMPARE(m_home->programValue(lru).toString(), first);
    // Another project overwrites the one record.
    (void)SelectComboEntry(list, QStringLiteral("Anlage2"), true);
    QCOMPARE(m_home->programValue(QStringLiteral("SELECT count(*) FROM ProjekteLRU")).toInt(), 1);
    const QString second = m_home->programValue(lru).toString();
    QVERIFY2(second.startsWith(QStringLiteral("Anlage2|")), qPrintable(second));
    QVERIFY(second != first);
    QVERIFY(m_ui.texts().isEmpty());
}

void TstProjects::reopenedAtStart_data()
{
    QTest::addColumn<QString>("projektPfad");
    QTest::newRow("stored as designed") << QStringLiteral("\\Projekte\\");
    QTest::newRow("without the closing separator") << QStringLiteral("\\Projekte");
}

void TstProjects::reopenedAtStart()
{
    QFETCH(QString, projektPfad);
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage2")));
    {
        frmhaupt window;
        quietPort(window);
        QVERIFY(window.Init());
        (void)SelectComboEntry(window.projektPage()->cboProjekte(), QStringLiteral("Anlage2"),
                               true);
    }
    // The program database exists from the first start on.
    QVERIFY(ProjectTestHome::exec(
        m_home->path() + QStringLiteral("/VEMRO.mdb"),
        {QStringLiteral("UPDATE Allgemein SET ProjektPfad='%1'").arg(projektPfad)}));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    QVERIFY(window.Projekt().isLoaded());
    QCOMPARE(window.Projekt().Bezeichnung(), QStringLiteral("Anlage2"));
    QCOMPARE(window.panelText(2), QStringLiteral("Anlage2"));
    QCOMPARE(window.projektPage()->cboProjekte()->currentText(), QStringLiteral("Anlage2"));
    QCOMPARE(window.ctlRegister()->currentIndex(), 0);
    QCOMPARE(window.editMode(), fromStored<EditMode>(window.ctlRegister()->tabData(0).toInt()));
}

void TstProjects::newerProgramLeavesWindow()
{
    QVERIFY(
        m_home->makeProject(QStringLiteral("Anlage1"), QStringLiteral("vx_standard"),
                            {QStringLiteral("UPDATE Allgemein SET RKHardwarebezeichnung='eins'")}));
    QVERIFY(m_home->makeProject(
        QStringLiteral("Neuer"), QStringLiteral("vx_1602"),
        {QStringLiteral(
             "UPDATE Allgemein SET minProgversion='1.3.9', RKHardwarebezeichnung='zwei'"),
         QStringLiteral("DELETE FROM Register WHERE FrameNr > 1")}));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    QComboBox* list = window.projektPage()->cboProjekte();
    (void)SelectComboEntry(list, QStringLiteral("Anlage1"), true);
    const int tabs = window.ctlRegister()->count();
    m_ui.clear();
    (void)SelectComboEntry(list, QStringLiteral("Neuer"), true);
    QCOMPARE(m_ui.texts(),
             QStringList{QStringLiteral("Projekt benötigt mindestens Programmversion 1.3.9")});
    QCOMPARE(window.ctlRegister()->count(), tabs);
    QCOMPARE(window.panelText(2), QStringLiteral("Anlage1"));
    QCOMPARE(window.projektPage()->lblTerminalbezeichung()->text(), QStringLiteral("eins"));
    QCOMPARE(list->currentText(), QStringLiteral("Anlage1"));
    QCOMPARE(m_home->programValue(QStringLiteral("SELECT Bezeichnung FROM ProjekteLRU")).toString(),
             QStringLiteral("Anlage1"));
    // The connection is back on the project the window shows.
    QVERIFY(window.Projekt().isOpen());
    QCOMPARE(QFileInfo(DataEnvironment::dataSourceOf(
                           window.Data().connectionString(DataEnvironment::kProjekt)))
                 .fileName(),
             QStringLiteral("Anlage1.mdb"));
}

void TstProjects::missingProjectFile()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    window.Projekt().openProjekt(QStringLiteral("Gibtsnicht"));
    QCOMPARE(m_ui.texts(), QStringList{QStringLiteral("Projektdatei nicht gefunden ")});
    QVERIFY(!window.Projekt().isLoaded());
    QCOMPARE(window.panelText(2), QStringLiteral("kein Projekt geöffnet"));
}

void TstProjects::brokenProjectFile()
{
    QFile f(m_home->projects() + QStringLiteral("Kaputt.mdb"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    (void)SelectComboEntry(window.projektPage()->cboProjekte(), QStringLiteral("Kaputt"), true);
    // Each failing step reports, and the open goes on without crashing.
    const QStringList texts = m_ui.texts();
    QVERIFY(texts.size() >= 3);
    QVERIFY2(texts.first().startsWith(QStringLiteral("clsProjekt:openProjekt Method : ")),
             qPrintable(texts.first()));
}

void TstProjects::deleteProject()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage2")));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    QComboBox* list = window.projektPage()->cboProjekte();
    QPushButton* del = window.findChild<QPushButton*>(QStringLiteral("cmdDeleteProjectinDB"));
    (void)SelectComboEntry(list, QStringLiteral("Anlage2"), true);
    (void)SelectComboEntry(list, QStringLiteral("Anlage1"), true);
    // The open project: asked, "No" keeps it open.
    m_ui.clear();
    del->click();
    QCOMPARE(m_ui.texts().size(), 1);
    QVERIFY2(m_ui.texts().first().contains(QStringLiteral("ist geöffnet")),
             qPrintable(m_ui.texts().first()));
    QVERIFY(QFileInfo::exists(m_home->projects() + QStringLiteral("Anlage1.mdb")));
    QCOMPARE(window.Projekt().Bezeichnung(), QStringLiteral("Anlage1"));
    QVERIFY(window.Projekt().isOpen());
    // Another one: asked, "No" keeps it.
    QVERIFY(window.Projekt().deleteProjekt(QStringLiteral("Anlage2")) == false);
    QVERIFY(QFileInfo::exists(m_home->projects() + QStringLiteral("Anlage2.mdb")));
    // Its recently used record goes with the file.
    QVERIFY(ProjectTestHome::exec(m_home->path() + QStringLiteral("/VEMRO.mdb"),
                                  {QStringLiteral("INSERT INTO ProjekteLRU VALUES "
                                                  "('Anlage2','2020-01-01 00:00:00',2)")}));
    m_ui.queueAnswer(UserInterface::Answer::Yes);
    QVERIFY(window.Projekt().deleteProjekt(QStringLiteral("Anlage2")));
    QVERIFY(!QFileInfo::exists(m_home->projects() + QStringLiteral("Anlage2.mdb")));
    QCOMPARE(m_home
                 ->programValue(QStringLiteral("SELECT count(*) FROM ProjekteLRU WHERE "
                                               "Bezeichnung='Anlage2'"))
                 .toInt(),
             0);
    QCOMPARE(m_home
                 ->programValue(QStringLiteral("SELECT count(*) FROM ProjekteLRU WHERE "
                                               "Bezeichnung='Anlage1'"))
                 .toInt(),
             1);
    // The open project, "Yes": closed, deleted, the window holds no project.
    m_ui.clear();
    m_ui.queueAnswer(UserInterface::Answer::Yes);
    del->click();
    QCOMPARE(m_ui.texts().size(), 1);
    QVERIFY(!QFileInfo::exists(m_home->projects() + QStringLiteral("Anlage1.mdb")));
    QVERIFY(!window.Projekt().isOpen());
    QVERIFY(window.Projekt().Bezeichnung().isEmpty());
    QCOMPARE(list->findText(QStringLiteral("Anlage1")), -1);
    QCOMPARE(list->currentIndex(), -1);
    QCOMPARE(window.panelText(2), QStringLiteral("kein Projekt geöffnet"));
    for (const char* name :
         {"cmdReadfromTerminal", "cmdSaveinTerminal", "cmdSaveTerminalkonfiguration"})
        QVERIFY2(!window.findChild<QPushButton*>(QLatin1String(name))->isEnabled(), name);
}

void TstProjects::openFromMenu()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath(QStringLiteral("Fremd01.mdb"));
    QVERIFY(QFile::copy(ProjectTestHome::builtTemplate(QStringLiteral("vx_standard")), outside));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    m_ui.queueFileName(m_home->projects() + QStringLiteral("Anlage1.mdb"));
    window.findChild<QAction*>(QStringLiteral("mnuDateiOpen"))->trigger();
    QCOMPARE(window.Projekt().Bezeichnung(), QStringLiteral("Anlage1"));
    // A file from another folder is copied in after asking.
    m_ui.queueFileName(outside);
    m_ui.queueAnswer(UserInterface::Answer::Yes);
    window.findChild<QAction*>(QStringLiteral("mnuDateiOpen"))->trigger();
    QVERIFY(QFileInfo::exists(m_home->projects() + QStringLiteral("Fremd01.mdb")));
    QCOMPARE(window.Projekt().Bezeichnung(), QStringLiteral("Fremd01"));
    QCOMPARE(window.projektPage()->cboProjekte()->currentText(), QStringLiteral("Fremd01"));
    // Replacing a project with a file that cannot be copied keeps the project whole.
    const QString broken = elsewhere.filePath(QStringLiteral("Anlage1.mdb"));
    QVERIFY(QDir().mkpath(broken)); // a folder: the copy fails
    const QString anlage1 = m_home->projects() + QStringLiteral("Anlage1.mdb");
    const qint64 size = QFileInfo(anlage1).size();
    m_ui.clear();
    m_ui.queueFileName(broken);
    m_ui.queueAnswer(UserInterface::Answer::Yes);
    m_ui.queueAnswer(UserInterface::Answer::Yes);
    window.findChild<QAction*>(QStringLiteral("mnuDateiOpen"))->trigger();
    QCOMPARE(m_ui.texts().last(), QStringLiteral("Projekt kann nicht kopiert werden : ") + anlage1);
    QCOMPARE(QFileInfo(anlage1).size(), size);
    QCOMPARE(window.Projekt().Bezeichnung(), QStringLiteral("Fremd01"));
}

// The product's pages: which page answers which edit mode, and what goes to the terminal.
void TstProjects::dispatch_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("subTab");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("send");
    QTest::addColumn<QStringList>("commands"); // beginnings of the commands, in order
    QTest::addColumn<QStringList>("messages");
    const QStringList unknown{QStringLiteral("unbekannte Bearbeitungsfunktion")};
    const QStringList none;
    QTest::newRow("0 read: terminal information")
        << 0 << -1 << 0 << false << QStringList{"L?A", "?V"} << none;
    QTest::newRow("0 send does nothing") << 0 << -1 << 0 << true << none << none;
    QTest::newRow("4 read") << 4 << -1 << 4 << false
                            << QStringList{"K?M", "L?A", "?V", "?P0;", "?P0;"} << none;
    QTest::newRow("4 send") << 4 << -1 << 4 << true
                            << QStringList{"KM", "FP0;", "K?M", "LA4,20;", "LB1;", "LK"} << none;
    QTest::newRow("7 read") << 7 << -1 << 7 << false << QStringList{"?P0;"} << none;
    QTest::newRow("7 send") << 7 << -1 << 7 << true << QStringList{"P0,0;"} << none;
    QTest::newRow("11 read not supported")
        << 1 << 0 << 11 << false << none << QStringList{QStringLiteral("nicht unterstützt")};
    QTest::newRow("12 read unknown") << 1 << 1 << 12 << false << none << unknown;
    QTest::newRow("12 send unknown") << 1 << 1 << 12 << true << none << unknown;
    // The keyboard page asks for its configuration; this fake terminal does not know that
    // query, so nothing is counted and no answer comes.
    QTest::newRow("3 opens on 31: keyboard configuration, no answer")
        << 3 << -1 << 31 << false << none << QStringList{QStringLiteral("Verbindungsfehler")};
    QTest::newRow("8 read unknown") << 8 << -1 << 8 << false << none << unknown;
    QTest::newRow("8 send unknown") << 8 << -1 << 8 << true << none << unknown;
    QTest::newRow("2 read unknown") << 2 << -1 << 2 << false << none << unknown;
    // A tab whose FrameNr is a sub-tab's mode: no page answers it, the speed stays.
    QTest::newRow("11 as a tab: send unknown") << 11 << -1 << -1 << true << none << unknown;
}

void TstProjects::dispatch()
{
    QFETCH(int, page);
    QFETCH(int, subTab);
    QFETCH(int, mode);
    QFETCH(bool, send);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, messages);
    QVERIFY(m_home->makeProject(
        QStringLiteral("Anlage1"), QStringLiteral("vx_standard"),
        {QStringLiteral("INSERT INTO Register VALUES (2, 'frei', 1, 1, 2)"),
         QStringLiteral("INSERT INTO Register VALUES (11, 'fremd', 1, 1, 11)")}));
    frmhaupt window;
    FakeTerminal terminal;
    terminal.attach(*window.ctlcom());
    QVERIFY(window.Init());
    (void)SelectComboEntry(window.projektPage()->cboProjekte(), QStringLiteral("Anlage1"), true);
    QCOMPARE(window.Projekt().Bezeichnung(), QStringLiteral("Anlage1"));
    window.showPage(page);
    if (subTab >= 0)
        window.schnittstellePage()->ctlRegisterSchnittstelle()->setCurrentIndex(subTab);
    QCOMPARE(window.editMode(), fromStored<EditMode>(mode));
    terminal.commands.clear();
    m_ui.clear();
    if (send)
        window.cmdSaveinTerminal_Click();
    else
        window.cmdReadfromTerminal_Click();
    QCOMPARE(m_ui.texts(), messages);
    QCOMPARE(terminal.commands.size(), commands.size());
    for (int i = 0; i < commands.size(); ++i)
        QVERIFY2(terminal.commands.at(i).startsWith(commands.at(i).toLatin1()),
                 terminal.commands.at(i).constData());
    QCOMPARE(window.editMode(), fromStored<EditMode>(mode)); // the dispatch never changes it
}

void TstProjects::pagesAnswerTheirModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("send");
    QTest::addColumn<QString>("called");
    QTest::addColumn<QStringList>("messages");
    const QStringList unknown{QStringLiteral("unbekannte Bearbeitungsfunktion")};
    QTest::newRow("0 read") << 0 << false << "read0" << QStringList();
    QTest::newRow("0 send does nothing") << 0 << true << "" << QStringList();
    for (int mode : {4, 5, 6, 7, 31, 32}) {
        QTest::addRow("%d read", mode)
            << mode << false << QStringLiteral("read%1").arg(mode) << QStringList();
        QTest::addRow("%d send", mode)
            << mode << true << QStringLiteral("send%1").arg(mode) << QStringList();
    }
    QTest::newRow("11 read not supported")
        << 11 << false << "" << QStringList{QStringLiteral("nicht unterstützt")};
    QTest::newRow("11 send") << 11 << true << "send11" << QStringList();
    for (int mode : {2, 8, 9, 12, 3, 1}) {
        QTest::addRow("%d read unknown", mode) << mode << false << "" << unknown;
        QTest::addRow("%d send unknown", mode) << mode << true << "" << unknown;
    }
}

// Pages of other areas behind the same interface: each edit mode reaches the page that
// lists it, whatever page number it has.
void TstProjects::pagesAnswerTheirModes()
{
    QFETCH(int, mode);
    QFETCH(bool, send);
    QFETCH(QString, called);
    QFETCH(QStringList, messages);
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    QStringList calls;
    // Pages declaring their edit modes; the frame decides which transfer runs.
    auto logged = [&calls](int m) {
        return Page::Transfer{static_cast<EditMode>(m),
                              [&calls, m] { calls << QStringLiteral("read%1").arg(m); },
                              [&calls, m] { calls << QStringLiteral("send%1").arg(m); }};
    };
    std::vector<std::unique_ptr<ScriptedPage>> pages;
    for (int nr : {0, 1, 3, 4, 5, 6, 7})
        pages.push_back(std::make_unique<ScriptedPage>(nr));
    pages[0]->transferList = {
        {EditMode::Projekt, [&] { calls << QStringLiteral("read0"); }, [] {}}};
    pages[1]->transferList = {
        {EditMode::Seriell, [] { ui().message(QStringLiteral("nicht unterstützt"), kProductName); },
         [&] { calls << QStringLiteral("send11"); }},
        {EditMode::Netzwerk, nullptr, nullptr}};
    pages[2]->transferList = {logged(31), logged(32)};
    for (size_t i = 3; i < pages.size(); ++i)
        pages[i]->transferList = {logged(toStored(pages[i]->pageNumber()))};
    for (const auto& page : pages)
        window.addPage(*page);
    window.setEditMode(static_cast<EditMode>(mode));
    if (send)
        window.cmdSaveinTerminal_Click();
    else
        window.cmdReadfromTerminal_Click();
    QCOMPARE(calls.join(QLatin1Char(',')), called);
    QCOMPARE(m_ui.texts(), messages);
    QCOMPARE(window.editMode(), fromStored<EditMode>(mode)); // the dispatch never changes it
}

void TstProjects::readKeepsSendState()
{
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    bool sendDuringRead = true;
    bool registerDuringRead = false;
    ScriptedPage page(4);
    page.transferList = {{EditMode::Konfiguration,
                          [&] {
                              sendDuringRead = window.cmdSaveinTerminal()->isEnabled();
                              registerDuringRead = window.ctlRegister()->isEnabled();
                          },
                          nullptr}};
    window.addPage(page);
    window.setEditMode(EditMode::Konfiguration);
    window.cmdSaveinTerminal()->setEnabled(false);
    window.cmdReadfromTerminal_Click();
    QVERIFY(!sendDuringRead);
    QVERIFY(registerDuringRead); // a read blocks only the two buttons
    QVERIFY(window.cmdReadfromTerminal()->isEnabled());
    QVERIFY(!window.cmdSaveinTerminal()->isEnabled());
}

void TstProjects::sendDisablesAndRestoresFrames()
{
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    bool anythingEnabled = true;
    ScriptedPage page(4);
    page.transferList = {{EditMode::Konfiguration, nullptr, [&] {
                              anythingEnabled = window.ctlRegister()->isEnabled() ||
                                                window.cmdReadfromTerminal()->isEnabled();
                              for (int i = 0; i < frmhaupt::kPageCount; ++i)
                                  anythingEnabled |= window.frRegister(i)->isEnabled();
                          }}};
    window.addPage(page);
    window.setEditMode(EditMode::Konfiguration);
    window.cmdReadfromTerminal()->setEnabled(true);
    window.cmdSaveinTerminal_Click();
    QVERIFY(!anythingEnabled);
    QVERIFY(window.ctlRegister()->isEnabled());
    for (int i = 0; i < frmhaupt::kPageCount; ++i)
        QVERIFY(window.frRegister(i)->isEnabled());
    QVERIFY(window.cmdReadfromTerminal()->isEnabled());
    QVERIFY(window.cmdSaveinTerminal()->isEnabled());
}

void TstProjects::pageSwitchButtons()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    // No project: the switch does not enable the buttons.
    window.showPage(4);
    QVERIFY(!window.cmdReadfromTerminal()->isEnabled());
    window.showPage(0);
    (void)SelectComboEntry(window.projektPage()->cboProjekte(), QStringLiteral("Anlage1"), true);
    // Opening restores the interface, but page "Projekt" keeps its own edit mode.
    QCOMPARE(window.editMode(), EditMode::Projekt);
    QVERIFY(!window.cmdSaveinTerminal()->isEnabled());
    window.showPage(0);
    QCOMPARE(window.editMode(), EditMode::Projekt);
    QVERIFY(window.cmdReadfromTerminal()->isEnabled());
    QVERIFY(!window.cmdSaveinTerminal()->isEnabled());
    window.showPage(4);
    QCOMPARE(window.editMode(), EditMode::Konfiguration);
    QVERIFY(window.cmdSaveinTerminal()->isEnabled());
    window.showPage(3);
    QCOMPARE(window.editMode(), EditMode::TastaturAllgemein);
    window.showPage(9);
    QCOMPARE(window.editMode(), EditMode::Demo);
    QVERIFY(window.frProjekt()->isHidden());
    window.showPage(8);
    QVERIFY(!window.frProjekt()->isHidden());
    QCOMPARE(window.findChild<QStackedWidget*>()->currentWidget(), window.frRegister(8));
}

void TstProjects::allTabsInvisible()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Leer01"), QStringLiteral("vx_standard"),
                                {QStringLiteral("UPDATE Register SET visible = 0")}));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    (void)SelectComboEntry(window.projektPage()->cboProjekte(), QStringLiteral("Leer01"), true);
    QVERIFY(window.Projekt().isLoaded());
    QCOMPARE(window.ctlRegister()->count(), 0);
    QCOMPARE(window.currentPage(), -1);
    auto* stack = window.findChild<QStackedWidget*>();
    QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("frKeineSeite"));
}

void TstProjects::disabledPageEnabledBySend()
{
    QVERIFY(m_home->makeProject(
        QStringLiteral("Anlage1"), QStringLiteral("vx_standard"),
        {QStringLiteral("UPDATE Register SET enabled = 0 WHERE FrameNr = 4"),
         QStringLiteral("INSERT INTO Register VALUES (4, 'Nochmal', 0, 1, 99)")}));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    (void)SelectComboEntry(window.projektPage()->cboProjekte(), QStringLiteral("Anlage1"), true);
    QVERIFY(!window.frRegister(4)->isEnabled());
    // Two rows with the same page give two tabs showing it.
    int tabsOf4 = 0;
    for (int i = 0; i < window.ctlRegister()->count(); ++i)
        tabsOf4 += window.ctlRegister()->tabData(i).toInt() == 4 ? 1 : 0;
    QCOMPARE(tabsOf4, 2);
    window.showPage(4);
    ScriptedPage page(4);
    page.transferList = {{EditMode::Konfiguration, nullptr, [] {}}};
    window.addPage(page);
    window.cmdSaveinTerminal_Click();
    QVERIFY(window.frRegister(4)->isEnabled());
}

void TstProjects::saveIsAllOrNothing()
{
    QVERIFY(m_home->makeProject(QStringLiteral("Anlage1")));
    frmhaupt window;
    quietPort(window);
    QVERIFY(window.Init());
    (void)SelectComboEntry(window.projektPage()->cboProjekte(), QStringLiteral("Anlage1"), true);
    DataEnvironment& env = window.Data();
    bool failUserChars = true;
    ScriptedPage settings(4);
    settings.saveOrder = ProjectOrder::kSaveKonfiguration;
    settings.save = [&env](QString* error) {
        if (!env.ensureOpen(QStringLiteral("cmdTerminaleinstellung"), error))
            return false;
        Recordset& rs = env.recordset(QStringLiteral("cmdTerminaleinstellung"));
        rs.moveFirst();
        (void)rs.setValue(QStringLiteral("Kontrast"), 3);
        if (!rs.update()) {
            *error = rs.lastError();
            return false;
        }
        return true;
    };
    ScriptedPage userChars(6);
    userChars.saveOrder = ProjectOrder::kSaveUserzeichen;
    userChars.save = [&failUserChars](QString* error) {
        if (failUserChars)
            *error = QStringLiteral("Platte voll");
        return !failUserChars;
    };
    window.addPage(settings);
    window.addPage(userChars);
    const QString kontrast = QStringLiteral("SELECT Kontrast FROM Terminaleinstellungen");
    const int before = m_home->projectValue(QStringLiteral("Anlage1"), kontrast).toInt();
    QVERIFY(before != 3);
    window.findChild<QPushButton*>(QStringLiteral("cmdSaveProjectinDB"))->click();
    QCOMPARE(m_ui.texts(),
             QStringList{QStringLiteral("Projekt konnte nicht gespeichert werden : Platte voll")});
    QCOMPARE(m_home->projectValue(QStringLiteral("Anlage1"), kontrast).toInt(), before);
    // The next save starts from the stored state and goes through.
    failUserChars = false;
    m_ui.clear();
    QVERIFY(window.Projekt().SaveProjekt());
    QVERIFY(m_ui.texts().isEmpty());
    QCOMPARE(m_home->projectValue(QStringLiteral("Anlage1"), kontrast).toInt(), 3);
    QVERIFY(window.findChild<QPushButton*>(QStringLiteral("cmdSaveProjectinDB"))->isEnabled());
}

QTEST_MAIN(TstProjects)
#include "tst_projects.moc"
