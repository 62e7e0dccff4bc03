#include "firmware/BootloaderReply.h"

#include "firmware/HexFileReader.h"
#include "firmware/clsBootloader.h"
#include "link/clsVX.h"
#include "platform/Codepage.h"

namespace vemro {

QByteArray BootloaderReply::collected(const QByteArray& text)
{
    static const QByteArray kSerialSuffix = QByteArrayLiteral(" / TimeOut");
    static const QByteArray kNetPrefix = QByteArrayLiteral("TimeOut /");
    if (text.endsWith(kSerialSuffix))
        return text.chopped(kSerialSuffix.size());
    if (text.startsWith(kNetPrefix) && text.endsWith('/')) {
        // "TimeOut /" alone: the slash is the prefix's own, nothing was collected.
        if (text.size() == kNetPrefix.size())
            return {};
        return text.mid(kNetPrefix.size()).chopped(1);
    }
    if (text == "TimeOut")
        return {};
    return text;
}

BootloaderReply::Contact BootloaderReply::contact(const BootloaderReceive& reply)
{
    if (!reply.failed)
        return Contact::Made;
    if (reply.text == StringToAnsi(clsVX::kBusy))
        return Contact::Failed;
    if (reply.code == LinkError::None)
        return Contact::Made;
    return reply.code == LinkError::Timeout ? Contact::TimedOut : Contact::Failed;
}

BootloaderReply::Step BootloaderReply::received(const BootloaderReceive& reply)
{
    if (!reply.failed)
        return {true, {}};
    if (reply.code != LinkError::Timeout)
        return {false, clsBootloader::kTransferError};
    const QByteArray seen = collected(reply.text);
    const bool refused =
        !seen.isEmpty() && static_cast<uchar>(seen.at(0)) == clsBootloader::kChecksumWrong;
    return {false, refused ? clsBootloader::kChecksumTransfer : clsBootloader::kLinkBroken};
}

BootloaderReply::Step BootloaderReply::stored(const BootloaderReceive& reply)
{
    if (!reply.failed)
        return {true, {}};
    // The terminal answered, but not "stored" (231 then 232): the block was refused, the
    // line is fine.
    const bool silent = reply.code == LinkError::Timeout && collected(reply.text).isEmpty();
    return {false, silent ? clsBootloader::kLinkBroken : clsBootloader::kStoreError};
}

BootloaderReply::VerifyLayout BootloaderReply::verifyLayout(const UpdateImage& image)
{
    constexpr int kBlock = clsBootloader::kReadBlockBytes;
    VerifyLayout layout;
    const int start = qMax(0, image.startAddress);
    layout.firstBlock = start / kBlock;
    layout.lead = start % kBlock;
    layout.image = image.bytes;
    while ((layout.lead + layout.image.size()) % kBlock != 0)
        layout.image += HexFileReader::fillWord();
    layout.blocks = static_cast<int>((layout.lead + layout.image.size()) / kBlock);
    return layout;
}

BootloaderReply::BlockCheck BootloaderReply::verifyBlock(const VerifyLayout& layout, int n,
                                                         const BootloaderReceive& reply)
{
    constexpr int kBlock = clsBootloader::kReadBlockBytes;
    BlockCheck check;
    if (reply.failed) {
        check.linkBroken = true;
        return check;
    }
    const QByteArray& received = reply.text;
    const int skip = n == 0 ? layout.lead : 0;
    const qsizetype from = qsizetype(n) * kBlock - layout.lead + skip;
    const QByteArray expected = layout.image.mid(from, kBlock - skip);
    check.matched = received.mid(skip, expected.size()) == expected;
    if (check.matched)
        return check;
    for (int p = skip + 1; p <= kBlock; ++p) {
        const int i = p - 1;
        // A position past the image's end (a layout that does not fill the block) has
        // nothing to match.
        if (i >= received.size() || i - skip >= expected.size() ||
            received.at(i) != expected.at(i - skip))
            check.positions << p;
    }
    check.message = QStringLiteral("Fehler beim Verify in Block ") +
                    QString::number(layout.firstBlock + n) + QStringLiteral(" Pos : ") +
                    positionList(check.positions);
    return check;
}

QString BootloaderReply::positionList(const QList<int>& positions)
{
    // Past 30 characters only the first 25 are shown: the rest of a long list is not built.
    QString list;
    for (int p : positions) {
        list += QString::number(p) + QStringLiteral(", ");
        if (list.size() > 30)
            break;
    }
    if (list.size() > 30)
        list = list.left(25) + QStringLiteral("...");
    return list;
}

} // namespace vemro
