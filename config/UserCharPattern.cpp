#include "config/UserCharPattern.h"

#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/TextValue.h"

namespace vemro {

UserCharPattern UserCharPattern::fromRows(const std::array<int, kRows>& rows)
{
    UserCharPattern p;
    for (int row = 0; row < kRows; ++row) {
        for (int bit = 0; bit < kCols; ++bit)
            p.setPixel(row * kCols + (kCols - 1 - bit),
                       (rows[static_cast<size_t>(row)] >> bit) & 1);
    }
    return p;
}

bool UserCharPattern::pixel(int index) const
{
    return index >= 0 && index < kPixels && m_pixels[static_cast<size_t>(index)];
}

void UserCharPattern::setPixel(int index, bool set)
{
    if (index >= 0 && index < kPixels)
        m_pixels[static_cast<size_t>(index)] = set;
}

void UserCharPattern::toggle(int index)
{
    setPixel(index, !pixel(index));
}

void UserCharPattern::clear()
{
    m_pixels.fill(false);
}

void UserCharPattern::invert()
{
    for (bool& p : m_pixels)
        p = !p;
}

void UserCharPattern::rotateRight()
{
    for (int row = 0; row < kRows; ++row) {
        const bool last = pixel(row * kCols + kCols - 1);
        for (int col = kCols - 1; col > 0; --col)
            setPixel(row * kCols + col, pixel(row * kCols + col - 1));
        setPixel(row * kCols, last);
    }
}

void UserCharPattern::rotateLeft()
{
    for (int row = 0; row < kRows; ++row) {
        const bool first = pixel(row * kCols);
        for (int col = 0; col < kCols - 1; ++col)
            setPixel(row * kCols + col, pixel(row * kCols + col + 1));
        setPixel(row * kCols + kCols - 1, first);
    }
}

void UserCharPattern::rotateUp()
{
    for (int col = 0; col < kCols; ++col) {
        const bool top = pixel(col);
        for (int row = 0; row < kRows - 1; ++row)
            setPixel(row * kCols + col, pixel((row + 1) * kCols + col));
        setPixel((kRows - 1) * kCols + col, top);
    }
}

void UserCharPattern::rotateDown()
{
    for (int col = 0; col < kCols; ++col) {
        const bool bottom = pixel((kRows - 1) * kCols + col);
        for (int row = kRows - 1; row > 0; --row)
            setPixel(row * kCols + col, pixel((row - 1) * kCols + col));
        setPixel(col, bottom);
    }
}

int UserCharPattern::rowCode(int row) const
{
    int value = 0;
    for (int col = 0; col < kCols; ++col) {
        if (pixel(row * kCols + col))
            value += 16 >> col;
    }
    return value;
}

std::array<int, UserCharPattern::kRows> UserCharPattern::rows() const
{
    std::array<int, kRows> r{};
    for (int row = 0; row < kRows; ++row)
        r[static_cast<size_t>(row)] = rowCode(row);
    return r;
}

QString UserCharPattern::rowCodeText(int value)
{
    const QString h = QString::number(value, 16).toUpper();
    return (h.size() == 1 ? QStringLiteral("&H0") : QStringLiteral("&H")) + h;
}

bool UserCharPattern::directLoadCommand(int slot, const QString& swapText,
                                        const QString& swapCodeText,
                                        const std::array<int, kRows>& rows, bool decimalForm,
                                        QByteArray* command, QString* error)
{
    if (swapText.size() != 1 || AnsiCode(swapText.at(0)) < 0) {
        if (error)
            *error = QStringLiteral("Bitte gültiges Tauschzeichen angeben");
        return false;
    }
    QByteArray c = globals().EscChar + "LZ";
    if (decimalForm) {
        c += QByteArray::number(slot) + ',' + QByteArray::number(swapCodeValue(swapCodeText));
        for (int r : rows)
            c += ',' + QByteArray::number(r);
        c += ';';
    } else {
        c += static_cast<char>(slot);
        c += StringToAnsi(swapText);
        for (int r : rows)
            c += static_cast<char>(r & 0xFF);
    }
    *command = c;
    return true;
}

QString UserCharPattern::swapCharKept(const QString& typed)
{
    return typed.left(1);
}

QString UserCharPattern::swapCodeForChar(const QString& kept)
{
    if (kept.isEmpty())
        return QStringLiteral("0");
    const int code = AnsiCode(kept.at(0));
    return QString::number(code < 0 ? 0 : code);
}

int UserCharPattern::swapCodeValue(const QString& typed)
{
    const qint64 v = TextValueInt(typed);
    return (v < 0 || v > 255) ? 0 : static_cast<int>(v);
}

QString UserCharPattern::swapCharForCode(int code)
{
    return QString(AnsiChar(static_cast<uchar>(code & 0xFF)));
}

} // namespace vemro
