#include "project/BefehlComposer.h"
#include "project/Befehlskatalog.h"
#include "project/DataEnvironment.h"
#include "project/SqlScript.h"
#include "qmtest/clsQMTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Rows of the command catalogue and of QMTests as a project may hold them (any value of any
// type in any column, groups and commands pointing anywhere): the catalogue loads, every
// command composes from its defaults and the test list fills, all without failing hard.
namespace {

const char* const kTables[] = {"Befehlsgruppen", "Befehlssatz", "Befehlsparameter", "QMTests"};
const QStringList kColumns[] = {
    {"ID", "Bezeichnung"},
    {"ID", "Gruppe_ID", "Bezeichnung", "Sequenz", "Abschlusszeichen"},
    {"ID", "Befehl_ID", "Reihenfolge", "Bezeichnung", "Typ", "Min", "Max", "\"Default\"",
     "Einheit"},
    {"ID", "Bezeichnung", "Typ", "Reihenfolge", "aktiv", "Eintragstyp", "Gruppe", "Prozedurname",
     "Durchgaenge", "Min"},
};

struct Fixture
{
    std::unique_ptr<QCoreApplication> app;
    QString file;
    QSqlDatabase writer;
    vemro::DataEnvironment env;
    // Prepared once: the rows of each input go in through the same statements.
    std::vector<QSqlQuery> clear;
    std::vector<QSqlQuery> insert;
};

Fixture* g = nullptr;

// One value from the input: Null, a whole number, a real or a short text.
QVariant takeValue(const uint8_t*& p, const uint8_t* end)
{
    if (p >= end)
        return QVariant();
    const uint8_t kind = *p++;
    switch (kind % 4) {
    case 0:
        return QVariant();
    case 1: {
        qint64 v = 0;
        for (int k = 0; k < 2 && p < end; ++k)
            v = (v << 8) | *p++;
        return v - 20000;
    }
    case 2:
        return (p < end ? static_cast<int8_t>(*p++) : 0) / 3.0;
    default: {
        const size_t len = std::min<size_t>(kind / 4 % 24, static_cast<size_t>(end - p));
        const QString s =
            QString::fromUtf8(reinterpret_cast<const char*>(p), static_cast<qsizetype>(len));
        p += len;
        return s;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    g = new Fixture;
    g->app = std::make_unique<QCoreApplication>(*argc, *argv);
    g->file = QDir::temp().filePath(
        QStringLiteral("vemro-fuzz-tables-%1.mdb").arg(QCoreApplication::applicationPid()));
    QFile::remove(g->file);
    QFile schema(QStringLiteral(VEMRO_PROJECT_SCHEMA));
    if (!schema.open(QIODevice::ReadOnly))
        __builtin_trap();
    g->writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
    g->writer.setDatabaseName(g->file);
    QString error;
    if (!g->writer.open() ||
        !vemro::RunSqlScript(g->writer, QString::fromUtf8(schema.readAll()), &error))
        __builtin_trap();
    // The journal stays in memory: every input is one transaction, and a file journal
    // made and removed for each costs more than the loading the harness is for.
    QSqlQuery(g->writer).exec(QStringLiteral("PRAGMA synchronous=OFF"));
    QSqlQuery(g->writer).exec(QStringLiteral("PRAGMA journal_mode=MEMORY"));
    g->env.setConnectionString(vemro::DataEnvironment::kProjekt,
                               vemro::DataEnvironment::connectionText(g->file));
    if (!g->env.open(vemro::DataEnvironment::kProjekt, &error))
        __builtin_trap();
    for (int t = 0; t < 4; ++t) {
        QStringList marks;
        for (int k = 0; k < kColumns[t].size(); ++k)
            marks << QStringLiteral("?");
        g->clear.emplace_back(g->writer);
        g->insert.emplace_back(g->writer);
        // IDs are kept small so that rows refer to each other.
        if (!g->clear.back().prepare(
                QStringLiteral("DELETE FROM %1").arg(QLatin1String(kTables[t]))) ||
            !g->insert.back().prepare(QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (%3)")
                                          .arg(QLatin1String(kTables[t]),
                                               kColumns[t].join(QLatin1Char(',')),
                                               marks.join(QLatin1Char(',')))))
            __builtin_trap();
    }
    std::atexit([] { QFile::remove(g->file); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g->writer.transaction();
    for (QSqlQuery& clear : g->clear)
        clear.exec();
    const uint8_t* p = data;
    const uint8_t* end = data + size;
    int rows = 0;
    while (p < end && rows < 60) {
        const int t = *p++ % 4;
        QSqlQuery& insert = g->insert[static_cast<size_t>(t)];
        insert.bindValue(0, p < end ? QVariant(*p++ % 8) : QVariant());
        for (int k = 1; k < kColumns[t].size(); ++k) {
            QVariant v = takeValue(p, end);
            if (k == 1 && t != 3 && v.typeId() == QMetaType::LongLong)
                v = v.toLongLong() % 8;
            insert.bindValue(k, v);
        }
        insert.exec();
        ++rows;
    }
    g->writer.commit();

    vemro::DataEnvironment& env = g->env;
    for (const char* c : {"cmdBefehlsgruppen", "cmdBefehle", "cmdBefehlsparameter", "cmdQMTests"})
        env.recordset(QString::fromLatin1(c)).close();
    QList<vemro::Befehlsgruppe> groups;
    QString error;
    if (!vemro::Befehlskatalog::load(env, groups, &error))
        __builtin_trap(); // every column is there
    for (const vemro::Befehlsgruppe& group : groups) {
        for (const vemro::Befehl& b : group.Befehle) {
            if (vemro::Befehlskatalog::find(groups, b.ID) == nullptr)
                __builtin_trap();
            const QList<vemro::ParameterEingabe> in = vemro::BefehlComposer::Vorgaben(b);
            for (int mode : {0, 1}) {
                QList<bool> bad;
                if (vemro::BefehlComposer::CheckParameter(b, in, mode, &bad))
                    (void)vemro::BefehlComposer::CreateBefehlstext(b, in, mode);
            }
        }
    }
    vemro::clsQMTest test(env);
    test.aktHWTyp = size > 0 ? static_cast<qint16>(data[0] % 4) : 1;
    if (!test.FillTestListe(&error))
        __builtin_trap();
    for (vemro::QMNode* node : test.QMListe().allNodes())
        (void)test.zeileVon(node->text);
    return 0;
}
