#pragma once

#include "config/InterfaceSettingsCore.h"
#include "editors/Page.h"

#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QString>

#include <functional>

namespace vemro {

class DataEnvironment;
class ModuleSearch;
class SchnittstellePage;
class clsNetModul;
class clsVX;

// The interface: which link the program uses (RS232, RS485/422 or the network module),
// the PC's serial port and speed, switching the terminal to a new speed, the search for
// network modules and the choice of one of them. Works on the controls of page
// "Schnittstelle"; the speed of the production test (page "QM-Test") is set through
// cmdSetSerComProg_Click (connected to that page's request) and reported by the signals
// below. As a page of the main window it
// is page 1 with the edit modes of its sub-tabs, 11 "Seriell" and 12 "Netzwerk".
class InterfaceSettings : public QObject, public Page
{
    Q_OBJECT
public:
    InterfaceSettings(SchnittstellePage& page, clsVX& vx, clsNetModul& net, DataEnvironment& env,
                      QObject* parent = nullptr);
    ~InterfaceSettings() override;

    // The console's send button: usable once a module is chosen.
    void setConsoleSendButton(QPushButton* button) { m_sendButton = button; }
    // Where the search request goes: chosen in cboBroadcast (255.255.255.255 or the
    // broadcast address of one of this machine's interfaces); this adds and selects one.
    void setSearchAddress(const QString& address);
    [[nodiscard]] ModuleSearch& search() { return *m_search; }
    [[nodiscard]] InterfaceSettingsCore& core() { return m_core; }

    // Page
    [[nodiscard]] EditMode pageNumber() const override;
    [[nodiscard]] QList<Transfer> transfers() override;
    void pageShown() override;

    // Shows the port of the program's settings in the port list (start-up; no handler runs).
    void selectComPort(int comPort);
    void SetRegisterSchnittstelleProps(int Regtab);
    bool SetSchnittstelle();
    // Restores the interface of the project just opened; true on the serial path, with a
    // failure of the port left in `pending`.
    bool restoreFromProject(QString& pending);

    void ctlRegisterSchnittstelle_Click();
    void ctlSchnittstelleMode_Click();
    void ctlSchnittstelleHandshake_Click();
    void cmdSetSerCom_Click();
    // "setzen" on page "QM-Test" with the speed chosen there.
    void cmdSetSerComProg_Click(const QString& speed);
    void cmdNetzwerkdurchsuchen_Click();
    void cmdConnect_Click();
    void ctlCheckComPOrts_Click();
    // Fills the port and speed lists, probing ports 1 to 8 (`detail` shows each probe).
    void FillComCombos(const std::function<void(const QString&)>& detail = {});
    void ctlListeTerminal_Click();
    // Shows the search result (program database) in ctlListeTerminal.
    void FillListeTerminal();

signals:
    // The speeds the port offers (FillComCombos) and the production-test speed of the
    // project just opened: page "QM-Test" shows them.
    void speedsListed(const QStringList& speeds);
    void progSpeedRestored(const QString& speed);

private:
    [[nodiscard]] ComMode comModeOfOption() const;
    void storeLastComMode();
    // Points the UDP channel at result row `row` (0-based) and shows its address; false,
    // with a message where the row has no data port, when nothing could be opened.
    bool openResultRow(int row);

    SchnittstellePage& m_page;
    QPointer<clsVX> m_vx;
    clsNetModul& m_net;
    DataEnvironment& m_env;
    InterfaceSettingsCore m_core;
    ModuleSearch* m_search;
    QPointer<QPushButton> m_sendButton;
    QString m_searchAddress;
    int m_chosenRow = 0; // the result row the channel was opened to last
};

} // namespace vemro
