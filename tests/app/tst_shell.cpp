// The program shell around the pages: start window, Qt's own texts in German, message
// boxes that show their titles, the template choice and the link's status panel.
#include "app/LinkStatusPanel.h"
#include "app/QtTranslations.h"
#include "app/QtUserInterface.h"
#include "app/frmStart.h"
#include "app/frmhaupt.h"
#include "editors/frmProjektneu.h"
#include "link/ComPort.h"
#include "link/ComPortMap.h"
#include "link/clsVX.h"
#include "netmodule/clsNetModul.h"
#include "platform/ProgramInfo.h"
#include "platform/ScriptedUserInterface.h"
#include "platform/UserInterface.h"
#include "project/ProgramDatabase.h"
#include "tests/link/PtyPeer.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace vemro;

class TstShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startWindowShowsItsCaption();
    void qtTextsInGerman();
    void questionPreselects_data();
    void questionPreselects();
    void messageBoxShowsItsTitle_data();
    void messageBoxShowsItsTitle();
    void templateListPrefersStandard_data();
    void templateListPrefersStandard();
    void statusPanel();
    void windowUsesThePortMap();
    void statusTextShownWhole();
};

void TstShell::startWindowShowsItsCaption()
{
    frmStart start;
    start.show();
    QVERIFY(QTest::qWaitForWindowExposed(&start));
    // A splash window has no title bar: the caption must stand on the window itself.
    QVERIFY(start.windowFlags().testFlag(Qt::SplashScreen));
    auto* caption = start.findChild<QLabel*>(QStringLiteral("lblCaption"));
    QVERIFY(caption);
    QVERIFY(caption->isVisible());
    QCOMPARE(caption->text(), QStringLiteral("Programm wird geladen"));
    QVERIFY(caption->width() >= caption->fontMetrics().horizontalAdvance(caption->text()));
}

void TstShell::qtTextsInGerman()
{
    QVERIFY2(InstallQtTranslations(*QCoreApplication::instance()),
             "Qt's German texts (qt6-translations-l10n) are missing");
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vemro"), QStringLiteral("Frage"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Ja"));
    QCOMPARE(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Nein"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')),
             QStringLiteral("Abbrechen"));
}

void TstShell::questionPreselects_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("preselected");
    QTest::addColumn<QString>("defaultText");
    using B = UserInterface::Buttons;
    using A = UserInterface::Answer;
    QTest::newRow("Nein") << int(B::YesNo) << int(A::No) << QStringLiteral("Nein");
    QTest::newRow("Ja") << int(B::YesNo) << int(A::Yes) << QStringLiteral("Ja");
    QTest::newRow("Abbrechen of three")
        << int(B::YesNoCancel) << int(A::Cancel) << QStringLiteral("Abbrechen");
    QTest::newRow("Abbrechen of two")
        << int(B::OkCancel) << int(A::Cancel) << QStringLiteral("Abbrechen");
}

// The preselected answer is the box's default button, and Enter gives it.
void TstShell::questionPreselects()
{
    QFETCH(int, buttons);
    QFETCH(int, preselected);
    QFETCH(QString, defaultText);
    QVERIFY2(InstallQtTranslations(*QCoreApplication::instance()),
             "Qt's German texts (qt6-translations-l10n) are missing");
    QString shown = QStringLiteral("(kein Fenster)");
    QTimer look;
    look.setInterval(10);
    connect(&look, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        look.stop();
        shown = box->defaultButton() ? box->defaultButton()->text().remove(QLatin1Char('&'))
                                     : QStringLiteral("(keiner)");
        QTest::keyClick(box, Qt::Key_Return);
    });
    look.start();
    // A box that never showed itself must not hang the test.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    guard.start(10000);
    QtUserInterface qt;
    const auto answer =
        qt.ask(QStringLiteral("Alle Festtexte löschen ?"), UserInterface::Buttons(buttons),
               kProductName, UserInterface::Answer(preselected));
    QCOMPARE(shown, defaultText);
    QCOMPARE(int(answer), preselected);
}

void TstShell::messageBoxShowsItsTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("short text, long title")
        << QStringLiteral("Konfiguration im Terminal dauerhaft speichern") << QStringLiteral("OK");
    QTest::newRow("product name") << QStringLiteral("Vemro")
                                  << QStringLiteral("Projekt speichern ?");
}

void TstShell::messageBoxShowsItsTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, text);
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
    QtUserInterface::fitTitle(box);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QFont bold = QApplication::font();
    bold.setBold(true);
    QVERIFY2(box.width() > QFontMetrics(bold).horizontalAdvance(title) + 100,
             qPrintable(QStringLiteral("%1 px").arg(box.width())));
}

void TstShell::templateListPrefersStandard_data()
{
    QTest::addColumn<QStringList>("templates");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("standard sorts last") << QStringList{"vx_1602", "vx_standard"} << "vx_standard";
    QTest::newRow("no standard") << QStringList{"vx_1602", "vx_2004"} << "vx_1602";
}

void TstShell::templateListPrefersStandard()
{
    QFETCH(QStringList, templates);
    QFETCH(QString, chosen);
    QTemporaryDir home;
    setProgramFolder(home.path());
    QDir(home.path()).mkpath(QStringLiteral("Hardware"));
    for (const QString& t : templates) {
        QFile f(home.filePath(QStringLiteral("Hardware/") + t + QStringLiteral(".mdb")));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    frmProjektneu dialog;
    QVERIFY(dialog.FillHardwarecombo());
    setProgramFolder(QString());
    QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("cboHardwareVarianten"))->currentText(),
             chosen);
}

void TstShell::statusPanel()
{
    test::PtyPeer pty;
    ComPort port;
    clsNetModul net;
    clsVX vx;
    vx.setCtlcom(&port);
    vx.setCtlNetModul(&net);
    port.setDeviceOverride(1, pty.slavePath());
    port.setCommPort(1);
    LinkStatusPanel panel(vx, port, &net);
    QVERIFY(panel.text().contains(QStringLiteral("geschlossen")));
    QVERIFY(port.setSettings(QStringLiteral("19200,n,8,1")));
    QVERIFY(port.open());
    QCOMPARE(panel.text(), QStringLiteral("Com 1 (%1) 19200,n,8,1 offen").arg(pty.slavePath()));
    // Too narrow for the whole text: the device path gives way first, then the rest.
    const QFontMetrics metrics = panel.fontMetrics();
    for (const int less : {0, 10, 400}) {
        const int width = std::max(1, metrics.horizontalAdvance(panel.text()) - less);
        const QString shown = panel.shownText(width);
        QVERIFY2(metrics.horizontalAdvance(shown) <= width, qPrintable(shown));
        if (less == 0)
            QCOMPARE(shown, panel.text());
        else if (less == 10)
            QVERIFY2(shown.startsWith(QStringLiteral("Com 1 (")) &&
                         shown.endsWith(QStringLiteral(") 19200,n,8,1 offen")) &&
                         shown.contains(QChar(0x2026)),
                     qPrintable(shown));
    }
    QCOMPARE(panel.toolTip(), panel.text());
    QVERIFY(port.setSettings(QStringLiteral("38400,n,8,1")));
    QVERIFY(panel.text().contains(QStringLiteral("38400,n,8,1")));
    // A query nobody answers: the panel says so.
    vx.tmrTimeout()->setInterval(100);
    (void)vx.GetextEEZelle(1);
    QVERIFY(panel.text().endsWith(QStringLiteral("keine Antwort")));
    port.close();
    QVERIFY(panel.text().contains(QStringLiteral("geschlossen")));
    (void)vx.GetextEEZelle(1);
    QVERIFY2(panel.text().endsWith(QStringLiteral("Verbindung unterbrochen")),
             qPrintable(panel.text()));
}

// "Com 1" of the window leads where the program database's port map says, as it does for
// vemro-cli: the window's own data environment must not hide the map.
void TstShell::windowUsesThePortMap()
{
    QTemporaryDir home;
    setProgramFolder(home.path());
    ScriptedUserInterface ui;
    setUi(&ui);
    const QString db = home.filePath(QStringLiteral("VEMRO.mdb"));
    QString error;
    QVERIFY2(EnsureProgramDatabase(db, &error), qPrintable(error));
    {
        QSqlDatabase map =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("map"));
        map.setDatabaseName(db);
        QVERIFY(map.open());
        QVERIFY2(ComPortMap::setDevicePath(map, 1, QStringLiteral("/dev/vemro-map-test"), &error),
                 qPrintable(error));
        map.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("map"));
    {
        frmStart start;
        frmhaupt window(&start);
        QVERIFY(window.Init());
        QCOMPARE(window.ctlcom()->devicePath(1), QStringLiteral("/dev/vemro-map-test"));
        QCOMPARE(window.ctlcom()->devicePath(2), ComPortMap::defaultDevicePath(2));
    }
    setUi(nullptr);
    setProgramFolder(QString());
}

// The status of a firmware update beside the progress bar and the link's panel: the whole
// text is shown, not "Programiervorgang.... noc".
void TstShell::statusTextShownWhole()
{
    QTemporaryDir home;
    setProgramFolder(home.path());
    ScriptedUserInterface ui;
    setUi(&ui);
    {
        frmStart start;
        frmhaupt window(&start);
        // The link's panel as wide as a pty's path makes it.
        window.ctlcom()->setDeviceOverride(1, QStringLiteral("/tmp/vemro-abcdef/pty/vx"));
        QVERIFY(window.Init());
        window.resize(800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<QProgressBar*>(QStringLiteral("ctlFortschritt"))->setVisible(true);
        const QString text = QStringLiteral("Programiervorgang.... noch 1:23 min");
        window.setPanelText(1, text);
        window.setPanelText(2, QStringLiteral("Anlage mit einem recht langen Projektnamen"));
        window.setPanelText(3, QStringLiteral("noch ein langer Text im dritten Feld"));
        auto* panel = window.findChild<QLabel*>(QStringLiteral("stbPanel1"));
        QTRY_VERIFY2(panel->contentsRect().width() >= panel->fontMetrics().horizontalAdvance(text),
                     qPrintable(QString::number(panel->width())));
    }
    setUi(nullptr);
    setProgramFolder(QString());
}

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
