#include "cli/CliRegistry.h"
#include "platform/ConsoleUserInterface.h"
#include "platform/ProgramInfo.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

int g_report = 2;

// The CTest run discards the program's standard error (-close_fd_mask=2) to keep the
// refusals out of the log; Qt's warnings and failed assertions still go where libFuzzer
// writes its statistics and the sanitizers their reports.
void report(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    const QByteArray line = text.toLocal8Bit() + '\n';
    if (write(g_report, line.constData(), static_cast<size_t>(line.size())) < 0)
        return;
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

// Runs before libFuzzer closes standard error.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const int fd = dup(2);
    if (fd >= 0)
        g_report = fd;
    qInstallMessageHandler(report);
    return 0;
}

// vemro-cli's argument list, one argument per line: the run ends with exit code 2 unless
// every option is known to the chosen command; a command runs only with known options and
// without an empty --home.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList args = text.split(QLatin1Char('\n'));
    vemro::CliRegistry registry;
    registry.addValueOption(QStringLiteral("template"));
    bool ran = false;
    QStringList seenArgs;
    registry.add({QStringLiteral("probe"),
                  QStringLiteral("probe"),
                  QStringLiteral("-"),
                  [&](vemro::CliContext& ctx) {
                      ran = true;
                      seenArgs = ctx.args;
                      if (ctx.has(QStringLiteral("home")) &&
                          ctx.option(QStringLiteral("home")).trimmed().isEmpty())
                          __builtin_trap(); // an empty program folder got through
                      for (auto it = ctx.options.cbegin(); it != ctx.options.cend(); ++it) {
                          static const QStringList allowed{"home",    "yes",  "no",
                                                           "version", "help", "template"};
                          if (!allowed.contains(it.key()))
                              __builtin_trap(); // an option the command does not take
                      }
                      return 0;
                  },
                  {QStringLiteral("template")}});
    QString output;
    QTextStream out(&output);
    vemro::ConsoleUserInterface console;
    const int code = registry.run(args, out, console);
    vemro::setProgramFolder(QString());
    if (code != 0 && code != 2)
        __builtin_trap();
    if (ran && code != 0)
        __builtin_trap();
    for (const QString& a : seenArgs)
        if (a.startsWith(QLatin1String("--")))
            __builtin_trap(); // an option was taken for an argument
    return 0;
}
