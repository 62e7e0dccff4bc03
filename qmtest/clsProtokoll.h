#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace vemro {

class ProtokollPrinter;
class ProtokollView;

// The program's log: every entry is one line of text stamped with date and time, appended to
// the file `Dateiname` and/or shown in a list view, depending on `aktiv`. The production test
// owns one (`QMProtokoll`).
//
// The log also keeps the entries of the run in memory, each with the test step that wrote it
// and that step's result, for the test report (PDF/CSV).
class clsProtokoll : public QObject
{
    Q_OBJECT
public:
    // Flags of aktiv.
    static constexpr qint16 kDatei = 1;
    static constexpr qint16 kListe = 2;
    static constexpr qint16 kDatumZeit = 4;
    // Column widths of the list, in twips.
    static constexpr int kDatumTwips = 800;
    static constexpr int kZeitTwips = 850;
    static constexpr int kTextTwips = 3500;
    static constexpr int kRandTwips = 100;
    static constexpr int kFontSize = 8;
    // Print zones of a file or printer line.
    static constexpr int kZoneWidth = 14;

    static inline const QString kStandardDateiname = QStringLiteral("Standard-LogFile");
    static inline const QString kNeuePruefung = QStringLiteral("neue Prüfung begonnen");

    // One entry of the run; result -1 while its step runs (or outside a step).
    struct Eintrag
    {
        QDateTime zeit;
        QString text;
        QString schritt;
        int ergebnis = -1;
    };

    explicit clsProtokoll(QObject* parent = nullptr);
    ~clsProtokoll() override;

    [[nodiscard]] qint16 aktiv() const { return m_aktiv; }
    void setAktiv(qint16 flags);
    [[nodiscard]] ProtokollView* ListView() const { return m_view; }
    void setListView(ProtokollView* view);
    [[nodiscard]] QString Dateiname() const { return m_dateiname; }
    void setDateiname(const QString& path);

    void add(const QString& text);
    // Prints the log through the printer set with setPrinter(). False when nothing was printed.
    bool drucken(QString* error = nullptr);
    void setPrinter(ProtokollPrinter* printer) { m_printer = printer; }
    // The lines drucken() prints.
    [[nodiscard]] QStringList druckZeilen() const;

    // The file name NewProtokollfile gives at `when`: folder/QM/QMTest_LogFile_dd_mm_hh_mm.txt.
    [[nodiscard]] static QString protokollDateiname(const QString& programFolder,
                                                    const QDateTime& when);
    // Items laid out in print zones of 14 characters (columns 1, 15, 29, ...).
    [[nodiscard]] static QString druckzonen(const QStringList& items);
    // The date and time as the file line and the printout write them.
    [[nodiscard]] static QString dateiDatum(const QDateTime& when);
    [[nodiscard]] static QString dateiZeit(const QDateTime& when);

    // The entries of the run, for the test report.
    [[nodiscard]] const QList<Eintrag>& Eintraege() const { return m_eintraege; }
    void clearEintraege() { m_eintraege.clear(); }
    // The test step whose lines follow, and its result once it is known.
    void beginSchritt(const QString& name);
    // 1 passed, 0 failed, -1 a step without a result of its own.
    void endSchritt(int ergebnis);

    // Time source (tests fix the clock).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

signals:
    void entryAdded(const QString& text);
    // The file line could not be written; reported once per file name.
    void fileWriteFailed(const QString& message);

private:
    void layoutColumns();
    bool appendLine(const QString& line, QString* error);

    QString m_dateiname = kStandardDateiname;
    ProtokollView* m_view = nullptr;
    ProtokollPrinter* m_printer = nullptr;
    qint16 m_aktiv = 0;
    bool m_failureReported = false;
    QList<Eintrag> m_eintraege;
    QString m_schritt;
    int m_schrittStart = -1;
    std::function<QDateTime()> m_clock;
};

} // namespace vemro
