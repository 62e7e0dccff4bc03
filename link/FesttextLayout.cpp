#include "link/FesttextLayout.h"

#include "link/Notation.h"

#include <algorithm>

namespace vemro {

bool LayoutFesttexte(const FesttextRows& rows, bool removeLF, FesttextLayout& out, QString* error)
{
    out = FesttextLayout{};
    out.starts.fill(kFesttextNone);
    FesttextRows sorted;
    for (const FesttextRow& row : rows) {
        if (row.DisplayNr >= 0 && row.DisplayNr < kFesttextCount)
            sorted.append(row);
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const FesttextRow& a, const FesttextRow& b) {
        return a.DisplayNr < b.DisplayNr;
    });
    int address = kFesttextFirst;
    for (const FesttextRow& row : sorted) {
        QByteArray bytes;
        try {
            bytes = FesttextToBytes(row.text, removeLF);
        } catch (const NotationError& e) {
            if (error) {
                *error = QStringLiteral("Festtext %1: %2").arg(row.DisplayNr).arg(e.description());
            }
            return false;
        }
        out.starts[static_cast<size_t>(row.DisplayNr)] = address;
        out.numbers.append(row.DisplayNr);
        out.bytes.append(bytes);
        out.textBytes += static_cast<int>(bytes.size());
        address += static_cast<int>(bytes.size()) + 1;
    }
    out.endAddress = address;
    return true;
}

QByteArray FesttextAddressTable(const FesttextLayout& layout)
{
    QByteArray table;
    table.reserve(2 * kFesttextCount);
    for (int start : layout.starts) {
        table.append(static_cast<char>((start >> 8) & 0xFF));
        table.append(static_cast<char>(start & 0xFF));
    }
    return table;
}

QByteArray FesttextBlockImage(const FesttextLayout& layout)
{
    QByteArray image = FesttextAddressTable(layout);
    image.append('\0');
    for (const QByteArray& bytes : layout.bytes) {
        image.append(bytes);
        image.append('\0');
    }
    image.append(QByteArray(8 - static_cast<int>(image.size() % 8), ' '));
    return image;
}

std::array<int, kFesttextCount> FesttextStarts(const QByteArray& table)
{
    std::array<int, kFesttextCount> starts{};
    for (int n = 0; n < kFesttextCount; ++n) {
        const int high = 2 * n < table.size() ? static_cast<uchar>(table.at(2 * n)) : 0xFF;
        const int low = 2 * n + 1 < table.size() ? static_cast<uchar>(table.at(2 * n + 1)) : 0xFF;
        starts[static_cast<size_t>(n)] = high * 256 + low;
    }
    return starts;
}

bool FesttextTablePlausible(const std::array<int, kFesttextCount>& starts, int memorySize)
{
    // A table of nothing but 0x0200 is what an empty set writes; it is plausible too.
    return std::all_of(starts.begin(), starts.end(), [memorySize](int start) {
        return start == kFesttextNone || (start >= kFesttextFirst && start < memorySize);
    });
}

int FesttextWriterFor(const QString& version)
{
    const QString pivot = QStringLiteral("2.6");
    if (version == pivot || version == QLatin1String("unbekannt"))
        return -1;
    return version.compare(pivot) > 0 ? 1 : 0;
}

} // namespace vemro
