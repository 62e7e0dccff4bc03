#include "editors/QtProtokollPrinter.h"

#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"

#include <QDir>
#include <QFontDatabase>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace vemro {

bool QtProtokollPrinter::paint(QPrinter& printer, const QStringList& lines, QString* error)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        *error = QStringLiteral("Drucker lässt sich nicht öffnen");
        return false;
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    painter.setFont(font);
    const QRect page = painter.viewport();
    const int lineHeight = painter.fontMetrics().lineSpacing();
    // A line wider than the page goes on below, indented to the text's print zone.
    QStringList printed;
    constexpr int kTextColumn = 28;
    const int perLine =
        qMax(kTextColumn + 20,
             page.width() / qMax(1, painter.fontMetrics().horizontalAdvance(QLatin1Char('M'))));
    for (const QString& line : lines) {
        QString rest = line;
        while (rest.size() > perLine) {
            printed << rest.left(perLine);
            rest = QString(kTextColumn, QLatin1Char(' ')) + rest.mid(perLine).trimmed();
        }
        printed << rest;
    }
    int y = lineHeight;
    for (const QString& line : printed) {
        if (y > page.height() - lineHeight) {
            if (!printer.newPage()) {
                *error = QStringLiteral("neue Seite nicht möglich");
                painter.end();
                return false;
            }
            y = lineHeight;
        }
        painter.drawText(0, y, line);
        y += lineHeight;
    }
    return painter.end();
}

bool QtProtokollPrinter::printToPdf(const QString& path, const QStringList& lines, QString* error)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    return paint(printer, lines, error);
}

bool QtProtokollPrinter::printLines(const QStringList& lines, QString* error)
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // No printer on this computer: the printout goes into a PDF file.
        const QString path = ui().saveFileName(QStringLiteral("Protokoll als PDF drucken"),
                                               QDir(ProgramFolder()).filePath(QStringLiteral("QM")),
                                               QStringLiteral("PDF-Dateien (*.pdf)"));
        if (path.isEmpty()) {
            *error = QStringLiteral("abgebrochen");
            return false;
        }
        return printToPdf(path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)
                              ? path
                              : path + QStringLiteral(".pdf"),
                          lines, error);
    }
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(QStringLiteral("Protokoll drucken"));
    if (dialog.exec() != QDialog::Accepted) {
        *error = QStringLiteral("abgebrochen");
        return false;
    }
    return paint(printer, lines, error);
}

} // namespace vemro
