// The terminal command set of clsVX: mode, display, I/O ports, analog input, EEPROM cells,
// serial number, fixed-text port, permanent saving and the memory size.
#include "link/clsVX.h"

#include "platform/Bytes.h"
#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/TextValue.h"

namespace vemro {

namespace {

constexpr int kFlagDecimal = 1;
constexpr int kFlagSendMode = 2;
constexpr int kFlagKeyboard = 8;
constexpr int kFlagIOPorts = 16;
constexpr int kFlagEinschaltmeldung = 32;
constexpr int kFlagFesttextmode = 64;
constexpr int kSaveKonfigWaitMs = 1000;
constexpr int kFesttextCount = 128;

qint64 itemValue(const QByteArray& item)
{
    return RoundHalfEven(TextValue(item));
}

} // namespace

// Parameters in the terminal's current form; nullopt when a value cannot travel as one byte.
QByteArray clsVX::parameterText(const QList<int>& values) const
{
    QByteArray text;
    if (ParameterMode != 0) {
        for (int i = 0; i < values.size(); ++i) {
            if (i > 0)
                text.append(',');
            text.append(QByteArray::number(values.at(i)));
        }
        text.append(';');
        return text;
    }
    for (int v : values) {
        if (v < 0 || v > 255)
            return QByteArray(); // cannot be one character: nothing is sent
        text.append(ByteOf(v));
    }
    return text;
}

void clsVX::sendCommand(const QByteArray& command)
{
    globals().CommandBuffer = command;
    Send(globals().CommandBuffer, false, true);
}

bool clsVX::queryParameters(const QByteArray& query, const QByteArray& endChar)
{
    globals().CommandBuffer = query;
    return !GetParameter(globals().CommandBuffer, m_parameterList, endChar);
}

int clsVX::modeFlags() const
{
    int flags = 0;
    if (ParameterMode == 1)
        flags += kFlagDecimal;
    if (SendMode == 2)
        flags += kFlagSendMode;
    if (m_keyboard && m_keyboard->enabled)
        flags += kFlagKeyboard;
    if (IOPortsEnabled)
        flags += kFlagIOPorts;
    if (Einschaltmeldung)
        flags += kFlagEinschaltmeldung;
    if (Festtextmode)
        flags += kFlagFesttextmode;
    return flags;
}

void clsVX::GetMode()
{
    queryParameters(QByteArrayLiteral("K?M"), QByteArrayLiteral(";"));
    const qint64 flags = m_parameterList.size() == 1 ? itemValue(m_parameterList.first()) : 0;
    ParameterMode = (flags & kFlagDecimal) ? 1 : 0;
    SendMode = (flags & kFlagSendMode) ? 2 : 0;
    if (m_keyboard)
        m_keyboard->enabled = (flags & kFlagKeyboard) != 0;
    IOPortsEnabled = (flags & kFlagIOPorts) != 0;
    Einschaltmeldung = (flags & kFlagEinschaltmeldung) != 0;
    Festtextmode = (flags & kFlagFesttextmode) != 0;
}

void clsVX::SetMode()
{
    sendCommand(globals().EscChar + "KM" + ByteOf(modeFlags()));
}

void clsVX::GetDisplaySize()
{
    queryParameters(QByteArrayLiteral("L?A"), QByteArrayLiteral(";"));
    if (m_parameterList.size() == 2) {
        Rows = static_cast<qint16>(itemValue(m_parameterList.at(0)));
        Cols = static_cast<qint16>(itemValue(m_parameterList.at(1)));
    }
}

void clsVX::SetDisplaySize()
{
    const QByteArray params = parameterText({Rows, Cols});
    if (!params.isEmpty())
        sendCommand(globals().EscChar + "LA" + params);
}

// The stored Backlight and Kontrast are the configured values (the project's, taken when it
// opens): a level sent here, such as a test value of the production test, does not replace
// them, so a later call with -1 sends the configuration again.
void clsVX::SetDisplayBacklight(int Wert)
{
    if (Wert < 0)
        Wert = Backlight;
    const QByteArray params = parameterText({Wert});
    if (!params.isEmpty())
        sendCommand(globals().EscChar + "LB" + params);
}

void clsVX::SetDisplayKontrast(int Wert)
{
    if (Wert < 0)
        Wert = Kontrast;
    if (Wert < 0 || Wert > 255)
        return; // one character cannot carry it (a negative stored value is no level)
    sendCommand(globals().EscChar + "LK" + ByteOf(Wert));
}

qint32 clsVX::GetIOPort(int PortNumber)
{
    QByteArray query = QByteArrayLiteral("?P");
    if (ParameterMode != 0) {
        query += QByteArray::number(PortNumber) + ';';
    } else {
        if (PortNumber < 0 || PortNumber > 255)
            return 0;
        query += ByteOf(PortNumber);
    }
    queryParameters(query, QByteArrayLiteral(";"));
    if (m_parameterList.size() != 1)
        return 0;
    // A 16-bit signed value: a port the terminal reports as -1 stays -1, not 65535.
    return static_cast<qint16>(static_cast<quint16>(itemValue(m_parameterList.first()) & 0xFFFF));
}

void clsVX::SetIOPort(int PortNumber, int Value)
{
    const QByteArray params = parameterText({PortNumber, Value});
    if (!params.isEmpty())
        sendCommand(globals().EscChar + "P" + params);
}

qint16 clsVX::Analog()
{
    m_analog = -1;
    queryParameters(QByteArrayLiteral("?A"), QByteArray());
    if (m_parameterList.size() == 2) {
        m_analog = static_cast<qint16>(4 * itemValue(m_parameterList.at(0)) +
                                       itemValue(m_parameterList.at(1)));
    }
    return m_analog;
}

qint32 clsVX::GetextEEZelle(int Adresse)
{
    const int high = (Adresse >> 8) & 0xFF;
    const int low = Adresse & 0xFF;
    QByteArray query = QByteArrayLiteral("?E");
    if (ParameterMode != 0)
        query += QByteArray::number(high) + ',' + QByteArray::number(low) + ';';
    else
        query += ByteOf(high) + ByteOf(low);
    queryParameters(query, QByteArrayLiteral(";"));
    if (m_parameterList.size() != 1)
        return -1;
    return static_cast<qint32>(itemValue(m_parameterList.first()));
}

bool clsVX::SetextEEZelle(int Adresse, int Wert)
{
    const QByteArray params = parameterText({(Adresse >> 8) & 0xFF, Adresse & 0xFF, Wert});
    if (params.isEmpty())
        return false;
    globals().CommandBuffer = globals().EscChar + "E" + params;
    return !Send(globals().CommandBuffer, true, true);
}

void clsVX::SetSerNr()
{
    SerNr = (QStringLiteral("000000") + SerNr).right(6);
    const QByteArray digits = StringToAnsi(SerNr);
    int sum = 0;
    for (char c : digits)
        sum += static_cast<uchar>(c);
    const int checksum = sum % 256;
    QByteArray command = globals().EscChar + "Ks";
    if (ParameterMode != 0) {
        for (char c : digits)
            command += QByteArray::number(static_cast<uchar>(c)) + ',';
        command += QByteArray::number(checksum) + ';';
    } else {
        command += digits + ByteOf(checksum);
    }
    sendCommand(command);
}

void clsVX::SetFesttextPort(int Portnummer)
{
    if (Portnummer < 0)
        Portnummer = FesttextPort;
    Portnummer = qAbs(Portnummer);
    const QByteArray params = parameterText({Portnummer});
    if (!params.isEmpty())
        sendCommand(globals().EscChar + "FP" + params);
}

void clsVX::SaveKonfig()
{
    globals().CommandBuffer = globals().EscChar + "KS";
    Send(globals().CommandBuffer, true, true);
    WaitMS(kSaveKonfigWaitMs);
}

void clsVX::ShowFesttext(int n)
{
    if (n < 0 || n >= kFesttextCount)
        return;
    sendCommand(globals().EscChar + "FZ" + QByteArray::number(n) + ';');
}

qint32 clsVX::EEPromSizeFromMap(const QList<int>& pageValues)
{
    // pageValues: (character code << 16) | value of each map character, in order.
    qint64 size = 0;
    int previous = '0';
    int previousValue = 0;
    qint64 run = 0;
    bool regular = true;
    for (int entry : pageValues) {
        const int key = entry >> 16;
        const int value = entry & 0xFFFF;
        if (key == previous) {
            ++run;
            continue;
        }
        if (run % 16 != 0)
            regular = false;
        size += run * 256 * previousValue;
        previous = key;
        previousValue = value;
        run = 1;
    }
    // The last run is not counted: only a following different character closes a run.
    const qint64 clamped = qBound<qint64>(0, size, qint64(0x7FFFFFFF));
    return static_cast<qint32>(regular ? clamped : -clamped);
}

qint32 clsVX::CheckEEProm()
{
    const bool ok = queryParameters(QByteArrayLiteral("K?E"), QByteArray());
    QList<int> entries;
    if (ok && ParameterMode != 0) {
        if (m_parameterList.size() == 1) {
            for (char c : m_parameterList.first()) {
                const int code = static_cast<uchar>(c);
                const int value = static_cast<int>(RoundHalfEven(TextValue(QByteArray(1, c))));
                entries.append((code << 16) | (value & 0xFFFF));
            }
        }
    } else if (ok) {
        // Byte form: every map character arrives as its own item, its value is its code.
        for (const QByteArray& item : m_parameterList) {
            const int code = static_cast<int>(itemValue(item)) & 0xFF;
            entries.append((code << 16) | code);
        }
    }
    return EEPromSizeFromMap(entries);
}

} // namespace vemro
