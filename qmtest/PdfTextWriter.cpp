#include "qmtest/PdfTextWriter.h"

#include "platform/Codepage.h"

#include <QSaveFile>

namespace vemro {

QByteArray PdfTextWriter::literal(const QString& text)
{
    QByteArray out("(");
    for (char c : StringToAnsi(text)) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
        out += c;
    }
    out += ')';
    return out;
}

QByteArray PdfTextWriter::document() const
{
    const double leading = m_fontSize * 1.4;
    const int perPage = qMax(1, static_cast<int>((kPageHeight - 2 * kMargin) / leading));
    QList<QByteArray> streams;
    for (int first = 0; first < m_lines.size() || streams.isEmpty(); first += perPage) {
        QByteArray s;
        for (int i = first; i < qMin<int>(first + perPage, m_lines.size()); ++i) {
            const double y = kPageHeight - kMargin - (i - first + 1) * leading;
            for (const Piece& p : m_lines.at(i)) {
                const bool bold = p.x < 0;
                s += "BT /" + QByteArray(bold ? "F2 " : "F1 ") +
                     QByteArray::number(bold ? m_fontSize + 2 : m_fontSize) + " Tf " +
                     QByteArray::number(kMargin + qMax(0.0, p.x), 'f', 1) + ' ' +
                     QByteArray::number(y, 'f', 1) + " Td " + literal(p.text) + " Tj ET\n";
            }
        }
        streams.append(s);
        if (m_lines.isEmpty())
            break;
    }

    // Objects: 1 catalog, 2 pages, 3/4 fonts, then per page its page object and its content.
    QList<QByteArray> objects;
    QByteArray kids;
    const int pageCount = static_cast<int>(streams.size());
    for (int p = 0; p < pageCount; ++p)
        kids += QByteArray::number(5 + 2 * p) + " 0 R ";
    objects << "<< /Type /Catalog /Pages 2 0 R >>";
    objects << "<< /Type /Pages /Kids [" + kids.trimmed() + "] /Count " +
                   QByteArray::number(pageCount) + " >>";
    objects << "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>";
    objects << "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding "
               "/WinAnsiEncoding >>";
    for (int p = 0; p < pageCount; ++p) {
        objects << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font "
                   "<< /F1 3 0 R /F2 4 0 R >> >> /Contents " +
                       QByteArray::number(6 + 2 * p) + " 0 R >>";
        objects << "<< /Length " + QByteArray::number(streams.at(p).size()) + " >>\nstream\n" +
                       streams.at(p) + "endstream";
    }

    QByteArray pdf("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype o : offsets)
        pdf += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

bool PdfTextWriter::save(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(document()) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace vemro
