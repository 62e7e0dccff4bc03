// The state dump of VxTerminal (format described in docs/vxsim.md).
#include "sim/VxTerminal.h"

#include <QTextStream>

#include <algorithm>

namespace vemro {

namespace {

QString hex2(int v)
{
    return QStringLiteral("%1").arg(v & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString VxTerminal::stateText() const
{
    QString text;
    QTextStream s(&text);
    s << "[terminal]\n";
    s << "firmware=" << m_options.firmware << "\n";
    s << "sernr=" << m_serialNumber << "\n";
    s << "speed=" << baudRate() << "\n";
    s << "interface=" << (rs485() ? "RS485/422" : "RS232") << "\n";
    s << "speedpending=";
    if (m_pendingSpeedCode >= 0)
        s << baudForCode(m_pendingSpeedCode) << (m_pendingSpeedCode & 4 ? " RS485/422" : " RS232");
    else
        s << "-";
    s << "\n";
    s << "mode=" << m_cfg.mode << "\n";
    s << "parameterform=" << (decimalForm() ? "decimal" : "byte") << "\n";
    s << "festtextport=" << m_cfg.festtextPort << "\n";
    s << "bootloader=" << (m_boot.active() ? 1 : 0) << "\n";
    s << "[display]\n";
    s << "rows=" << m_display.rows() << "\n";
    s << "cols=" << m_display.cols() << "\n";
    s << "cursor=" << m_display.cursorRow() + 1 << "," << m_display.cursorCol() + 1 << "\n";
    s << "backlight=" << (backlight() ? 1 : 0) << "\n";
    s << "contrast=" << contrast() << "\n";
    for (int r = 0; r < m_display.rows(); ++r)
        s << "line" << r + 1 << "=|" << displayLine(r) << "|\n";
    s << "[ports]\n";
    for (int p = 0; p < kPorts; ++p)
        s << "port" << p << "=out " << hex2(portOutput(p)) << " in " << hex2(portValue(p)) << "\n";
    s << "analog=" << analogValue() << "\n";
    s << "[keyboard]\n";
    const KeyboardConfig& k = m_cfg.keyboard;
    s << "config=" << k.minPress << "," << k.timeUntilRepeat << "," << k.timeBetweenRepeat << ","
      << k.flags << "," << k.shiftKey << "\n";
    for (int key = 1; key <= kKeys; ++key)
        s << QStringLiteral("key%1=").arg(key, 2, 10, QLatin1Char('0')) << hex2(keyCode(key)) << " "
          << hex2(shiftCode(key)) << "\n";
    s << "[userchars]\n";
    for (int slot = 0; slot < VxDisplay::kSlots; ++slot) {
        s << "slot" << slot << "=";
        for (uchar row : m_display.userCharRows(slot))
            s << hex2(row) << " ";
        s << "swap " << hex2(m_display.swapCode(slot)) << "\n";
    }
    // What the EEPROM holds for the next reset (cells slot * 8 + row, swap codes at 64 + slot).
    for (int slot = 0; slot < VxDisplay::kSlots; ++slot) {
        s << "stored" << slot << "=";
        for (int row = 0; row < 8; ++row)
            s << hex2(eepromCell(slot * 8 + row)) << " ";
        s << "swap " << hex2(eepromCell(64 + slot)) << "\n";
    }
    // The fixed texts as the address table finds them: the bytes up to the 0 (or an erased
    // 255), "-" for a number that points at the empty text of 0x0200, "?" for an address
    // outside the text area.
    s << "[festtexte]\n";
    for (int n = 0; n < 128; ++n) {
        const int start = eepromCell(0x0100 + 2 * n) * 256 + eepromCell(0x0101 + 2 * n);
        s << QStringLiteral("text%1=").arg(n, 3, 10, QLatin1Char('0'));
        if (start == 0x0200) {
            s << "-\n";
            continue;
        }
        if (start < 0x0201 || start >= m_eeprom.size()) {
            s << "?\n";
            continue;
        }
        int end = start;
        while (end < m_eeprom.size() && eepromCell(end) != 0 && eepromCell(end) != 255)
            ++end;
        s << QString::fromLatin1(m_eeprom.mid(start, end - start).toHex(' ').toUpper()) << "\n";
    }
    s << "[eeprom]\n";
    s << "size=" << m_eeprom.size() << "\n";
    for (int a = 0; a < m_eeprom.size(); a += 32)
        s << QStringLiteral("%1: ").arg(a, 4, 16, QLatin1Char('0')).toUpper()
          << QString::fromLatin1(m_eeprom.mid(a, 32).toHex(' ').toUpper()) << "\n";
    return text;
}

bool VxTerminal::loadState(const QString& text, QString* error)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.isEmpty() || lines.first().trimmed() != QLatin1String("[terminal]")) {
        if (error)
            *error = QStringLiteral("keine vxsim-Zustandsdatei");
        return false;
    }
    Config cfg = m_saved;
    QString sernr = m_serialNumber;
    int speed = baudRate();
    bool rs485Kind = rs485();
    QByteArray eeprom = m_eeprom;
    QString section;
    const auto number = [](const QString& s, int lo, int hi, int fallback) {
        bool ok = false;
        const int v = s.trimmed().toInt(&ok);
        return ok && v >= lo && v <= hi ? v : fallback;
    };
    const auto hexByte = [](const QString& s, int fallback) {
        bool ok = false;
        const int v = s.toInt(&ok, 16);
        return ok && s.size() == 2 && v >= 0 && v <= 255 ? v : fallback;
    };
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            section = line;
            continue;
        }
        if (section == QLatin1String("[eeprom]")) {
            const int colon = line.indexOf(QLatin1Char(':'));
            if (colon <= 0)
                continue;
            bool ok = false;
            const int base = line.left(colon).toInt(&ok, 16);
            if (!ok || base < 0 || base >= eeprom.size())
                continue;
            const QStringList cells =
                line.mid(colon + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (int i = 0; i < cells.size() && base + i < eeprom.size(); ++i)
                eeprom[base + i] =
                    static_cast<char>(hexByte(cells[i], static_cast<uchar>(eeprom.at(base + i))));
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq);
        const QString value = line.mid(eq + 1);
        if (key == QLatin1String("sernr"))
            sernr = value.left(32);
        else if (key == QLatin1String("speed"))
            speed = number(value, 0, 1000000, speed);
        else if (key == QLatin1String("interface"))
            rs485Kind = value.startsWith(QLatin1String("RS485"));
        else if (key == QLatin1String("mode"))
            cfg.mode = number(value, 0, 255, cfg.mode) & ~4;
        else if (key == QLatin1String("festtextport"))
            cfg.festtextPort = number(value, 0, kPorts - 1, cfg.festtextPort);
        else if (key == QLatin1String("rows"))
            cfg.rows = number(value, 1, VxDisplay::kMaxRows, cfg.rows);
        else if (key == QLatin1String("cols"))
            cfg.cols = number(value, 1, VxDisplay::kMaxCols, cfg.cols);
        else if (key == QLatin1String("contrast"))
            cfg.port0 = (cfg.port0 & ~0x0F) | number(value, 0, 15, cfg.port0 & 0x0F);
        else if (key == QLatin1String("backlight"))
            cfg.port0 =
                number(value, 0, 1, 1) ? (cfg.port0 | kBacklightBit) : (cfg.port0 & ~kBacklightBit);
        else if (key == QLatin1String("config")) {
            const QStringList v = value.split(QLatin1Char(','));
            if (v.size() == 5)
                cfg.keyboard = KeyboardConfig{
                    number(v[0], 0, 255, 5), number(v[1], 0, 255, 50), number(v[2], 0, 255, 10),
                    number(v[3], 0, 255, 16) & 63, number(v[4], 0, kKeys, 0)};
        } else if (key.startsWith(QLatin1String("key")) && key.size() == 5) {
            const int k = number(key.mid(3), 1, kKeys, 0);
            const QStringList v = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (k > 0 && v.size() == 2) {
                cfg.codes[k - 1] = static_cast<uchar>(hexByte(v[0], cfg.codes[k - 1]));
                cfg.shiftCodes[k - 1] = static_cast<uchar>(hexByte(v[1], cfg.shiftCodes[k - 1]));
            }
        }
    }
    const int code = speed == 9600 ? 0 : speed == 38400 ? 2 : 1;
    m_serialNumber = sernr;
    m_eeprom = eeprom;
    m_saved = cfg;
    m_pendingSpeedCode = -1;
    setSpeedCode(code + (rs485Kind ? 4 : 0));
    reset();
    return true;
}

} // namespace vemro
