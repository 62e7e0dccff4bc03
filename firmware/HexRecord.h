#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vemro {

// One record of an Intel HEX update file, as read from one line.
struct HexRecord
{
    // The format's count field is one byte.
    static constexpr int kMaxDataBytes = 255;

    char startCharacter = 0; // ':' in a well-formed file; stored, never checked
    qint16 count = 0;
    quint16 address = 0;
    qint16 type = 0;
    QByteArray data; // `count` bytes
    qint16 checksum = 0;
    int line = 0; // line of the file, from 1, for the messages
};

} // namespace vemro
