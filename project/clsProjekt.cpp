#include "project/clsProjekt.h"

#include "platform/ProgramInfo.h"
#include "platform/SqlTransaction.h"
#include "platform/UserInterface.h"
#include "platform/clsInfo.h"
#include "project/DataEnvironment.h"
#include "project/DatabaseMessage.h"
#include "project/ProjectFiles.h"
#include "project/ProjectWindow.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace vemro {

namespace {

struct UpgradeStep
{
    const char* from;
    const char* statement;
    const char* to;
    const char* table;  // the table the statement changes
    const char* column; // the column it adds
};

// Each step is applied once, in order; one call walks an old file to the newest schema.
constexpr UpgradeStep kUpgradeSteps[] = {
    {"1.0", "ALTER TABLE Terminaleinstellungen ADD COLUMN Terminaladresse INTEGER", "1.1",
     "Terminaleinstellungen", "Terminaladresse"},
    {"1.1", "ALTER TABLE TastaturModus ADD COLUMN UseMatrix Bit", "1.2", "TastaturModus",
     "UseMatrix"},
    {"1.2", "ALTER TABLE Terminaleinstellungen ADD COLUMN ComSettingsProg TEXT(20)", "1.3",
     "Terminaleinstellungen", "ComSettingsProg"},
    {"1.3", "ALTER TABLE Terminaleinstellungen ADD COLUMN UseRS485 Bit", "1.4",
     "Terminaleinstellungen", "UseRS485"},
};

bool hasColumn(const QSqlDatabase& db, const QString& table, const QString& column)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table)))
        return false;
    while (q.next()) {
        if (q.value(1).toString().compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Temporary copies of new projects: hidden and without "mdb" in the name, so that a copy
// left behind by a killed program never shows up in the project list.
const QString kTempPrefix = QStringLiteral(".vemro-neu-");

// Removes copies left behind by programs that no longer run.
void removeStaleCopies(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({kTempPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden)) {
        bool ok = false;
        const qint64 pid =
            name.mid(kTempPrefix.size()).section(QLatin1Char('.'), 0, 0).toLongLong(&ok);
        if (ok && pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(dir.filePath(name));
    }
}

// Flushes a file to the disk, so that a rename after it never publishes a half-written file.
bool syncFile(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    return ::fsync(f.handle()) == 0;
}

class BusyPointer
{
public:
    BusyPointer() { ui().setBusy(true); }
    ~BusyPointer() { ui().setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace

clsProjekt::clsProjekt(DataEnvironment& env) : m_env(env) {}

void clsProjekt::setBasispfad(const QString& folder)
{
    m_basispfad = folder;
    if (!m_basispfad.isEmpty() && !m_basispfad.endsWith(QLatin1Char('/')))
        m_basispfad.append(QLatin1Char('/'));
}

QString clsProjekt::ProjektDatei(const QString& bezeichnung) const
{
    return m_basispfad + bezeichnung + QStringLiteral(".mdb");
}

bool clsProjekt::isOpen() const
{
    return m_env.isOpen(DataEnvironment::kProjekt);
}

clsProjekt::NewResult clsProjekt::newProjekt(const QString& quelle, const QString& newBezeichnung)
{
    // The dialog checks the name already; a name from elsewhere (vemro-cli) must not
    // reach the file system unchecked either.
    // Every broken rule is reported, in the dialog's order.
    const QStringList problems = ProjectFiles::NameProblems(newBezeichnung);
    if (!problems.isEmpty()) {
        for (const QString& problem : problems)
            ui().message(problem, kProductName);
        return NewResult::Failed;
    }
    const QString source = ProjectFiles::TemplateFile(quelle);
    const QString target = ProjektDatei(newBezeichnung);
    // The program database lies in the project folder when ProjektPfad is empty.
    if (ProjectFiles::IsProgramDatabase(target)) {
        ui().message(
            QStringLiteral("Der Name %1 ist der Programmdatenbank vorbehalten").arg(newBezeichnung),
            kProductName);
        return NewResult::Failed;
    }
    if (QFileInfo::exists(target)) {
        if (ui().ask(QStringLiteral("Projekt existiert bereits, überschreiben?"),
                     UserInterface::Buttons::YesNo, kProductName) != UserInterface::Answer::Yes)
            return NewResult::KeptExisting;
    }
    if (quelle.isEmpty() || !QFileInfo(source).isFile()) {
        ui().message(QStringLiteral("Hardwarevorlage nicht gefunden : ") + source, kProductName);
        return NewResult::Failed;
    }
    // A broken template would give a project that cannot be opened: check it first.
    QString reason;
    if (!ProjectFiles::CheckProjectDatabase(source, &reason)) {
        ui().message(QStringLiteral("Die Hardwarevorlage %1 ist keine gültige Projektdatenbank "
                                    "und wurde nicht kopiert. Bitte die Vorlage %2 ersetzen "
                                    "oder eine andere wählen. (%3)")
                         .arg(quelle, source, reason),
                     kProductName);
        return NewResult::Failed;
    }
    if (!QDir().mkpath(m_basispfad)) {
        ui().message(QStringLiteral("Projektverzeichnis kann nicht angelegt werden : ") +
                         m_basispfad,
                     kProductName);
        return NewResult::Failed;
    }
    // The project being replaced must not stay connected to a file that changes under it.
    if (QFileInfo(target) ==
        QFileInfo(DataEnvironment::dataSourceOf(m_env.connectionString(DataEnvironment::kProjekt))))
        closeProjekt();
    // Copy beside the target and rename over it in one step: whenever the program stops,
    // the folder holds the old project or the new one, never none.
    removeStaleCopies(m_basispfad);
    const QString temp =
        m_basispfad + kTempPrefix + QString::number(QCoreApplication::applicationPid());
    QFile::remove(temp);
    const auto cannotCreate = [&] {
        QFile::remove(temp);
        ui().message(QStringLiteral("Projekt kann nicht angelegt werden : ") + target,
                     kProductName);
        return NewResult::Failed;
    };
    if (!QFile::copy(source, temp))
        return cannotCreate();
    QFile(temp).setPermissions(QFile(temp).permissions() | QFileDevice::WriteOwner);
    if (!syncFile(temp) || std::rename(QFile::encodeName(temp).constData(),
                                       QFile::encodeName(target).constData()) != 0)
        return cannotCreate();
    return NewResult::Created;
}

QString clsProjekt::importProjekt(const QString& file, bool* copied)
{
    if (copied)
        *copied = false;
    const QFileInfo chosen(file);
    const QString name = ProjectFiles::EntryFromFileName(chosen.fileName());
    if (name.isEmpty()) {
        ui().message(QStringLiteral("Keine Projektdatei (*.mdb) : ") + file, kProductName);
        return {};
    }
    if (chosen.absoluteDir() == QDir(m_basispfad))
        return name;
    // Projects live in the project folder; one from elsewhere is copied in first.
    const QStringList problems = ProjectFiles::NameProblems(name);
    if (!problems.isEmpty()) {
        ui().message(problems.first(), kProductName);
        return {};
    }
    if (ui().ask(QStringLiteral("Die Datei liegt nicht im Projektverzeichnis. In das "
                                "Projektverzeichnis kopieren und öffnen?"),
                 UserInterface::Buttons::YesNo, kProductName) != UserInterface::Answer::Yes)
        return {};
    const QString target = ProjektDatei(name);
    if (QFileInfo::exists(target)) {
        if (ui().ask(QStringLiteral("Projekt existiert bereits, überschreiben?"),
                     UserInterface::Buttons::YesNo, kProductName) != UserInterface::Answer::Yes)
            return {};
        if (name == m_bezeichnung)
            closeProjekt();
    }
    // Copy beside the target and rename: a failed copy leaves the old project whole.
    const QString temp = target + QStringLiteral(".neu");
    QFile::remove(temp);
    const bool ok =
        QFile::copy(file, temp) &&
        QFile(temp).setPermissions(QFile(temp).permissions() | QFileDevice::WriteOwner) &&
        (!QFileInfo::exists(target) || QFile::remove(target)) && QFile::rename(temp, target);
    if (!ok) {
        QFile::remove(temp);
        ui().message(QStringLiteral("Projekt kann nicht kopiert werden : ") + target, kProductName);
        return {};
    }
    if (copied)
        *copied = true;
    return name;
}

void clsProjekt::openFailed(const QString& description)
{
    ui().message(QStringLiteral("clsProjekt:openProjekt Method : ") + description, kProductName);
}

void clsProjekt::reconnectPrevious()
{
    // The window still shows the previous project: keep the connection on it, so that
    // a later save goes where the window's data came from.
    if (m_bezeichnung.isEmpty())
        return;
    QString error;
    if (!connectFile(ProjektDatei(m_bezeichnung), &error))
        m_env.close(DataEnvironment::kProjekt);
}

void clsProjekt::openProjekt(const QString& bezeichnung)
{
    // 1.
    closeProjekt();
    // 2.
    const QString file = ProjektDatei(bezeichnung);
    if (bezeichnung.isEmpty() || !QFileInfo(file).isFile() ||
        ProjectFiles::IsProgramDatabase(file)) {
        // A folder or a device under the name is said as such: "not found" would mislead.
        const bool other =
            !bezeichnung.isEmpty() && QFileInfo(file).exists() && !QFileInfo(file).isFile();
        ui().message(other ? DatabaseMessage::notAFile(file)
                           : QStringLiteral("Projektdatei nicht gefunden "),
                     kProductName);
        reconnectPrevious();
        return;
    }
    // 3.-8.: a failing step is reported and the next one runs.
    QString error;
    if (!connectFile(file, &error))
        openFailed(error);
    if (!m_env.execute(QStringLiteral("cmdProjekt"), {}, &error))
        openFailed(error);
    UpdateProjekt();
    if (!m_env.execute(QStringLiteral("cmdTerminaleinstellung"), {}, &error))
        openFailed(error);
    if (!CheckMinProgversion()) {
        closeProjekt();
        reconnectPrevious();
        return;
    }
    if (!m_env.execute(QStringLiteral("cmdDisplaytyp"), {}, &error))
        openFailed(error);
    if (m_window && !m_window->FillRegisterTabs(&error))
        openFailed(error);
    if (m_window && !m_window->FillTestListe(&error))
        openFailed(error);

    // 9.-10.: failures are skipped; on the serial path the first one is reported once.
    m_bezeichnung = bezeichnung;
    if (m_window) {
        QString pending;
        m_window->LoadFromProject(bezeichnung, pending);
        const bool serial = m_window->RestoreInterface(pending);
        if (serial && !pending.isEmpty())
            Info().show(QStringLiteral("Schnittstellenfehler, bitte prüfen / ") + pending, 0);
    }
    // 11.
    rememberRecentlyUsed(bezeichnung);
    // 12.
    m_isLoaded = true;
}

QString clsProjekt::recentlyUsed()
{
    if (!m_env.execute(QStringLiteral("cmdProjektLRU")))
        return {};
    Recordset& lru = m_env.recordset(QStringLiteral("cmdProjektLRU"));
    lru.moveFirst();
    const QString name =
        lru.eof() ? QString() : lru.value(QStringLiteral("Bezeichnung")).toString();
    lru.close();
    return !name.isEmpty() && QFileInfo::exists(ProjektDatei(name)) ? name : QString();
}

void clsProjekt::rememberRecentlyUsed(const QString& bezeichnung)
{
    if (!m_env.ensureOpen(QStringLiteral("cmdProjektLRU")))
        return;
    Recordset& lru = m_env.recordset(QStringLiteral("cmdProjektLRU"));
    lru.moveFirst();
    if (lru.eof() || lru.value(QStringLiteral("Bezeichnung")).toString() != bezeichnung) {
        if (lru.recordCount() == 0)
            (void)lru.addNew();
        else
            lru.moveFirst();
        (void)lru.setValue(QStringLiteral("Bezeichnung"), bezeichnung);
        (void)lru.setValue(QStringLiteral("lastused"), QDateTime::currentDateTime().toString(
                                                           QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        (void)lru.setValue(QStringLiteral("Nr"), lru.recordCount());
        if (!lru.update())
            lru.cancelUpdate();
    }
    lru.close();
}

void clsProjekt::closeProjectRecordsets()
{
    for (const char* name :
         {"cmdProjekt", "cmdTerminaleinstellung", "cmdFesttexte", "cmdTastencodes",
          "cmdTastaturmodus", "cmdUserzeichen", "cmdProgRegister", "cmdDisplaytyp", "cmdQMTests"})
        m_env.recordset(QString::fromLatin1(name)).close();
}

bool clsProjekt::SaveProjekt()
{
    if (!isOpen()) {
        ui().message(QStringLiteral("Kein Projekt geöffnet"), kProductName);
        return false;
    }
    if (!m_window)
        return true;
    // Several tables change: one transaction, so that a crash leaves the old project or
    // the new one, never a mix.
    SqlTransaction transaction(m_env.database(DataEnvironment::kProjekt));
    QString error = transaction.error();
    if (transaction.ok()) {
        if (m_window->SaveToProject(&error) && transaction.commit())
            return true;
        if (error.isEmpty())
            error = transaction.error();
        transaction.rollback();
    }
    // The recordsets hold what was rolled back; they reload on their next use.
    closeProjectRecordsets();
    ui().message(QStringLiteral("Projekt konnte nicht gespeichert werden : ") + error,
                 kProductName);
    return false;
}

void clsProjekt::closeProjekt()
{
    if (isOpen() || !m_env.connectionString(DataEnvironment::kProjekt).isEmpty())
        m_env.close(DataEnvironment::kProjekt);
}

bool clsProjekt::deleteProjekt(const QString& bezeichnung)
{
    // Only a project of the project folder, named by the rules of a new one: "../VEMRO" or
    // "../Hardware/vx_standard" must never reach the file system.
    const QStringList problems = ProjectFiles::NameProblems(bezeichnung);
    if (!problems.isEmpty()) {
        ui().message(problems.first(), kProductName);
        return false;
    }
    const QString file = ProjektDatei(bezeichnung);
    if (ProjectFiles::IsProgramDatabase(file)) {
        ui().message(QStringLiteral("Die Programmdatenbank ist kein Projekt und wird nicht "
                                    "gelöscht : ") +
                         file,
                     kProductName);
        return false;
    }
    if (!QFileInfo(file).isFile() || !ProjectFiles::IsInFolder(file, m_basispfad)) {
        ui().message(QStringLiteral("Projektdatei nicht gefunden "), kProductName);
        return false;
    }
    const bool open = !m_bezeichnung.isEmpty() && bezeichnung == m_bezeichnung && isOpen();
    const QString question =
        open ? QStringLiteral("Projekt '%1' ist geöffnet. Schließen und wirklich löschen?")
             : QStringLiteral("Projekt '%1' wirklich löschen?");
    if (ui().ask(question.arg(bezeichnung), UserInterface::Buttons::YesNo, kProductName) !=
        UserInterface::Answer::Yes)
        return false;
    if (open) {
        // The file is held open by the data environment: let go of it first.
        closeProjekt();
        m_bezeichnung.clear();
        m_isLoaded = false;
    }
    if (!QFile::remove(file)) {
        ui().message(QStringLiteral("Projektdatei kann nicht gelöscht werden : ") + file,
                     kProductName);
        return false;
    }
    if (m_env.execute(QStringLiteral("cmdProjektLRU"))) {
        Recordset& lru = m_env.recordset(QStringLiteral("cmdProjektLRU"));
        lru.moveFirst();
        while (lru.find(QStringLiteral("Bezeichnung"), bezeichnung)) {
            if (lru.value(QStringLiteral("Bezeichnung")).toString() != bezeichnung) {
                lru.moveNext(); // the search ignores case; names on Linux do not
                continue;
            }
            if (!lru.deleteCurrent())
                break;
        }
        lru.close();
    }
    return true;
}

bool clsProjekt::connectFile(const QString& file, QString* error, bool readOnly)
{
    m_env.setConnectionString(DataEnvironment::kProjekt, DataEnvironment::connectionText(file));
    return m_env.open(DataEnvironment::kProjekt, error, readOnly);
}

bool clsProjekt::Hardwarebezeichnung(QString& text, QString* error)
{
    if (!m_env.ensureOpen(QStringLiteral("cmdProjekt"), error))
        return false;
    Recordset& header = m_env.recordset(QStringLiteral("cmdProjekt"));
    header.moveFirst();
    text = header.value(QStringLiteral("RKHardwarebezeichnung")).toString();
    return true;
}

QString clsProjekt::DBVersion()
{
    if (!m_env.ensureOpen(QStringLiteral("cmdProjekt")))
        return QString();
    return m_env.recordset(QStringLiteral("cmdProjekt"))
        .value(QStringLiteral("DBVersion"))
        .toString();
}

bool clsProjekt::UpdateProjekt()
{
    BusyPointer busy;
    Recordset& header = m_env.recordset(QStringLiteral("cmdProjekt"));
    QString error;
    if (!header.isOpen() && !m_env.execute(QStringLiteral("cmdProjekt"), {}, &error)) {
        ui().message(QStringLiteral("Fehler bei DB-Update : ") + error, kProductName);
        return false;
    }
    for (;;) {
        header.moveFirst();
        if (header.eof())
            return true; // no header record: nothing to upgrade
        const QVariant version = header.value(QStringLiteral("DBVersion"));
        if (version.isNull())
            return true;
        const QString text = version.toString();
        const UpgradeStep* step = nullptr;
        for (const UpgradeStep& s : kUpgradeSteps) {
            if (text == QLatin1String(s.from))
                step = &s;
        }
        if (!step)
            return true;
        // The statement and its version go in one transaction: a file is never marked
        // newer than its schema, nor left with the column but the old version.
        QSqlDatabase db = m_env.database(DataEnvironment::kProjekt);
        const QString file = db.databaseName();
        SqlTransaction transaction(db);
        if (!transaction.ok()) {
            ui().message(QStringLiteral("Fehler bei DB-Update : ") +
                             DatabaseMessage::text(transaction.sqlError(), file),
                         kProductName);
            return false;
        }
        QString reason;
        // A column that exists already was added by an upgrade whose version write was
        // lost: the step only records its version.
        if (!hasColumn(db, QString::fromLatin1(step->table), QString::fromLatin1(step->column))) {
            QSqlQuery query(db);
            if (!query.exec(QString::fromLatin1(step->statement)))
                reason = DatabaseMessage::text(query.lastError(), file);
        }
        if (reason.isEmpty() &&
            (!header.setValue(QStringLiteral("DBVersion"), QString::fromLatin1(step->to)) ||
             !header.update()))
            reason = header.lastError();
        if (reason.isEmpty() && !transaction.commit())
            reason = transaction.sqlError().isValid()
                         ? DatabaseMessage::text(transaction.sqlError(), file)
                         : transaction.error();
        if (!reason.isEmpty()) {
            transaction.rollback();
            header.cancelUpdate();
            (void)header.requery(); // back to what the file holds
            ui().message(QStringLiteral("Fehler bei DB-Update : ") + reason, kProductName);
            return false;
        }
    }
}

bool clsProjekt::CheckMinProgversion()
{
    const QString program = ProgramVersionText();
    if (!m_env.ensureOpen(QStringLiteral("cmdProjekt")))
        return true;
    Recordset& header = m_env.recordset(QStringLiteral("cmdProjekt"));
    header.moveFirst();
    const QVariant minimum = header.value(QStringLiteral("minProgversion"));
    if (minimum.isNull())
        return true;
    // Plain character-code comparison, as the stored texts have always been compared.
    if (minimum.toString().compare(program, Qt::CaseSensitive) > 0) {
        ui().message(QStringLiteral("Projekt benötigt mindestens Programmversion ") +
                         minimum.toString(),
                     kProductName);
        return false;
    }
    return true;
}

} // namespace vemro
