#include "config/InterfaceSettingsCore.h"

#include "link/PortProbe.h"
#include "link/clsVX.h"
#include "platform/TextValue.h"
#include "project/DataEnvironment.h"

namespace vemro {

namespace {

const QString kSettings = QStringLiteral("cmdTerminaleinstellung");
const QString kHeader = QStringLiteral("cmdProjekt");

bool noTerminal(QString* error)
{
    if (error)
        *error = QStringLiteral("kein Terminalobjekt");
    return false;
}

} // namespace

InterfaceSettingsCore::InterfaceSettingsCore(clsVX& vx, DataEnvironment& env)
    : m_vx(&vx), m_env(env)
{
}

bool InterfaceSettingsCore::openPort(QString* error)
{
    if (!m_vx || !m_vx->ctlcom())
        return noTerminal(error);
    ComPort& port = *m_vx->ctlcom();
    if (port.isOpen() || port.open())
        return true;
    if (error)
        *error = port.lastOpenErrorText();
    return false;
}

bool InterfaceSettingsCore::writeProjectText(const QString& column, const QString& value,
                                             QString* error)
{
    if (!m_env.isOpen(DataEnvironment::kProjekt))
        return true; // nothing to keep it in
    if (!m_env.ensureOpen(kSettings, error))
        return false;
    Recordset& rs = m_env.recordset(kSettings);
    rs.moveFirst();
    if (rs.eof())
        return true;
    (void)rs.setValue(column, value);
    if (rs.update())
        return true;
    if (error)
        *error = rs.lastError();
    rs.cancelUpdate();
    return false;
}

bool InterfaceSettingsCore::applySerial(const InterfaceSettingsData& d, QString* error)
{
    if (!m_vx || !m_vx->ctlcom())
        return noTerminal(error);
    clsVX& vx = *m_vx;
    if (!isSerial(vx.ComMode)) {
        if (error)
            *error = vx.ComMode == ComMode::Network
                         ? QStringLiteral("für Netzwerk noch nicht implementiert")
                         : QStringLiteral("ungültiger terminal.Commode");
        return false;
    }
    ComPort& port = *vx.ctlcom();
    QString grund;
    if (!CheckCom(port, d.ComPort, grund)) {
        if (error)
            *error = QStringLiteral("Com %1%2").arg(d.ComPort).arg(grund);
        return false;
    }
    if (!switchSpeed(d.speed, error))
        return false;
    if (m_env.ensureOpen(QStringLiteral("cmdAllgemein"))) {
        Recordset& settings = m_env.recordset(QStringLiteral("cmdAllgemein"));
        settings.moveFirst();
        if (!settings.eof()) {
            (void)settings.setValue(QStringLiteral("ComPort"), d.ComPort);
            if (!settings.update())
                settings.cancelUpdate();
        }
    }
    (void)writeProjectText(QStringLiteral("Comsettings"), port.Settings(), nullptr);
    return true;
}

bool InterfaceSettingsCore::switchSpeed(const QString& speed, QString* error)
{
    if (!m_vx || !m_vx->ctlcom())
        return noTerminal(error);
    clsVX& vx = *m_vx;
    if (!isSerial(vx.ComMode)) {
        if (error)
            *error = vx.ComMode == ComMode::Network
                         ? QStringLiteral("für Netzwerk noch nicht implementiert")
                         : QStringLiteral("ungültiger terminal.Commode");
        return false;
    }
    // The terminal still listens at the present speed.
    if (!openPort(error))
        return false;
    const QString version = vx.Version();
    vx.SetCom(speed, vx.ComMode);
    // Firmware 2.3 and later take the new speed only after a reset.
    if (TextValue(version) >= 2.3) {
        vx.WaitMS(500);
        vx.Reset();
    }
    // The PC follows; the new settings take effect on the reopened port.
    ComPort& port = *vx.ctlcom();
    port.close();
    (void)port.setSettings(speed + QStringLiteral(",N,8,1"));
    port.setHandshaking(Handshake::None);
    (void)openPort(nullptr);
    return true;
}

bool InterfaceSettingsCore::applyProgSpeed(const QString& speed, QString* error)
{
    if (!m_vx || !m_vx->ctlcom())
        return noTerminal(error);
    ComPort& port = *m_vx->ctlcom();
    if (port.isOpen())
        port.close();
    (void)port.setSettings(speed + QStringLiteral(",N,8,1"));
    const bool opened = openPort(error);
    // The settings are kept also when the port would not open.
    (void)writeProjectText(QStringLiteral("ComsettingsProg"), port.Settings(), nullptr);
    return opened;
}

bool InterfaceSettingsCore::applyPortSettings(const QString& comsettings, QString* error)
{
    if (!m_vx || !m_vx->ctlcom())
        return noTerminal(error);
    ComPort& port = *m_vx->ctlcom();
    bool ok = true;
    if (!port.setSettings(comsettings)) {
        if (error)
            *error = QStringLiteral("ungültige Schnittstellenparameter : ") + comsettings;
        ok = false;
    }
    if (!port.isOpen() && !openPort(ok ? error : nullptr))
        ok = false;
    return ok;
}

bool InterfaceSettingsCore::loadLastComMode(InterfaceSettingsData& d, QString* error)
{
    if (!m_env.ensureOpen(kHeader, error))
        return false;
    Recordset& header = m_env.recordset(kHeader);
    header.moveFirst();
    d.lastComMode = fromStored<ComMode>(header.value(QStringLiteral("lastComMode")).toInt());
    return true;
}

bool InterfaceSettingsCore::storeLastComMode(ComMode comMode, QString* error)
{
    if (!m_env.isOpen(DataEnvironment::kProjekt) || !m_env.ensureOpen(kHeader, error))
        return false;
    Recordset& header = m_env.recordset(kHeader);
    header.moveFirst();
    if (header.eof())
        return false;
    (void)header.setValue(QStringLiteral("lastComMode"), toStored(comMode));
    if (header.update())
        return true;
    if (error)
        *error = header.lastError();
    header.cancelUpdate();
    return false;
}

bool InterfaceSettingsCore::loadFromProject(InterfaceSettingsData& d, QString* error,
                                            QString* warning)
{
    if (!m_env.ensureOpen(kSettings, error))
        return false;
    Recordset& rs = m_env.recordset(kSettings);
    rs.moveFirst();
    d.Comsettings = rs.value(QStringLiteral("Comsettings")).toString();
    const QVariant rs485 = rs.value(QStringLiteral("Users485"));
    d.Users485 = !rs485.isNull() && rs485.toBool();
    QVariant prog = rs.value(QStringLiteral("ComsettingsProg"));
    if (prog.isNull()) {
        (void)rs.setValue(QStringLiteral("ComsettingsProg"), QStringLiteral("19200,n,8n1"));
        if (!rs.update()) {
            if (warning && warning->isEmpty())
                *warning = rs.lastError();
            rs.cancelUpdate();
        }
        prog = rs.value(QStringLiteral("ComsettingsProg"));
    }
    d.ComsettingsProg = prog.toString();
    return true;
}

} // namespace vemro
