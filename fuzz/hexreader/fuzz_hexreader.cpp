#include "firmware/HexFileReader.h"

#include <cstddef>
#include <cstdint>

// Update files of any content: either a refusal with a message, or an image the bootloader
// can send (whole 16-byte blocks from an even address, inside the program window).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const vemro::HexReadResult r = vemro::HexFileReader::read(text);
    if (!r.ok) {
        if (r.error.isEmpty())
            __builtin_trap();
        return 0;
    }
    const vemro::UpdateImage& image = r.image;
    if (image.bytes.isEmpty() || image.bytes.size() != image.length || image.length % 16 != 0)
        __builtin_trap();
    // The bootloader writes words: an image never starts at an odd address.
    if (image.startAddress < 0 || image.startAddress > vemro::HexFileReader::kWindowEnd ||
        image.startAddress % 2 != 0)
        __builtin_trap();
    if (image.bytes.size() > vemro::HexFileReader::kWindowEnd + 32)
        __builtin_trap();
    if (r.records > vemro::HexFileReader::kTableSlots)
        __builtin_trap();
    return 0;
}
