#pragma once

#include <QString>
#include <QStringList>

namespace vemro {

// The list view a log writes into (the page's ctlQMProtokoll, or a list in memory for the
// console and the tests). Widths are in twips, as the log lays out its columns.
class ProtokollView
{
public:
    virtual ~ProtokollView() = default;

    // Report view with these column headers, in order, and the font size in points.
    virtual void prepare(const QStringList& headers, int fontSize) = 0;
    virtual void setColumnWidths(int datumTwips, int zeitTwips, int textTwips) = 0;
    [[nodiscard]] virtual int widthTwips() const = 0;
    virtual void addItem(const QString& date, const QString& time, const QString& text) = 0;
    virtual void clear() = 0;
    [[nodiscard]] virtual int count() const = 0;
    // Date, time and text of item `row`.
    [[nodiscard]] virtual QStringList item(int row) const = 0;
};

// A list view that only keeps its items and layout.
class MemoryProtokollView : public ProtokollView
{
public:
    explicit MemoryProtokollView(int widthTwips = 5250) : m_width(widthTwips) {}

    void prepare(const QStringList& headers, int fontSize) override
    {
        m_headers = headers;
        m_fontSize = fontSize;
    }
    void setColumnWidths(int datumTwips, int zeitTwips, int textTwips) override
    {
        m_widths = {datumTwips, zeitTwips, textTwips};
    }
    [[nodiscard]] int widthTwips() const override { return m_width; }
    void addItem(const QString& date, const QString& time, const QString& text) override
    {
        m_items.append(QStringList{date, time, text});
    }
    void clear() override { m_items.clear(); }
    [[nodiscard]] int count() const override { return static_cast<int>(m_items.size()); }
    [[nodiscard]] QStringList item(int row) const override { return m_items.value(row); }

    [[nodiscard]] QStringList headers() const { return m_headers; }
    [[nodiscard]] int fontSize() const { return m_fontSize; }
    [[nodiscard]] QList<int> widths() const { return m_widths; }

private:
    int m_width;
    QStringList m_headers;
    int m_fontSize = 0;
    QList<int> m_widths;
    QList<QStringList> m_items;
};

// Where drucken() sends its lines: a printer, or a PDF file where there is none.
class ProtokollPrinter
{
public:
    virtual ~ProtokollPrinter() = default;
    // Prints the lines as one document. False (with a reason) when nothing was printed.
    virtual bool printLines(const QStringList& lines, QString* error) = 0;
};

} // namespace vemro
