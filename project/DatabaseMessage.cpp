#include "project/DatabaseMessage.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>

namespace vemro::DatabaseMessage {

namespace {

// SQLite's primary result codes (the low byte of an extended code).
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteIoErr = 10;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteNotADb = 26;

} // namespace

Kind kindOf(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xFF;
    const QString reason = error.databaseText();
    if (ok) {
        switch (code) {
        case kSqliteBusy:
        case kSqliteLocked:
            return Kind::Busy;
        case kSqliteReadOnly:
            return Kind::ReadOnly;
        case kSqliteCorrupt:
        case kSqliteNotADb:
        case kSqliteIoErr:
            return Kind::NotDatabase;
        case kSqliteFull:
            return Kind::Full;
        case kSqliteCantOpen:
            return Kind::Missing;
        default:
            break;
        }
    }
    if (reason.contains(QLatin1String("no such table")) ||
        reason.contains(QLatin1String("no such column")) ||
        reason.contains(QLatin1String("has no column")))
        return Kind::Schema;
    return Kind::Other;
}

QString text(Kind kind, const QString& file, const QString& reason)
{
    const QString name = QDir::toNativeSeparators(file);
    QString sentence;
    switch (kind) {
    case Kind::Missing:
        sentence = QStringLiteral("Die Datenbank %1 wurde nicht gefunden oder kann nicht geöffnet "
                                  "werden. Bitte prüfen, ob Datei und Ordner vorhanden sind.");
        break;
    case Kind::NotAFile:
        sentence = QStringLiteral("Unter dem Namen %1 steht keine Datenbankdatei, sondern ein "
                                  "Ordner oder Gerät. Bitte ihn umbenennen oder entfernen.");
        break;
    case Kind::ReadOnly:
        sentence = QStringLiteral("Die Datenbank %1 ist schreibgeschützt. Bitte den Schreibschutz "
                                  "der Datei und ihres Ordners aufheben.");
        break;
    case Kind::NotDatabase:
        sentence = QStringLiteral("Die Datei %1 ist beschädigt oder keine gültige Datenbank. "
                                  "Bitte eine Sicherung zurückspielen oder die Datei neu "
                                  "anlegen.");
        break;
    case Kind::Schema:
        sentence = QStringLiteral("In der Datenbank %1 fehlt eine Tabelle oder Spalte, die das "
                                  "Programm braucht. Bitte eine Sicherung zurückspielen oder das "
                                  "Projekt aus einer Hardwarevorlage neu anlegen.");
        break;
    case Kind::Busy:
        sentence = QStringLiteral("Die Datenbank %1 wird gerade von einem anderen Programm "
                                  "benutzt. Bitte das andere Programm beenden und es erneut "
                                  "versuchen.");
        break;
    case Kind::Full:
        sentence = QStringLiteral("Die Datenbank %1 kann nicht geschrieben werden, der "
                                  "Datenträger ist voll. Bitte Platz schaffen und es erneut "
                                  "versuchen.");
        break;
    case Kind::Other:
        sentence = QStringLiteral("Fehler beim Zugriff auf die Datenbank %1. Bitte die Datei "
                                  "prüfen.");
        break;
    }
    QString out = sentence.arg(name);
    const QString why = reason.trimmed();
    if (!why.isEmpty())
        out += QStringLiteral(" (SQLite: %1)").arg(why);
    return out;
}

QString text(const QSqlError& error, const QString& file)
{
    QString reason = error.databaseText();
    if (reason.isEmpty())
        reason = error.text();
    return text(kindOf(error), file, reason);
}

QString notAFile(const QString& file)
{
    const QFileInfo info(file);
    QString what;
    if (info.isDir())
        what = QStringLiteral("ein Ordner");
    else if (info.exists())
        what = QStringLiteral("ein Gerät oder eine Pipe");
    else
        what = QStringLiteral("nichts");
    if (info.isSymLink())
        what += QStringLiteral(" (Verknüpfung auf %1)")
                    .arg(QDir::toNativeSeparators(info.symLinkTarget()));
    return QStringLiteral("Unter dem Namen %1 steht keine Datenbankdatei, sondern %2. Bitte "
                          "umbenennen oder entfernen.")
        .arg(QDir::toNativeSeparators(file), what);
}

QString missingColumns(const QString& file, const QStringList& columns)
{
    return text(Kind::Schema, file) +
           QStringLiteral(" (fehlt: %1)").arg(columns.join(QStringLiteral(", ")));
}

} // namespace vemro::DatabaseMessage
