// vemro-bench: each benchmark against vxsim on a timed serial line; prints per benchmark the
// bytes moved, the time vemro-cli took, the floor of the line and the waits the protocol
// prescribes, their ratio, and vemro-cli's peak memory and processor time.
#include "bench/BenchTable.h"
#include "bench/TrafficFloor.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using vemro::bench::BenchTable;
using vemro::bench::TrafficFloor;

qint64 monotonicUs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

struct Run
{
    int code = -1;
    qint64 startUs = 0;
    qint64 endUs = 0;
    long maxRssKb = 0;
    double cpuSeconds = 0;
    QByteArray output;
};

// Runs a program to its end; standard output goes to a file so that nothing blocks.
Run spawnAndWait(const QString& program, const QStringList& arguments, const QString& outFile)
{
    Run run;
    std::vector<QByteArray> storage;
    storage.push_back(QFile::encodeName(program));
    for (const QString& a : arguments)
        storage.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray out = QFile::encodeName(outFile);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = 0;
    run.startUs = monotonicUs();
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return run;
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.endUs = monotonicUs();
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.maxRssKb = usage.ru_maxrss;
    run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                     usage.ru_stime.tv_usec / 1e6;
    QFile f(outFile);
    if (f.open(QIODevice::ReadOnly))
        run.output = f.readAll();
    return run;
}

// vxsim on a timed line at `baud`, its pty linked to `link`, logging to `log`.
class Simulator
{
public:
    bool start(const QString& bin, int baud, const QStringList& options, const QString& link,
               const QString& log, QString* error)
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(bin + QStringLiteral("/vxsim"),
                        QStringList{QStringLiteral("--wire-timing"), QStringLiteral("--speed"),
                                    QString::number(baud), QStringLiteral("--pty-link"), link,
                                    QStringLiteral("--log"), log,
                                    QStringLiteral("--log-monotonic")} +
                            options);
        if (!m_process.waitForStarted(10000)) {
            *error = QStringLiteral("vxsim startet nicht: ") + m_process.errorString();
            return false;
        }
        QByteArray seen;
        while (!seen.contains("Link ")) {
            if (!m_process.waitForReadyRead(10000)) {
                *error = QStringLiteral("vxsim meldet keine Leitung: ") +
                         QString::fromLocal8Bit(seen + m_process.readAll());
                return false;
            }
            seen += m_process.readAll();
        }
        return true;
    }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    ~Simulator() { stop(); }

private:
    QProcess m_process;
};

// The least an exchange costs on this machine, whatever the program: a plain loop of
// blocking system calls (write, poll, read) sends `count` byte-form EEPROM writes
// (ESC "E" high low value, answered by ACK) to vxsim and waits for each ACK. Its ratio to
// the wire time is what the machine and the simulator add to every exchange; vemro-cli's
// figures are to be read against it. Returns the ratio, 0 on failure.
double lineProbe(const QString& device, int baud, int count, QString* error)
{
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        *error = QStringLiteral("%1: %2").arg(device, QString::fromLocal8Bit(strerror(errno)));
        return 0;
    }
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    const speed_t speed = baud == 38400 ? B38400 : baud == 9600 ? B9600 : B19200;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    ::tcsetattr(fd, TCSANOW, &tio);
    const auto now = [] {
        timespec t{};
        ::clock_gettime(CLOCK_MONOTONIC, &t);
        return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
    };
    // Byte form ("KM" with flags 26, as the fixed-text writer sets it), then let it settle.
    const unsigned char byteForm[] = {27, 'K', 'M', 26};
    bool ok = ::write(fd, byteForm, sizeof byteForm) == static_cast<ssize_t>(sizeof byteForm);
    ::usleep(50000);
    ::tcflush(fd, TCIFLUSH);
    const double start = now();
    for (int i = 0; ok && i < count; ++i) {
        const int address = 0x100 + i % 0xE00;
        unsigned char command[] = {27, 'E', static_cast<unsigned char>(address >> 8),
                                   static_cast<unsigned char>(address & 0xFF), 'A'};
        if (command[3] == 27)
            command[3] = 28; // keep the log's command boundaries plain
        pollfd p{fd, POLLIN, 0};
        unsigned char answer = 0;
        ok = ::write(fd, command, sizeof command) == static_cast<ssize_t>(sizeof command) &&
             ::poll(&p, 1, 1000) == 1 && ::read(fd, &answer, 1) == 1 && answer == 6;
    }
    const double seconds = now() - start;
    ::close(fd);
    if (!ok) {
        *error = QStringLiteral("keine Quittung von vxsim");
        return 0;
    }
    return seconds / (count * 6 * 10.0 / baud);
}

// A benchmark whose vxsim options name "--speed N" runs at that speed only (the firmware
// update needs 19200); 0 when it runs at every speed.
int fixedSpeed(const QStringList& simOptions)
{
    const qsizetype i = simOptions.indexOf(QStringLiteral("--speed"));
    return i >= 0 ? simOptions.value(i + 1).toInt() : 0;
}

QString readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Starts vemro `runs` times on the program folder `home` (its recently used project is
// reopened) and prints the time from the start of the process to the first paint of the
// main window: minimum, median and maximum.
int coldStart(QTextStream& out, QTextStream& err, const QString& bin, const QString& home,
              const QString& work, int runs)
{
    qputenv("VEMRO_STARTUP_PROBE", "quit");
    qputenv("VEMRO_HOME", home.toLocal8Bit());
    QList<double> seconds;
    long rssKb = 0;
    double cpu = 0;
    for (int i = 0; i < runs; ++i) {
        const Run r = spawnAndWait(bin + QStringLiteral("/vemro"), {},
                                   work + QStringLiteral("/vemro-out.txt"));
        const int at = r.output.indexOf("vemro: bereit ");
        if (r.code != 0 || at < 0) {
            err << "vemro: Exit " << r.code << ", keine Bereitmeldung: " << r.output << "\n";
            return 1;
        }
        const qint64 readyUs = r.output.mid(at + 14).trimmed().split('\n').first().toLongLong();
        seconds << (readyUs - r.startUs) / 1e6;
        rssKb = std::max(rssKb, r.maxRssKb);
        cpu += r.cpuSeconds;
    }
    qunsetenv("VEMRO_STARTUP_PROBE");
    std::sort(seconds.begin(), seconds.end());
    out << QStringLiteral(
               "cold-start: %1 runs, to the first paint of the main window with the last "
               "project open: min %2 s, median %3 s, max %4 s, RSS %5 MB, CPU %6 s\n")
               .arg(runs)
               .arg(seconds.first(), 0, 'f', 3)
               .arg(seconds.at(seconds.size() / 2), 0, 'f', 3)
               .arg(seconds.last(), 0, 'f', 3)
               .arg(rssKb / 1024.0, 0, 'f', 1)
               .arg(cpu / runs, 0, 'f', 2);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Übertragungszeiten gegen die Leitung"));
    cli.addHelpOption();
    const QCommandLineOption binOption(
        QStringLiteral("bin"), QStringLiteral("Programmordner mit vemro-cli und vxsim"),
        QStringLiteral("dir"), QCoreApplication::applicationDirPath());
    const QCommandLineOption tableOption(
        QStringLiteral("table"), QStringLiteral("Tabelle der Benchmarks"), QStringLiteral("file"));
    const QCommandLineOption speedsOption(QStringLiteral("speeds"),
                                          QStringLiteral("Geschwindigkeiten, durch Komma getrennt"),
                                          QStringLiteral("list"), QStringLiteral("19200,38400"));
    const QCommandLineOption onlyOption(QStringLiteral("only"),
                                        QStringLiteral("nur diese Benchmarks (Komma-Liste)"),
                                        QStringLiteral("names"));
    const QCommandLineOption keepOption(
        QStringLiteral("keep"), QStringLiteral("Programmordner und Protokolle hier ablegen"),
        QStringLiteral("dir"));
    const QCommandLineOption coldOption(
        QStringLiteral("cold-start"),
        QStringLiteral("Kaltstart von vemro N-mal messen (braucht eine Anzeige, z.B. Xvfb)"),
        QStringLiteral("n"));
    const QCommandLineOption runsOption(
        QStringLiteral("runs"),
        QStringLiteral("jeden Benchmark N-mal messen, der mittlere Lauf zählt"),
        QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption probeOption(
        QStringLiteral("probe"),
        QStringLiteral(
            "N Austausche einer einfachen Schleife gegen vxsim messen (Maß der Maschine)"),
        QStringLiteral("n"));
    cli.addOptions({binOption, tableOption, speedsOption, onlyOption, keepOption, coldOption,
                    runsOption, probeOption});
    cli.process(app);

    const QString bin = QDir(cli.value(binOption)).absolutePath();
    const QString tablePath = cli.isSet(tableOption) ? cli.value(tableOption)
                                                     : QStringLiteral(VEMRO_BENCH_SOURCE_DIR) +
                                                           QStringLiteral("/benchmarks.txt");
    BenchTable table;
    QString error;
    if (!table.parse(readFile(tablePath), &error) || table.benchmarks().isEmpty()) {
        err << tablePath << ": " << (error.isEmpty() ? QStringLiteral("keine Benchmarks") : error)
            << "\n";
        return 2;
    }
    QList<int> speeds;
    for (const QString& s : cli.value(speedsOption).split(QLatin1Char(','), Qt::SkipEmptyParts))
        speeds << s.trimmed().toInt();
    const QStringList only = cli.value(onlyOption).split(QLatin1Char(','), Qt::SkipEmptyParts);
    const int runs = std::max(1, cli.value(runsOption).toInt());

    QTemporaryDir temp;
    const QString work = cli.isSet(keepOption) ? cli.value(keepOption) : temp.path();
    QDir().mkpath(work);
    const QString home = work + QStringLiteral("/home");
    QDir().mkpath(home);
    // A program folder as installed: the program database, the hardware templates and the
    // project folder, copied from the build.
    QDir().mkpath(home + QStringLiteral("/Hardware"));
    QDir().mkpath(home + QStringLiteral("/Projekte"));
    QFile::copy(bin + QStringLiteral("/VEMRO.mdb"), home + QStringLiteral("/VEMRO.mdb"));
    for (const QFileInfo& t : QDir(bin + QStringLiteral("/Hardware"))
                                  .entryInfoList({QStringLiteral("*.mdb")}, QDir::Files))
        QFile::copy(t.filePath(), home + QStringLiteral("/Hardware/") + t.fileName());
    const QString link = home + QStringLiteral("/vxsim-com1");
    const QString cliProgram = bin + QStringLiteral("/vemro-cli");
    const QStringList homeArgs{QStringLiteral("--home"), home};

    const QString outFile = work + QStringLiteral("/cli-out.txt");
    // "{bench}" names the bench/ folder of the sources (data files of the benchmarks),
    // "{work}" the folder of this run (files handed from one benchmark to the next).
    const auto expand = [&work](QStringList arguments) {
        for (QString& a : arguments) {
            a.replace(QLatin1String("{bench}"), QStringLiteral(VEMRO_BENCH_SOURCE_DIR));
            a.replace(QLatin1String("{work}"), work);
        }
        return arguments;
    };
    // The program folder: Com 1 is vxsim's line, the set-up commands have run.
    for (const QStringList& step :
         QList<QStringList>{
             {QStringLiteral("ports"), QStringLiteral("map"), QStringLiteral("1"), link}} +
             table.setup()) {
        const Run r = spawnAndWait(cliProgram, homeArgs + expand(step), outFile);
        if (r.code != 0) {
            err << "vemro-cli " << step.join(QLatin1Char(' ')) << ": Exit " << r.code << "\n";
            return 1;
        }
    }

    if (cli.isSet(coldOption)) {
        // The recently used project on Com 1, where a terminal answers.
        const Run use =
            spawnAndWait(cliProgram,
                         homeArgs + QStringList{QStringLiteral("project"), QStringLiteral("use"),
                                                QStringLiteral("Bench")},
                         outFile);
        Simulator sim;
        if (use.code != 0 ||
            !sim.start(bin, 19200, {}, link, work + QStringLiteral("/cold.log"), &error)) {
            err << "Kaltstart: " << (use.code != 0 ? QStringLiteral("project use") : error) << "\n";
            return 1;
        }
        return coldStart(out, err, bin, home, work, std::max(1, cli.value(coldOption).toInt()));
    }

    if (cli.isSet(probeOption)) {
        const int count = std::max(1, cli.value(probeOption).toInt());
        for (const int baud : speeds) {
            Simulator sim;
            if (!sim.start(bin, baud, {}, link, work + QStringLiteral("/probe.log"), &error)) {
                err << "probe: " << error << "\n";
                return 1;
            }
            QList<double> ratios;
            for (int n = 0; n < runs; ++n) {
                const double ratio = lineProbe(link, baud, count, &error);
                if (ratio <= 0) {
                    err << "probe: " << error << "\n";
                    return 1;
                }
                ratios << ratio;
            }
            std::sort(ratios.begin(), ratios.end());
            out << QStringLiteral(
                       "probe %1 baud: %2 exchanges of 5+1 bytes, ratio %3 (%4 runs, %5-%6)\n")
                       .arg(baud)
                       .arg(count)
                       .arg(ratios.at(ratios.size() / 2), 0, 'f', 3)
                       .arg(ratios.size())
                       .arg(ratios.first(), 0, 'f', 3)
                       .arg(ratios.last(), 0, 'f', 3);
            out.flush();
        }
        return 0;
    }

    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9  %10\n")
               .arg(QStringLiteral("benchmark"), -16)
               .arg(QStringLiteral("baud"), 6)
               .arg(QStringLiteral("bytes ->/<-"), 13)
               .arg(QStringLiteral("measured s"), 10)
               .arg(QStringLiteral("floor s"), 8)
               .arg(QStringLiteral("ratio"), 6)
               .arg(QStringLiteral("tail ms"), 7)
               .arg(QStringLiteral("RSS MB"), 7)
               .arg(QStringLiteral("CPU s"), 6)
               .arg(QStringLiteral("waits (count x pause+after ms, command)"));
    out.flush();
    int failures = 0;
    for (const BenchTable::Benchmark& b : table.benchmarks()) {
        if (!only.isEmpty() && !only.contains(b.name))
            continue;
        for (const int baud : speeds) {
            if (fixedSpeed(b.simOptions) != 0 && fixedSpeed(b.simOptions) != baud)
                continue;
            const QString log = work + QStringLiteral("/%1-%2.log").arg(b.name).arg(baud);
            // One run's figures; with --runs the run of median time is printed, with the
            // range of the ratio over all runs.
            struct Measured
            {
                Run run;
                TrafficFloor::Result floor;
                double seconds = 0;
            };
            QList<Measured> results;
            for (int n = 0; n < runs; ++n) {
                Simulator sim;
                if (!sim.start(bin, baud, expand(BenchTable::withSpeed(b.simOptions, baud)), link,
                               log, &error)) {
                    err << b.name << ": " << error << "\n";
                    return 1;
                }
                Measured m;
                // A row "window ACTION ..." runs the window's transfer instead of vemro-cli.
                QStringList arguments = expand(BenchTable::withSpeed(b.cliArguments, baud));
                QString program = cliProgram;
                if (arguments.value(0) == QLatin1String("window")) {
                    program = bin + QStringLiteral("/vemro-window-bench");
                    arguments.removeFirst();
                }
                m.run = spawnAndWait(program, homeArgs + arguments, outFile);
                sim.stop();
                TrafficFloor floor;
                if (!floor.parse(readFile(log), &error)) {
                    err << log << ": " << error << "\n";
                    return 1;
                }
                m.floor = floor.compute(baud, b.rules);
                m.seconds = (m.run.endUs / 1e6) - m.floor.startSeconds;
                results << m;
                if (m.run.code != 0 || m.floor.commands == 0)
                    break; // a failed run is the one reported
            }
            std::sort(results.begin(), results.end(),
                      [](const Measured& a, const Measured& b) { return a.seconds < b.seconds; });
            const auto ratioOf = [](const Measured& m) {
                return m.floor.floorSeconds > 0 ? m.seconds / m.floor.floorSeconds : 0.0;
            };
            const auto failed = std::find_if(results.begin(), results.end(), [](const Measured& m) {
                return m.run.code != 0 || m.floor.commands == 0;
            });
            const bool failedRun = failed != results.end();
            const Measured& median = failedRun ? *failed : results.at(results.size() / 2);
            const Run& r = median.run;
            const TrafficFloor::Result& f = median.floor;
            const double measured = median.seconds;
            const bool ok = !failedRun;
            if (!ok)
                ++failures;
            QString notes = ok ? f.waits.join(QLatin1Char(' '))
                               : QStringLiteral("FEHLER: vemro-cli Exit %1").arg(r.code);
            if (ok && results.size() > 1)
                notes = QStringLiteral("%1 runs, ratio %2-%3  ")
                            .arg(results.size())
                            .arg(ratioOf(results.first()), 0, 'f', 3)
                            .arg(ratioOf(results.last()), 0, 'f', 3) +
                        notes;
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9  %10\n")
                       .arg(b.name, -16)
                       .arg(baud, 6)
                       .arg(QStringLiteral("%1/%2").arg(f.sentBytes).arg(f.answerBytes), 13)
                       .arg(measured, 10, 'f', 3)
                       .arg(f.floorSeconds, 8, 'f', 3)
                       .arg(ratioOf(median), 6, 'f', 3)
                       .arg((r.endUs / 1e6 - f.lastSeconds) * 1000, 7, 'f', 1)
                       .arg(r.maxRssKb / 1024.0, 7, 'f', 1)
                       .arg(r.cpuSeconds, 6, 'f', 2)
                       .arg(notes);
            out.flush();
        }
    }
    return failures == 0 ? 0 : 1;
}
