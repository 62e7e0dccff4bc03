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

UserCharacters::UserCharacters(clsVX& vx, DataEnvironment& env) : m_vx(&vx), m_env(env) {}

bool UserCharacters::haveTerminal(QString* error) const
{
    if (m_vx)
        return true;
    if (error)
        *error = QStringLiteral("kein Terminalobjekt");
    return false;
}

bool UserCharacters::loadFromProject(UserCharSet& chars, QString* error)
{
    if (!openCommand(m_env, error))
        return false;
    Recordset& rs = m_env.recordset(kCommand);
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

bool UserCharacters::storeSlot(int slot, const UserChar& c, QString* error)
{
    if (!openCommand(m_env, error))
        return false;
    Recordset& rs = m_env.recordset(kCommand);
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

bool UserCharacters::writeToTerminal(QString* error)
{
    UserCharSet chars;
    if (!haveTerminal(error) || !loadFromProject(chars, error))
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
    const bool ok = m_vx->SaveUserzeichen(chars, error);
    // The transfer lets the event loop run: the terminal object may be gone after it.
    if (m_vx)
        m_vx->Reset();
    return ok;
}

bool UserCharacters::writeToEEProm(QString* error)
{
    UserCharSet chars;
    return haveTerminal(error) && loadFromProject(chars, error) &&
           m_vx->SaveUserzeichen(chars, error);
}

bool UserCharacters::readFromTerminal(UserCharSet& chars, QString* error)
{
    constexpr int kCells = 72;
    if (!haveTerminal(error))
        return false;
    ProgressScope progress(m_vx->ctlFortschritt(), kCells);
    UserCharSet read;
    for (int cell = 0; cell < kCells; ++cell) {
        // Each read lets the event loop run: the terminal object may be gone after it.
        if (!m_vx) {
            if (error)
                *error = clsVX::kConnectionError;
            return false;
        }
        const qint32 value = m_vx->GetextEEZelle(cell);
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
