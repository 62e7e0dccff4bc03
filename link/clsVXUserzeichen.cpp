// User-defined characters into the terminal's EEPROM (cells 0..71) and the key code table
// into the keyboard: the two long transfers of clsVX that run over the project's tables.
#include "link/KeyCodeNotation.h"
#include "link/clsVX.h"
#include "platform/Bytes.h"
#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/ProgressScope.h"
#include "platform/clsInfo.h"

#include <QStringList>

namespace vemro {

namespace {

constexpr int kCells = 72;
constexpr int kSwapBase = 64;
constexpr int kMaxCell = 255;

QString nothingSent(const QString& what, const QString& hint)
{
    return what + QStringLiteral("; es wurde nichts an das Terminal gesendet. ") + hint;
}

const QString kCorrectValue = QStringLiteral("Bitte den Wert im Projekt korrigieren.");

} // namespace

QString clsVX::UserzeichenProblem(const UserCharSet& chars)
{
    for (int slot = 0; slot < 8; ++slot) {
        const UserChar& c = chars[static_cast<size_t>(slot)];
        if (!c.present)
            continue;
        for (int row = 0; row < 8; ++row) {
            const int v = c.rows[static_cast<size_t>(row)];
            if (v < 0 || v > kMaxCell)
                return nothingSent(QStringLiteral("Unmöglicher Wert %1 für Zeichenbyte%2 von "
                                                  "Zeichen %3 (erlaubt 0 bis 255)")
                                       .arg(v)
                                       .arg(row)
                                       .arg(slot),
                                   kCorrectValue);
        }
        // A character the code page lacks would go out as "?" and make every "?" on the
        // display show this slot.
        if (!c.Tauschzeichen.isEmpty() && AnsiCode(c.Tauschzeichen.at(0)) < 0)
            return nothingSent(QStringLiteral("Das Tauschzeichen „%1“ von Zeichen %2 "
                                              "hat keinen Zeichencode (ANSI)")
                                   .arg(c.Tauschzeichen.at(0))
                                   .arg(slot),
                               QStringLiteral("Bitte gültiges Tauschzeichen angeben."));
    }
    return QString();
}

bool clsVX::SaveUserzeichen(const UserCharSet& chars, QString* error)
{
    const QString problem = UserzeichenProblem(chars);
    if (!problem.isEmpty()) {
        Info().show(problem, 0);
        if (error)
            *error = problem;
        return false;
    }
    ProgressScope progress(m_progress, kCells);
    QStringList unconfirmed;
    // One confirmed cell write; false when the transfer has to stop.
    auto writeCell = [&](int address, int value, const QByteArray& byteFormValue) {
        QByteArray command = globals().EscChar + "E0";
        if (ParameterMode != 0)
            command += ',' + QByteArray::number(address) + ',' + QByteArray::number(value) + ';';
        else
            command += ByteOf(address) + byteFormValue;
        globals().CommandBuffer = command;
        if (!Send(globals().CommandBuffer, true, true))
            return true;
        const LinkError code = lastError();
        QString stop;
        if (code == LinkError::Nak)
            stop = kEEPromWriteError;
        else if (code == LinkError::Timeout)
            stop = kConnectionError;
        if (stop.isEmpty()) {
            unconfirmed << QString::number(address); // the terminal may not hold it
            return true;
        }
        Info().show(stop, 0);
        if (error)
            *error = stop;
        return false;
    };

    for (int slot = 0; slot < 8; ++slot) {
        const UserChar& c = chars[static_cast<size_t>(slot)];
        for (int row = 0; row < 8; ++row) {
            // A slot the project has no record for is written blank.
            const int value = c.present ? c.rows[static_cast<size_t>(row)] : 0;
            progress.set(slot * 8 + row);
            if (!writeCell(slot * 8 + row, value, ByteOf(value)))
                return false;
        }
        WaitMS(kUserCharSlotWaitMs);
    }
    for (int slot = 0; slot < 8; ++slot) {
        const UserChar& c = chars[static_cast<size_t>(slot)];
        int code = 0;
        if (c.present && !c.Tauschzeichen.isEmpty())
            code = AnsiCode(c.Tauschzeichen.at(0));
        progress.set(kSwapBase + slot);
        if (!writeCell(kSwapBase + slot, code, ByteOf(code)))
            return false;
    }
    if (!unconfirmed.isEmpty()) {
        const QString text =
            QStringLiteral("Das Terminal hat %1 Zelle(n) nicht bestätigt (Adressen %2); die "
                           "Zeichen sind möglicherweise nicht vollständig gespeichert.")
                .arg(unconfirmed.size())
                .arg(unconfirmed.join(QStringLiteral(", ")));
        Info().show(text, 0);
        if (error)
            *error = text;
        return false;
    }
    return true;
}

QString clsVX::TastaturcodesProblem(const KeyCodeTable& table)
{
    QList<int> seen;
    for (const KeyCodeRow& row : table) {
        const int n = row.TastenNr;
        if (n < 1 || n > clsVXKeyboard::kKeys)
            return nothingSent(
                QStringLiteral("Unmöglicher Wert %1 für TastenNr (erlaubt 1 bis 32)").arg(n),
                kCorrectValue);
        if (seen.contains(n))
            return nothingSent(
                QStringLiteral("Taste %1 steht mehrmals in der Tastentabelle").arg(n),
                QStringLiteral("Bitte die Tastentabelle im Projekt korrigieren."));
        seen << n;
        QString reason;
        if (!KeyCodeNotation::Check(row.Tastencode, false, &reason) ||
            !KeyCodeNotation::Check(row.Tastencode_Shift, true, &reason))
            return nothingSent(QStringLiteral("Taste %1: %2").arg(n).arg(reason), kCorrectValue);
    }
    return QString();
}

bool clsVX::SaveTastaturcodes(const KeyCodeTable& table, QString* error)
{
    // The terminal ignores a key it does not have and answers no write: what it cannot take
    // is refused here, before the first key.
    const QString problem = TastaturcodesProblem(table);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    ProgressScope progress(m_progress, clsVXKeyboard::kKeys + 1);
    QStringList refused;
    int done = 0;
    for (const KeyCodeRow& row : table) {
        QByteArray code = StringToAnsi(row.Tastencode);
        QByteArray shift = StringToAnsi(row.Tastencode_Shift);
        QString reason;
        if (!m_keyboard->SetKeycode(static_cast<qint16>(row.TastenNr), code, shift, &reason)) {
            refused << reason;
            if (m_lastError == LinkError::LinkBroken) {
                // The line is gone: the keys after this one would each fail the same way.
                const qsizetype left = table.size() - done - 1;
                if (left > 0)
                    refused << QStringLiteral("%1 weitere Tasten nicht gesendet").arg(left);
                break;
            }
        } else {
            WaitMS(kKeycodeWaitMs);
        }
        progress.set(++done);
    }
    if (refused.isEmpty())
        return true;
    if (error)
        *error = QStringLiteral("nicht gesendet: ") + refused.join(QStringLiteral("; "));
    return false;
}

} // namespace vemro
