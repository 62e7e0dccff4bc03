#include "link/FesttextLayout.h"

#include <QByteArray>
#include <QList>
#include <QPair>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The fixed-text read ("vom Terminal lesen") of a terminal whose EEPROM holds the input from
// address 0x0100 on (the rest 0xFF). The cells come straight from the image, as the
// terminal's decimal replies make them; the length of the input picks the memory size the
// terminal reports (no answer, irregular, 8 KB, 16 KB, more than two-byte addresses reach), asked
// when the table points beyond 4 KB. Every number comes back at most once and within 0..127, no
// text holds its terminator, no cell is asked twice, and with a plausible address table each text
// is the bytes at its own address; without one the texts come in stored order, none empty.
namespace {

constexpr std::array<qint32, 5> kReportedSizes{0, -2 * vemro::kStandardEEPromSize,
                                               2 * vemro::kStandardEEPromSize,
                                               4 * vemro::kStandardEEPromSize, 0x7FFFFFFF};

QByteArray g_image;

int cell(int address)
{
    return address >= 0 && address < g_image.size() ? static_cast<uchar>(g_image.at(address))
                                                    : 0xFF;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int len = static_cast<int>(std::min<size_t>(size, vemro::kStandardEEPromSize - 0x100));
    g_image = QByteArray(vemro::kStandardEEPromSize, '\xFF');
    g_image.replace(vemro::kFesttextTable, len, reinterpret_cast<const char*>(data), len);
    const qint32 reported = kReportedSizes[size % kReportedSizes.size()];

    std::vector<bool> asked(static_cast<size_t>(vemro::kEEPromAddressSpace), false);
    std::array<bool, vemro::kFesttextCount> seen{};
    QList<QPair<int, QByteArray>> texts;
    bool sizeAsked = false;
    vemro::FesttextCellReader reader;
    reader.cell = [&](int address, int& value) {
        if (address < vemro::kFesttextTable || address >= int(asked.size()) ||
            asked[static_cast<size_t>(address)])
            __builtin_trap();
        asked[static_cast<size_t>(address)] = true;
        value = cell(address);
        return true;
    };
    reader.memorySize = [&]() -> std::optional<qint32> {
        sizeAsked = true;
        return reported;
    };
    reader.store = [&](int n, const QByteArray& text) {
        if (n < 0 || n >= vemro::kFesttextCount || seen[static_cast<size_t>(n)] ||
            text.contains('\0'))
            __builtin_trap();
        seen[static_cast<size_t>(n)] = true;
        texts.append({n, text});
        return true;
    };
    int steps = 0;
    reader.step = [&] { ++steps; };
    const vemro::FesttextReadResult result = vemro::ReadFesttexte(reader);
    if (steps > 2 * vemro::kFesttextCount || (result.unended >= 0 && result.ok))
        __builtin_trap();

    const auto starts = vemro::FesttextStarts(g_image.mid(vemro::kFesttextTable, 256));
    const int memory =
        sizeAsked ? std::clamp(reported, vemro::kStandardEEPromSize, vemro::kEEPromAddressSpace)
                  : vemro::kStandardEEPromSize;
    if (result.memory != memory)
        __builtin_trap();
    if (vemro::FesttextTablePlausible(starts, memory)) {
        for (const auto& [n, text] : texts) {
            QByteArray expected;
            for (int a = starts[static_cast<size_t>(n)]; a < memory; ++a) {
                const int v = cell(a);
                if (v == 0)
                    break;
                expected += static_cast<char>(v);
            }
            if (text != expected)
                __builtin_trap();
        }
    } else {
        for (int i = 0; i < texts.size(); ++i) {
            if (texts.at(i).first != i || texts.at(i).second.isEmpty())
                __builtin_trap();
        }
    }
    return 0;
}
