#pragma once

#include <QByteArray>

namespace vemro {

// The low eight bits of `value` as one byte: a number in the byte form of the terminal's
// commands.
[[nodiscard]] inline QByteArray ByteOf(int value)
{
    return QByteArray(1, static_cast<char>(static_cast<uchar>(value & 0xFF)));
}

} // namespace vemro
