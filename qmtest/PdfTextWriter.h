#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace vemro {

// A plain PDF document of text lines in Helvetica (A4 portrait, several pages as needed),
// written without any graphics library so that vemro-cli can make it too. Characters travel
// in the Windows-1252 code page (WinAnsiEncoding); others become "?".
class PdfTextWriter
{
public:
    static constexpr double kPageWidth = 595.0; // A4 in points
    static constexpr double kPageHeight = 842.0;
    static constexpr double kMargin = 50.0;

    // One line of text: pieces placed at x positions (points from the left margin).
    struct Piece
    {
        double x = 0;
        QString text;
    };
    using Line = QList<Piece>;

    explicit PdfTextWriter(double fontSize = 9.0) : m_fontSize(fontSize) {}

    void addLine(const Line& line) { m_lines.append(line); }
    void addLine(const QString& text) { m_lines.append(Line{{0, text}}); }
    // A heading in bold.
    void addHeading(const QString& text) { m_lines.append(Line{{-1, text}}); }

    [[nodiscard]] QByteArray document() const;
    bool save(const QString& path, QString* error) const;

    // Text as a PDF string literal, "(" ... ")" with ( ) \ escaped.
    [[nodiscard]] static QByteArray literal(const QString& text);

private:
    double m_fontSize;
    QList<Line> m_lines;
};

} // namespace vemro
