#include "bench/BenchTable.h"

#include <QProcess>

namespace vemro::bench {

bool BenchTable::parse(const QString& text, QString* error)
{
    m_setup.clear();
    m_benchmarks.clear();
    int number = 0;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        ++number;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1String("setup:"))) {
            m_setup.append(QProcess::splitCommand(line.mid(6)));
            continue;
        }
        const QStringList cells = line.split(QLatin1Char('|'));
        Benchmark b;
        b.name = cells.value(0).trimmed();
        b.simOptions = QProcess::splitCommand(cells.value(1).trimmed());
        b.cliArguments = QProcess::splitCommand(cells.value(2).trimmed());
        QString ruleError;
        if (cells.size() != 4 || b.name.isEmpty() || b.cliArguments.isEmpty() ||
            !TrafficFloor::parseRules(cells.value(3), &b.rules, &ruleError)) {
            if (error)
                *error =
                    QStringLiteral("Zeile %1: %2")
                        .arg(number)
                        .arg(ruleError.isEmpty()
                                 ? QStringLiteral(
                                       "Name | vxsim-Optionen | vemro-cli-Argumente | Wartezeiten")
                                 : ruleError);
            return false;
        }
        m_benchmarks.append(b);
    }
    return true;
}

QStringList BenchTable::withSpeed(const QStringList& arguments, int baud)
{
    QStringList result;
    for (QString a : arguments)
        result << a.replace(QLatin1String("{speed}"), QString::number(baud));
    return result;
}

} // namespace vemro::bench
