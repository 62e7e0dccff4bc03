#pragma once

#include "qmtest/QMTestTree.h"
#include "qmtest/clsProtokoll.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>

namespace vemro {

class DataEnvironment;
class ProgressIndicator;

// The production test: loads the project's test list (table QMTests) for the hardware type
// aktHWTyp into the tree, runs the checked entries in order by calling each entry's
// procedure by name, colours the entries by their results and stops on cancel or on a
// critical error. The procedures are registered by name (QMProcedures registers the
// terminal's; tests register their own).
class clsQMTest : public QObject
{
    Q_OBJECT
public:
    // A procedure: true = passed. A non-empty error text means the call itself failed.
    using Procedure = std::function<bool(QString* error)>;

    static inline const QString kAufrufFehler = QStringLiteral("Fehler bei Aufruf von : ");
    static inline const QString kUnbekannt = QStringLiteral("unbekannte Prüfprozedur");
    static constexpr qint32 kSerNrMinStart = 0;
    static constexpr qint32 kSerNrMaxStart = 999999;

    // What the run did with one entry's procedure (one pass).
    struct Schritt
    {
        QString bezeichnung;
        QString prozedur;
        bool bestanden = false;
        // A procedure that by its nature returns no result (it prepares, it only shows a
        // title): its false is no failure and it does not count in the verdict.
        bool ohneErgebnis = false;
    };
    enum class Ergebnis { Ja, Keins };

    explicit clsQMTest(DataEnvironment& env, QObject* parent = nullptr);
    ~clsQMTest() override;

    [[nodiscard]] QMTestTree& QMListe() { return m_tree; }
    [[nodiscard]] clsProtokoll& QMProtokoll() { return m_protokoll; }

    qint16 aktHWTyp = 1;
    qint32 SerNrMin = kSerNrMinStart;
    qint32 SerNrMax = kSerNrMaxStart;
    bool CancelQMTest = false;
    bool kritischerFehler = false;
    void setCtlFortschritt(ProgressIndicator* progress) { m_progress = progress; }
    [[nodiscard]] ProgressIndicator* ctlFortschritt() const { return m_progress; }

    // Rebuilds the tree from QMTests for aktHWTyp. False (with the reason) when the query
    // failed; the tree is then empty.
    bool FillTestListe(QString* error = nullptr);
    // "Start": empties the log list, log with list and date/time columns, clears the cancel
    // flag, resets the serial number range, runs the checked entries.
    void Start();
    // Runs all checked entries.
    void DoPruefung();
    // Runs one level of the tree, from `node` on (internal; public for tests).
    bool DoEinzelpruefung(QMNode* node);
    // "Abbruch".
    void Abbruch() { CancelQMTest = true; }
    [[nodiscard]] bool running() const { return m_running; }

    void registerProcedure(const QString& name, Procedure procedure,
                           Ergebnis ergebnis = Ergebnis::Ja);
    [[nodiscard]] bool hasResult(const QString& name) const;
    [[nodiscard]] bool hasProcedure(const QString& name) const;
    [[nodiscard]] QStringList procedureNames() const;
    // Calls a procedure by name; an unknown name fails with an error text.
    bool callProcedure(const QString& name, QString* error);

    // A column of the QMTests row of the entry whose procedure runs (for example Min).
    [[nodiscard]] QVariant aktZeile(const QString& column) const;
    // The QMTests row of a tree entry (matched by name and aktHWTyp), empty when none.
    [[nodiscard]] QVariantMap zeileVon(const QString& bezeichnung);

    // The results of the last run, in order.
    [[nodiscard]] const QList<Schritt>& Schritte() const { return m_schritte; }
    // True when the last run ran at least one procedure with a result and every one passed.
    [[nodiscard]] bool allePassed() const;
    // The steps of the last run that have a result, and those of them that failed.
    [[nodiscard]] int schritteMitErgebnis() const;
    [[nodiscard]] QStringList fehlgeschlagen() const;

signals:
    void runStarted();
    void runFinished();
    void schrittBegonnen(const QString& bezeichnung, const QString& prozedur);
    void schrittBeendet(const QString& bezeichnung, const QString& prozedur, bool bestanden);

private:
    DataEnvironment& m_env;
    QMTestTree m_tree;
    clsProtokoll m_protokoll;
    ProgressIndicator* m_progress = nullptr;
    QHash<QString, std::pair<QString, Procedure>> m_procedures; // lower-case name -> (name, call)
    QHash<QString, bool> m_ohneErgebnis;                        // lower-case name
    QVariantMap m_aktZeile;
    QList<Schritt> m_schritte;
    bool m_ergebnis = true; // the current result
    bool m_running = false;
};

} // namespace vemro
