#pragma once

#include "qmtest/clsProtokoll.h"
#include "qmtest/clsQMTest.h"

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
    // The steps of the run: the PDF names the failed ones and ends with the verdict.
    void setSchritte(QList<clsQMTest::Schritt> schritte) { m_schritte = std::move(schritte); }
    // "bestanden (5 von 5 Schritten bestanden)", "nicht bestanden (1 von 5 Schritten nicht
    // bestanden)": steps without a result of their own do not count.
    [[nodiscard]] static QString verdict(const QList<clsQMTest::Schritt>& schritte);

    // CSV with ";" between the fields (as German spreadsheets read it), UTF-8 with BOM.
    [[nodiscard]] QByteArray csv() const;
    [[nodiscard]] QByteArray pdf() const;
    // Writes by the file's suffix: ".csv" or ".pdf" (any other suffix is refused).
    bool save(const QString& path, QString* error) const;

private:
    QList<clsProtokoll::Eintrag> m_entries;
    QList<clsQMTest::Schritt> m_schritte;
    QString m_serial;
    QDateTime m_when;
};

} // namespace vemro
