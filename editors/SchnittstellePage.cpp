#include "editors/SchnittstellePage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vemro {

SchnittstellePage::SchnittstellePage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SchnittstellePage"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("ctlRegisterSchnittstelle"));
    layout->addWidget(m_tabs, 3);

    // Sub-tab "Seriell".
    auto* seriell = new QWidget(m_tabs);
    seriell->setObjectName(QStringLiteral("tabSeriell"));
    auto* sl = new QVBoxLayout(seriell);
    auto* frSeriell = new QGroupBox(QStringLiteral("Parameter serielle Schnittstelle"), seriell);
    frSeriell->setObjectName(QStringLiteral("frSeriell"));
    auto* form = new QFormLayout(frSeriell);
    auto* modes = new QWidget(frSeriell);
    modes->setObjectName(QStringLiteral("ctlSchnittstelleMode"));
    auto* ml = new QHBoxLayout(modes);
    ml->setContentsMargins(0, 0, 0, 0);
    m_modeGroup = new QButtonGroup(this);
    const char* captions[] = {"RS232", "RS485/422"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(captions[i]), modes);
        b->setObjectName(QStringLiteral("ctlSchnittstelleMode_%1").arg(i));
        m_modeGroup->addButton(b, i);
        ml->addWidget(b);
    }
    ml->addStretch(1);
    m_modeGroup->button(0)->setChecked(true);
    connect(m_modeGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (id == 1)
            emit rs485Changed(on);
    });
    form->addRow(QStringLiteral("Schnittstelle"), modes);
    m_cboComPort = new QComboBox(frSeriell);
    m_cboComPort->setObjectName(QStringLiteral("cboComPort"));
    m_cboComPort->setMinimumWidth(220);
    m_cboComPort->setMaximumWidth(320);
    form->addRow(QStringLiteral("verfügbare Coms :"), m_cboComPort);
    m_cboSpeed = new QComboBox(frSeriell);
    m_cboSpeed->setObjectName(QStringLiteral("cboSpeed"));
    m_cboSpeed->addItems(
        {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400")});
    m_cboSpeed->setCurrentIndex(-1);
    m_cboSpeed->setMaximumWidth(140);
    form->addRow(QStringLiteral("Geschwindigkeit"), m_cboSpeed);
    m_handshake = new QCheckBox(QStringLiteral("RTS/CTS"), frSeriell);
    m_handshake->setObjectName(QStringLiteral("ctlSchnittstelleHandshake"));
    m_handshake->setToolTip(
        QStringLiteral("RTS/CTS-Handshake verwenden, Leitung muss angeschlossen sein"));
    form->addRow(QStringLiteral("Handshake"), m_handshake);
    auto* buttons = new QHBoxLayout;
    m_cmdSetSerCom = new QPushButton(QStringLiteral("setzen"), frSeriell);
    m_cmdSetSerCom->setObjectName(QStringLiteral("cmdSetSerCom"));
    m_cmdSetSerCom->setToolTip(
        QStringLiteral("Terminal und PC auf Port und Geschwindigkeit umstellen"));
    m_cmdConnect = new QPushButton(QStringLiteral("suchen"), frSeriell);
    m_cmdConnect->setObjectName(QStringLiteral("cmdConnect"));
    m_cmdConnect->setToolTip(QStringLiteral("Terminal an den seriellen Schnittstellen suchen"));
    m_cmdCheckPorts = new QPushButton(QStringLiteral("neu prüfen"), frSeriell);
    m_cmdCheckPorts->setObjectName(QStringLiteral("ctlCheckComPOrts"));
    buttons->addWidget(m_cmdSetSerCom);
    buttons->addWidget(m_cmdConnect);
    buttons->addWidget(m_cmdCheckPorts);
    buttons->addStretch(1);
    form->addRow(buttons);
    sl->addWidget(frSeriell);
    sl->addStretch(1);
    m_tabs->addTab(seriell, QStringLiteral("Seriell"));

    // Sub-tab "Netzwerk".
    auto* netz = new QWidget(m_tabs);
    netz->setObjectName(QStringLiteral("tabNetzwerk"));
    auto* nl = new QVBoxLayout(netz);
    auto* frNetz = new QGroupBox(QStringLiteral("Eigenschaften Netzwerkverbindung"), netz);
    frNetz->setObjectName(QStringLiteral("frNetzwerk"));
    auto* fl = new QVBoxLayout(frNetz);
    m_liste = new QTableWidget(0, 6, frNetz);
    m_liste->setObjectName(QStringLiteral("ctlListeTerminal"));
    m_liste->setHorizontalHeaderLabels({QStringLiteral("Typ"), QStringLiteral("IP-Adresse"),
                                        QStringLiteral("Bezeichnung"), QStringLiteral("SerNr"),
                                        QStringLiteral("Ziel-IP"), QStringLiteral("Port")});
    m_liste->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_liste->setSelectionMode(QAbstractItemView::SingleSelection);
    m_liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_liste->verticalHeader()->setVisible(false);
    m_liste->horizontalHeader()->setStretchLastSection(true);
    m_liste->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    fl->addWidget(m_liste, 1);
    auto* row = new QHBoxLayout;
    m_cmdSuchen = new QPushButton(QStringLiteral("suchen"), frNetz);
    m_cmdSuchen->setObjectName(QStringLiteral("cmdNetzwerkdurchsuchen"));
    m_cmdSuchen->setToolTip(QStringLiteral("Netzwerkmodule im lokalen Netz suchen"));
    auto* ipLabel = new QLabel(QStringLiteral("IP-Adresse des Terminal"), frNetz);
    m_txtDestinationIP = new QLineEdit(frNetz);
    m_txtDestinationIP->setObjectName(QStringLiteral("txtDestinationIP"));
    m_txtDestinationIP->setMaximumWidth(180);
    ipLabel->setBuddy(m_txtDestinationIP);
    row->addWidget(m_cmdSuchen);
    auto* broadcastLabel = new QLabel(QStringLiteral("über"), frNetz);
    m_cboBroadcast = new QComboBox(frNetz);
    m_cboBroadcast->setObjectName(QStringLiteral("cboBroadcast"));
    m_cboBroadcast->setToolTip(
        QStringLiteral("Broadcast-Adresse der Suche: 255.255.255.255 erreicht nur das Netz der "
                       "Standardroute, die Adresse einer Schnittstelle deren Netz"));
    broadcastLabel->setBuddy(m_cboBroadcast);
    row->addWidget(broadcastLabel);
    row->addWidget(m_cboBroadcast);
    row->addStretch(1);
    row->addWidget(ipLabel);
    row->addWidget(m_txtDestinationIP);
    fl->addLayout(row);
    nl->addWidget(frNetz);
    m_tabs->addTab(netz, QStringLiteral("Netzwerk"));

    m_direktLayout = new QVBoxLayout;
    m_direktLayout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_direktLayout, 2);
}

QRadioButton* SchnittstellePage::ctlSchnittstelleMode(int index) const
{
    return qobject_cast<QRadioButton*>(m_modeGroup->button(index));
}

bool SchnittstellePage::rs485Selected() const
{
    return m_modeGroup->checkedId() == 1;
}

} // namespace vemro
