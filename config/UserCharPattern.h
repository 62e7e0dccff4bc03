#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace vemro {

// The 5 x 8 pixel matrix of the user-character editor without any widget: index = row * 5
// + column, column 0 leftmost (bit value 16 of the row code), row 0 on top.
class UserCharPattern
{
public:
    static constexpr int kRows = 8;
    static constexpr int kCols = 5;
    static constexpr int kPixels = kRows * kCols;

    UserCharPattern() = default;
    // Row codes as kept in the project; bits beyond the five columns are dropped.
    [[nodiscard]] static UserCharPattern fromRows(const std::array<int, kRows>& rows);

    [[nodiscard]] bool pixel(int index) const;
    void setPixel(int index, bool set);
    void toggle(int index);
    void clear();
    void invert();
    // Every row one column to the right; column 4 comes round to column 0.
    void rotateRight();
    void rotateLeft();
    // Every column one row up; row 0 comes round to row 7.
    void rotateUp();
    void rotateDown();

    [[nodiscard]] int rowCode(int row) const;
    [[nodiscard]] std::array<int, kRows> rows() const;
    // "&H" and two upper-case hexadecimal digits ("&H11", "&H01", "&H1F").
    [[nodiscard]] static QString rowCodeText(int value);

    // The direct load into the display's character RAM: decimal form ESC "LZ" slot ","
    // code "," b0 ... "," b7 ";", byte form ESC "LZ" slot swap b0..b7 as characters.
    // The swap text must be exactly one character ("Bitte gültiges Tauschzeichen angeben").
    [[nodiscard]] static bool directLoadCommand(int slot, const QString& swapText,
                                                const QString& swapCodeText,
                                                const std::array<int, kRows>& rows,
                                                bool decimalForm, QByteArray* command,
                                                QString* error);

    // The two mirrored swap boxes. Typed into the character box: the text it keeps and the
    // code box text ("0" when empty).
    [[nodiscard]] static QString swapCharKept(const QString& typed);
    [[nodiscard]] static QString swapCodeForChar(const QString& kept);
    // Typed into the code box: the code (0 for anything outside 0..255) and the character.
    [[nodiscard]] static int swapCodeValue(const QString& typed);
    [[nodiscard]] static QString swapCharForCode(int code);

    friend bool operator==(const UserCharPattern& a, const UserCharPattern& b)
    {
        return a.m_pixels == b.m_pixels;
    }

private:
    std::array<bool, kPixels> m_pixels{};
};

} // namespace vemro
