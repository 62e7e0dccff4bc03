#pragma once

#include <QByteArray>

namespace vemro {

// The terminal's bootloader: its own program memory and the byte protocol of a session.
// 234 -> 235 (contact); 227 + address high/low (word address) + length 16 + checksum + 16
// bytes -> 231 and 228 when the checksum (16 + high + low + data) mod 256 fits, else 232;
// 230 + block number -> the 512 bytes of that block; 237 ends the session.
class VxBootloader
{
public:
    static constexpr uchar kContact = 234;
    static constexpr uchar kPresent = 235;
    static constexpr uchar kWriteBlock = 227;
    static constexpr uchar kReceived = 231;
    static constexpr uchar kChecksumWrong = 232;
    static constexpr uchar kStored = 228;
    static constexpr uchar kReadBlock = 230;
    static constexpr uchar kEnd = 237;

    explicit VxBootloader(int programMemorySize);

    // Starts a session (the contact byte came in the window after a reset): answers 235.
    [[nodiscard]] QByteArray start();
    [[nodiscard]] bool active() const { return m_active; }
    // One byte of the session; returns the answer bytes. `refuseBlocks` answers every write
    // block with 232 as if its checksum were wrong.
    [[nodiscard]] QByteArray feed(uchar b, bool refuseBlocks);
    // A block begun but not finished.
    [[nodiscard]] bool partial() const { return !m_pending.isEmpty(); }
    void dropPartial() { m_pending.clear(); }
    void abort();

    [[nodiscard]] const QByteArray& programMemory() const { return m_program; }

private:
    [[nodiscard]] QByteArray complete(bool refuseBlocks);

    QByteArray m_program;
    QByteArray m_pending;
    int m_needed = 0;
    bool m_active = false;
};

} // namespace vemro
