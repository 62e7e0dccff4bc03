#include "app/MainMenu.h"

#include "app/About.h"
#include "editors/ProjektPage.h"
#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

namespace vemro {

namespace {

QAction* addEntry(QMenu* menu, const QString& caption, const char* name)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

MainMenu::MainMenu(QMainWindow& window, ProjektPage& projekt) : QObject(&window), m_window(window)
{
    QMenuBar* bar = window.menuBar();
    QMenu* datei = bar->addMenu(QStringLiteral("&Datei"));
    datei->setObjectName(QStringLiteral("mnuDatei"));
    connect(addEntry(datei, QStringLiteral("neues Projekt"), "mnuDateiNeu"), &QAction::triggered,
            &projekt, &ProjektPage::cmdNewProjekt_Click);
    connect(addEntry(datei, QStringLiteral("Projekt öffnen"), "mnuDateiOpen"), &QAction::triggered,
            &projekt, &ProjektPage::mnuDateiOpen_Click);
    datei->addSeparator();
    connect(addEntry(datei, QStringLiteral("Beenden"), "mnuDateiEnde"), &QAction::triggered,
            &window, &QWidget::close);

    QMenu* terminal = bar->addMenu(QStringLiteral("&Terminal"));
    terminal->setObjectName(QStringLiteral("mnuTerminal"));
    connect(addEntry(terminal, QStringLiteral("Terminal mit Projekt vergleichen"),
                     "mnuTerminalVergleichen"),
            &QAction::triggered, this, &MainMenu::compareRequested);

    QMenu* hilfe = bar->addMenu(QStringLiteral("&?"));
    hilfe->setObjectName(QStringLiteral("mnuHilfe"));
    connect(addEntry(hilfe, QStringLiteral("Handbuch"), "mnuInfoHandbuch"), &QAction::triggered,
            this, &MainMenu::mnuInfoHandbuch_Click);
    connect(addEntry(hilfe, QStringLiteral("Über..."), "mnuHilfe_about"), &QAction::triggered, this,
            &MainMenu::mnuHilfe_about_Click);
}

void MainMenu::mnuInfoHandbuch_Click()
{
    // The program folder first, then the copy an installed program brings along.
    const QString manual = FindManual();
    if (manual.isEmpty()) {
        ui().message(QStringLiteral("kein Handbuch ('um_xxx.pdf') gefunden"), kProductName);
        return;
    }
    if (!ui().openDocument(manual))
        ui().message(
            QStringLiteral("Fehler beim Aufruf...der Acrobat Reader muss installiert sein"),
            kProductName);
}

void MainMenu::mnuHilfe_about_Click()
{
    auto* about = new About(&m_window);
    about->show();
}

} // namespace vemro
