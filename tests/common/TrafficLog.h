#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QTest>

namespace vemro::test {

// The bytes of a vxsim traffic log (--log) from `offset` on, per direction ("->" PC to
// terminal, "<-" back), without the time stamps; how vxsim cut them into lines does not
// matter. Bytes sent at a speed the terminal does not listen at ("-> ?") are left out.
struct Traffic
{
    QByteArray toTerminal;
    QByteArray fromTerminal;
};

inline Traffic TrafficSince(const QString& log, qint64 offset)
{
    QFile f(log);
    Traffic t;
    if (!f.open(QIODevice::ReadOnly) || !f.seek(offset))
        return t;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 3 || parts.at(2) == "?")
            continue;
        QByteArray bytes;
        for (qsizetype i = 2; i < parts.size(); ++i)
            bytes.append(static_cast<char>(parts.at(i).toInt(nullptr, 16)));
        (parts.at(1) == "->" ? t.toTerminal : t.fromTerminal).append(bytes);
    }
    return t;
}

// Waits until vxsim has logged everything (the log stops growing); gives its size.
inline qint64 SettledLogSize(const QString& log)
{
    qint64 size = -1;
    for (int quiet = 0; quiet < 3;) {
        QTest::qWait(150);
        const qint64 now = QFileInfo(log).size();
        quiet = now == size ? quiet + 1 : 0;
        size = now;
    }
    return size;
}

} // namespace vemro::test
