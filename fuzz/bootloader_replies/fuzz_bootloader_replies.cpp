#include "firmware/BootloaderReply.h"
#include "firmware/HexFileReader.h"
#include "firmware/clsBootloader.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

using vemro::BootloaderReceive;
using vemro::BootloaderReply;
using vemro::clsBootloader;
using vemro::LinkError;

namespace {

constexpr int kBlock = clsBootloader::kReadBlockBytes;
const std::array<LinkError, 5> kCodes{LinkError::None, LinkError::Nak, LinkError::Timeout,
                                      LinkError::LinkBroken, LinkError::UnexpectedReply};

// The text of a failed Receive as each transport hands it back.
QByteArray wrapped(const QByteArray& inner, int form)
{
    switch (form) {
    case 1:
        return inner + QByteArrayLiteral(" / TimeOut");
    case 2:
        return QByteArrayLiteral("TimeOut /") + inner + '/';
    default:
        return inner;
    }
}

void checkStep(const BootloaderReply::Step& step, const BootloaderReceive& reply, bool first)
{
    if (step.goOn != !reply.failed)
        __builtin_trap();
    if (step.goOn) {
        if (!step.error.isEmpty())
            __builtin_trap();
        return;
    }
    const bool known = step.error == clsBootloader::kLinkBroken ||
                       (first ? step.error == clsBootloader::kTransferError ||
                                    step.error == clsBootloader::kChecksumTransfer
                              : step.error == clsBootloader::kStoreError);
    if (!known)
        __builtin_trap();
}

void checkList(const QList<int>& positions, const QString& list)
{
    // The list's first 31 characters decide the text.
    QString full;
    for (int i = 0; i < positions.size() && full.size() <= 30; ++i)
        full += QString::number(positions.at(i)) + QStringLiteral(", ");
    if (full.size() <= 30 ? list != full
                          : list != full.left(25) + QStringLiteral("...") || list.size() != 28)
        __builtin_trap();
}

// A verify block: the image from the input's start address and length, the block either
// as the input gives it or the terminal's true block with the input's changes and cut.
void verify(const uint8_t* data, size_t size, const QByteArray& rest)
{
    if (size < 9)
        return;
    vemro::UpdateImage image;
    image.startAddress = ((data[2] << 8 | data[3]) % vemro::HexFileReader::kWindowEnd) & ~1;
    const int length = 16 * (1 + data[4] % 128);
    for (int i = 0; i < length; ++i)
        image.bytes += static_cast<char>((i * (data[5] | 1) + (i >> 8)) & 0xFF);
    image.length = static_cast<qint16>(length);

    const BootloaderReply::VerifyLayout layout = BootloaderReply::verifyLayout(image);
    if (layout.firstBlock * kBlock + layout.lead != image.startAddress || layout.lead < 0 ||
        layout.lead >= kBlock || layout.blocks < 1 ||
        qsizetype(layout.blocks) * kBlock != layout.lead + layout.image.size() ||
        !layout.image.startsWith(image.bytes))
        __builtin_trap();
    for (qsizetype i = image.bytes.size(); i < layout.image.size(); i += 2)
        if (layout.image.mid(i, 2) != vemro::HexFileReader::fillWord())
            __builtin_trap();

    const int n = data[6] % layout.blocks;
    const int skip = n == 0 ? layout.lead : 0;
    // What the block holds in program memory; before the start address anything.
    QByteArray truth(skip, '\x55');
    truth += layout.image.mid(qsizetype(n) * kBlock - layout.lead + skip, kBlock - skip);
    if (truth.size() != kBlock)
        __builtin_trap();

    BootloaderReceive reply;
    reply.failed = data[1] & 1;
    reply.code = kCodes[(data[1] >> 1) % kCodes.size()];
    std::array<uint8_t, kBlock> changed{};
    int keep = kBlock;
    const bool edited = data[7] & 1;
    if (edited) {
        reply.text = truth;
        for (qsizetype i = 0; i + 2 < rest.size(); i += 3) {
            const int p = ((uchar(rest[i]) << 8) | uchar(rest[i + 1])) % kBlock;
            reply.text[p] = static_cast<char>(reply.text[p] ^ rest[i + 2]);
            changed[p] ^= uchar(rest[i + 2]);
        }
        if (data[8] != 0)
            keep = data[8] * 2;
        reply.text.truncate(keep);
    } else {
        reply.text = rest;
    }

    const BootloaderReply::BlockCheck check = BootloaderReply::verifyBlock(layout, n, reply);
    if (check.linkBroken != reply.failed)
        __builtin_trap();
    if (reply.failed)
        return;
    if (check.matched != check.positions.isEmpty())
        __builtin_trap();
    // Every position of the block is listed exactly when it differs from program memory.
    const QByteArray& got = reply.text;
    int at = 0;
    for (int p = 1; p <= kBlock; ++p) {
        const int i = p - 1;
        const bool listed = at < check.positions.size() && check.positions[at] == p;
        if (listed)
            ++at;
        const bool differs = i >= skip && (i >= got.size() || got[i] != truth[i]);
        if (listed != differs)
            __builtin_trap();
        if (edited && differs != (i >= skip && (i >= keep || changed[i] != 0)))
            __builtin_trap();
    }
    if (at != check.positions.size())
        __builtin_trap();
    if (check.matched) {
        if (!check.message.isEmpty())
            __builtin_trap();
        return;
    }
    const QString head = QStringLiteral("Fehler beim Verify in Block ") +
                         QString::number(layout.firstBlock + n) + QStringLiteral(" Pos : ");
    if (!check.message.startsWith(head))
        __builtin_trap();
    checkList(check.positions, check.message.mid(head.size()));
}

} // namespace

// Replies of the bootloader as the session's Receive hands them back: the contact answer,
// the acknowledgements of a write block (either transport's time-out text) and the read
// blocks of a verify, compared with an image.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int form = (data[1] >> 4) % 3;
    const QByteArray rest(reinterpret_cast<const char*>(data) + 2, static_cast<int>(size - 2));
    BootloaderReceive reply;
    reply.failed = data[1] & 1;
    reply.code = kCodes[(data[1] >> 1) % kCodes.size()];
    reply.text = wrapped(rest, form);

    const QByteArray seen = BootloaderReply::collected(reply.text);
    if (!reply.text.contains(seen) || (form != 0 && seen != rest))
        __builtin_trap();

    switch (data[0] % 4) {
    case 0: {
        const BootloaderReply::Contact c = BootloaderReply::contact(reply);
        if (!reply.failed && c != BootloaderReply::Contact::Made)
            __builtin_trap();
        if (reply.failed && reply.code != LinkError::None && reply.code != LinkError::Timeout &&
            c != BootloaderReply::Contact::Failed)
            __builtin_trap();
        break;
    }
    case 1: {
        const BootloaderReply::Step step = BootloaderReply::received(reply);
        checkStep(step, reply, true);
        // Over either transport a refusal 232 as the first answer is the checksum message.
        const bool refusal = reply.failed && reply.code == LinkError::Timeout && form != 0 &&
                             !rest.isEmpty() && uchar(rest[0]) == clsBootloader::kChecksumWrong;
        if (form != 0 && refusal != (step.error == clsBootloader::kChecksumTransfer))
            __builtin_trap();
        break;
    }
    case 2:
        checkStep(BootloaderReply::stored(reply), reply, false);
        break;
    default:
        verify(data, size, size > 9 ? rest.mid(7) : QByteArray());
        break;
    }
    return 0;
}
