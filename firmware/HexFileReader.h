#pragma once

#include "firmware/UpdateImage.h"

#include <QByteArray>
#include <QString>

namespace vemro {

// What reading an update file gave: the image, or the message that refuses the file.
struct HexReadResult
{
    bool ok = false;
    QString error;     // German text for the user when !ok
    UpdateImage image; // usable only when ok
    int records = 0;   // records read from the file
};

// Reads the text of an Intel HEX update file into the program image, one record a line
// (LF, CR LF or CR), data records of any length the format allows (0 to 255 bytes). Only
// data of the program window are placed. Every refusal names the line and what is wrong.
class HexFileReader
{
public:
    static constexpr int kTableSlots = 1001;
    static constexpr int kWindowEnd = 0x2000;
    static constexpr int kBlockBytes = 16;

    static inline const QString kChecksumError =
        QStringLiteral("Prüfsummenfehler beim Lesen der Datei");

    [[nodiscard]] static HexReadResult read(const QByteArray& content);

    // The erased program word, low byte first.
    [[nodiscard]] static QByteArray fillWord() { return QByteArray("\xFF\x3F", 2); }
};

} // namespace vemro
