#include "qmtest/QMReport.h"

#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"
#include "project/OutputTarget.h"
#include "qmtest/PdfTextWriter.h"

#include <QFileInfo>
#include <QSaveFile>

namespace vemro {

namespace {

QString csvField(const QString& text)
{
    // A spreadsheet takes a cell that starts like this for a formula (which may run commands):
    // the apostrophe makes it show the text as it is.
    static const QString kFormulaStart = QStringLiteral("=+-@\t\r");
    const bool formula = !text.isEmpty() && kFormulaStart.contains(text.front());
    if (!formula && !text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = formula ? QLatin1Char('\'') + text : text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Serial numbers come from the terminal: only digits and letters go into a file name.
QString safeSerial(const QString& serial)
{
    QString out;
    for (QChar c : serial.trimmed()) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            out += c;
    }
    return out.isEmpty() ? QStringLiteral("ohneSerNr") : out;
}

// Breaks text into pieces of at most `width` characters, at blanks where there are any.
QStringList wrap(const QString& text, int width)
{
    QStringList lines;
    QString rest = text;
    while (rest.size() > width) {
        int cut = static_cast<int>(rest.lastIndexOf(QLatin1Char(' '), width));
        if (cut <= 0)
            cut = width;
        lines << rest.left(cut);
        rest = rest.mid(cut).trimmed();
    }
    lines << rest;
    return lines;
}

} // namespace

QString QMReport::fileName(const QString& serialNumber, const QDateTime& when,
                           const QString& suffix)
{
    return QStringLiteral("QMTest_") + safeSerial(serialNumber) + QLatin1Char('_') +
           when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + suffix;
}

QString QMReport::resultText(int result)
{
    if (result < 0)
        return QString();
    return result ? kBestanden : kFehler;
}

QString QMReport::verdict(const QList<clsQMTest::Schritt>& schritte)
{
    int steps = 0;
    int failed = 0;
    for (const clsQMTest::Schritt& s : schritte) {
        if (s.ohneErgebnis)
            continue;
        ++steps;
        failed += s.bestanden ? 0 : 1;
    }
    // No step with a result is no pass either.
    if (failed == 0 && steps > 0)
        return kBestanden + QStringLiteral(" (%1 von %1 Schritten bestanden)").arg(steps);
    return kFehler +
           QStringLiteral(" (%1 von %2 Schritten nicht bestanden)").arg(failed).arg(steps);
}

QByteArray QMReport::csv() const
{
    QString text = QStringLiteral("Datum;Zeit;Schritt;Ergebnis;Text\r\n");
    for (const clsProtokoll::Eintrag& e : m_entries) {
        text += QStringList{clsProtokoll::dateiDatum(e.zeit), clsProtokoll::dateiZeit(e.zeit),
                            csvField(e.schritt), resultText(e.ergebnis), csvField(e.text)}
                    .join(QLatin1Char(';')) +
                QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QByteArray QMReport::pdf() const
{
    PdfTextWriter pdf;
    pdf.addHeading(QStringLiteral("Prüfprotokoll ") + kProductName + QLatin1Char(' ') +
                   ProgramVersionText());
    pdf.addLine(QStringLiteral("Seriennummer : ") +
                (m_serial.trimmed().isEmpty() ? QStringLiteral("unbekannt") : m_serial));
    pdf.addLine(QStringLiteral("Prüfung vom : ") + clsProtokoll::dateiDatum(m_when) +
                QLatin1Char(' ') + clsProtokoll::dateiZeit(m_when));
    pdf.addLine(QString());
    const QList<double> x = {0, 55, 100, 230, 308};
    const auto row = [&x](const QStringList& cells) {
        PdfTextWriter::Line line;
        for (int i = 0; i < cells.size(); ++i)
            line.append({x.at(i), cells.at(i)});
        return line;
    };
    pdf.addLine(row({QStringLiteral("Datum"), QStringLiteral("Zeit"), QStringLiteral("Schritt"),
                     QStringLiteral("Ergebnis"), QStringLiteral("Text")}));
    constexpr int kTextChars = 42; // what fits beside the other columns
    for (const clsProtokoll::Eintrag& e : m_entries) {
        const QStringList pieces = wrap(e.text, kTextChars);
        pdf.addLine(row({clsProtokoll::dateiDatum(e.zeit), clsProtokoll::dateiZeit(e.zeit),
                         e.schritt.left(28), resultText(e.ergebnis), pieces.first()}));
        for (int i = 1; i < pieces.size(); ++i)
            pdf.addLine(PdfTextWriter::Line{{x.at(4), pieces.at(i)}});
    }
    pdf.addLine(QString());
    QStringList failed;
    for (const clsQMTest::Schritt& s : m_schritte) {
        if (!s.ohneErgebnis && !s.bestanden && !failed.contains(s.bezeichnung))
            failed << s.bezeichnung;
    }
    if (!failed.isEmpty()) {
        pdf.addLine(QStringLiteral("Nicht bestandene Schritte :"));
        for (const QString& name : std::as_const(failed))
            pdf.addLine(PdfTextWriter::Line{{x.at(1), name}});
        pdf.addLine(QString());
    }
    pdf.addHeading(QStringLiteral("Ergebnis : ") + verdict(m_schritte));
    return pdf.document();
}

bool QMReport::save(const QString& path, QString* error) const
{
    if (!OutputTarget::check(path, error))
        return false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    if (suffix == QLatin1String("csv")) {
        bytes = csv();
    } else if (suffix == QLatin1String("pdf")) {
        bytes = pdf();
    } else {
        if (error)
            *error = QStringLiteral("Bericht nur als .pdf oder .csv : ") + path;
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error =
                QStringLiteral("Bericht %1 nicht geschrieben : %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace vemro
