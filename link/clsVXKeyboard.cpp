#include "link/clsVXKeyboard.h"

#include "link/KeyCodeNotation.h"
#include "link/clsVX.h"
#include "platform/Bytes.h"
#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/TextValue.h"

namespace vemro {

namespace {

qint16 itemNumber(const QByteArray& item)
{
    return static_cast<qint16>(RoundHalfEven(TextValue(item)));
}

} // namespace

clsVXKeyboard::~clsVXKeyboard()
{
    m_terminal = nullptr;
    m_parameters.clear();
}

bool clsVXKeyboard::query(const QByteArray& command, const QByteArray& endChar)
{
    m_parameters.clear();
    if (!m_terminal) {
        m_lastResult = true;
        return false;
    }
    QByteArray text = command;
    m_lastResult = m_terminal->GetParameter(text, m_parameters, endChar);
    return !m_lastResult;
}

QByteArray clsVXKeyboard::itemChar(const QByteArray& item) const
{
    if (m_terminal && m_terminal->ParameterMode == 0 && !item.isEmpty())
        return ByteOf(static_cast<int>(RoundHalfEven(TextValue(item))));
    return item;
}

QByteArray clsVXKeyboard::GetKeycode(qint16 n)
{
    if (n < 1 || n > kKeys)
        return StringToAnsi(QStringLiteral("ungültige TasteNr"));
    query("T?C" + QByteArray::number(n) + ';', QByteArrayLiteral(";"));
    if (m_terminal && m_terminal->ParameterMode != 0)
        return decimalKeycode();
    if (m_parameters.size() != 2)
        return QByteArrayLiteral("A");
    const QByteArray code = itemChar(m_parameters.at(0));
    const QByteArray shift = itemChar(m_parameters.at(1));
    if (code.size() != 1 || shift.size() != 1)
        return QByteArrayLiteral("A");
    return code + shift;
}

// The decimal reply is "C:" code "," shift ";" with the two codes as raw characters, so a
// code "," splits into more items and a code ";" ends the reception early. The reply has a
// fixed shape, so the two characters can still be told apart.
QByteArray clsVXKeyboard::decimalKeycode()
{
    const QByteArray body = m_parameters.join(',');
    if (body.size() == 3 && body.at(1) == ',')
        return body.left(1) + body.right(1);
    if (m_parameters.size() == 2 && body.size() == 2 && body.at(1) == ',')
        return body.left(1) + ';'; // the shift code ended the reception
    if (m_parameters.size() == 1 && body.isEmpty() && m_terminal) {
        // The unshifted code ended the reception; "," and the shift code follow.
        QByteArray rest;
        const bool failed = m_terminal->Receive(rest, QByteArrayLiteral(";"));
        if (ComPort* port = m_terminal->ctlcom())
            port->setReceiveEvents(true);
        if (!failed && rest.size() == 2 && rest.at(0) == ',')
            return ';' + rest.right(1);
        if (!failed && rest == ",")
            return QByteArrayLiteral(";;");
    }
    return QByteArrayLiteral("A");
}

int clsVXKeyboard::flags() const
{
    return (Polling ? kFlagPolling : 0) + (Repeat ? kFlagRepeat : 0) +
           (SendKeyUp ? kFlagSendKeyUp : 0) + (UseMatrix ? kFlagUseMatrix : 0) +
           (Key_LED ? kFlagKeyLed : 0) + (Key_Beep ? kFlagKeyBeep : 0);
}

void clsVXKeyboard::setFlags(int flags)
{
    Polling = flags & kFlagPolling;
    Repeat = flags & kFlagRepeat;
    SendKeyUp = flags & kFlagSendKeyUp;
    UseMatrix = flags & kFlagUseMatrix;
    Key_LED = flags & kFlagKeyLed;
    Key_Beep = flags & kFlagKeyBeep;
}

void clsVXKeyboard::GetConfig()
{
    query(QByteArrayLiteral("T?K"), QByteArrayLiteral(";"));
    if (m_parameters.size() == 5) {
        MinPress = itemNumber(m_parameters.at(0));
        TimeUntilRepeat = itemNumber(m_parameters.at(1));
        TimeBetweenRepeat = itemNumber(m_parameters.at(2));
        setFlags(itemNumber(m_parameters.at(3)));
        ShiftKey = itemNumber(m_parameters.at(4));
        return;
    }
    MinPress = 0;
    TimeUntilRepeat = 0;
    TimeBetweenRepeat = 0;
    setFlags(0);
}

void clsVXKeyboard::SaveConfig()
{
    if (!m_terminal)
        return;
    const QList<int> values{MinPress, TimeUntilRepeat, TimeBetweenRepeat, flags(), ShiftKey};
    QByteArray command = globals().EscChar + "TK";
    if (m_terminal->ParameterMode != 0) {
        for (int i = 0; i < values.size(); ++i) {
            if (i > 0)
                command += ',';
            command += QByteArray::number(values.at(i));
        }
        command += ';';
    } else {
        for (int v : values)
            command += ByteOf(v);
    }
    globals().CommandBuffer = command;
    m_terminal->Send(globals().CommandBuffer, false, true);
}

bool clsVXKeyboard::SetKeycode(qint16 n, QByteArray& code, QByteArray& shiftcode, QString* error)
{
    QByteArray codeByte;
    QByteArray shiftByte;
    QString reason;
    const bool ok = KeyCodeNotation::ToKeyByte(code, false, &codeByte, &reason) &&
                    KeyCodeNotation::ToKeyByte(shiftcode, true, &shiftByte, &reason);
    if (!ok) {
        if (error)
            *error = QStringLiteral("Taste %1: %2").arg(n).arg(reason);
        return false;
    }
    code = codeByte;
    shiftcode = shiftByte;
    if (code.isEmpty() || shiftcode.isEmpty() || !m_terminal)
        return true; // an empty code leaves the key as it is
    QByteArray command = globals().EscChar + "TC" + QByteArray::number(n);
    if (m_terminal->ParameterMode != 0) {
        command += ',' + QByteArray::number(static_cast<uchar>(code.at(0))) + ',' +
                   QByteArray::number(static_cast<uchar>(shiftcode.at(0))) + ';';
    } else {
        command += code.left(1) + shiftcode.left(1);
    }
    globals().CommandBuffer = command;
    if (!m_terminal->Send(globals().CommandBuffer, false, true))
        return true;
    if (error)
        *error =
            QStringLiteral("Taste %1: %2").arg(n).arg(QString::fromLatin1(globals().CommandBuffer));
    return false;
}

QByteArray clsVXKeyboard::LastKeyCode()
{
    query(QByteArrayLiteral("?T"), QByteArray());
    m_lastKeyCode = m_parameters.size() == 1 ? itemChar(m_parameters.first()) : QByteArray();
    return m_lastKeyCode;
}

} // namespace vemro
