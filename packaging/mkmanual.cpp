// Renders the user manual (Markdown chapters under docs/manual) into one PDF with Qt alone:
// a title page, a table of contents with page numbers, the chapters each on a new page,
// the screenshots scaled to the text width and a page number on every page.
//
//   vemro-mkmanual OUTPUT.pdf CHAPTER.md...
//
// Images are named relative to their chapter file ("img/projekt.png").
#include "platform/ProgramInfo.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextTable>

#include <cstdio>

namespace {

struct Heading
{
    int level;
    QString text;
    int page; // within the chapters, from 0
};

struct Page
{
    QSizeF body; // device pixels of the writer
    qreal footer = 0;
};

bool fail(const QString& text)
{
    std::fprintf(stderr, "vemro-mkmanual: %s\n", text.toLocal8Bit().constData());
    return false;
}

QFont bodyFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    return font;
}

void prepare(QTextDocument& doc, QPdfWriter& writer, const Page& page)
{
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(bodyFont());
    doc.setPageSize(page.body);
    doc.setDocumentMargin(0);
}

// Loads every image of the chapters and scales it to at most the text width; a missing
// image is an error, not a hole in the manual.
bool attachImages(QTextDocument& doc, const QDir& base, qreal textWidth)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QString name = format.name();
            const QImage image(base.filePath(name));
            if (image.isNull())
                return fail(QStringLiteral("Bild %1 fehlt").arg(base.filePath(name)));
            doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
            const qreal width = qMin<qreal>(textWidth, image.width());
            format.setWidth(width);
            format.setHeight(width * image.height() / image.width());
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    return true;
}

// Markdown tables come without padding; give them the text width, thin rules and air.
void styleTables(QTextDocument& doc)
{
    const QList<QTextFrame*> frames = doc.rootFrame()->childFrames();
    for (QTextFrame* frame : frames) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setCellPadding(4);
        format.setCellSpacing(0);
        format.setBorder(0.5);
        format.setBorderCollapse(true);
        format.setBorderBrush(QColor(0x90, 0x90, 0x90));
        table->setFormat(format);
        // The header row on a light grey.
        for (int c = 0; c < table->columns(); ++c) {
            QTextTableCell cell = table->cellAt(0, c);
            QTextTableCellFormat cf = cell.format().toTableCellFormat();
            cf.setBackground(QColor(0xe8, 0xe8, 0xe8));
            cell.setFormat(cf);
        }
    }
}

// Each chapter (heading level 1) starts a page; headings get some air above them.
QList<Heading> layoutHeadings(QTextDocument& doc, const Page& page)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        const int level = format.headingLevel();
        if (level == 0)
            continue;
        if (level == 1 && block.position() > 0)
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        format.setTopMargin(level == 1 ? 0 : 14);
        format.setBottomMargin(6);
        QTextCursor(block).setBlockFormat(format);
    }
    QList<Heading> headings;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 2)
            continue;
        const qreal top = layout->blockBoundingRect(block).top();
        headings.append({level, block.text(), static_cast<int>(top / page.body.height())});
    }
    return headings;
}

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// Title page and contents; `offset` is the number of pages before the chapters.
QString frontMatter(const QList<Heading>& headings, int offset)
{
    QString html =
        QStringLiteral("<div style='margin-top:180px'><p style='font-size:28pt'><b>Vemro</b></p>"
                       "<p style='font-size:16pt'>Benutzerhandbuch</p>"
                       "<p>Konfiguration und Prüfung von Vobrix-Bedienterminals</p>"
                       "<p>Programmversion %1</p></div>")
            .arg(vemro::ProgramVersionText());
    html += QStringLiteral("<h1 style='page-break-before:always'>Inhalt</h1>"
                           "<table width='100%' cellpadding='2'>");
    int chapter = 0;
    int section = 0;
    for (const Heading& h : headings) {
        QString number;
        if (h.level == 1) {
            ++chapter;
            section = 0;
            number = QString::number(chapter);
        } else {
            number = QStringLiteral("%1.%2").arg(chapter).arg(++section);
        }
        const QString indent =
            h.level == 1 ? QString() : QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;");
        const QString weight = h.level == 1 ? QStringLiteral("b") : QStringLiteral("span");
        html += QStringLiteral("<tr><td>%1<%2>%3&nbsp;&nbsp;%4</%2></td>"
                               "<td align='right'>%5</td></tr>")
                    .arg(indent, weight, number, escaped(h.text))
                    .arg(h.page + offset + 1);
    }
    html += QStringLiteral("</table>");
    return html;
}

void drawPages(QPainter& painter, QPdfWriter& writer, QTextDocument& doc, const Page& page,
               int& pageNumber, int total, bool& first)
{
    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (!first)
            writer.newPage();
        first = false;
        ++pageNumber;
        painter.save();
        // A line moved to the next page starts right at this page's end: not drawn here.
        const QRectF clip(0, i * page.body.height(), page.body.width(), page.body.height() - 1);
        painter.translate(0, -clip.top());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip;
        context.palette.setColor(QPalette::Text, Qt::black);
        painter.setClipRect(clip);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
        if (pageNumber > 1) {
            QFont font = bodyFont();
            font.setPointSizeF(8.5);
            painter.setFont(font);
            painter.setPen(Qt::black);
            const QRectF footer(0, page.body.height(), page.body.width(), page.footer);
            painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                             QStringLiteral("Vemro – Benutzerhandbuch · Seite %1 von %2")
                                 .arg(pageNumber)
                                 .arg(total));
        }
    }
}

bool render(const QString& output, const QStringList& chapters)
{
    QString markdown;
    QDir base;
    for (const QString& file : chapters) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1 kann nicht gelesen werden").arg(file));
        markdown += QString::fromUtf8(f.readAll()) + QStringLiteral("\n\n");
        base = QFileInfo(file).dir();
    }

    const QString temp = output + QStringLiteral(".new");
    {
        QPdfWriter writer(temp);
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("Vemro – Benutzerhandbuch"));
        writer.setCreator(QStringLiteral("Vemro %1").arg(vemro::ProgramVersionText()));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(20, 18, 20, 14), QPageLayout::Millimeter));
        const QRect paint = writer.pageLayout().paintRectPixels(writer.resolution());
        Page page;
        page.footer = writer.resolution() * 0.35; // about 9 mm for the page number
        page.body = QSizeF(paint.width(), paint.height() - page.footer);
        // Image sizes are given in screen pixels; the layout scales them to the writer.
        const qreal textWidth = page.body.width() * 96.0 / writer.resolution();

        QTextDocument body;
        prepare(body, writer, page);
        body.setMarkdown(markdown);
        if (!attachImages(body, base, textWidth))
            return false;
        styleTables(body);
        const QList<Heading> headings = layoutHeadings(body, page);
        if (headings.isEmpty())
            return fail(QStringLiteral("keine Kapitel"));

        // The contents list the chapters' pages, which follow the contents' own pages.
        QTextDocument front;
        prepare(front, writer, page);
        int offset = 2;
        for (int round = 0; round < 3; ++round) {
            front.setHtml(frontMatter(headings, offset));
            if (front.pageCount() == offset)
                break;
            offset = front.pageCount();
        }

        QPainter painter;
        if (!painter.begin(&writer))
            return fail(QStringLiteral("%1 kann nicht geschrieben werden").arg(temp));
        // Screenshots of text stay sharp (Flate, not JPEG).
        painter.setRenderHint(QPainter::LosslessImageRendering);
        const int total = front.pageCount() + body.pageCount();
        int number = 0;
        bool first = true;
        drawPages(painter, writer, front, page, number, total, first);
        drawPages(painter, writer, body, page, number, total, first);
        painter.end();
    }
    QFile::remove(output);
    if (!QFile::rename(temp, output))
        return fail(QStringLiteral("%1 kann nicht geschrieben werden").arg(output));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "Aufruf: vemro-mkmanual AUSGABE.pdf KAPITEL.md...\n");
        return 2;
    }
    return render(args.first(), args.mid(1)) ? 0 : 1;
}
