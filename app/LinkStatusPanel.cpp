#include "app/LinkStatusPanel.h"

#include "link/ComPort.h"
#include "link/clsVX.h"
#include "netmodule/clsNetModul.h"

#include <QTime>

namespace vemro {

LinkStatusPanel::LinkStatusPanel(clsVX& vx, ComPort& port, clsNetModul* net, QWidget* parent)
    : QLabel(parent), m_vx(&vx), m_port(&port), m_net(net)
{
    setObjectName(QStringLiteral("stbVerbindung"));
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(&port, &ComPort::stateChanged, this, &LinkStatusPanel::refresh);
    connect(&port, &ComPort::failed, this, [this](const QString& description) {
        m_outcome = QStringLiteral("Verbindung unterbrochen: ") + description;
        refresh();
    });
    connect(&vx, &clsVX::exchangeFinished, this, &LinkStatusPanel::exchangeFinished);
    refresh();
}

QString LinkStatusPanel::outcomeText(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("Antwort erhalten");
    case 1:
        return QStringLiteral("NAK erhalten");
    case 2:
        return QStringLiteral("keine Antwort");
    case 9:
        return QStringLiteral("unerwartete Antwort");
    default:
        return QStringLiteral("Fehler %1").arg(code);
    }
}

void LinkStatusPanel::exchangeFinished(int code)
{
    m_outcome = QStringLiteral("%1 %2").arg(
        QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), outcomeText(code));
    refresh();
}

void LinkStatusPanel::refresh()
{
    if (!m_vx || !m_port)
        return;
    QString link;
    if (m_vx->ComMode == clsVX::kComModeNetwork) {
        const QString host = m_net ? m_net->lastHost() : QString();
        link = QStringLiteral("Netzwerkmodul %1")
                   .arg(host.isEmpty() ? QStringLiteral("(keine Adresse)") : host);
    } else {
        const int n = m_port->CommPort();
        if (n < 1) {
            link = QStringLiteral("keine Schnittstelle");
        } else {
            link = QStringLiteral("Com %1 (%2) %3 %4")
                       .arg(n)
                       .arg(m_port->devicePath(n), m_port->Settings(),
                            m_port->isOpen() ? QStringLiteral("offen")
                                             : QStringLiteral("geschlossen"));
        }
    }
    setText(m_outcome.isEmpty() ? link : link + QStringLiteral(" | ") + m_outcome);
}

} // namespace vemro
