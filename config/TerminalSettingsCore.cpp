#include "config/TerminalSettingsCore.h"

#include "link/clsVX.h"
#include "platform/TextValue.h"
#include "project/DataEnvironment.h"

namespace vemro {

namespace {

const QString kSettings = QStringLiteral("cmdTerminaleinstellung");

} // namespace

TerminalSettingsCore::TerminalSettingsCore(clsVX& vx, DataEnvironment& env) : m_vx(&vx), m_env(env)
{
}

QString TerminalSettingsCore::displayTypeText(int cols, int rows)
{
    return QString::number(cols) + QLatin1Char('x') + QString::number(rows);
}

bool TerminalSettingsCore::parseDisplayType(const QString& text, int& cols, int& rows)
{
    const int p = static_cast<int>(text.indexOf(QLatin1Char('x'))) + 1;
    if (p <= 0)
        return false;
    cols = static_cast<int>(TextValueInt(text.left(p - 1)));
    rows = static_cast<int>(TextValueInt(text.mid(p)));
    return true;
}

bool TerminalSettingsCore::haveTerminal(QString* error) const
{
    if (m_vx)
        return true;
    if (error)
        *error = QStringLiteral("kein Terminalobjekt");
    return false;
}

bool TerminalSettingsCore::answered(int items, const QString& what, QString* error)
{
    if (m_vx->ParameterList().size() == items)
        return true;
    (void)m_vx->lastError(); // the code of this exchange is consumed here
    if (error)
        *error = QStringLiteral("Terminal antwortet nicht (%1)").arg(what);
    return false;
}

// ---- The terminal ----

bool TerminalSettingsCore::readMode(TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    m_vx->GetMode();
    const bool ok = answered(1, QStringLiteral("Modus"), error);
    const TerminalSettingsData now = terminalObject();
    d.ParameterMode = now.ParameterMode;
    d.SendMode = now.SendMode;
    d.Tastaturenabled = now.Tastaturenabled;
    d.IOPortsEnabled = now.IOPortsEnabled;
    d.Einschaltmeldung = now.Einschaltmeldung;
    d.Festtextmode = now.Festtextmode;
    return ok;
}

bool TerminalSettingsCore::writeMode(const TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    clsVX& vx = *m_vx;
    vx.ParameterMode = d.ParameterMode;
    vx.SendMode = d.SendMode;
    vx.KeyboardEnabled = d.Tastaturenabled;
    vx.IOPortsEnabled = d.IOPortsEnabled;
    vx.Einschaltmeldung = d.Einschaltmeldung;
    vx.Festtextmode = d.Festtextmode;
    vx.FesttextPort = static_cast<qint16>(d.FesttextPort);
    vx.SetMode();
    vx.SetFesttextPort(-1); // a negative number sends the stored FesttextPort
    return true;
}

bool TerminalSettingsCore::readInfo(TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    m_vx->GetDisplaySize();
    bool ok = answered(2, QStringLiteral("Displaygröße"), error);
    d.Cols = m_vx->Cols;
    d.Rows = m_vx->Rows;
    d.Version = m_vx->Version();
    d.SerNr = m_vx->SerNr;
    if (!answered(2, QStringLiteral("Version"), ok ? error : nullptr))
        ok = false;
    return ok;
}

bool TerminalSettingsCore::writeDisplaySize(const TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    m_vx->Cols = static_cast<qint16>(d.Cols);
    m_vx->Rows = static_cast<qint16>(d.Rows);
    m_vx->SetDisplaySize();
    return true;
}

bool TerminalSettingsCore::readBacklight(TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    const qint32 port = m_vx->GetIOPort(0);
    const bool ok = answered(1, QStringLiteral("Port 0"), error);
    d.Backlight = (port & kBacklightBit) != 0 ? 1 : 0;
    return ok;
}

bool TerminalSettingsCore::readKontrast(TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    const qint32 port = m_vx->GetIOPort(0);
    const bool ok = answered(1, QStringLiteral("Port 0"), error);
    d.Kontrast = port & kContrastMask;
    return ok;
}

bool TerminalSettingsCore::writeBacklight(const TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    m_vx->SetDisplayBacklight(d.Backlight > 0 ? 1 : 0);
    return true;
}

bool TerminalSettingsCore::writeKontrast(const TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    m_vx->SetDisplayKontrast(d.Kontrast);
    return true;
}

bool TerminalSettingsCore::readFromTerminal(TerminalSettingsData& d, QString* error)
{
    bool ok = readMode(d, error);
    ok = readInfo(d, ok ? error : nullptr) && ok;
    ok = readBacklight(d, ok ? error : nullptr) && ok;
    ok = readKontrast(d, ok ? error : nullptr) && ok;
    return ok;
}

bool TerminalSettingsCore::writeToTerminal(const TerminalSettingsData& d, QString* error)
{
    bool ok = writeMode(d, error);
    ok = writeDisplaySize(d, ok ? error : nullptr) && ok;
    ok = writeBacklight(d, ok ? error : nullptr) && ok;
    ok = writeKontrast(d, ok ? error : nullptr) && ok;
    return ok;
}

bool TerminalSettingsCore::keepConfiguration(QString* error)
{
    if (!haveTerminal(error))
        return false;
    m_vx->SaveKonfig();
    // The terminal confirms the save; without that the user must not believe it done.
    const int code = m_vx->lastError();
    if (code == 0)
        return true;
    if (error)
        *error = code == 1
                     ? QStringLiteral("Das Terminal hat das dauerhafte Speichern abgelehnt (NAK)")
                     : QStringLiteral("Das Terminal hat das dauerhafte Speichern nicht bestätigt");
    return false;
}

// ---- The project ----

Recordset* TerminalSettingsCore::record(QString* error)
{
    if (!m_env.ensureOpen(kSettings, error))
        return nullptr;
    Recordset& rs = m_env.recordset(kSettings);
    rs.moveFirst();
    if (rs.eof()) {
        if (error)
            *error = QStringLiteral("Terminaleinstellungen: kein Datensatz");
        return nullptr;
    }
    return &rs;
}

bool TerminalSettingsCore::loadFromProject(TerminalSettingsData& d, QString* error)
{
    Recordset* rs = record(error);
    if (!rs)
        return false;
    auto number = [rs](const char* column) {
        return rs->value(QString::fromLatin1(column)).toInt();
    };
    auto flag = [rs](const char* column) {
        return rs->value(QString::fromLatin1(column)).toBool();
    };
    d.ParameterMode = number("ParameterMode");
    d.SendMode = number("SendMode");
    d.Tastaturenabled = flag("Tastaturenabled");
    d.IOPortsEnabled = flag("IOPortsEnabled");
    d.Einschaltmeldung = flag("Einschaltmeldung");
    d.Festtextmode = flag("Festtextmode");
    d.FesttextPort = number("FesttextPort");
    d.Users485 = flag("Users485");
    d.Cols = number("Display_Spalten");
    d.Rows = number("Display_Zeilen");
    d.Backlight = number("Backlight");
    d.Kontrast = number("Kontrast");
    return true;
}

bool TerminalSettingsCore::write(const QString& what, const TerminalSettingsData& d,
                                 void (*fill)(Recordset&, const TerminalSettingsData&),
                                 QString* error)
{
    Recordset* rs = record(error);
    if (!rs)
        return false;
    fill(*rs, d);
    if (rs->update())
        return true;
    if (error)
        *error = what + QStringLiteral(" : ") + rs->lastError();
    rs->cancelUpdate();
    return false;
}

bool TerminalSettingsCore::saveMode(const TerminalSettingsData& d, QString* error)
{
    return write(
        QStringLiteral("Terminal-Modus"), d,
        [](Recordset& rs, const TerminalSettingsData& v) {
            (void)rs.setValue(QStringLiteral("Einschaltmeldung"), v.Einschaltmeldung ? 1 : 0);
            (void)rs.setValue(QStringLiteral("IOPortsEnabled"), v.IOPortsEnabled ? 1 : 0);
            (void)rs.setValue(QStringLiteral("Tastaturenabled"), v.Tastaturenabled ? 1 : 0);
            (void)rs.setValue(QStringLiteral("ParameterMode"), v.ParameterMode);
            (void)rs.setValue(QStringLiteral("Festtextmode"), v.Festtextmode ? 1 : 0);
            (void)rs.setValue(QStringLiteral("SendMode"), v.SendMode);
            (void)rs.setValue(QStringLiteral("FesttextPort"), v.FesttextPort);
            (void)rs.setValue(QStringLiteral("Users485"), v.Users485 ? 1 : 0);
        },
        error);
}

bool TerminalSettingsCore::saveDisplaySize(const TerminalSettingsData& d, QString* error)
{
    return write(
        QStringLiteral("Display"), d,
        [](Recordset& rs, const TerminalSettingsData& v) {
            (void)rs.setValue(QStringLiteral("Display_Zeilen"), v.Rows);
            (void)rs.setValue(QStringLiteral("Display_Spalten"), v.Cols);
        },
        error);
}

bool TerminalSettingsCore::saveBacklight(const TerminalSettingsData& d, QString* error)
{
    return write(
        QStringLiteral("Beleuchtung"), d,
        [](Recordset& rs, const TerminalSettingsData& v) {
            (void)rs.setValue(QStringLiteral("Backlight"), v.Backlight);
        },
        error);
}

bool TerminalSettingsCore::saveKontrast(const TerminalSettingsData& d, QString* error)
{
    return write(
        QStringLiteral("Kontrast"), d,
        [](Recordset& rs, const TerminalSettingsData& v) {
            (void)rs.setValue(QStringLiteral("Kontrast"), v.Kontrast);
        },
        error);
}

bool TerminalSettingsCore::saveToProject(const TerminalSettingsData& d, QString* error)
{
    return saveMode(d, error) && saveDisplaySize(d, error) && saveBacklight(d, error) &&
           saveKontrast(d, error);
}

bool TerminalSettingsCore::displayTypes(QStringList& types, QString* error)
{
    const QString command = QStringLiteral("cmdDisplaytyp");
    if (!m_env.ensureOpen(command, error))
        return false;
    Recordset& rs = m_env.recordset(command);
    types.clear();
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        types.append(rs.value(QStringLiteral("Displaytyp")).toString());
    rs.close();
    return true;
}

// ---- The terminal object ----

TerminalSettingsData TerminalSettingsCore::terminalObject() const
{
    TerminalSettingsData d;
    if (!m_vx)
        return d;
    const clsVX& vx = *m_vx;
    d.ParameterMode = vx.ParameterMode;
    d.SendMode = vx.SendMode;
    d.Tastaturenabled = vx.KeyboardEnabled;
    d.IOPortsEnabled = vx.IOPortsEnabled;
    d.Einschaltmeldung = vx.Einschaltmeldung;
    d.Festtextmode = vx.Festtextmode;
    d.FesttextPort = vx.FesttextPort;
    d.Cols = vx.Cols;
    d.Rows = vx.Rows;
    d.Backlight = vx.Backlight;
    d.Kontrast = vx.Kontrast;
    d.SerNr = vx.SerNr;
    return d;
}

void TerminalSettingsCore::takeMode(const TerminalSettingsData& d)
{
    if (!m_vx)
        return;
    clsVX& vx = *m_vx;
    vx.ParameterMode = d.ParameterMode;
    vx.SendMode = d.SendMode;
    vx.KeyboardEnabled = d.Tastaturenabled;
    vx.IOPortsEnabled = d.IOPortsEnabled;
    vx.Einschaltmeldung = d.Einschaltmeldung;
    vx.Festtextmode = d.Festtextmode;
    vx.Backlight = static_cast<qint16>(d.Backlight);
    vx.FesttextPort = static_cast<qint16>(d.FesttextPort);
}

void TerminalSettingsCore::takeDisplaySize(const TerminalSettingsData& d)
{
    if (!m_vx)
        return;
    m_vx->Cols = static_cast<qint16>(d.Cols);
    m_vx->Rows = static_cast<qint16>(d.Rows);
}

void TerminalSettingsCore::takeBacklight(const TerminalSettingsData& d)
{
    if (m_vx)
        m_vx->Backlight = static_cast<qint16>(d.Backlight);
}

void TerminalSettingsCore::takeKontrast(const TerminalSettingsData& d)
{
    if (m_vx)
        m_vx->Kontrast = static_cast<qint16>(d.Kontrast);
}

void TerminalSettingsCore::takeIntoTerminalObject(const TerminalSettingsData& d)
{
    takeMode(d);
    takeDisplaySize(d);
    takeBacklight(d);
    takeKontrast(d);
}

} // namespace vemro
