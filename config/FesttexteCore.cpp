#include "config/FesttexteCore.h"

#include "config/FesttextFiles.h"
#include "link/FesttextLayout.h"
#include "link/Notation.h"
#include "link/clsVX.h"
#include "platform/Codepage.h"
#include "platform/UserInterface.h"
#include "platform/clsInfo.h"
#include "project/OutputTarget.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vemro {

namespace {

const QString kSaveFailed = QStringLiteral("Fehler beim Speichern Festtexte");
const QString kDeclined = QStringLiteral(
    "Festtexte nicht übertragen: die Übertragung wurde abgelehnt, im Terminal ist nichts "
    "geändert.");
// 128 texts in our format take a few hundred KB at most.
constexpr qint64 kMaxImportBytes = 1 << 20;

// Why a file cannot be read, in German first; the system's words follow in parentheses.
QString unreadable(const QString& path, const QString& systemReason)
{
    const QFileInfo info(path);
    QString why;
    if (!info.exists())
        why = QStringLiteral("die Datei gibt es nicht");
    else if (info.isDir())
        why = QStringLiteral("das ist ein Ordner");
    else if (!info.isFile())
        why = QStringLiteral("das ist keine gewöhnliche Datei (ein Gerät, eine FIFO oder ein "
                             "Socket)");
    else if (!info.isReadable())
        why = QStringLiteral("keine Leseberechtigung");
    else
        why = QStringLiteral("sie lässt sich nicht öffnen");
    if (!systemReason.isEmpty())
        why += QStringLiteral(" (") + systemReason + QLatin1Char(')');
    return QStringLiteral("Datei %1 nicht lesbar: %2").arg(path, why);
}

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool FesttexteCore::readFromTerminal(QString* error, int* read)
{
    QString why;
    if (read)
        *read = 0;
    if (!m_table.recordset(&why)) {
        ui().message(why, kProductName);
        return fail(error, why);
    }
    // The texts are kept aside until the terminal has given all of them: a read that
    // breaks off leaves the project's table as it was.
    QList<FesttextTable::Entry> texts;
    const bool ok = m_vx.GetFesttexte([&texts](int n, const QByteArray& raw) {
        // The editor's own form: written again, it gives the same bytes.
        const QString text = AnsiToString(FesttextFromBytes(raw));
        texts.append({n, text, FesttextRichText(text)});
        return true;
    });
    if (!ok)
        return fail(error, QStringLiteral("Festtexte nicht gelesen"));
    if (!m_table.storeAll(texts, &why)) {
        ui().message(why, kProductName);
        return fail(error, why);
    }
    if (read)
        *read = static_cast<int>(texts.size());
    return true;
}

bool FesttexteCore::writeToTerminal(std::optional<bool> filterLinebreaks, QString* error)
{
    FesttextRows rows;
    QString why;
    if (!m_table.rows(rows, &why)) {
        ui().message(why, kProductName);
        Info().show(kSaveFailed, 0);
        return fail(error, why);
    }
    if (!m_vx.SaveFesttexte(rows, filterLinebreaks))
        return fail(error, m_vx.festtexteDeclined() ? kDeclined : kSaveFailed);
    return true;
}

bool FesttexteCore::importContent(const QByteArray& content, int start, int rows, int cols,
                                  int* count, QString* error)
{
    QList<FesttextTable::Entry> entries;
    QByteArray data = content;
    FesttextFileKind kind = FesttextFileKind::Rk;
    QString why;
    if (!RecogniseFesttextFile(data, kind, &why))
        return fail(error, why);
    if (kind == FesttextFileKind::Vx) {
        QList<FesttextFileEntry> texts;
        if (!ParseVxFesttexte(data, texts, &why))
            return fail(error, why);
        for (const FesttextFileEntry& t : texts)
            entries.append({t.DisplayNr, t.text, FesttextRichText(t.text)});
    } else {
        if (start < 0 || start >= kFesttextCount)
            return fail(error, QStringLiteral("Festtextnummer muss zwischen 0 und 127 liegen"));
        if (!RkFesttextBytes(data, &why))
            return fail(error, why);
        const QStringList texts = ParseRkFesttexte(data, rows, cols, kFesttextCount - start);
        for (int i = 0; i < texts.size(); ++i)
            entries.append({start + i, texts.at(i), FesttextRichText(texts.at(i))});
    }
    if (!m_table.storeAll(entries, error))
        return false;
    if (count)
        *count = static_cast<int>(entries.size());
    return true;
}

bool FesttexteCore::importFile(const QString& path, int start, int rows, int cols, int* count,
                               QString* error)
{
    // Only a regular file: a FIFO would block the open, a device never end.
    if (!QFileInfo(path).isFile())
        return fail(error, unreadable(path, QString()));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(error, unreadable(path, f.errorString()));
    const QByteArray content = f.read(kMaxImportBytes + 1);
    if (content.size() > kMaxImportBytes)
        return fail(error, QStringLiteral("Datei %1 ist mit mehr als %2 KB zu groß für eine "
                                          "Festtextdatei; nichts importiert.")
                               .arg(path)
                               .arg(kMaxImportBytes / 1024));
    return importContent(content, start, rows, cols, count, error);
}

bool FesttexteCore::exportContent(QByteArray& content, int* count, QString* error)
{
    QList<FesttextTable::Entry> entries;
    if (!m_table.entries(entries, error))
        return false;
    QList<FesttextFileEntry> texts;
    for (const FesttextTable::Entry& e : entries)
        texts.append({e.DisplayNr, e.text});
    content = WriteVxFesttexte(texts);
    if (count)
        *count = static_cast<int>(texts.size());
    return true;
}

bool FesttexteCore::exportFile(const QString& path, int* count, QString* error)
{
    if (!OutputTarget::check(path, error))
        return false;
    QByteArray content;
    if (!exportContent(content, count, error))
        return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit())
        return fail(error, QStringLiteral("Datei %1 konnte nicht geschrieben werden: der "
                                          "Ordner fehlt, ist schreibgeschützt oder voll (%2)")
                               .arg(path, out.errorString()));
    return true;
}

} // namespace vemro
