// Connection of clsVX: the port search, the terminal's speed, reset and version.
#include "link/PortProbe.h"
#include "link/TerminalSearch.h"
#include "link/clsVX.h"

#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/TextValue.h"
#include "platform/UserInterface.h"
#include "platform/clsInfo.h"

#include <QPointer>

namespace vemro {

namespace {
constexpr int kSpeedChangeWaitMs = 1000;
constexpr int kResetWaitMs = 1000;
} // namespace

bool clsVX::connect()
{
    if (isSerial(ComMode)) {
        const bool found = ConnectSeriell();
        connected = found;
        return found;
    }
    connected = false;
    return false;
}

bool clsVX::Suchen()
{
    QPointer<clsVX> self(this);
    Info().setInfoLevel(0);
    const bool found = connect();
    if (!self)
        return found;
    if (!found)
        ui().message(QStringLiteral("kein terminal gefunden"), kProductName);
    sendCommand(globals().EscChar + "LL");
    Info().setInfoLevel(9);
    return found;
}

bool clsVX::ConnectSeriell()
{
    TerminalSearch search;
    emit searchStarted(&search);
    QPointer<clsVX> self(this);
    const TerminalSearch::Result found = search.run(*this);
    if (!self)
        return false;
    emit searchFinished();
    if (!found.found)
        return false;
    if (m_applyInterface) {
        m_applyInterface(found.port, found.speedIndex);
    } else if (m_port) {
        m_port->close();
        m_port->setCommPort(found.port);
        m_port->setSettings(SpeedSettings(found.speedIndex));
        m_port->open();
    }
    return true;
}

void clsVX::SetCom(const QString& Speed, vemro::ComMode /*mode*/)
{
    const double value = TextValue(Speed);
    int index = 1;
    if (value == 9600) {
        index = 0;
    } else if (value == 19200) {
        index = 1;
    } else if (value == 38400) {
        index = 2;
    } else {
        ui().message(
            QStringLiteral("ungültige Schnittstellengeschwindigkeit,19200 wird festgelegt : ") +
                Speed,
            kProductName);
        index = 1;
    }
    QPointer<clsVX> self(this);
    sendCommand(globals().EscChar + "SG" + QByteArray::number(index + toStored(ComMode)));
    if (self)
        WaitMS(kSpeedChangeWaitMs);
}

void clsVX::Reset()
{
    QPointer<clsVX> self(this);
    sendCommand(globals().EscChar + "Kr");
    if (self)
        WaitMS(kResetWaitMs);
}

QString clsVX::Version()
{
    // The terminal answers the version as text ("V:2.7,004711;") in both parameter forms;
    // read as bytes it would never be two values.
    const qint32 form = ParameterMode;
    const QPointer<clsVX> self(this);
    ParameterMode = 1;
    queryParameters(QByteArrayLiteral("?V"), QByteArrayLiteral(";"));
    if (!self)
        return QStringLiteral("unbekannt");
    ParameterMode = form;
    SerNr.clear();
    if (m_parameterList.size() == 2) {
        // Terminal text is in the ANSI code page.
        m_versionText = AnsiToString(m_parameterList.at(0));
        SerNr = AnsiToString(m_parameterList.at(1));
    } else {
        m_versionText = QStringLiteral("unbekannt");
    }
    return m_versionText;
}

} // namespace vemro
