#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vemro {

// The program image built from an update file: one byte per character, gaps filled with
// the erased word FF 3F (low byte first), padded to a multiple of 16 bytes.
struct UpdateImage
{
    QByteArray bytes;
    qint32 startAddress = -1; // address of the first data record; -1 while none was seen
    qint16 length = 0;        // bytes after padding
};

} // namespace vemro
