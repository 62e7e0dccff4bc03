#include "link/TerminalSearch.h"

#include "link/PortProbe.h"
#include "link/clsVX.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"
#include "platform/TextValue.h"

#include <QPointer>

namespace vemro {

namespace {
constexpr int kSpeedProbeWaitMs = 1000;
}

TerminalSearch::TerminalSearch(QObject* parent) : QObject(parent) {}

int TerminalSearch::addRow(const QString& port)
{
    m_rows.append({port, QString()});
    emit rowAdded(static_cast<int>(m_rows.size() - 1));
    return static_cast<int>(m_rows.size() - 1);
}

void TerminalSearch::setResult(int row, const QString& result)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row].result = result;
    emit rowChanged(row);
}

TerminalSearch::Result TerminalSearch::run(clsVX& terminal)
{
    Result result;
    m_canceled = false;
    m_rows.clear();
    QPointer<clsVX> vx(&terminal);
    QPointer<TerminalSearch> self(this);
    for (int n = 1; n <= kSearchedPortCount && !m_canceled && !result.found; ++n) {
        ComPort* port = vx ? vx->ctlcom() : nullptr;
        if (!port)
            break;
        int row = addRow(QStringLiteral("Com %1").arg(n));
        QString reason;
        if (!CheckCom(*port, n, reason)) {
            setResult(row, reason);
            continue;
        }
        for (int s = 0; s < 3 && !result.found; ++s) {
            PauseMS(1);
            if (!vx || !self || !vx->ctlcom())
                return result;
            port = vx->ctlcom();
            port->close();
            port->setSettings(SpeedSettings(s));
            port->open();
            globals().CommandBuffer =
                globals().EscChar + "SG" + QByteArray::number(s + toStored(vx->ComMode));
            vx->Send(globals().CommandBuffer, false, true);
            vx->WaitMS(kSpeedProbeWaitMs);
            if (!vx || !self)
                return result;
            const QString version = vx->Version();
            if (!vx || !self)
                return result;
            if (TextValue(version) != 0) {
                setResult(row, QStringLiteral("Terminal gefunden bei ") + SpeedSettings(s));
                result = {true, n, s};
            } else {
                setResult(row, QStringLiteral("nichts gefunden bei ") + SpeedSettings(s));
                row = addRow(QString());
            }
        }
    }
    return result;
}

} // namespace vemro
