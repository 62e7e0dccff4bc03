#pragma once

#include <QByteArray>
#include <QVector>

#include <array>

namespace vemro {

// The character LCD of the virtual terminal: rows x columns of character codes, a cursor
// with automatic line wrap, and the eight user-defined characters (character-generator RAM)
// with their swap codes. A cell holds the byte the terminal received; codes 0 to 7 and any
// code equal to a slot's swap code show that slot.
class VxDisplay
{
public:
    static constexpr int kMaxRows = 8;
    static constexpr int kMaxCols = 80;
    static constexpr int kSlots = 8;

    VxDisplay(int rows, int cols);

    // Changes the geometry (clamped to 1..kMaxRows, 1..kMaxCols) and clears the screen.
    void setSize(int rows, int cols);
    [[nodiscard]] int rows() const { return m_rows; }
    [[nodiscard]] int cols() const { return m_cols; }

    void clear();
    // Writes one character at the cursor and advances it, wrapping to the next row after
    // the last column and to the first row after the last row.
    void putChar(uchar code);
    // CR and LF start the next row; LF directly after CR is part of the same line break.
    void newLine(uchar code);
    // Cursor position, 0-based; out-of-range values are clamped.
    void setCursor(int row, int col);
    [[nodiscard]] int cursorRow() const { return m_row; }
    [[nodiscard]] int cursorCol() const { return m_col; }
    void setCursorMode(int mode) { m_cursorMode = mode; }
    [[nodiscard]] int cursorMode() const { return m_cursorMode; }

    // Codes of one row (cols bytes).
    [[nodiscard]] QByteArray rowCodes(int row) const;
    // The slot a code shows, or -1 for an ordinary character.
    [[nodiscard]] int slotForCode(uchar code) const;

    void setUserChar(int slot, const std::array<uchar, 8>& pixelRows, uchar swapCode);
    [[nodiscard]] std::array<uchar, 8> userCharRows(int slot) const;
    [[nodiscard]] uchar swapCode(int slot) const;

private:
    int m_rows;
    int m_cols;
    int m_row = 0;
    int m_col = 0;
    int m_cursorMode = 0;
    bool m_lastWasCr = false;
    QVector<QByteArray> m_cells;
    std::array<std::array<uchar, 8>, kSlots> m_userRows{};
    std::array<uchar, kSlots> m_swap{};
};

} // namespace vemro
