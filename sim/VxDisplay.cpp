#include "sim/VxDisplay.h"

#include <algorithm>

namespace vemro {

VxDisplay::VxDisplay(int rows, int cols) : m_rows(1), m_cols(1)
{
    setSize(rows, cols);
}

void VxDisplay::setSize(int rows, int cols)
{
    m_rows = std::clamp(rows, 1, kMaxRows);
    m_cols = std::clamp(cols, 1, kMaxCols);
    clear();
}

void VxDisplay::clear()
{
    m_cells = QVector<QByteArray>(m_rows, QByteArray(m_cols, ' '));
    m_row = 0;
    m_col = 0;
    m_lastWasCr = false;
}

void VxDisplay::putChar(uchar code)
{
    m_lastWasCr = false;
    m_cells[m_row][m_col] = static_cast<char>(code);
    if (++m_col >= m_cols) {
        m_col = 0;
        m_row = (m_row + 1) % m_rows;
    }
}

void VxDisplay::newLine(uchar code)
{
    if (code == '\n' && m_lastWasCr) {
        m_lastWasCr = false;
        return;
    }
    m_lastWasCr = code == '\r';
    m_col = 0;
    m_row = (m_row + 1) % m_rows;
}

void VxDisplay::setCursor(int row, int col)
{
    m_row = std::clamp(row, 0, m_rows - 1);
    m_col = std::clamp(col, 0, m_cols - 1);
    m_lastWasCr = false;
}

QByteArray VxDisplay::rowCodes(int row) const
{
    if (row < 0 || row >= m_rows)
        return {};
    return m_cells.at(row);
}

int VxDisplay::slotForCode(uchar code) const
{
    if (code < kSlots)
        return code;
    for (int s = 0; s < kSlots; ++s) {
        // 0 and the erased value 255 mean "no swap code".
        if (m_swap[s] != 0 && m_swap[s] != 255 && m_swap[s] == code)
            return s;
    }
    return -1;
}

void VxDisplay::setUserChar(int slot, const std::array<uchar, 8>& pixelRows, uchar swapCode)
{
    if (slot < 0 || slot >= kSlots)
        return;
    for (int r = 0; r < 8; ++r)
        m_userRows[slot][r] = pixelRows[r] & 0x1F;
    m_swap[slot] = swapCode;
}

std::array<uchar, 8> VxDisplay::userCharRows(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return {};
    return m_userRows[slot];
}

uchar VxDisplay::swapCode(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return 0;
    return m_swap[slot];
}

} // namespace vemro
