#include "app/LinkStatusPanel.h"

#include "link/ComPort.h"
#include "link/clsVX.h"
#include "netmodule/clsNetModul.h"

#include <QPainter>
#include <QTime>

#include <algorithm>

namespace vemro {

LinkStatusPanel::LinkStatusPanel(clsVX& vx, ComPort& port, clsNetModul* net, QWidget* parent)
    : QLabel(parent), m_vx(&vx), m_port(&port), m_net(net)
{
    setObjectName(QStringLiteral("stbVerbindung"));
    connect(&port, &ComPort::stateChanged, this, &LinkStatusPanel::refresh);
    connect(&port, &ComPort::failed, this, [this](const QString& description) {
        m_outcome = QStringLiteral("Verbindung unterbrochen: ") + description;
        refresh();
    });
    connect(&vx, &clsVX::exchangeFinished, this, &LinkStatusPanel::exchangeFinished);
    refresh();
}

QString LinkStatusPanel::outcomeText(LinkError code)
{
    switch (code) {
    case LinkError::None:
        return QStringLiteral("Antwort erhalten");
    case LinkError::Nak:
        return QStringLiteral("NAK erhalten");
    case LinkError::Timeout:
        return QStringLiteral("keine Antwort");
    case LinkError::LinkBroken:
        return QStringLiteral("Verbindung unterbrochen");
    case LinkError::UnexpectedReply:
        return QStringLiteral("unerwartete Antwort");
    }
    return QStringLiteral("Fehler %1").arg(toStored(code));
}

void LinkStatusPanel::exchangeFinished(LinkError code)
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
    m_before.clear();
    m_path.clear();
    m_after.clear();
    if (m_vx->ComMode == ComMode::Network) {
        const QString host = m_net ? m_net->lastHost() : QString();
        link = QStringLiteral("Netzwerkmodul %1")
                   .arg(host.isEmpty() ? QStringLiteral("(keine Adresse)") : host);
    } else {
        const int n = m_port->CommPort();
        if (n < 1) {
            link = QStringLiteral("keine Schnittstelle");
        } else {
            m_before = QStringLiteral("Com %1 (").arg(n);
            m_path = m_port->devicePath(n);
            m_after = QStringLiteral(") %1 %2").arg(
                m_port->Settings(),
                m_port->isOpen() ? QStringLiteral("offen") : QStringLiteral("geschlossen"));
            link = m_before + m_path + m_after;
        }
    }
    const QString outcome = m_outcome.isEmpty() ? QString() : QStringLiteral(" | ") + m_outcome;
    if (!m_path.isEmpty())
        m_after += outcome;
    setText(link + outcome);
    setToolTip(text());
    updateGeometry(); // the least width follows the device's name
    update();
}

QString LinkStatusPanel::shownText(int width) const
{
    const QFontMetrics metrics = fontMetrics();
    const QString full = text();
    if (metrics.horizontalAdvance(full) <= width)
        return full;
    if (!m_path.isEmpty()) {
        const int rest = metrics.horizontalAdvance(m_before + m_after);
        const int forPath = width - rest;
        if (forPath >= metrics.horizontalAdvance(QStringLiteral("/…/xx")))
            return m_before + metrics.elidedText(m_path, Qt::ElideLeft, forPath) + m_after;
    }
    return metrics.elidedText(full, Qt::ElideRight, width);
}

QSize LinkStatusPanel::minimumSizeHint() const
{
    // The status bar may make the panel narrower than its text, down to the device's
    // name without its folders: the text is shortened then.
    const QString least = m_path.isEmpty() ? QStringLiteral("Com 1 (…) 19200,n,8,1")
                                           : m_before + QStringLiteral("…") +
                                                 m_path.section(QLatin1Char('/'), -1) + m_after;
    return {
        std::min(fontMetrics().horizontalAdvance(least), fontMetrics().horizontalAdvance(text())),
        QLabel::minimumSizeHint().height()};
}

void LinkStatusPanel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.drawText(area, static_cast<int>(alignment()), shownText(area.width()));
}

} // namespace vemro
