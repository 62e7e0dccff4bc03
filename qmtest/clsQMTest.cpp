#include "qmtest/clsQMTest.h"

#include "platform/clsInfo.h"
#include "project/DataEnvironment.h"
#include "project/Recordset.h"
#include "qmtest/ProtokollView.h"

#include <QPointer>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace vemro {

namespace {

const QString kCommand = QStringLiteral("cmdQMTests");

// A flag that is set while a scope runs.
class RunningFlag
{
public:
    explicit RunningFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~RunningFlag() { m_flag = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& m_flag;
};

} // namespace

clsQMTest::clsQMTest(DataEnvironment& env, QObject* parent) : QObject(parent), m_env(env) {}

clsQMTest::~clsQMTest() = default;

bool clsQMTest::FillTestListe(QString* error)
{
    m_tree.clear();
    // The steps' rows (procedure, passes, Min) come from cmdQMTests: a table without one of
    // its columns gives no list rather than steps without procedures.
    if (!m_env.ensureOpen(kCommand, error))
        return false;
    const QSqlDatabase db = m_env.database(DataEnvironment::kProjekt);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // The hardware type travels as a bound value, like every value in the program's SQL.
    if (!query.prepare(QStringLiteral("SELECT Bezeichnung, Typ,  Reihenfolge, aktiv, Eintragstyp "
                                      "FROM QMTests WHERE Typ=? AND aktiv=TRUE  ORDER BY "
                                      "Reihenfolge"))) {
        if (error)
            *error = query.lastError().text();
        return false;
    }
    query.addBindValue(static_cast<int>(aktHWTyp));
    if (!query.exec()) {
        if (error)
            *error = query.lastError().text();
        return false;
    }
    QMNode* group = nullptr;
    while (query.next()) {
        const QString text = query.value(0).toString();
        if (query.value(4).toInt() == 1) {
            group = m_tree.addGroup(text);
        } else if (group) {
            m_tree.addTest(group, text);
        }
        // A test before any group has nowhere to hang and is not shown.
    }
    return true;
}

void clsQMTest::Start()
{
    if (m_running)
        return;
    if (ProtokollView* view = m_protokoll.ListView())
        view->clear();
    m_protokoll.clearEintraege();
    m_protokoll.setAktiv(clsProtokoll::kListe | clsProtokoll::kDatumZeit);
    CancelQMTest = false;
    SerNrMin = kSerNrMinStart;
    SerNrMax = kSerNrMaxStart;
    DoPruefung();
}

void clsQMTest::DoPruefung()
{
    if (m_running)
        return;
    RunningFlag running(m_running);
    QPointer<clsQMTest> self(this);
    m_schritte.clear();
    m_ergebnis = true;
    QString error;
    if (!m_env.ensureOpen(kCommand, &error)) {
        Info().show(QStringLiteral("Testliste nicht lesbar : ") + error, 0);
        return;
    }
    emit runStarted();
    m_tree.setEnabled(false);
    m_tree.setAllFarbe(QMNode::Farbe::Schwarz);
    if (!m_tree.isEmpty()) {
        m_env.recordset(kCommand).moveFirst();
        DoEinzelpruefung(m_tree.first());
    }
    if (!self)
        return;
    m_tree.setEnabled(true);
    emit runFinished();
}

QVariantMap clsQMTest::zeileVon(const QString& bezeichnung)
{
    QVariantMap row;
    if (!m_env.ensureOpen(kCommand))
        return row;
    Recordset& rs = m_env.recordset(kCommand);
    // The name is compared as a value: no text of an entry ever becomes part of a query.
    rs.setFilter(QStringLiteral("Bezeichnung"), bezeichnung);
    if (rs.find(QStringLiteral("Typ"), static_cast<int>(aktHWTyp))) {
        for (const QString& column : rs.fields())
            row.insert(column, rs.value(column));
    }
    return row;
}

bool clsQMTest::DoEinzelpruefung(QMNode* node)
{
    QPointer<clsQMTest> self(this);
    kritischerFehler = false;
    bool ebene = true;
    while (node && !CancelQMTest && !kritischerFehler) {
        if (node->checked) {
            m_tree.select(node);
            m_tree.setFarbe(node, QMNode::Farbe::Hellblau);
            const QVariantMap row = zeileVon(node->text);
            if (!row.isEmpty()) {
                const QString name = row.value(QStringLiteral("Prozedurname")).toString();
                const int durchgaenge = row.value(QStringLiteral("Durchgaenge")).toInt();
                for (int pass = 0; pass < durchgaenge; ++pass) {
                    if (!name.isEmpty()) {
                        m_aktZeile = row;
                        m_protokoll.beginSchritt(node->text);
                        emit schrittBegonnen(node->text, name);
                        QString error;
                        m_ergebnis = callProcedure(name, &error);
                        if (!self)
                            return false;
                        if (!error.isEmpty()) {
                            m_ergebnis = false;
                            Info().show(kAufrufFehler + name + QStringLiteral("\r\n") + error, 0);
                        }
                        const bool ohne = !hasResult(name) && error.isEmpty();
                        m_protokoll.endSchritt(ohne ? -1 : int(m_ergebnis));
                        m_schritte.append({node->text, name, m_ergebnis, ohne});
                        emit schrittBeendet(node->text, name, m_ergebnis);
                        ebene = ebene && m_ergebnis;
                        if (CancelQMTest || kritischerFehler)
                            break;
                    }
                    if (!node->children.empty())
                        ebene = DoEinzelpruefung(node->firstChild());
                    if (!self)
                        return false;
                }
                if (!name.isEmpty())
                    m_tree.setFarbe(node, m_ergebnis ? QMNode::Farbe::Gruen : QMNode::Farbe::Rot);
                m_ergebnis = m_ergebnis && ebene;
            }
        }
        node = m_tree.nextSibling(node);
    }
    if (m_env.recordset(kCommand).isOpen())
        m_env.recordset(kCommand).clearFilter();
    return m_ergebnis;
}

void clsQMTest::registerProcedure(const QString& name, Procedure procedure, Ergebnis ergebnis)
{
    m_procedures.insert(name.toLower(), {name, std::move(procedure)});
    m_ohneErgebnis.insert(name.toLower(), ergebnis == Ergebnis::Keins);
}

bool clsQMTest::hasResult(const QString& name) const
{
    return !m_ohneErgebnis.value(name.toLower(), false);
}

bool clsQMTest::hasProcedure(const QString& name) const
{
    return m_procedures.contains(name.toLower());
}

QStringList clsQMTest::procedureNames() const
{
    QStringList names;
    for (const auto& entry : m_procedures)
        names << entry.first;
    names.sort(Qt::CaseInsensitive);
    return names;
}

bool clsQMTest::callProcedure(const QString& name, QString* error)
{
    const auto it = m_procedures.constFind(name.toLower());
    if (it == m_procedures.constEnd()) {
        if (error)
            *error = kUnbekannt;
        return false;
    }
    // A copy: a procedure may register or replace procedures while it runs.
    const Procedure procedure = it->second;
    QString inner;
    const bool ok = procedure(&inner);
    if (error)
        *error = inner;
    return ok && inner.isEmpty();
}

QVariant clsQMTest::aktZeile(const QString& column) const
{
    for (auto it = m_aktZeile.constBegin(); it != m_aktZeile.constEnd(); ++it) {
        if (it.key().compare(column, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return {};
}

bool clsQMTest::allePassed() const
{
    return schritteMitErgebnis() > 0 && fehlgeschlagen().isEmpty();
}

int clsQMTest::schritteMitErgebnis() const
{
    int n = 0;
    for (const Schritt& s : m_schritte)
        n += s.ohneErgebnis ? 0 : 1;
    return n;
}

QStringList clsQMTest::fehlgeschlagen() const
{
    QStringList names;
    for (const Schritt& s : m_schritte) {
        if (!s.ohneErgebnis && !s.bestanden)
            names << s.bezeichnung;
    }
    return names;
}

} // namespace vemro
