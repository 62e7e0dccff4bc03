// User-defined characters into the terminal's EEPROM (cells 0..71) and the key code table
// into the keyboard: the two long transfers of clsVX that run over the project's tables.
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

} // namespace

bool clsVX::SaveUserzeichen(const UserCharSet& chars, QString* error)
{
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
        const qint32 code = lastError();
        QString stop;
        if (code == 1)
            stop = kEEPromWriteError;
        else if (code == 2)
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
            const int value = c.present ? (c.rows[static_cast<size_t>(row)] & 0xFF) : 0;
            progress.set(slot * 8 + row);
            if (!writeCell(slot * 8 + row, value, ByteOf(value)))
                return false;
        }
        WaitMS(kUserCharSlotWaitMs);
    }
    for (int slot = 0; slot < 8; ++slot) {
        const UserChar& c = chars[static_cast<size_t>(slot)];
        int code = 0;
        if (c.present && !c.Tauschzeichen.isEmpty()) {
            code = AnsiCode(c.Tauschzeichen.at(0));
            if (code < 0)
                code = '?';
        }
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

bool clsVX::SaveTastaturcodes(const KeyCodeTable& table, QString* error)
{
    ProgressScope progress(m_progress, clsVXKeyboard::kKeys + 1);
    QStringList refused;
    int done = 0;
    for (const KeyCodeRow& row : table) {
        QByteArray code = StringToAnsi(row.Tastencode);
        QByteArray shift = StringToAnsi(row.Tastencode_Shift);
        QString reason;
        if (!m_keyboard->SetKeycode(static_cast<qint16>(row.TastenNr), code, shift, &reason))
            refused << reason;
        else
            WaitMS(kKeycodeWaitMs);
        progress.set(++done);
    }
    if (refused.isEmpty())
        return true;
    if (error)
        *error = QStringLiteral("nicht gesendet: ") + refused.join(QStringLiteral("; "));
    return false;
}

} // namespace vemro
