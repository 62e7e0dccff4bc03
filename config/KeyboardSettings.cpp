#include "config/KeyboardSettings.h"

#include "link/KeyCodeNotation.h"
#include "link/clsVX.h"
#include "platform/Codepage.h"
#include "platform/ProgressIndicator.h"
#include "project/DataEnvironment.h"

#include <QSqlError>
#include <QSqlQuery>

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

} // namespace

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

bool KeyboardSettings::readConfig(clsVX& vx, QString* error)
{
    clsVXKeyboard& k = *vx.Keyboard();
    const KeyboardConfig before = fromKeyboard(k);
    k.GetConfig();
    if (k.parameters().size() == 5)
        return true;
    // What the user has stays: a read without answer changes nothing.
    toKeyboard(before, k);
    setError(error, clsVX::kConnectionError);
    return false;
}

void KeyboardSettings::writeConfig(clsVX& vx)
{
    vx.Keyboard()->SaveConfig();
}

bool KeyboardSettings::loadConfig(DataEnvironment& env, clsVXKeyboard& k, QString* error)
{
    if (!openCommand(env, kMode, error))
        return false;
    Recordset& rs = env.recordset(kMode);
    rs.moveFirst();
    if (rs.eof()) {
        setError(error, QStringLiteral("Tabelle TastaturModus ist leer"));
        return false;
    }
    auto number = [&rs](const char* column) {
        return static_cast<qint16>(rs.value(QString::fromLatin1(column)).toInt());
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

bool KeyboardSettings::storeConfig(DataEnvironment& env, const clsVXKeyboard& k, QString* error)
{
    if (!openCommand(env, kMode, error))
        return false;
    Recordset& rs = env.recordset(kMode);
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

bool KeyboardSettings::readCodes(clsVX& vx, KeyCodeTable& table, QString* error)
{
    ProgressIndicator* progress = vx.ctlFortschritt();
    if (progress) {
        progress->setMinimum(0);
        progress->setMaximum(clsVXKeyboard::kKeys);
        progress->setValue(1);
        progress->setVisible(true);
    }
    KeyCodeTable read;
    bool complete = true;
    for (int n = 1; n <= clsVXKeyboard::kKeys && complete; ++n) {
        const QByteArray answer = vx.Keyboard()->GetKeycode(static_cast<qint16>(n));
        if (answer.size() != 2) {
            complete = false;
            break;
        }
        read.append({n,
                     AnsiToString(KeyCodeNotation::FromKeyByte(static_cast<uchar>(answer.at(0)))),
                     AnsiToString(KeyCodeNotation::FromKeyByte(static_cast<uchar>(answer.at(1))))});
        if (progress)
            progress->setValue(n);
        vx.WaitMS(kKeyReadWaitMs);
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

bool KeyboardSettings::readCodesIntoProject(DataEnvironment& env, clsVX& vx, QString* error)
{
    if (!openCommand(env, kCodes, error))
        return false;
    KeyCodeTable table;
    return readCodes(vx, table, error) && storeCodesToProject(env, table, error);
}

bool KeyboardSettings::writeCodes(DataEnvironment& env, clsVX& vx, QString* error)
{
    KeyCodeTable table;
    return loadCodesFromProject(env, table, error) && vx.SaveTastaturcodes(table, error);
}

KeyCodeTable KeyboardSettings::standardTable()
{
    KeyCodeTable table;
    for (int n = 1; n <= clsVXKeyboard::kKeys; ++n)
        table.append({n, AnsiToString(QByteArray(1, static_cast<char>(96 + n))),
                      AnsiToString(QByteArray(1, static_cast<char>(64 + n)))});
    return table;
}

bool KeyboardSettings::loadCodesFromProject(DataEnvironment& env, KeyCodeTable& table,
                                            QString* error)
{
    if (!openCommand(env, kCodes, error))
        return false;
    Recordset& rs = env.recordset(kCodes);
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

bool KeyboardSettings::storeCodesToProject(DataEnvironment& env, const KeyCodeTable& table,
                                           QString* error)
{
    if (!openCommand(env, kCodes, error))
        return false;
    Recordset& rs = env.recordset(kCodes);
    if (rs.editing())
        rs.cancelUpdate();
    QSqlDatabase db = env.database(DataEnvironment::kProjekt);
    // Inside the project save's transaction a second one cannot start; it covers us then.
    const bool own = db.transaction();
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
    const QString why = q.lastError().text();
    if (ok && own)
        ok = db.commit();
    if (!ok) {
        if (own)
            db.rollback();
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
