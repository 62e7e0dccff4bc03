#include "editors/InterfaceSettings.h"

#include "editors/EditMode.h"
#include "editors/LinkActions.h"
#include "editors/PageHost.h"
#include "editors/SchnittstellePage.h"
#include "editors/SelectComboEntry.h"
#include "link/PortProbe.h"
#include "link/clsVX.h"
#include "netmodule/BroadcastAddresses.h"
#include "netmodule/ModuleDiscovery.h"
#include "netmodule/ModuleSearch.h"
#include "netmodule/clsNetModul.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"
#include "platform/TextValue.h"
#include "platform/UserInterface.h"
#include "platform/clsInfo.h"
#include "project/DataEnvironment.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>

namespace vemro {

namespace {

const QString kResult = QStringLiteral("cmdSuchergebnis");

// Columns of ctlListeTerminal, in the order of the header.
const char* const kListColumns[] = {"Typ",   "IPAdresse", "Bezeichnung",
                                    "SerNr", "ZielIP",    "UDPDatenport"};

} // namespace

InterfaceSettings::InterfaceSettings(SchnittstellePage& page, clsVX& vx, clsNetModul& net,
                                     DataEnvironment& env, QObject* parent)
    : QObject(parent), m_page(page), m_vx(&vx), m_net(net), m_env(env), m_core(vx, env),
      m_search(new ModuleSearch(net, env, this)), m_searchAddress(ModuleDiscovery::kBroadcast)
{
    connect(m_page.ctlRegisterSchnittstelle(), &QTabWidget::currentChanged, this,
            [this](int) { ctlRegisterSchnittstelle_Click(); });
    connect(m_page.schnittstelleModeGroup(), &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            ctlSchnittstelleMode_Click();
    });
    connect(m_page.ctlSchnittstelleHandshake(), &QCheckBox::toggled, this,
            [this](bool) { ctlSchnittstelleHandshake_Click(); });
    connect(m_page.cmdSetSerCom(), &QPushButton::clicked, this,
            &InterfaceSettings::cmdSetSerCom_Click);
    connect(m_page.cmdNetzwerkdurchsuchen(), &QPushButton::clicked, this,
            &InterfaceSettings::cmdNetzwerkdurchsuchen_Click);
    // A row is chosen with the mouse or the arrow keys (the current row changes), or again
    // with Enter or a double click.
    connect(m_page.ctlListeTerminal(), &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row >= 0 && row != previousRow)
                    ctlListeTerminal_Click();
            });
    connect(m_page.ctlListeTerminal(), &QTableWidget::cellActivated, this,
            [this](int, int) { ctlListeTerminal_Click(); });
    connect(m_page.cmdConnect(), &QPushButton::clicked, this, &InterfaceSettings::cmdConnect_Click);
    connect(m_page.ctlCheckComPOrts(), &QPushButton::clicked, this,
            &InterfaceSettings::ctlCheckComPOrts_Click);
    m_page.cboBroadcast()->addItems(BroadcastAddresses::ofThisMachine());
    m_page.cboBroadcast()->setCurrentIndex(0);
    // A port search that found the terminal applies what it found like "setzen".
    vx.setApplyInterface([this](int port, int speedIndex) {
        m_page.cboComPort()->setCurrentIndex(port);
        m_page.cboSpeed()->setCurrentIndex(speedIndex);
        return SetSchnittstelle();
    });
}

InterfaceSettings::~InterfaceSettings() = default;

void InterfaceSettings::setSearchAddress(const QString& address)
{
    m_searchAddress = address;
    QComboBox* list = m_page.cboBroadcast();
    if (list->findText(address) < 0)
        list->addItem(address);
    list->setCurrentIndex(list->findText(address));
}

ComMode InterfaceSettings::comModeOfOption() const
{
    return m_page.ctlSchnittstelleMode(0)->isChecked() ? ComMode::Rs232 : ComMode::Rs485;
}

EditMode InterfaceSettings::pageNumber() const
{
    return EditMode::Schnittstelle;
}

QList<Page::Transfer> InterfaceSettings::transfers()
{
    // The serial settings cannot be read back from the terminal.
    return {{EditMode::Seriell,
             [] { ui().message(QStringLiteral("nicht unterstützt"), kProductName); },
             [this] { (void)SetSchnittstelle(); }},
            {EditMode::Netzwerk, nullptr, nullptr}};
}

void InterfaceSettings::pageShown()
{
    SetRegisterSchnittstelleProps(m_page.ctlRegisterSchnittstelle()->currentIndex());
}

void InterfaceSettings::selectComPort(int comPort)
{
    ControlsUpdatingGuard guard;
    m_page.cboComPort()->setCurrentIndex(comPort);
}

void InterfaceSettings::ctlRegisterSchnittstelle_Click()
{
    if (globals().ControlsUpdating)
        return;
    SetRegisterSchnittstelleProps(m_page.ctlRegisterSchnittstelle()->currentIndex());
}

void InterfaceSettings::SetRegisterSchnittstelleProps(int Regtab)
{
    QTabWidget* tabs = m_page.ctlRegisterSchnittstelle();
    if ((Regtab == 0 || Regtab == 1) && tabs->currentIndex() != Regtab) {
        tabs->setCurrentIndex(Regtab); // its handler runs this for Regtab
        if (!globals().ControlsUpdating)
            return;
    }
    if (!m_vx)
        return;
    if (Regtab == 0) {
        if (host()) {
            host()->setEditMode(EditMode::Seriell);
            host()->setReadEnabled(false);
        }
        m_vx->ComMode = comModeOfOption();
    } else if (Regtab == 1) {
        if (host())
            host()->setEditMode(EditMode::Netzwerk);
        m_vx->ComMode = ComMode::Network;
        // The stored result of the last search (also after a restart): the list shows it
        // and the channel opens to the row chosen last, the first one at start.
        FillListeTerminal();
        QTableWidget* list = m_page.ctlListeTerminal();
        if (list->rowCount() > 0) {
            const int row = m_chosenRow < list->rowCount() ? m_chosenRow : 0;
            {
                const QSignalBlocker block(list);
                list->setCurrentCell(row, 0);
            }
            (void)openResultRow(row);
        }
    } else {
        ui().message(QStringLiteral("Bearbeitungsmodus unbekannt"), kProductName);
    }
    storeLastComMode();
}

void InterfaceSettings::storeLastComMode()
{
    if (m_vx)
        (void)m_core.storeLastComMode(m_vx->ComMode);
}

void InterfaceSettings::ctlSchnittstelleMode_Click()
{
    if (m_vx)
        m_vx->ComMode = comModeOfOption();
}

void InterfaceSettings::ctlSchnittstelleHandshake_Click()
{
    if (globals().ControlsUpdating || !m_vx || !m_vx->ctlcom())
        return;
    ComPort& port = *m_vx->ctlcom();
    if (port.isOpen())
        port.close();
    port.setHandshaking(m_page.ctlSchnittstelleHandshake()->isChecked() ? Handshake::RtsCts
                                                                        : Handshake::None);
    QString error;
    if (!m_core.openPort(&error))
        Info().show(QStringLiteral("Schnittstellenfehler, bitte prüfen / ") + error, 0);
}

bool InterfaceSettings::SetSchnittstelle()
{
    if (!m_vx || !m_vx->ctlcom())
        return false;
    const ComMode comMode = m_vx->ComMode;
    if (!isSerial(comMode)) {
        ui().message(comMode == ComMode::Network
                         ? QStringLiteral("für Netzwerk noch nicht implementiert")
                         : QStringLiteral("ungültiger terminal.Commode"),
                     kProductName);
        return false;
    }
    InterfaceSettingsData d;
    d.ComMode = comMode;
    d.ComPort = m_page.cboComPort()->currentIndex();
    d.speed = m_page.cboSpeed()->currentText();
    // A port that cannot be used ends it without a message.
    if (!m_core.applySerial(d))
        return false;
    ControlsUpdatingGuard guard;
    m_page.ctlSchnittstelleHandshake()->setChecked(false);
    return true;
}

void InterfaceSettings::cmdSetSerCom_Click()
{
    if (m_page.cboSpeed()->currentText().isEmpty()) {
        ui().message(QStringLiteral("Zuerst Schnittstellengeschwindigkeit wählen"), kProductName);
        return;
    }
    if (m_page.cboComPort()->currentText().isEmpty()) {
        ui().message(QStringLiteral("Zuerst ComPort wählen"), kProductName);
        return;
    }
    QPushButton* button = m_page.cmdSetSerCom();
    button->setEnabled(false);
    if (SetSchnittstelle() && m_vx) {
        PauseMS(2000);
        if (m_vx) {
            (void)m_vx->lastError();
            (void)m_vx->Version();
            if (m_vx->lastError() != LinkError::None) // no answer, or the port broke
                Info().show(QStringLiteral("Terminal nicht ansprechbar"), 1);
            else
                Info().show(QStringLiteral("Terminal erfolgreich umgestellt"), 1);
        }
    }
    button->setEnabled(true);
}

void InterfaceSettings::cmdSetSerComProg_Click(const QString& speed)
{
    if (!m_vx || !m_vx->ctlcom())
        return;
    if (speed.isEmpty()) {
        ui().message(QStringLiteral("Zuerst Schnittstellengeschwindigkeit wählen"), kProductName);
        return;
    }
    QString error;
    if (!m_core.applyProgSpeed(speed, &error))
        Info().show(QStringLiteral("Schnittstellenfehler, bitte prüfen / ") + error, 0);
}

bool InterfaceSettings::restoreFromProject(QString& pending)
{
    InterfaceSettingsData d;
    if (!m_vx || !m_core.loadLastComMode(d))
        return false;
    if (d.lastComMode == ComMode::Network) {
        SetRegisterSchnittstelleProps(1);
        return false;
    }
    SetRegisterSchnittstelleProps(0);
    if (!m_core.loadFromProject(d, &pending, &pending))
        return true;
    (void)SelectComboEntry(m_page.cboSpeed(), QString::number(TextValueInt(d.Comsettings)));
    if (d.Users485)
        m_page.ctlSchnittstelleMode(1)->setChecked(true); // its handler sets ComMode 4
    emit progSpeedRestored(QString::number(TextValueInt(d.ComsettingsProg)));
    QString error;
    if (!m_core.applyPortSettings(d.Comsettings, &error) && pending.isEmpty())
        pending = error;
    return true;
}

void InterfaceSettings::cmdNetzwerkdurchsuchen_Click()
{
    if (m_sendButton)
        m_sendButton->setEnabled(false);
    m_page.txtDestinationIP()->clear();
    QPushButton* button = m_page.cmdNetzwerkdurchsuchen();
    button->setEnabled(false);
    QString error;
    const QString chosen = m_page.cboBroadcast()->currentText();
    if (!m_search->run(chosen.isEmpty() ? m_searchAddress : chosen, &error))
        ui().message(error, kProductName);
    FillListeTerminal();
    button->setEnabled(true);
}

void InterfaceSettings::cmdConnect_Click()
{
    if (m_vx)
        (void)vemro::cmdConnect_Click(*m_vx, m_page.cmdConnect());
}

void InterfaceSettings::FillComCombos(const std::function<void(const QString&)>& detail)
{
    if (!m_vx || !m_vx->ctlcom())
        return;
    const ComCombos combos = vemro::FillComCombos(*m_vx->ctlcom(), detail);
    ControlsUpdatingGuard guard;
    const int port = m_page.cboComPort()->currentIndex();
    const QString speed = m_page.cboSpeed()->currentText();
    m_page.cboComPort()->clear();
    // Each entry names the device it stands for (the port map of the program database).
    for (int i = 0; i < combos.ports.size(); ++i) {
        const QString device = combos.devices.value(i);
        m_page.cboComPort()->addItem(device.isEmpty()
                                         ? combos.ports.at(i)
                                         : combos.ports.at(i) + QStringLiteral("  –  ") + device);
        m_page.cboComPort()->setItemData(i, device, Qt::ToolTipRole);
    }
    m_page.cboComPort()->setCurrentIndex(port < combos.ports.size() ? port : -1);
    m_page.cboSpeed()->clear();
    m_page.cboSpeed()->addItems(combos.speeds);
    m_page.cboSpeed()->setCurrentIndex(m_page.cboSpeed()->findText(speed));
    emit speedsListed(combos.speeds);
}

void InterfaceSettings::ctlCheckComPOrts_Click()
{
    QPushButton* button = m_page.ctlCheckComPOrts();
    button->setEnabled(false);
    FillComCombos();
    button->setEnabled(true);
}

void InterfaceSettings::FillListeTerminal()
{
    QTableWidget* list = m_page.ctlListeTerminal();
    const QSignalBlocker block(list); // filling chooses no row
    list->setRowCount(0);
    if (!m_env.ensureOpen(kResult))
        return;
    Recordset& rs = m_env.recordset(kResult);
    (void)rs.requery(); // in the query's order: type, then address
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const int row = list->rowCount();
        list->insertRow(row);
        for (int c = 0; c < list->columnCount(); ++c)
            list->setItem(
                row, c,
                new QTableWidgetItem(rs.value(QString::fromLatin1(kListColumns[c])).toString()));
    }
    rs.moveFirst();
}

bool InterfaceSettings::openResultRow(int row)
{
    if (row < 0 || !m_env.ensureOpen(kResult))
        return false;
    Recordset& rs = m_env.recordset(kResult);
    if (rs.recordCount() == 0)
        return false;
    rs.moveFirst();
    for (int i = 0; i < row && !rs.eof(); ++i)
        rs.moveNext();
    if (rs.eof())
        return false;
    const QVariant ip = rs.value(QStringLiteral("IPAdresse"));
    if (ip.isNull() || ip.toString().isEmpty()) {
        m_page.txtDestinationIP()->clear();
        return false;
    }
    m_page.txtDestinationIP()->setText(ip.toString());
    const QVariant portValue = rs.value(QStringLiteral("UDPDatenport"));
    const int port = portValue.isNull() ? 0 : portValue.toInt();
    if (port <= 0 || port > 65535) {
        // The channel stays as it was; the user learns why nothing was opened.
        ui().message(QStringLiteral("Das Netzwerkmodul %1 hat keinen UDP-Datenport gemeldet, die "
                                    "Verbindung wurde nicht geöffnet. Bitte erneut suchen.")
                         .arg(ip.toString()),
                     kProductName);
        return false;
    }
    QString host = ip.toString();
    m_net.CloseUDPConn();
    m_net.OpenUDPConn(port, host);
    m_chosenRow = row;
    return true;
}

void InterfaceSettings::ctlListeTerminal_Click()
{
    if (!openResultRow(qMax(0, m_page.ctlListeTerminal()->currentRow())))
        return;
    if (m_sendButton)
        m_sendButton->setEnabled(true);
}

} // namespace vemro
