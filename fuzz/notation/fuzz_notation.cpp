#include "link/Notation.h"

#include <cstddef>
#include <cstdint>

// Any text is decoded or refused with NotationError; raw bytes always turn into notation,
// and notation of a raw text with an ESC and without "<", braces and code 1 decodes back;
// the editor's form of fixed-text bytes writes back the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    for (bool removeLF : {false, true}) {
        try {
            const QByteArray raw = vemro::FilterSteuerzeichen(bytes, removeLF);
            if (!bytes.contains("<ESC>") && !removeLF && raw != bytes)
                __builtin_trap(); // text without "<ESC>" passes unchanged
        } catch (const vemro::NotationError&) {
        }
    }
    try {
        (void)vemro::TextToSteuerzeichen(bytes);
    } catch (const vemro::NotationError&) {
    }
    const QByteArray text = vemro::SteuerzeichenToText(bytes);
    QByteArray candidate = QByteArray(1, '\x1b') + bytes;
    candidate.replace('<', QByteArray()).replace('{', QByteArray()).replace('}', QByteArray());
    candidate.replace('\x01', QByteArray());
    if (vemro::FilterSteuerzeichen(vemro::SteuerzeichenToText(candidate), false) != candidate)
        __builtin_trap();
    (void)text;
    // Whatever a terminal sends (code-1 pairs included) shows as notation that can be sent
    // again: without a "<" of its own the raw text decodes without error.
    QByteArray readBack = QByteArray(1, '\x1b') + bytes;
    readBack.replace('<', QByteArray());
    try {
        (void)vemro::FilterSteuerzeichen(vemro::SteuerzeichenToText(readBack), false);
    } catch (const vemro::NotationError&) {
        __builtin_trap();
    }
    // A fixed text read back gives its form, which the writer turns into the same bytes.
    if (!bytes.contains('\0') && (bytes.contains('\x1b') || !bytes.contains("<ESC>"))) {
        try {
            if (vemro::FesttextToBytes(vemro::FesttextFromBytes(bytes), false) != bytes)
                __builtin_trap();
        } catch (const vemro::NotationError&) {
            __builtin_trap();
        }
    }
    return 0;
}
