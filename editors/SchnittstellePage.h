#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;
class QVBoxLayout;

namespace vemro {

// Page 1 "Schnittstelle": the sub-tabs "Seriell" and "Netzwerk" and the frame
// "Direktbefehle" beside them. Only the controls; the interface operations that move
// their values between terminal, PC port and project are in InterfaceSettings. Whether
// "RS485/422" is chosen is published for the other pages (rs485Selected, rs485Changed).
class SchnittstellePage : public QWidget
{
    Q_OBJECT
public:
    explicit SchnittstellePage(QWidget* parent = nullptr);

    [[nodiscard]] QTabWidget* ctlRegisterSchnittstelle() const { return m_tabs; }
    [[nodiscard]] QRadioButton* ctlSchnittstelleMode(int index) const;
    // True while the option "RS485/422" is chosen.
    [[nodiscard]] bool rs485Selected() const;
    [[nodiscard]] QButtonGroup* schnittstelleModeGroup() const { return m_modeGroup; }
    [[nodiscard]] QComboBox* cboComPort() const { return m_cboComPort; }
    [[nodiscard]] QComboBox* cboSpeed() const { return m_cboSpeed; }
    [[nodiscard]] QCheckBox* ctlSchnittstelleHandshake() const { return m_handshake; }
    [[nodiscard]] QPushButton* cmdSetSerCom() const { return m_cmdSetSerCom; }
    [[nodiscard]] QPushButton* cmdConnect() const { return m_cmdConnect; }
    [[nodiscard]] QPushButton* ctlCheckComPOrts() const { return m_cmdCheckPorts; }
    [[nodiscard]] QTableWidget* ctlListeTerminal() const { return m_liste; }
    [[nodiscard]] QPushButton* cmdNetzwerkdurchsuchen() const { return m_cmdSuchen; }
    [[nodiscard]] QLineEdit* txtDestinationIP() const { return m_txtDestinationIP; }
    // The broadcast address the search goes to.
    [[nodiscard]] QComboBox* cboBroadcast() const { return m_cboBroadcast; }
    // Beside the sub-tabs: the place of the console frame "Direktbefehle".
    [[nodiscard]] QVBoxLayout* direktbefehleLayout() const { return m_direktLayout; }

signals:
    // The option "RS485/422" was chosen (true) or left (false), by the user or the program.
    void rs485Changed(bool selected);

private:
    QTabWidget* m_tabs;
    QButtonGroup* m_modeGroup;
    QComboBox* m_cboComPort;
    QComboBox* m_cboSpeed;
    QCheckBox* m_handshake;
    QPushButton* m_cmdSetSerCom;
    QPushButton* m_cmdConnect;
    QPushButton* m_cmdCheckPorts;
    QTableWidget* m_liste;
    QPushButton* m_cmdSuchen;
    QLineEdit* m_txtDestinationIP;
    QComboBox* m_cboBroadcast;
    QVBoxLayout* m_direktLayout;
};

} // namespace vemro
