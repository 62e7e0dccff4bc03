#pragma once

#include "firmware/UpdateImage.h"
#include "link/LinkTypes.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace vemro {

// What one Receive of the bootloader session handed back: its failure flag, the text and
// the terminal object's lastError right after it.
struct BootloaderReceive
{
    bool failed = false;
    QByteArray text;
    LinkError code = LinkError::None;
};

// The decisions the bootloader session takes on the terminal's replies, without the link:
// bytes in, decision out. clsBootloader's session calls them after every Receive, so what
// they decide is what the session does (and they can be checked without its waits).
class BootloaderReply
{
public:
    enum class Contact { Made, TimedOut, Failed };

    // The session's step after a reply to a write block (231, then 228).
    struct Step
    {
        bool goOn = false; // the block got this reply; the session carries on
        QString error;     // the message that ends the update otherwise
    };

    // Where the image lies in the 512-byte read blocks of a verify.
    struct VerifyLayout
    {
        int firstBlock = 0; // read block number of the image's start address
        int lead = 0;       // bytes of the first block before the start address
        QByteArray image;   // the image padded with the fill word to the end of a block
        int blocks = 0;     // read blocks to compare
    };

    // One read block compared with the image.
    struct BlockCheck
    {
        bool linkBroken = false; // no block came: the verify ends with kLinkBroken
        bool matched = false;
        QList<int> positions; // differing positions 1..512 of the block, increasing
        QString message;      // "Fehler beim Verify in Block … Pos : …" when !matched
    };

    // The characters a failed Receive had collected: the serial link puts them before
    // " / TimeOut", the network module between "TimeOut /" and "/".
    [[nodiscard]] static QByteArray collected(const QByteArray& text);

    // The reply to a contact request (234), received until 235. A failure with lastError 0
    // counts as contact; the busy refusal of the terminal object never does.
    [[nodiscard]] static Contact contact(const BootloaderReceive& reply);

    // The reply to a write block received until 231: a time-out whose first character is
    // 232 is the terminal's checksum refusal, other time-outs a broken line, any other
    // failure "Übertragungsfehler".
    [[nodiscard]] static Step received(const BootloaderReceive& reply);
    // The reply received until 228 after 231: a time-out with nothing collected is a broken
    // line, any other failure (the terminal answered something else) "Fehler beim Speichern".
    [[nodiscard]] static Step stored(const BootloaderReceive& reply);

    [[nodiscard]] static VerifyLayout verifyLayout(const UpdateImage& image);
    // Block n (0 = the first of the layout) as it came from the terminal. Each block is
    // compared with the image at its own place only; the bytes of the first block before
    // the start address are no part of the file.
    [[nodiscard]] static BlockCheck verifyBlock(const VerifyLayout& layout, int n,
                                                const BootloaderReceive& reply);
    // The position list of the verify message: "p, " each, cut to 25 characters and "..."
    // when longer than 30.
    [[nodiscard]] static QString positionList(const QList<int>& positions);
};

} // namespace vemro
