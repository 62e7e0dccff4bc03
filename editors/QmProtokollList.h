#pragma once

#include "qmtest/ProtokollView.h"

#include <QTreeWidget>

namespace vemro {

// The log list ctlQMProtokoll: a list in report view with the columns "Datum", "Zeit" and
// "Text" that the test log lays out (twips at 15 per pixel).
class QmProtokollList : public QTreeWidget, public ProtokollView
{
    Q_OBJECT
public:
    static constexpr int kTwipsPerPixel = 15;
    static constexpr int kPaddingPx = 12;

    explicit QmProtokollList(QWidget* parent = nullptr);

    void prepare(const QStringList& headers, int fontSize) override;
    void setColumnWidths(int datumTwips, int zeitTwips, int textTwips) override;
    [[nodiscard]] int widthTwips() const override { return width() * kTwipsPerPixel; }
    void addItem(const QString& date, const QString& time, const QString& text) override;
    void clear() override { QTreeWidget::clear(); }
    [[nodiscard]] int count() const override { return topLevelItemCount(); }
    [[nodiscard]] QStringList item(int row) const override;
};

} // namespace vemro
