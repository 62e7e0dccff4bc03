#include "config/UserCharacters.h"

#include "link/clsVX.h"
#include "platform/Codepage.h"
#include "platform/ProgressScope.h"
#include "platform/clsInfo.h"
#include "project/DataEnvironment.h"

namespace vemro {

namespace {

const QString kCommand = QStringLiteral("cmdUserzeichen");
const QString kSlot = QStringLiteral("CGRamAdresse");

QString rowColumn(int row)
{
    return QStringLiteral("Zeichenbyte%1").arg(row);
}

bool openCommand(DataEnvironment& env, QString* error)
{
    if (!env.isOpen(DataEnvironment::kProjekt)) {
        if (error)
            *error = QStringLiteral("kein Projekt geöffnet");
        return false;
    }
    return env.ensureOpen(kCommand, error);
}

void restorePosition(Recordset& rs, int position)
{
    rs.moveFirst();
    while (!rs.eof() && rs.absolutePosition() < position)
        rs.moveNext();
}

} // namespace

bool UserCharacters::loadFromProject(DataEnvironment& env, UserCharSet& chars, QString* error)
{
    if (!openCommand(env, error))
        return false;
    Recordset& rs = env.recordset(kCommand);
    const int position = rs.absolutePosition();
    UserCharSet read;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const int slot = rs.value(kSlot).toInt();
        if (slot < 0 || slot > 7)
            continue;
        UserChar& c = read[static_cast<size_t>(slot)];
        if (c.present)
            continue; // the first record of a slot counts
        c.present = true;
        for (int row = 0; row < 8; ++row)
            c.rows[static_cast<size_t>(row)] = rs.value(rowColumn(row)).toInt();
        const QVariant swap = rs.value(QStringLiteral("Tauschzeichen"));
        c.Tauschzeichen = swap.isNull() ? QString() : swap.toString();
    }
    restorePosition(rs, position);
    chars = read;
    return true;
}

bool UserCharacters::storeSlot(DataEnvironment& env, int slot, const UserChar& c, QString* error)
{
    if (!openCommand(env, error))
        return false;
    Recordset& rs = env.recordset(kCommand);
    const int position = rs.absolutePosition();
    rs.moveFirst();
    if (!rs.find(kSlot, slot)) {
        if (!rs.addNew() || !rs.setValue(kSlot, slot)) {
            if (error)
                *error = rs.lastError();
            return false;
        }
    }
    for (int row = 0; row < 8; ++row)
        (void)rs.setValue(rowColumn(row), c.rows[static_cast<size_t>(row)] & 0x1F);
    (void)rs.setValue(QStringLiteral("Tauschzeichen"), c.Tauschzeichen);
    if (!rs.update()) {
        if (error)
            *error = rs.lastError();
        rs.cancelUpdate();
        return false;
    }
    restorePosition(rs, position);
    return true;
}

bool UserCharacters::writeToTerminal(DataEnvironment& env, clsVX& vx, QString* error)
{
    UserCharSet chars;
    if (!loadFromProject(env, chars, error))
        return false; // nothing was sent, so nothing to reset
    // Refused before the first cell: nothing changed, so no reset either (it would drop
    // settings not kept permanently).
    const QString problem = clsVX::UserzeichenProblem(chars);
    if (!problem.isEmpty()) {
        Info().show(problem, 0);
        if (error)
            *error = problem;
        return false;
    }
    const bool ok = vx.SaveUserzeichen(chars, error);
    vx.Reset();
    return ok;
}

bool UserCharacters::readFromTerminal(clsVX& vx, UserCharSet& chars, QString* error)
{
    constexpr int kCells = 72;
    ProgressScope progress(vx.ctlFortschritt(), kCells);
    UserCharSet read;
    for (int cell = 0; cell < kCells; ++cell) {
        const qint32 value = vx.GetextEEZelle(cell);
        if (value < 0 || value > 255) {
            if (error)
                *error = clsVX::kConnectionError;
            return false;
        }
        UserChar& c = read[static_cast<size_t>(cell < 64 ? cell / 8 : cell - 64)];
        c.present = true;
        if (cell < 64)
            c.rows[static_cast<size_t>(cell % 8)] = value;
        else if (value != 0)
            c.Tauschzeichen = QString(AnsiChar(static_cast<uchar>(value)));
        progress.step();
    }
    chars = read;
    return true;
}

} // namespace vemro
