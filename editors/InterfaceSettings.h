#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include <QPushButton>

namespace vemro {

class DataEnvironment;
class ModuleSearch;
class QmTestPage;
class SchnittstellePage;
class clsNetModul;
class clsVX;

// The interface: which link the program uses (RS232, RS485/422 or the network module),
// the PC's serial port and speed, switching the terminal to a new speed, the search for
// network modules and the choice of one of them. Works on the controls of the pages
// "Schnittstelle" and "QM-Test".
class InterfaceSettings : public QObject
{
    Q_OBJECT
public:
    InterfaceSettings(SchnittstellePage& page, QmTestPage& qmPage, clsVX& vx, clsNetModul& net,
                      DataEnvironment& env, QObject* parent = nullptr);
    ~InterfaceSettings() override;

    // The main window's edit mode and read button, and the console's send button.
    void setEditModeSetter(std::function<void(int)> set) { m_setEditMode = std::move(set); }
    void setReadButton(QPushButton* button) { m_readButton = button; }
    void setConsoleSendButton(std::function<QPushButton*()> find)
    {
        m_sendButton = std::move(find);
    }
    // Where the search request goes (the broadcast address unless set).
    void setSearchAddress(const QString& address) { m_searchAddress = address; }
    [[nodiscard]] ModuleSearch& search() { return *m_search; }

    void SetRegisterSchnittstelleProps(int Regtab);
    bool SetSchnittstelle();
    // Restores the interface of the project just opened; true on the serial path, with a
    // failure of the port left in `pending`.
    bool restoreFromProject(QString& pending);

    void ctlRegisterSchnittstelle_Click();
    void ctlSchnittstelleMode_Click();
    void ctlSchnittstelleHandshake_Click();
    void cmdSetSerCom_Click();
    void cmdSetSerComProg_Click();
    void cmdNetzwerkdurchsuchen_Click();
    void cmdConnect_Click();
    void ctlCheckComPOrts_Click();
    // Fills the port and speed lists, probing ports 1 to 8 (`detail` shows each probe).
    void FillComCombos(const std::function<void(const QString&)>& detail = {});
    void ctlListeTerminal_Click();
    // Shows the search result (program database) in ctlListeTerminal.
    void FillListeTerminal();

private:
    [[nodiscard]] int comModeOfOption() const;
    void storeLastComMode();
    void writeProjectText(const QString& column, const QString& value);
    [[nodiscard]] bool openPort(QString* error);

    SchnittstellePage& m_page;
    QmTestPage& m_qmPage;
    QPointer<clsVX> m_vx;
    clsNetModul& m_net;
    DataEnvironment& m_env;
    ModuleSearch* m_search;
    std::function<void(int)> m_setEditMode;
    QPointer<QPushButton> m_readButton;
    std::function<QPushButton*()> m_sendButton;
    QString m_searchAddress;
};

} // namespace vemro
