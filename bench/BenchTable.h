#pragma once

#include "bench/TrafficFloor.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vemro::bench {

// bench/benchmarks.txt: the set-up commands and one row per benchmark.
class BenchTable
{
public:
    struct Benchmark
    {
        QString name;
        QStringList simOptions;          // besides --speed
        QStringList cliArguments;        // {speed} still in them
        QList<TrafficFloor::Rule> rules; // waits besides the standard ones
    };

    [[nodiscard]] bool parse(const QString& text, QString* error);
    [[nodiscard]] const QList<QStringList>& setup() const { return m_setup; }
    [[nodiscard]] const QList<Benchmark>& benchmarks() const { return m_benchmarks; }
    [[nodiscard]] static QStringList withSpeed(const QStringList& arguments, int baud);

private:
    QList<QStringList> m_setup;
    QList<Benchmark> m_benchmarks;
};

} // namespace vemro::bench
