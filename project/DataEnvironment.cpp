#include "project/DataEnvironment.h"

#include "project/DatabaseMessage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace vemro {

namespace {

QStringList columns(const char* names)
{
    return QString::fromLatin1(names).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QList<DataEnvironment::Command> commandTable()
{
    const QString d = DataEnvironment::kDaten;
    const QString p = DataEnvironment::kProjekt;
    return {
        {QStringLiteral("cmdAllgemein"),
         d,
         QStringLiteral("SELECT * FROM Allgemein"),
         QStringLiteral("Allgemein"),
         true,
         {},
         {}},
        {QStringLiteral("cmdProjektLRU"),
         d,
         QStringLiteral("SELECT * FROM ProjekteLRU ORDER BY lastused desc"),
         QStringLiteral("ProjekteLRU"),
         true,
         {},
         {}},
        {QStringLiteral("cmdSuchergebnis"),
         d,
         QStringLiteral("SELECT * FROM Suchergebnis ORDER BY Typ, IPAdresse"),
         QStringLiteral("Suchergebnis"),
         true,
         {},
         {}},
        // Table commands read the whole table.
        {QStringLiteral("cmdProjekt"),
         p,
         QStringLiteral("SELECT * FROM Allgemein"),
         QStringLiteral("Allgemein"),
         true,
         {},
         {}},
        {QStringLiteral("cmdTerminaleinstellung"),
         p,
         QStringLiteral("SELECT * FROM Terminaleinstellungen "),
         QStringLiteral("Terminaleinstellungen"),
         true,
         {},
         {}},
        {QStringLiteral("cmdFesttexte"),
         p,
         QStringLiteral("SELECT * FROM Festtexte ORDER BY DisplayNr"),
         QStringLiteral("Festtexte"),
         true,
         {},
         columns("DisplayNr text TextRTF")},
        {QStringLiteral("cmdTastencodes"),
         p,
         QStringLiteral("SELECT * FROM Tastencodes ORDER BY TastenNr"),
         QStringLiteral("Tastencodes"),
         true,
         {},
         columns("TastenNr Tastencode Tastencode_Shift")},
        // UseMatrix comes with upgrade step 1.1, which may not have run yet.
        {QStringLiteral("cmdTastaturmodus"),
         p,
         QStringLiteral("SELECT * FROM TastaturModus"),
         QStringLiteral("TastaturModus"),
         true,
         {},
         columns("Mindestdauer Zeitbisrepeat Wiederholrate Polling Repeatenabled "
                 "Sendenbeiloslassen Quittung_optisch Quittung_akustisch NrShifttaste")},
        {QStringLiteral("cmdUserzeichen"),
         p,
         QStringLiteral("SELECT * FROM Userzeichen ORDER BY CGramAdresse"),
         QStringLiteral("Userzeichen"),
         true,
         {},
         columns("CGRAMAdresse Zeichenbyte0 Zeichenbyte1 Zeichenbyte2 Zeichenbyte3 Zeichenbyte4 "
                 "Zeichenbyte5 Zeichenbyte6 Zeichenbyte7 Tauschzeichen")},
        {QStringLiteral("cmdProgRegister"),
         p,
         QStringLiteral("SELECT * From Register WHERE visible=true  ORDER BY Reihenfolge"),
         QStringLiteral("Register"),
         false,
         {},
         {}},
        {QStringLiteral("cmdDisplaytyp"),
         p,
         QStringLiteral("SELECT * FROM Display ORDER BY Displaytyp"),
         QStringLiteral("Display"),
         false,
         {},
         {}},
        {QStringLiteral("cmdBefehlsgruppen"),
         p,
         QStringLiteral("SELECT * FROM Befehlsgruppen ORDER BY Bezeichnung"),
         QStringLiteral("Befehlsgruppen"),
         false,
         {},
         columns("ID Bezeichnung")},
        // The parameter is bound by name, never pasted into the text.
        {QStringLiteral("cmdBefehle"), p,
         QStringLiteral(
             "SELECT * FROM Befehlssatz WHERE Gruppe_ID = :aktGruppe ORDER BY Bezeichnung"),
         QStringLiteral("Befehlssatz"), false, QStringLiteral("aktGruppe"),
         columns("ID Bezeichnung Sequenz Abschlusszeichen")},
        {QStringLiteral("cmdBefehlsparameter"), p,
         QStringLiteral(
             "SELECT * FROM Befehlsparameter WHERE Befehl_ID= :aktBefehl ORDER BY Reihenfolge"),
         QStringLiteral("Befehlsparameter"), false, QStringLiteral("aktBefehl"),
         columns("Reihenfolge Typ Bezeichnung Einheit Default Min Max")},
        {QStringLiteral("cmdQMTests"),
         p,
         QStringLiteral("SELECT * FROM QMTests"),
         QStringLiteral("QMTests"),
         false,
         {},
         columns(
             "Bezeichnung Typ Reihenfolge aktiv Eintragstyp Gruppe Prozedurname Durchgaenge Min")},
    };
}

int g_instances = 0;

// Write-protected in the sense of the file's attributes: no write permission for anyone,
// or none for this user. (Checked by the bits, so that a protection counts for root too.)
bool isWritable(const QString& path)
{
    // WriteUser is what this user may do (always true for root): not part of the bits.
    constexpr QFile::Permissions kAnyWrite =
        QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    const QFileInfo info(path);
    return (info.permissions() & kAnyWrite) != 0 && info.isWritable();
}

} // namespace

namespace {
DataEnvironment* g_instance = nullptr;
void destroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}
} // namespace

DataEnvironment& DataEnvironment::instance()
{
    // Destroyed with the application object, while Qt SQL still exists.
    if (!g_instance) {
        g_instance = new DataEnvironment;
        qAddPostRoutine(destroyInstance);
    }
    return *g_instance;
}

DataEnvironment::DataEnvironment() : m_prefix(QStringLiteral("vemro%1_").arg(g_instances++))
{
    for (const Command& c : commandTable()) {
        m_commands.insert(c.name, c);
        m_recordsets.insert(c.name, std::make_shared<Recordset>());
    }
}

DataEnvironment::~DataEnvironment()
{
    close(kProjekt);
    close(kDaten);
}

QString DataEnvironment::connectionText(const QString& file)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + file +
           QStringLiteral(";Mode=ReadWrite|Share Deny None;Persist Security Info=False");
}

QString DataEnvironment::dataSourceOf(const QString& connectionText)
{
    for (const QString& part : connectionText.split(QLatin1Char(';'))) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (part.left(eq).trimmed().compare(QLatin1String("Data Source"), Qt::CaseInsensitive) ==
            0) {
            QString file = part.mid(eq + 1).trimmed();
            file.replace(QLatin1Char('\\'), QLatin1Char('/'));
            while (file.contains(QStringLiteral("//")))
                file.replace(QStringLiteral("//"), QStringLiteral("/"));
            return file;
        }
    }
    return QString();
}

void DataEnvironment::setConnectionString(const QString& connection, const QString& text)
{
    m_connectionStrings.insert(connection, text);
}

QString DataEnvironment::connectionString(const QString& connection) const
{
    return m_connectionStrings.value(connection);
}

QString DataEnvironment::qtConnectionName(const QString& connection) const
{
    return m_prefix + connection;
}

bool DataEnvironment::open(const QString& connection, QString* error, bool readOnly)
{
    close(connection);
    const QString file = dataSourceOf(m_connectionStrings.value(connection));
    auto setError = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (file.isEmpty())
        return setError(
            QStringLiteral("Für die Verbindung %1 ist keine Datei angegeben.").arg(connection));
    const QFileInfo info(file);
    if (!info.exists())
        return setError(DatabaseMessage::text(DatabaseMessage::Kind::Missing, file));
    if (!info.isFile())
        return setError(DatabaseMessage::notAFile(file));
    // The connection is read-write: a write-protected file (or a folder in which SQLite
    // cannot keep its journal) would open and then fail on the first save.
    if (!readOnly && (!isWritable(file) || !isWritable(info.absolutePath())))
        return setError(DatabaseMessage::text(DatabaseMessage::Kind::ReadOnly, file));
    QSqlDatabase db =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), qtConnectionName(connection));
    db.setDatabaseName(file);
    db.setConnectOptions(readOnly
                             ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000")
                             : QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!db.open()) {
        const QString message = DatabaseMessage::text(db.lastError(), file);
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(qtConnectionName(connection));
        return setError(message);
    }
    // SQLite reads the file only on first use: make sure now that it is a whole database
    // (a truncated or overwritten file fails here, not in the middle of a transfer).
    QString damage;
    {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("PRAGMA quick_check(1)")))
            damage = DatabaseMessage::text(probe.lastError(), file);
        else if (!probe.next() || probe.value(0).toString() != QLatin1String("ok"))
            damage = DatabaseMessage::text(DatabaseMessage::Kind::NotDatabase, file,
                                           probe.value(0).toString());
        if (damage.isEmpty()) {
            probe.finish();
            // An empty file opens as an empty database; it holds no tables of ours.
            if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) ||
                !probe.next() || probe.value(0).toInt() == 0)
                damage = DatabaseMessage::text(DatabaseMessage::Kind::NotDatabase, file,
                                               QStringLiteral("keine Tabellen"));
        }
    }
    if (!damage.isEmpty()) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(qtConnectionName(connection));
        return setError(damage);
    }
    return true;
}

void DataEnvironment::close(const QString& connection)
{
    for (auto it = m_commands.cbegin(); it != m_commands.cend(); ++it) {
        if (it->connection == connection)
            m_recordsets.value(it.key())->close();
    }
    const QString name = qtConnectionName(connection);
    if (QSqlDatabase::contains(name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
}

bool DataEnvironment::isOpen(const QString& connection) const
{
    const QString name = qtConnectionName(connection);
    return QSqlDatabase::contains(name) && QSqlDatabase::database(name, false).isOpen();
}

QSqlDatabase DataEnvironment::database(const QString& connection) const
{
    return QSqlDatabase::database(qtConnectionName(connection), false);
}

const DataEnvironment::Command* DataEnvironment::command(const QString& name) const
{
    const auto it = m_commands.constFind(name);
    return it == m_commands.constEnd() ? nullptr : &*it;
}

Recordset& DataEnvironment::recordset(const QString& command)
{
    auto it = m_recordsets.find(command);
    Q_ASSERT_X(it != m_recordsets.end(), "DataEnvironment::recordset", "unknown command");
    if (it == m_recordsets.end())
        it = m_recordsets.insert(command, std::make_shared<Recordset>());
    return **it;
}

bool DataEnvironment::execute(const QString& name, const QVariant& parameter, QString* error)
{
    const Command* c = command(name);
    if (!c) {
        if (error)
            *error = QStringLiteral("Unbekannter Befehl %1").arg(name);
        return false;
    }
    if (!isOpen(c->connection)) {
        if (error)
            *error = QStringLiteral("Die Verbindung %1 ist nicht geöffnet.").arg(c->connection);
        return false;
    }
    QVariantList binds;
    if (!c->parameter.isEmpty())
        binds.append(parameter);
    Recordset& rs = recordset(name);
    bool ok = rs.open(database(c->connection), c->text, c->table, c->updatable, binds);
    if (ok && !rs.requireFields(c->columns)) {
        ok = false;
        const QString why = rs.lastError();
        rs.close();
        if (error)
            *error = why;
        return false;
    }
    if (!ok && error)
        *error = rs.lastError();
    return ok;
}

bool DataEnvironment::ensureOpen(const QString& name, QString* error)
{
    if (recordset(name).isOpen())
        return true;
    return execute(name, {}, error);
}

bool DataEnvironment::ensureOpen(const QStringList& commands, QString* error)
{
    for (const QString& name : commands) {
        if (!ensureOpen(name, error))
            return false;
    }
    return true;
}

} // namespace vemro
