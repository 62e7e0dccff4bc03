#include "link/FesttextLayout.h"

#include "link/Notation.h"
#include "platform/Bytes.h"

#include <algorithm>
#include <vector>

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

namespace {

constexpr int kNoValue = 0x100; // a cell asked whose reply held no value

// Without a usable table the texts can only be counted in stored order.
FesttextReadResult readSequential(const FesttextCellReader& reader, int memory)
{
    FesttextReadResult result;
    result.memory = memory;
    int n = 0;
    QByteArray text;
    for (int address = kFesttextFirst; n < kFesttextCount; ++address) {
        if (address >= memory) {
            if (!text.isEmpty()) {
                result.unended = n;
                return result;
            }
            break;
        }
        int v = -1;
        if (!reader.cell(address, v))
            return result;
        if (v == 255)
            break;
        if (v > 0) {
            text.append(ByteOf(v));
        } else if (v == 0) {
            if (text.isEmpty())
                break;
            if (!reader.store(n, text))
                return result;
            text.clear();
            ++n;
            reader.step();
        }
    }
    result.ok = true;
    return result;
}

} // namespace

FesttextReadResult ReadFesttexte(const FesttextCellReader& reader)
{
    FesttextReadResult result;
    QByteArray table;
    for (int i = 0; i < 2 * kFesttextCount; ++i) {
        int v = -1;
        if (!reader.cell(kFesttextTable + i, v))
            return result;
        table.append(ByteOf(v < 0 ? 0xFF : v));
        if (i % 2 == 1)
            reader.step();
    }
    const std::array<int, kFesttextCount> starts = FesttextStarts(table);
    int memory = kStandardEEPromSize;
    const bool beyond = std::any_of(starts.begin(), starts.end(),
                                    [](int s) { return s >= kStandardEEPromSize && s != 0xFFFF; });
    if (beyond) {
        const std::optional<qint32> size = reader.memorySize();
        if (!size)
            return result;
        // A cell's address has two bytes: a larger size (a damaged or foreign page map)
        // would only ask the same cells again.
        memory = std::clamp(*size, memory, kEEPromAddressSpace);
    }
    result.memory = memory;
    if (!FesttextTablePlausible(starts, memory))
        return readSequential(reader, memory);

    // Each text from its own address: every number comes back as itself. Texts may share
    // bytes (a foreign or damaged table): each address is asked once, so the whole read
    // stays within the size of the memory.
    std::vector<int> cells(static_cast<size_t>(memory), -1);
    for (int n = 0; n < kFesttextCount; ++n) {
        const int start = starts[static_cast<size_t>(n)];
        if (start == kFesttextNone)
            continue;
        QByteArray text;
        bool ended = false;
        for (int address = start; address < memory && !ended; ++address) {
            int& cell = cells[static_cast<size_t>(address)];
            if (cell < 0) {
                int v = -1;
                if (!reader.cell(address, v))
                    return result;
                cell = v < 0 ? kNoValue : v;
            }
            // 255 is "ÿ" here: the table says where the text begins, its 0 where it ends.
            if (cell == 0)
                ended = true;
            else if (cell != kNoValue)
                text.append(ByteOf(cell));
        }
        if (!ended) {
            result.unended = n;
            return result;
        }
        if (!reader.store(n, text))
            return result;
        reader.step();
    }
    result.ok = true;
    return result;
}

} // namespace vemro
