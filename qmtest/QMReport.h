#pragma once

#include "qmtest/clsProtokoll.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace vemro {

// The test report of one run: every log entry with date, time, test step, the step's result
// and text, saved as CSV or PDF. The file is named after the terminal's serial number and
// the time of the run.
class QMReport
{
public:
    static inline const QString kBestanden = QStringLiteral("bestanden");
    static inline const QString kFehler = QStringLiteral("nicht bestanden");

    QMReport(QList<clsProtokoll::Eintrag> entries, QString serialNumber, QDateTime when)
        : m_entries(std::move(entries)), m_serial(std::move(serialNumber)), m_when(std::move(when))
    {
    }

    // "QMTest_<serial>_<yyyy-MM-dd_HH-mm-ss>" + suffix; "ohneSerNr" when no serial is known.
    [[nodiscard]] static QString fileName(const QString& serialNumber, const QDateTime& when,
                                          const QString& suffix);
    [[nodiscard]] static QString resultText(int result);

    // CSV with ";" between the fields (as German spreadsheets read it), UTF-8 with BOM.
    [[nodiscard]] QByteArray csv() const;
    [[nodiscard]] QByteArray pdf() const;
    // Writes by the file's suffix: ".csv" or ".pdf" (any other suffix is refused).
    bool save(const QString& path, QString* error) const;

private:
    QList<clsProtokoll::Eintrag> m_entries;
    QString m_serial;
    QDateTime m_when;
};

} // namespace vemro
