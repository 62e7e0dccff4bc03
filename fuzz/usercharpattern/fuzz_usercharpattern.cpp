#include "config/UserCharPattern.h"

#include <cstddef>
#include <cstdint>

// Row codes from a project (any numbers), the editor's operations, the swap boxes and the
// direct load: rows keep five bits, rotations come round, every code of a swap box is a
// byte, and the direct load has the shape of its form.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using vemro::UserCharPattern;
    std::array<int, UserCharPattern::kRows> rows{};
    size_t i = 0;
    for (int r = 0; r < UserCharPattern::kRows; ++r, i += 2) {
        const int hi = i < size ? static_cast<int8_t>(data[i]) : 0;
        const int lo = i + 1 < size ? data[i + 1] : 0;
        rows[static_cast<size_t>(r)] = hi * 997 + lo;
    }
    UserCharPattern p = UserCharPattern::fromRows(rows);
    for (int r = 0; r < UserCharPattern::kRows; ++r) {
        if (p.rowCode(r) != (rows[static_cast<size_t>(r)] & 0x1F))
            __builtin_trap();
        if (UserCharPattern::rowCodeText(p.rowCode(r)).size() != 4)
            __builtin_trap();
    }
    const UserCharPattern start = p;
    for (; i < size && i < 64; ++i) {
        const uint8_t op = data[i];
        switch (op % 8) {
        case 0:
            p.toggle(op / 8 - 1);
            break; // also indexes outside the matrix
        case 1:
            p.setPixel(op / 4 - 10, (op & 1) != 0);
            break;
        case 2:
            p.invert();
            break;
        case 3:
            p.rotateRight();
            break;
        case 4:
            p.rotateLeft();
            break;
        case 5:
            p.rotateUp();
            break;
        case 6:
            p.rotateDown();
            break;
        default:
            (void)p.pixel(op - 128);
            break;
        }
    }
    UserCharPattern q = start;
    for (int k = 0; k < UserCharPattern::kCols; ++k)
        q.rotateRight();
    for (int k = 0; k < UserCharPattern::kRows; ++k)
        q.rotateDown();
    q.invert();
    q.invert();
    if (!(q == start) || !(UserCharPattern::fromRows(start.rows()) == start))
        __builtin_trap();

    // The swap boxes with what a user may type (the rest of the input).
    const QString typed = i < size ? QString::fromUtf8(reinterpret_cast<const char*>(data + i),
                                                       static_cast<qsizetype>(size - i))
                                   : QString();
    const int code = UserCharPattern::swapCodeValue(typed);
    if (code < 0 || code > 255)
        __builtin_trap();
    const QString kept = UserCharPattern::swapCharKept(typed);
    const QString codeText = UserCharPattern::swapCodeForChar(kept);
    const int back = UserCharPattern::swapCodeValue(codeText);
    if (back < 0 || back > 255 || UserCharPattern::swapCharForCode(code).size() != 1)
        __builtin_trap();
    for (const bool decimal : {true, false}) {
        QByteArray command;
        QString error;
        const int slot = size > 0 ? data[0] % 8 : 0;
        if (UserCharPattern::directLoadCommand(slot, kept, codeText, p.rows(), decimal, &command,
                                               &error)) {
            if (kept.size() != 1 || !command.startsWith("\x1bLZ"))
                __builtin_trap();
            if (decimal ? !command.endsWith(';') : command.size() != 3 + 1 + 1 + 8)
                __builtin_trap();
        } else if (error.isEmpty()) {
            __builtin_trap();
        }
    }
    return 0;
}
