#pragma once

#include <QObject>

class QMainWindow;

namespace vemro {

class ProjektPage;

// The main window's menus: "Datei" with the project entries of page "Projekt" and
// "Beenden", "Terminal" with the comparison of terminal and project (the window's), and
// "?" with the manual and the about box, which this object shows itself.
class MainMenu : public QObject
{
    Q_OBJECT
public:
    MainMenu(QMainWindow& window, ProjektPage& projekt);

    void mnuInfoHandbuch_Click();
    void mnuHilfe_about_Click();

signals:
    // "Terminal mit Projekt vergleichen" was chosen.
    void compareRequested();

private:
    QMainWindow& m_window;
};

} // namespace vemro
