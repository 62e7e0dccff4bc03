#include "editors/QmProtokollList.h"

#include <QHeaderView>

namespace vemro {

QmProtokollList::QmProtokollList(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("ctlQMProtokoll"));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setStretchLastSection(true);
}

void QmProtokollList::prepare(const QStringList& headers, int fontSize)
{
    setColumnCount(static_cast<int>(headers.size()));
    setHeaderLabels(headers);
    QFont f = font();
    f.setPointSize(fontSize);
    setFont(f);
}

void QmProtokollList::setColumnWidths(int datumTwips, int zeitTwips, int textTwips)
{
    const int widths[3] = {datumTwips, zeitTwips, textTwips};
    for (int c = 0; c < 3 && c < columnCount(); ++c) {
        setColumnHidden(c, widths[c] <= 0);
        // The cell's own padding comes on top of the text width the twips describe.
        if (widths[c] > 0)
            setColumnWidth(c, widths[c] / kTwipsPerPixel + kPaddingPx);
    }
}

void QmProtokollList::addItem(const QString& date, const QString& time, const QString& text)
{
    auto* entry = new QTreeWidgetItem(this, QStringList{date, time, text});
    entry->setToolTip(2, text);
    scrollToItem(entry);
}

QStringList QmProtokollList::item(int row) const
{
    const QTreeWidgetItem* entry = topLevelItem(row);
    if (!entry)
        return {};
    return {entry->text(0), entry->text(1), entry->text(2)};
}

} // namespace vemro
