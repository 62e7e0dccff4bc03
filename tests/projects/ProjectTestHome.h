#pragma once

#include "platform/ProgramInfo.h"
#include "project/ProgramDatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include <memory>

// A program folder of its own for each test: VEMRO.mdb, Hardware/ with the built
// templates and an empty Projekte/.
class ProjectTestHome
{
public:
    ProjectTestHome()
    {
        vemro::setProgramFolder(m_dir.path());
        QDir(m_dir.path()).mkpath(QStringLiteral("Projekte"));
    }
    ~ProjectTestHome() { vemro::setProgramFolder(QString()); }

    [[nodiscard]] QString path() const { return m_dir.path(); }
    [[nodiscard]] QString projects() const { return m_dir.path() + QStringLiteral("/Projekte/"); }

    [[nodiscard]] static QString builtTemplate(const QString& name)
    {
        return qEnvironmentVariable("VEMRO_PROGRAM_DIR") + QStringLiteral("/Hardware/") + name +
               QStringLiteral(".mdb");
    }
    bool installTemplates(const QStringList& names = {QStringLiteral("vx_standard"),
                                                      QStringLiteral("vx_1602")})
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("Hardware"));
        for (const QString& n : names) {
            if (!QFile::copy(builtTemplate(n), m_dir.path() + QStringLiteral("/Hardware/") + n +
                                                   QStringLiteral(".mdb")))
                return false;
        }
        return true;
    }
    // A project file made from a built template, optionally changed by SQL statements.
    bool makeProject(const QString& name, const QString& hardware = QStringLiteral("vx_standard"),
                     const QStringList& statements = {})
    {
        const QString file = projects() + name + QStringLiteral(".mdb");
        QFile::remove(file);
        if (!QFile::copy(builtTemplate(hardware), file))
            return false;
        QFile(file).setPermissions(QFile(file).permissions() | QFileDevice::WriteOwner);
        return exec(file, statements);
    }
    static bool exec(const QString& file, const QStringList& statements)
    {
        bool ok = true;
        const QString conn = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
            db.setDatabaseName(file);
            ok = db.open();
            for (const QString& s : statements) {
                QSqlQuery q(db);
                if (!q.exec(s)) {
                    qWarning() << s << q.lastError().text();
                    ok = false;
                }
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(conn);
        return ok;
    }
    static QVariant query(const QString& file, const QString& sql)
    {
        QVariant v;
        const QString conn = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
            db.setDatabaseName(file);
            if (db.open()) {
                QSqlQuery q(db);
                if (q.exec(sql) && q.next())
                    v = q.value(0);
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(conn);
        return v;
    }
    [[nodiscard]] QVariant projectValue(const QString& name, const QString& sql) const
    {
        return query(projects() + name + QStringLiteral(".mdb"), sql);
    }
    [[nodiscard]] QVariant programValue(const QString& sql) const
    {
        return query(m_dir.path() + QStringLiteral("/VEMRO.mdb"), sql);
    }

private:
    QTemporaryDir m_dir;
};
