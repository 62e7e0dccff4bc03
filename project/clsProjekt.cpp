#include "project/clsProjekt.h"

#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"
#include "platform/clsInfo.h"
#include "project/DataEnvironment.h"
#include "project/ProjectFiles.h"
#include "project/ProjectWindow.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace vemro {

namespace {

struct UpgradeStep
{
    const char* from;
    const char* statement;
    const char* to;
};

// Each step is applied once, in order; one call walks an old file to the newest schema.
constexpr UpgradeStep kUpgradeSteps[] = {
    {"1.0", "ALTER TABLE Terminaleinstellungen ADD COLUMN Terminaladresse INTEGER", "1.1"},
    {"1.1", "ALTER TABLE TastaturModus ADD COLUMN UseMatrix Bit", "1.2"},
    {"1.2", "ALTER TABLE Terminaleinstellungen ADD COLUMN ComSettingsProg TEXT(20)", "1.3"},
    {"1.3", "ALTER TABLE Terminaleinstellungen ADD COLUMN UseRS485 Bit", "1.4"},
};

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
    if (QFileInfo::exists(target)) {
        if (ui().ask(QStringLiteral("Projekt existiert bereits, überschreiben?"),
                     UserInterface::Buttons::YesNo, kProductName) != UserInterface::Answer::Yes)
            return NewResult::KeptExisting;
    }
    if (quelle.isEmpty() || !QFileInfo(source).isFile()) {
        ui().message(QStringLiteral("Hardwarevorlage nicht gefunden : ") + source, kProductName);
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
    // Copy beside the target and rename: a failed copy leaves the old file whole.
    const QString temp = target + QStringLiteral(".neu");
    QFile::remove(temp);
    if (!QFile::copy(source, temp)) {
        ui().message(QStringLiteral("Projekt kann nicht angelegt werden : ") + target,
                     kProductName);
        return NewResult::Failed;
    }
    QFile(temp).setPermissions(QFile(temp).permissions() | QFileDevice::WriteOwner);
    QFile::remove(target);
    if (!QFile::rename(temp, target)) {
        QFile::remove(temp);
        ui().message(QStringLiteral("Projekt kann nicht angelegt werden : ") + target,
                     kProductName);
        return NewResult::Failed;
    }
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
    if (bezeichnung.isEmpty() || !QFileInfo(file).isFile()) {
        ui().message(QStringLiteral("Projektdatei nicht gefunden "), kProductName);
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
    QSqlDatabase db = m_env.database(DataEnvironment::kProjekt);
    const bool transaction = db.transaction();
    QString error;
    const bool ok = m_window->SaveToProject(&error);
    if (ok && (!transaction || db.commit()))
        return true;
    if (ok)
        error = db.lastError().text();
    if (transaction)
        db.rollback();
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
    const QString file = ProjektDatei(bezeichnung);
    if (bezeichnung.isEmpty() || !QFileInfo(file).isFile()) {
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

bool clsProjekt::connectFile(const QString& file, QString* error)
{
    m_env.setConnectionString(DataEnvironment::kProjekt, DataEnvironment::connectionText(file));
    return m_env.open(DataEnvironment::kProjekt, error);
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
        QSqlQuery query(m_env.database(DataEnvironment::kProjekt));
        if (!query.exec(QString::fromLatin1(step->statement))) {
            ui().message(QStringLiteral("Fehler bei DB-Update : ") + query.lastError().text(),
                         kProductName);
            return false;
        }
        query.finish();
        // The header was loaded before the table changed; its values are still current.
        if (!header.setValue(QStringLiteral("DBVersion"), QString::fromLatin1(step->to)) ||
            !header.update()) {
            ui().message(QStringLiteral("Fehler bei DB-Update : ") + header.lastError(),
                         kProductName);
            header.cancelUpdate();
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
