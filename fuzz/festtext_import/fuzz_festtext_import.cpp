#include "config/FesttextFiles.h"
#include "config/FesttextPreview.h"

#include <cstddef>
#include <cstdint>

// Both import formats take any file: the older family's for a few display sizes, ours
// either refused or read, and what our format reads writes back to the same texts. The
// preview of every imported text ends.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const int rows = size > 0 ? 1 + data[0] % 8 : 2;
    const int cols = size > 1 ? data[1] % 45 : 16;
    const QStringList texts = vemro::ParseRkFesttexte(bytes, rows, cols, 128);
    if (texts.size() > 128)
        __builtin_trap();
    for (const QString& t : texts)
        (void)vemro::FesttextVorschau(t, cols, rows);

    QList<vemro::FesttextFileEntry> entries;
    QString error;
    if (vemro::ParseVxFesttexte(bytes, entries, &error)) {
        QList<vemro::FesttextFileEntry> again;
        if (!vemro::ParseVxFesttexte(vemro::WriteVxFesttexte(entries), again, &error) ||
            again.size() != entries.size())
            __builtin_trap();
        for (int i = 0; i < again.size(); ++i) {
            if (again.at(i).DisplayNr != entries.at(i).DisplayNr ||
                again.at(i).text != entries.at(i).text)
                __builtin_trap();
        }
    } else if (!entries.isEmpty()) {
        __builtin_trap();
    }
    QByteArray recognised = bytes;
    vemro::FesttextFileKind kind = vemro::FesttextFileKind::Rk;
    if (vemro::RecogniseFesttextFile(recognised, kind, &error) &&
        kind == vemro::FesttextFileKind::Rk)
        (void)vemro::RkFesttextBytes(recognised, &error);
    (void)vemro::IsFesttextRichText(vemro::FesttextRichText(QString::fromLatin1(bytes)));
    return 0;
}
