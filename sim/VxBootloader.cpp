#include "sim/VxBootloader.h"

#include <algorithm>

namespace vemro {

VxBootloader::VxBootloader(int programMemorySize)
{
    const int size = std::clamp(programMemorySize, 1024, 131072) & ~511;
    // Erased program memory reads as the word 0x3FFF, low byte first.
    m_program = QByteArray("\xFF\x3F", 2).repeated(size / 2);
}

QByteArray VxBootloader::start()
{
    m_active = true;
    m_pending.clear();
    return QByteArray(1, static_cast<char>(kPresent));
}

void VxBootloader::abort()
{
    m_active = false;
    m_pending.clear();
}

QByteArray VxBootloader::feed(uchar b, bool refuseBlocks)
{
    if (!m_active)
        return {};
    if (m_pending.isEmpty()) {
        switch (b) {
        case kContact:
            return QByteArray(1, static_cast<char>(kPresent));
        case kWriteBlock:
            m_needed = 21;
            break;
        case kReadBlock:
            m_needed = 2;
            break;
        case kEnd:
            abort();
            return {};
        default:
            return {};
        }
    }
    m_pending.append(static_cast<char>(b));
    if (m_pending.size() < m_needed)
        return {};
    return complete(refuseBlocks);
}

QByteArray VxBootloader::complete(bool refuseBlocks)
{
    const QByteArray block = m_pending;
    m_pending.clear();
    const auto at = [&](int i) { return static_cast<uchar>(block.at(i)); };
    if (at(0) == kReadBlock) {
        const int base = (at(1) * 512) % m_program.size();
        return m_program.mid(base, 512);
    }
    int sum = at(3) + at(1) + at(2);
    for (int i = 5; i < 21; ++i)
        sum += at(i);
    if (at(3) != 16 || (sum % 256) != at(4) || refuseBlocks)
        return QByteArray(1, static_cast<char>(kChecksumWrong));
    // The address counts two-byte words.
    const int address = ((at(1) * 256 + at(2)) * 2) % m_program.size();
    for (int i = 0; i < 16; ++i)
        m_program[(address + i) % m_program.size()] = block.at(5 + i);
    QByteArray answer;
    answer += static_cast<char>(kReceived);
    answer += static_cast<char>(kStored);
    return answer;
}

} // namespace vemro
