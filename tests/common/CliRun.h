#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vemro::test {

// One run of vemro-cli with a program folder: exit code and both outputs, trimmed.
struct CliResult
{
    int code;
    QString out;
    QString err;
};

inline CliResult RunCli(const QString& program, const QString& home, const QStringList& args)
{
    QProcess p;
    p.start(program, QStringList{QStringLiteral("--home"), home} + args);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        return {-1, {}, {}};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(p.readAllStandardError()).trimmed()};
}

} // namespace vemro::test
