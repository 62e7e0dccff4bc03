// The state dump of VxTerminal (format described in docs/vxsim.md).
#include "sim/VxTerminal.h"

#include <QTextStream>

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
    s << "mode=" << m_cfg.mode << "\n";
    s << "parameterform=" << (decimalForm() ? "decimal" : "byte") << "\n";
    s << "festtextport=" << m_cfg.festtextPort << "\n";
    s << "bootloader=" << (m_boot.active ? 1 : 0) << "\n";
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
    s << "[eeprom]\n";
    s << "size=" << m_eeprom.size() << "\n";
    for (int a = 0; a < m_eeprom.size(); a += 32) {
        s << QStringLiteral("%1:").arg(a, 4, 16, QLatin1Char('0')).toUpper();
        for (int i = a; i < a + 32 && i < m_eeprom.size(); ++i)
            s << " " << hex2(static_cast<uchar>(m_eeprom.at(i)));
        s << "\n";
    }
    return text;
}

} // namespace vemro
