#include "qmtest/QMReport.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace {

// The CSV back into records, as a spreadsheet reads it: ";" between fields, quotes around a
// field that holds ";", quotes or line ends, doubled quotes inside.
QList<QStringList> readCsv(const QString& text, bool* ok)
{
    QList<QStringList> records;
    QStringList fields;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    *ok = true;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == QLatin1Char(';')) {
            fields << field;
            field.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                   text.at(i + 1) == QLatin1Char('\n')) {
            fields << field;
            records << fields;
            fields.clear();
            field.clear();
            wasQuoted = false;
            ++i;
        } else {
            if (wasQuoted)
                *ok = false; // text after a closing quote
            // An unquoted cell a spreadsheet would take for a formula.
            if (field.isEmpty() && QStringLiteral("=+-@").contains(c))
                *ok = false;
            field += c;
        }
    }
    if (quoted || !field.isEmpty() || !fields.isEmpty())
        *ok = false; // every record ends with CR LF
    return records;
}

} // namespace

// Log entries with texts from anywhere (the terminal's answers, project rows, the operator):
// the CSV reads back to the same cells and never starts a cell like a formula; the PDF is
// one document whose cross-reference table points at its objects; the file name keeps to
// letters, digits and its own separators.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString all =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList parts = all.split(QChar(0x1F));
    const QDateTime when(QDate(2026, 12, 7), QTime(14, 5, 9));
    QList<vemro::clsProtokoll::Eintrag> entries;
    for (int i = 1; i + 1 < parts.size() && entries.size() < 40; i += 2) {
        const int result = parts.at(i).isEmpty() ? -1 : parts.at(i).at(0).unicode() % 3 - 1;
        entries.append({when.addSecs(i), parts.at(i + 1), parts.at(i), result});
    }
    const QString serial = parts.value(0);
    const vemro::QMReport report(entries, serial, when);

    const QByteArray csv = report.csv();
    if (!csv.startsWith("\xEF\xBB\xBF"))
        __builtin_trap();
    bool ok = false;
    const QList<QStringList> records = readCsv(QString::fromUtf8(csv.mid(3)), &ok);
    if (!ok || records.isEmpty() || records.size() < entries.size() + 1)
        __builtin_trap();
    for (const QStringList& r : records) {
        if (r.size() != records.first().size())
            __builtin_trap();
    }

    const QByteArray pdf = report.pdf();
    if (!pdf.startsWith("%PDF-") || !pdf.endsWith("%%EOF\n"))
        __builtin_trap();
    const qsizetype sx = pdf.lastIndexOf("startxref\n");
    if (sx < 0)
        __builtin_trap();
    const qsizetype xref = pdf.mid(sx + 10).split('\n').value(0).toLongLong();
    if (xref <= 0 || xref >= pdf.size() || pdf.mid(xref, 4) != "xref")
        __builtin_trap();

    const QString name = vemro::QMReport::fileName(serial, when, QStringLiteral(".pdf"));
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('_') &&
            c != QLatin1Char('-') && c != QLatin1Char('.'))
            __builtin_trap();
    }
    return 0;
}
