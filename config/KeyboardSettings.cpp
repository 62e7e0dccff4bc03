#include "config/KeyboardSettings.h"

#include "link/KeyCodeNotation.h"
#include "link/clsVX.h"
#include "platform/Codepage.h"
#include "platform/ProgressIndicator.h"
#include "platform/SqlTransaction.h"
#include "project/DataEnvironment.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace vemro {

namespace {

const QString kCodes = QStringLiteral("cmdTastencodes");
const QString kMode = QStringLiteral("cmdTastaturmodus");

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool openCommand(DataEnvironment& env, const QString& command, QString* error)
{
    if (!env.isOpen(DataEnvironment::kProjekt)) {
        setError(error, QStringLiteral("kein Projekt geöffnet"));
        return false;
    }
    QString why;
    if (!env.ensureOpen(command, &why)) {
        setError(error, why);
        return false;
    }
    return true;
}

QString textOf(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

// The fields of the configuration under their project column names, with what the terminal
// can take (the pause times count in 10 ms from 1 on, one byte each).
struct Field
{
    const char* column;
    int low;
    int high;
    int (*get)(const KeyboardConfig&);
};

const Field kFields[] = {
    {"Mindestdauer", 1, 255, [](const KeyboardConfig& c) { return c.MinPress; }},
    {"Zeitbisrepeat", 1, 255, [](const KeyboardConfig& c) { return c.TimeUntilRepeat; }},
    {"Wiederholrate", 1, 255, [](const KeyboardConfig& c) { return c.TimeBetweenRepeat; }},
    {"Polling", 0, 1, [](const KeyboardConfig& c) { return int(c.Polling); }},
    {"Repeatenabled", 0, 1, [](const KeyboardConfig& c) { return int(c.Repeat); }},
    {"UseMatrix", 0, 1, [](const KeyboardConfig& c) { return int(c.UseMatrix); }},
    {"Sendenbeiloslassen", 0, 1, [](const KeyboardConfig& c) { return int(c.SendKeyUp); }},
    {"Quittung_optisch", 0, 1, [](const KeyboardConfig& c) { return int(c.Key_LED); }},
    {"Quittung_akustisch", 0, 1, [](const KeyboardConfig& c) { return int(c.Key_Beep); }},
    {"NrShifttaste", 0, clsVXKeyboard::kKeys, [](const KeyboardConfig& c) { return c.ShiftKey; }},
};

// A code byte as the key table writes it.
QString codeText(char byte)
{
    return AnsiToString(KeyCodeNotation::FromKeyByte(static_cast<uchar>(byte)));
}

} // namespace

KeyboardSettings::KeyboardSettings(clsVX& vx, DataEnvironment& env) : m_vx(&vx), m_env(env) {}

bool KeyboardSettings::haveTerminal(QString* error) const
{
    if (m_vx && m_vx->Keyboard())
        return true;
    setError(error, QStringLiteral("kein Terminalobjekt"));
    return false;
}

clsVXKeyboard& KeyboardSettings::keyboard() const
{
    return *m_vx->Keyboard();
}

KeyboardConfig KeyboardSettings::fromKeyboard(const clsVXKeyboard& k)
{
    KeyboardConfig c;
    c.MinPress = k.MinPress;
    c.TimeUntilRepeat = k.TimeUntilRepeat;
    c.TimeBetweenRepeat = k.TimeBetweenRepeat;
    c.Polling = k.Polling;
    c.Repeat = k.Repeat;
    c.SendKeyUp = k.SendKeyUp;
    c.UseMatrix = k.UseMatrix;
    c.Key_LED = k.Key_LED;
    c.Key_Beep = k.Key_Beep;
    c.ShiftKey = k.ShiftKey;
    return c;
}

void KeyboardSettings::toKeyboard(const KeyboardConfig& c, clsVXKeyboard& k)
{
    k.MinPress = static_cast<qint16>(c.MinPress);
    k.TimeUntilRepeat = static_cast<qint16>(c.TimeUntilRepeat);
    k.TimeBetweenRepeat = static_cast<qint16>(c.TimeBetweenRepeat);
    k.Polling = c.Polling;
    k.Repeat = c.Repeat;
    k.SendKeyUp = c.SendKeyUp;
    k.UseMatrix = c.UseMatrix;
    k.Key_LED = c.Key_LED;
    k.Key_Beep = c.Key_Beep;
    k.ShiftKey = static_cast<qint16>(c.ShiftKey);
}

bool KeyboardSettings::readConfig(QString* error)
{
    if (!haveTerminal(error))
        return false;
    clsVXKeyboard& k = keyboard();
    const KeyboardConfig before = fromKeyboard(k);
    k.GetConfig();
    if (k.parameters().size() == 5)
        return true;
    // What the user has stays: a read without answer changes nothing.
    toKeyboard(before, k);
    setError(error, clsVX::kConnectionError);
    return false;
}

QString KeyboardSettings::configProblem(const KeyboardConfig& config)
{
    for (const Field& f : kFields) {
        const int v = f.get(config);
        if (v < f.low || v > f.high)
            return QStringLiteral("Unmöglicher Wert %1 für %2 (erlaubt %3 bis %4); es wurde "
                                  "nichts an das Terminal gesendet. Bitte den Wert im Projekt "
                                  "korrigieren.")
                .arg(v)
                .arg(QLatin1String(f.column))
                .arg(f.low)
                .arg(f.high);
    }
    return QString();
}

bool KeyboardSettings::writeConfig(QString* error)
{
    if (!haveTerminal(error))
        return false;
    // The terminal answers no "TK" and ignores what it cannot take: refuse it here.
    const QString problem = configProblem(fromKeyboard(keyboard()));
    if (!problem.isEmpty()) {
        setError(error, problem);
        return false;
    }
    keyboard().SaveConfig();
    return true;
}

bool KeyboardSettings::verifyConfig(const KeyboardConfig& expected, QString* error)
{
    if (!haveTerminal(error))
        return false;
    clsVXKeyboard& k = keyboard();
    const KeyboardConfig before = fromKeyboard(k);
    const bool answered = readConfig();
    const KeyboardConfig held = fromKeyboard(k);
    toKeyboard(before, k);
    if (!answered) {
        setError(error, clsVX::kConnectionError +
                            QStringLiteral(": das Terminal hat die Tastaturkonfiguration nicht "
                                           "zurückgemeldet"));
        return false;
    }
    QStringList differences;
    for (const Field& f : kFields) {
        if (f.get(held) != f.get(expected))
            differences << QStringLiteral("%1 %2 (Projekt %3)")
                               .arg(QLatin1String(f.column))
                               .arg(f.get(held))
                               .arg(f.get(expected));
    }
    if (differences.isEmpty())
        return true;
    setError(error, QStringLiteral("Das Terminal hält eine andere Tastaturkonfiguration: ") +
                        differences.join(QStringLiteral(", ")));
    return false;
}

bool KeyboardSettings::verifyCodes(const KeyCodeTable& table, QString* error)
{
    QStringList differences;
    for (const KeyCodeRow& row : table) {
        // Each read lets the event loop run: the terminal object may be gone after it.
        if (!haveTerminal(error))
            return false;
        QByteArray code;
        QByteArray shift;
        if (!KeyCodeNotation::ToKeyByte(StringToAnsi(row.Tastencode), false, &code) ||
            !KeyCodeNotation::ToKeyByte(StringToAnsi(row.Tastencode_Shift), true, &shift) ||
            code.isEmpty() || shift.isEmpty())
            continue; // a key the write leaves alone
        const QByteArray held = keyboard().GetKeycode(static_cast<qint16>(row.TastenNr));
        if (held.size() != 2) {
            setError(error, clsVX::kConnectionError +
                                QStringLiteral(": das Terminal hat Taste %1 nicht zurückgemeldet")
                                    .arg(row.TastenNr));
            return false;
        }
        if (held != code + shift)
            differences << QStringLiteral("Taste %1: %2 / %3 (Projekt %4 / %5)")
                               .arg(row.TastenNr)
                               .arg(codeText(held.at(0)), codeText(held.at(1)), row.Tastencode,
                                    row.Tastencode_Shift);
    }
    if (differences.isEmpty())
        return true;
    setError(error, QStringLiteral("Das Terminal hält andere Tastencodes: ") +
                        differences.join(QStringLiteral("; ")));
    return false;
}

bool KeyboardSettings::loadConfig(QString* error)
{
    if (!haveTerminal(error) || !openCommand(m_env, kMode, error))
        return false;
    clsVXKeyboard& k = keyboard();
    Recordset& rs = m_env.recordset(kMode);
    rs.moveFirst();
    if (rs.eof()) {
        setError(error, QStringLiteral("Tabelle TastaturModus ist leer"));
        return false;
    }
    // A value beyond 16 bits stays out of range instead of wrapping into it.
    auto number = [&rs](const char* column) {
        const qlonglong v = rs.value(QString::fromLatin1(column)).toLongLong();
        return static_cast<qint16>(qBound(qlonglong(-32768), v, qlonglong(32767)));
    };
    auto flag = [&rs](const char* column) {
        return rs.value(QString::fromLatin1(column)).toInt() != 0;
    };
    k.MinPress = number("Mindestdauer");
    k.TimeUntilRepeat = number("Zeitbisrepeat");
    k.TimeBetweenRepeat = number("Wiederholrate");
    k.Polling = flag("Polling");
    k.Repeat = flag("Repeatenabled");
    k.UseMatrix = flag("UseMatrix");
    k.SendKeyUp = flag("Sendenbeiloslassen");
    k.Key_LED = flag("Quittung_optisch");
    k.Key_Beep = flag("Quittung_akustisch");
    k.ShiftKey = number("NrShifttaste");
    return true;
}

bool KeyboardSettings::storeConfig(QString* error)
{
    if (!haveTerminal(error) || !openCommand(m_env, kMode, error))
        return false;
    const clsVXKeyboard& k = keyboard();
    Recordset& rs = m_env.recordset(kMode);
    rs.moveFirst();
    if (rs.eof() && !rs.addNew()) {
        setError(error, rs.lastError());
        return false;
    }
    (void)rs.setValue(QStringLiteral("Mindestdauer"), k.MinPress);
    (void)rs.setValue(QStringLiteral("Zeitbisrepeat"), k.TimeUntilRepeat);
    (void)rs.setValue(QStringLiteral("Wiederholrate"), k.TimeBetweenRepeat);
    (void)rs.setValue(QStringLiteral("Polling"), k.Polling ? 1 : 0);
    (void)rs.setValue(QStringLiteral("Repeatenabled"), k.Repeat ? 1 : 0);
    (void)rs.setValue(QStringLiteral("UseMatrix"), k.UseMatrix ? 1 : 0);
    (void)rs.setValue(QStringLiteral("Sendenbeiloslassen"), k.SendKeyUp ? 1 : 0);
    (void)rs.setValue(QStringLiteral("Quittung_optisch"), k.Key_LED ? 1 : 0);
    (void)rs.setValue(QStringLiteral("Quittung_akustisch"), k.Key_Beep ? 1 : 0);
    (void)rs.setValue(QStringLiteral("NrShifttaste"), k.ShiftKey);
    if (!rs.update()) {
        setError(error, rs.lastError());
        return false;
    }
    return true;
}

bool KeyboardSettings::readCodes(KeyCodeTable& table, QString* error)
{
    if (!haveTerminal(error))
        return false;
    ProgressIndicator* progress = m_vx->ctlFortschritt();
    if (progress) {
        progress->setMinimum(0);
        progress->setMaximum(clsVXKeyboard::kKeys);
        progress->setValue(1);
        progress->setVisible(true);
    }
    KeyCodeTable read;
    bool complete = true;
    for (int n = 1; n <= clsVXKeyboard::kKeys && complete; ++n) {
        // The waits let the event loop run: the terminal object may be gone after them.
        if (!haveTerminal(nullptr)) {
            complete = false;
            break;
        }
        const QByteArray answer = keyboard().GetKeycode(static_cast<qint16>(n));
        if (answer.size() != 2) {
            complete = false;
            break;
        }
        read.append({n,
                     AnsiToString(KeyCodeNotation::FromKeyByte(static_cast<uchar>(answer.at(0)))),
                     AnsiToString(KeyCodeNotation::FromKeyByte(static_cast<uchar>(answer.at(1))))});
        if (progress)
            progress->setValue(n);
        m_vx->WaitMS(kKeyReadWaitMs);
    }
    if (progress)
        progress->setVisible(false);
    if (!complete) {
        setError(error, clsVX::kConnectionError);
        return false;
    }
    table = read;
    return true;
}

bool KeyboardSettings::readCodesIntoProject(QString* error)
{
    if (!openCommand(m_env, kCodes, error))
        return false;
    KeyCodeTable table;
    return readCodes(table, error) && storeCodesToProject(table, error);
}

bool KeyboardSettings::readAllIntoProject(QString* error)
{
    DataEnvironment& env = m_env;
    if (!openCommand(env, kCodes, error) || !openCommand(env, kMode, error))
        return false;
    KeyCodeTable table;
    if (!readCodes(table, error) || !readConfig(error))
        return false;
    SqlTransaction transaction(env.database(DataEnvironment::kProjekt));
    if (!transaction.ok()) {
        setError(error, QStringLiteral("Tastatur konnte nicht gespeichert werden: ") +
                            transaction.error());
        return false;
    }
    bool ok = storeCodesToProject(table, error) && storeConfig(error);
    if (ok && !transaction.commit()) {
        setError(error, QStringLiteral("Tastatur konnte nicht gespeichert werden: ") +
                            transaction.error());
        ok = false;
    }
    if (!ok) {
        transaction.rollback();
        // The record sets show what the file holds again.
        (void)env.execute(kCodes);
        (void)env.execute(kMode);
    }
    return ok;
}

bool KeyboardSettings::writeCodes(const KeyCodeTable& table, QString* error)
{
    return haveTerminal(error) && m_vx->SaveTastaturcodes(table, error);
}

bool KeyboardSettings::writeCodes(QString* error)
{
    KeyCodeTable table;
    return loadCodesFromProject(table, error) && writeCodes(table, error);
}

KeyCodeTable KeyboardSettings::standardTable()
{
    KeyCodeTable table;
    for (int n = 1; n <= clsVXKeyboard::kKeys; ++n)
        table.append({n, AnsiToString(QByteArray(1, static_cast<char>(96 + n))),
                      AnsiToString(QByteArray(1, static_cast<char>(64 + n)))});
    return table;
}

bool KeyboardSettings::loadCodesFromProject(KeyCodeTable& table, QString* error)
{
    if (!openCommand(m_env, kCodes, error))
        return false;
    Recordset& rs = m_env.recordset(kCodes);
    const int position = rs.absolutePosition();
    KeyCodeTable rows;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        rows.append({rs.value(QStringLiteral("TastenNr")).toInt(),
                     textOf(rs.value(QStringLiteral("Tastencode"))),
                     textOf(rs.value(QStringLiteral("Tastencode_Shift")))});
    }
    rs.moveFirst();
    while (!rs.eof() && rs.absolutePosition() < position)
        rs.moveNext();
    table = rows;
    return true;
}

bool KeyboardSettings::storeCodesToProject(const KeyCodeTable& table, QString* error)
{
    DataEnvironment& env = m_env;
    if (!openCommand(env, kCodes, error))
        return false;
    Recordset& rs = env.recordset(kCodes);
    if (rs.editing())
        rs.cancelUpdate();
    QSqlDatabase db = env.database(DataEnvironment::kProjekt);
    // Inside the project save this joins its transaction.
    SqlTransaction transaction(db);
    if (!transaction.ok()) {
        setError(error, QStringLiteral("Tastencodes konnten nicht gespeichert werden: ") +
                            transaction.error());
        return false;
    }
    QSqlQuery q(db);
    bool ok = q.exec(QStringLiteral("DELETE FROM Tastencodes"));
    for (int i = 0; ok && i < table.size(); ++i) {
        const KeyCodeRow& row = table.at(i);
        ok = q.prepare(QStringLiteral(
            "INSERT INTO Tastencodes (TastenNr, Tastencode, Tastencode_Shift) VALUES (?, ?, ?)"));
        q.addBindValue(row.TastenNr);
        q.addBindValue(row.Tastencode);
        q.addBindValue(row.Tastencode_Shift);
        ok = ok && q.exec();
    }
    QString why = q.lastError().text();
    if (ok && !transaction.commit()) {
        ok = false;
        why = transaction.error();
    }
    if (!ok) {
        transaction.rollback();
        setError(error, QStringLiteral("Tastencodes konnten nicht gespeichert werden: ") + why);
        return false;
    }
    QString requeryError;
    if (!env.execute(kCodes, {}, &requeryError)) {
        setError(error, requeryError);
        return false;
    }
    return true;
}

} // namespace vemro
