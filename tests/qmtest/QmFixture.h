#pragma once

#include "project/DataEnvironment.h"
#include "project/ProgramDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace vemro::test {

// One row of table QMTests.
struct QmRow
{
    QString bezeichnung;
    int eintragstyp = 2; // 1 = group
    QString prozedur;    // empty: NULL
    int durchgaenge = 1;
    int typ = 1;
    bool aktiv = true;
    QVariant min = {};
};

inline QString sqlText(const QString& s)
{
    return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// A project database on disk with the program's schema, the given test list and a default
// terminal settings row, connected as "Projekt" of a fresh data environment.
class QmProject
{
public:
    bool create(const QList<QmRow>& rows, QString* error)
    {
        QFile schemaFile(qEnvironmentVariable("VEMRO_SOURCE_DIR") +
                         QStringLiteral("/data/project_schema.sql"));
        if (!schemaFile.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("project_schema.sql fehlt");
            return false;
        }
        QString script = QString::fromUtf8(schemaFile.readAll());
        script += QStringLiteral("\nINSERT INTO Terminaleinstellungen (ParameterMode, SendMode, "
                                 "Comsettings, Display_Zeilen, Display_Spalten) VALUES "
                                 "(1, 2, '19200,n,8,1', 4, 20);\n");
        int order = 10;
        int id = 1;
        for (const QmRow& r : rows) {
            script += QStringLiteral("INSERT INTO QMTests (ID, Bezeichnung, Typ, Reihenfolge, "
                                     "aktiv, Eintragstyp, Gruppe, Prozedurname, Durchgaenge, Min) "
                                     "VALUES (%1, %2, %3, %4, %5, %6, '1', %7, %8, %9);\n")
                          .arg(id++)
                          .arg(sqlText(r.bezeichnung))
                          .arg(r.typ)
                          .arg(order)
                          .arg(r.aktiv ? 1 : 0)
                          .arg(r.eintragstyp)
                          .arg(r.prozedur.isEmpty() ? QStringLiteral("NULL") : sqlText(r.prozedur))
                          .arg(r.durchgaenge)
                          .arg(r.min.isValid() ? r.min.toString() : QStringLiteral("NULL"));
            order += 10;
        }
        m_file = m_dir.filePath(QStringLiteral("qm%1.mdb").arg(++m_count));
        if (!BuildDatabaseFile(m_file, {script}, error))
            return false;
        m_env = std::make_unique<DataEnvironment>();
        m_env->setConnectionString(DataEnvironment::kProjekt,
                                   DataEnvironment::connectionText(m_file));
        return m_env->open(DataEnvironment::kProjekt, error);
    }

    [[nodiscard]] DataEnvironment& env() { return *m_env; }
    [[nodiscard]] QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_file;
    int m_count = 0;
    std::unique_ptr<DataEnvironment> m_env;
};

} // namespace vemro::test
