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

bool TerminalSettingsCore::parseDisplayType(const QString& text, qint16& cols, qint16& rows)
{
    const int p = static_cast<int>(text.indexOf(QLatin1Char('x'))) + 1;
    if (p <= 0)
        return false;
    cols = static_cast<qint16>(TextValueInt(text.left(p - 1)));
    rows = static_cast<qint16>(TextValueInt(text.mid(p)));
    return true;
}

namespace {

struct Range
{
    const char* field;
    int low;
    int high;
    int (*get)(const TerminalSettingsData&);
};

const Range kRanges[] = {
    {"ParameterMode", 0, 1, [](const TerminalSettingsData& d) -> int { return d.ParameterMode; }},
    {"SendMode", 0, 4, [](const TerminalSettingsData& d) -> int { return d.SendMode; }},
    {"FesttextPort", 0, TerminalSettingsCore::kMaxPort,
     [](const TerminalSettingsData& d) -> int { return d.FesttextPort; }},
    {"Display_Zeilen", 1, TerminalSettingsCore::kMaxRows,
     [](const TerminalSettingsData& d) -> int { return d.Rows; }},
    {"Display_Spalten", 1, TerminalSettingsCore::kMaxCols,
     [](const TerminalSettingsData& d) -> int { return d.Cols; }},
    {"Backlight", 0, TerminalSettingsCore::kMaxBacklight,
     [](const TerminalSettingsData& d) -> int { return d.Backlight; }},
    {"Kontrast", 0, TerminalSettingsCore::kContrastMask,
     [](const TerminalSettingsData& d) -> int { return d.Kontrast; }},
};

QString rangeProblem(const TerminalSettingsData& d, const QString& fields)
{
    const QStringList wanted = fields.split(QLatin1Char(','));
    for (const Range& r : kRanges) {
        if (!fields.isEmpty() && !wanted.contains(QLatin1String(r.field)))
            continue;
        const int v = r.get(d);
        // SendMode knows 0, 2 and 4 only.
        const bool bad = v < r.low || v > r.high ||
                         (qstrcmp(r.field, "SendMode") == 0 && v != 0 && v != 2 && v != 4);
        if (bad)
            return QStringLiteral("Unmöglicher Wert %1 für %2 (erlaubt %3 bis %4); es wurde "
                                  "nichts an das Terminal gesendet. Bitte den Wert im Projekt "
                                  "korrigieren.")
                .arg(v)
                .arg(QLatin1String(r.field))
                .arg(r.low)
                .arg(r.high);
    }
    return QString();
}

} // namespace

QString TerminalSettingsCore::valueProblem(const TerminalSettingsData& d)
{
    return rangeProblem(d, QString());
}

bool TerminalSettingsCore::possible(const TerminalSettingsData& d, const char* fields,
                                    QString* error)
{
    const QString problem = rangeProblem(d, QString::fromLatin1(fields));
    if (problem.isEmpty())
        return true;
    if (error)
        *error = problem;
    return false;
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
    // The exchange lets the event loop run: the terminal object may be gone after it.
    if (!haveTerminal(error))
        return false;
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
    // GetMode resets every flag (and the parameter form) when no answer comes.
    const TerminalSettingsData before = terminalObject();
    m_vx->GetMode();
    if (!answered(1, QStringLiteral("Modus"), error)) {
        restore(before);
        return false;
    }
    d.terminalMode() = m_vx->terminalMode();
    d.Tastaturenabled = m_vx->Keyboard()->enabled;
    return true;
}

bool TerminalSettingsCore::writeMode(const TerminalSettingsData& d, QString* error,
                                     TerminalSettingsData* readBack)
{
    if (!haveTerminal(error) || !possible(d, "ParameterMode,SendMode,FesttextPort", error))
        return false;
    clsVX& vx = *m_vx;
    vx.terminalMode() = d.terminalMode();
    vx.Keyboard()->enabled = d.Tastaturenabled;
    vx.FesttextPort = d.FesttextPort;
    vx.SetMode();
    vx.SetFesttextPort(-1); // a negative number sends the stored FesttextPort
    // Read the mode back: a terminal that did not take it has refused. Bit 2 (serial
    // answers) is the link's choice, not a setting the terminal keeps.
    // The read-back leaves the object as written: the answer channel reads as 0.
    const int sent = vx.modeFlags();
    const TerminalSettingsData written = terminalObject();
    TerminalSettingsData back = readBack ? *readBack : d;
    const bool taken = readMode(back, nullptr) && (vx.modeFlags() | 2) == (sent | 2);
    restore(written);
    if (readBack)
        *readBack = back;
    if (!taken && error)
        *error = QStringLiteral("Terminal hat die Einstellungen nicht übernommen");
    return taken;
}

bool TerminalSettingsCore::readInfo(TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    // The version query clears SerNr when no answer comes; an answered display size alone
    // is not kept either: the information is taken whole or not at all.
    const TerminalSettingsData before = terminalObject();
    m_vx->GetDisplaySize();
    bool ok = answered(2, QStringLiteral("Displaygröße"), error);
    QString version;
    if (ok) {
        version = m_vx->Version();
        ok = answered(2, QStringLiteral("Version"), error);
    }
    if (!ok) {
        restore(before);
        return false;
    }
    d.Cols = m_vx->Cols;
    d.Rows = m_vx->Rows;
    d.Version = version;
    d.SerNr = m_vx->SerNr;
    return true;
}

bool TerminalSettingsCore::writeDisplaySize(const TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error) || !possible(d, "Display_Zeilen,Display_Spalten", error))
        return false;
    m_vx->Cols = d.Cols;
    m_vx->Rows = d.Rows;
    m_vx->SetDisplaySize();
    return true;
}

bool TerminalSettingsCore::readBacklight(TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    const qint32 port = m_vx->GetIOPort(0);
    if (!answered(1, QStringLiteral("Port 0"), error))
        return false;
    d.Backlight = (port & kBacklightBit) != 0 ? 1 : 0;
    return true;
}

bool TerminalSettingsCore::readKontrast(TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    const qint32 port = m_vx->GetIOPort(0);
    if (!answered(1, QStringLiteral("Port 0"), error))
        return false;
    d.Kontrast = port & kContrastMask;
    return true;
}

bool TerminalSettingsCore::writeBacklight(const TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error) || !possible(d, "Backlight", error))
        return false;
    // The configuration sent becomes the stored value, as writeMode keeps the flags; a plain
    // level sent through the link (a check's test value) does not.
    m_vx->Backlight = static_cast<qint16>(d.Backlight > 0 ? 1 : 0);
    m_vx->SetDisplayBacklight(-1);
    return true;
}

bool TerminalSettingsCore::writeKontrast(const TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error) || !possible(d, "Kontrast", error))
        return false;
    m_vx->Kontrast = d.Kontrast;
    m_vx->SetDisplayKontrast(-1);
    return true;
}

bool TerminalSettingsCore::readFromTerminal(TerminalSettingsData& d, QString* error)
{
    if (!haveTerminal(error))
        return false;
    // Into a copy: one unanswered read and neither `d` nor the terminal object keeps
    // anything of the reads before it. Later reads would be thrown away, so none is made.
    const TerminalSettingsData before = terminalObject();
    TerminalSettingsData read = d;
    const bool ok = readMode(read, error) && readInfo(read, error) && readBacklight(read, error) &&
                    readKontrast(read, error);
    if (!ok) {
        restore(before);
        return false;
    }
    d = read;
    return true;
}

bool TerminalSettingsCore::writeToTerminal(const TerminalSettingsData& d, QString* error)
{
    // All or nothing: one impossible value and not a single command goes out.
    if (!haveTerminal(error) || !possible(d, "", error))
        return false;
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
    // Judged by this exchange alone: a code left over from an earlier one is dropped first.
    (void)m_vx->lastError();
    m_vx->SaveKonfig();
    // The terminal confirms the save; without that the user must not believe it done.
    const LinkError code = m_vx->lastError();
    if (code == LinkError::None)
        return true;
    if (error)
        *error =
            code == LinkError::Nak
                ? QStringLiteral("Das Terminal hat das dauerhafte Speichern abgelehnt (NAK)")
                : QStringLiteral("Das Terminal hat das dauerhafte Speichern nicht bestätigt: ") +
                      m_vx->ErrorText(code);
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
    // The terminal object's 16-bit values: one beyond 16 bits stays out of range instead of
    // wrapping into it.
    auto small = [rs](const char* column) {
        const qlonglong v = rs->value(QString::fromLatin1(column)).toLongLong();
        return static_cast<qint16>(qBound(qlonglong(-32768), v, qlonglong(32767)));
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
    d.FesttextPort = small("FesttextPort");
    d.Users485 = flag("Users485");
    d.Cols = small("Display_Spalten");
    d.Rows = small("Display_Zeilen");
    d.Backlight = small("Backlight");
    d.Kontrast = small("Kontrast");
    return true;
}

bool TerminalSettingsCore::loadCheckedFromProject(TerminalSettingsData& d, QString* error)
{
    Recordset* rs = record(error);
    if (!rs)
        return false;
    // Columns whose Null the program reads as 0 (or false) by design; the others are needed.
    const QStringList mayBeNull{
        QStringLiteral("FesttextPort"),     QStringLiteral("Users485"),
        QStringLiteral("Tastaturenabled"),  QStringLiteral("IOPortsEnabled"),
        QStringLiteral("Einschaltmeldung"), QStringLiteral("Festtextmode")};
    for (const char* c : {"ParameterMode", "SendMode", "Tastaturenabled", "IOPortsEnabled",
                          "Einschaltmeldung", "Festtextmode", "FesttextPort", "Users485",
                          "Display_Spalten", "Display_Zeilen", "Backlight", "Kontrast"}) {
        const QString column = QString::fromLatin1(c);
        QString problem;
        if (!rs->hasField(column))
            problem = QStringLiteral("Im Projekt fehlt die Spalte %1 der Tabelle "
                                     "Terminaleinstellungen");
        else if (rs->value(column).isNull() && !mayBeNull.contains(column))
            problem = QStringLiteral("Im Projekt ist %1 leer");
        if (!problem.isEmpty()) {
            if (error)
                *error = problem.arg(column) +
                         QStringLiteral("; es wurde nichts an das Terminal gesendet. Bitte das "
                                        "Projekt korrigieren oder neu anlegen.");
            return false;
        }
    }
    if (!loadFromProject(d, error))
        return false;
    return possible(d, "", error);
}

bool TerminalSettingsCore::write(const QString& what,
                                 const QList<QPair<QString, QVariant>>& columns, QString* error)
{
    Recordset* rs = record(error);
    if (!rs)
        return false;
    // Every column is set; one the record lacks fails the write: a value that was not
    // stored is not saved.
    bool filled = true;
    for (const auto& [column, value] : columns)
        filled = rs->setValue(column, value) && filled;
    if (filled && rs->update())
        return true;
    if (error)
        *error = what + QStringLiteral(" : ") + rs->lastError();
    rs->cancelUpdate();
    return false;
}

bool TerminalSettingsCore::saveMode(const TerminalSettingsData& d, QString* error)
{
    return write(QStringLiteral("Terminal-Modus"),
                 {{QStringLiteral("Einschaltmeldung"), d.Einschaltmeldung ? 1 : 0},
                  {QStringLiteral("IOPortsEnabled"), d.IOPortsEnabled ? 1 : 0},
                  {QStringLiteral("Tastaturenabled"), d.Tastaturenabled ? 1 : 0},
                  {QStringLiteral("ParameterMode"), d.ParameterMode},
                  {QStringLiteral("Festtextmode"), d.Festtextmode ? 1 : 0},
                  {QStringLiteral("SendMode"), d.SendMode},
                  {QStringLiteral("FesttextPort"), d.FesttextPort},
                  {QStringLiteral("Users485"), d.Users485 ? 1 : 0}},
                 error);
}

bool TerminalSettingsCore::saveDisplaySize(const TerminalSettingsData& d, QString* error)
{
    return write(
        QStringLiteral("Display"),
        {{QStringLiteral("Display_Zeilen"), d.Rows}, {QStringLiteral("Display_Spalten"), d.Cols}},
        error);
}

bool TerminalSettingsCore::saveBacklight(const TerminalSettingsData& d, QString* error)
{
    return write(QStringLiteral("Beleuchtung"), {{QStringLiteral("Backlight"), d.Backlight}},
                 error);
}

bool TerminalSettingsCore::saveKontrast(const TerminalSettingsData& d, QString* error)
{
    return write(QStringLiteral("Kontrast"), {{QStringLiteral("Kontrast"), d.Kontrast}}, error);
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
    d.terminalState() = m_vx->terminalState();
    d.Tastaturenabled = m_vx->Keyboard()->enabled;
    d.SerNr = m_vx->SerNr;
    return d;
}

void TerminalSettingsCore::takeMode(const TerminalSettingsData& d)
{
    if (!m_vx)
        return;
    m_vx->terminalMode() = d.terminalMode();
    m_vx->Keyboard()->enabled = d.Tastaturenabled;
    m_vx->Backlight = d.Backlight;
    m_vx->FesttextPort = d.FesttextPort;
}

void TerminalSettingsCore::takeDisplaySize(const TerminalSettingsData& d)
{
    if (!m_vx)
        return;
    m_vx->Cols = d.Cols;
    m_vx->Rows = d.Rows;
}

void TerminalSettingsCore::takeBacklight(const TerminalSettingsData& d)
{
    if (m_vx)
        m_vx->Backlight = d.Backlight;
}

void TerminalSettingsCore::takeKontrast(const TerminalSettingsData& d)
{
    if (m_vx)
        m_vx->Kontrast = d.Kontrast;
}

void TerminalSettingsCore::takeIntoTerminalObject(const TerminalSettingsData& d)
{
    if (!m_vx)
        return;
    m_vx->terminalState() = d.terminalState();
    m_vx->Keyboard()->enabled = d.Tastaturenabled;
}

void TerminalSettingsCore::restore(const TerminalSettingsData& before)
{
    if (!m_vx)
        return;
    takeIntoTerminalObject(before);
    m_vx->SerNr = before.SerNr;
}

} // namespace vemro
