#pragma once

#include <QString>

namespace vemro {

// The message object: shows a message only when its level is important enough.
// Level 0 is the most important; start-up and the terminal search lower InfoLevel
// to 0 so that only level-0 messages appear while they run.
class clsInfo
{
public:
    [[nodiscard]] qint16 InfoLevel() const { return m_infoLevel; }
    void setInfoLevel(qint16 level) { m_infoLevel = level; }

    void show(const QString& text, qint16 level);

    static inline const QString kTitle = QStringLiteral("bitte beachten :");

private:
    qint16 m_infoLevel = 0;
};

// The program-wide message object, created on first use.
[[nodiscard]] clsInfo& Info();

} // namespace vemro
