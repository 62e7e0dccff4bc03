#pragma once

#include <QByteArray>

namespace vemro::test {

// One Intel HEX record with its correct checksum, ended by CR LF.
inline QByteArray hexRecord(int type, int address, const QByteArray& data)
{
    QByteArray bytes;
    bytes += static_cast<char>(data.size());
    bytes += static_cast<char>((address >> 8) & 0xFF);
    bytes += static_cast<char>(address & 0xFF);
    bytes += static_cast<char>(type);
    bytes += data;
    int sum = 0;
    for (char c : bytes)
        sum += static_cast<uchar>(c);
    bytes += static_cast<char>((256 - sum % 256) % 256);
    return ':' + bytes.toHex().toUpper() + "\r\n";
}

inline QByteArray hexEnd()
{
    return hexRecord(1, 0, {});
}

// A whole update file laying `image` out from `start` in records of `perRecord` bytes.
inline QByteArray hexFile(const QByteArray& image, int start = 0, int perRecord = 16)
{
    QByteArray text;
    for (int i = 0; i < image.size(); i += perRecord)
        text += hexRecord(0, start + i, image.mid(i, perRecord));
    return text + hexEnd();
}

// A program image of `size` bytes whose blocks all differ.
inline QByteArray testImage(int size)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return image;
}

} // namespace vemro::test
