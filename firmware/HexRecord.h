#pragma once

#include <QtGlobal>

#include <array>

namespace vemro {

// One record of an Intel HEX update file, as read field by field.
struct HexRecord
{
    static constexpr int kDataSlots = 17;

    char startCharacter = 0; // ':' in a well-formed file; stored, never checked
    qint16 count = 0;
    quint16 address = 0;
    qint16 type = 0;
    std::array<qint16, kDataSlots> data{};
    qint16 checksum = 0;
};

} // namespace vemro
