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
#include <QSaveFile>

namespace vemro {

namespace {

const QString kSaveFailed = QStringLiteral("Fehler beim Speichern Festtexte");

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
        const QString text = AnsiToString(SteuerzeichenToText(raw));
        texts.append({n, text, text});
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
        return fail(error, kSaveFailed);
    return true;
}

bool FesttexteCore::importContent(const QByteArray& content, int start, int rows, int cols,
                                  int* count, QString* error)
{
    QList<FesttextTable::Entry> entries;
    if (IsVxFesttextFile(content)) {
        QList<FesttextFileEntry> texts;
        QString why;
        if (!ParseVxFesttexte(content, texts, &why))
            return fail(error, why);
        for (const FesttextFileEntry& t : texts)
            entries.append({t.DisplayNr, t.text, FesttextRichText(t.text)});
    } else {
        if (start < 0 || start >= kFesttextCount)
            return fail(error, QStringLiteral("Festtextnummer muss zwischen 0 und 127 liegen"));
        const QStringList texts = ParseRkFesttexte(content, rows, cols, kFesttextCount - start);
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
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("Datei %1 nicht lesbar: %2").arg(path, f.errorString()));
    return importContent(f.readAll(), start, rows, cols, count, error);
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
        return fail(error, QStringLiteral("Datei %1 konnte nicht geschrieben werden: %2")
                               .arg(path, out.errorString()));
    return true;
}

} // namespace vemro
