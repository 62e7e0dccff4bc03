#include "sim/gui/VxLcdWidget.h"

#include "sim/VxTerminal.h"

#include "platform/Codepage.h"

#include <QFontDatabase>
#include <QPainter>

namespace vemro {

namespace {

constexpr int kDot = 3;          // one LCD pixel on screen
constexpr int kCellW = 6 * kDot; // 5 pixels and a gap
constexpr int kCellH = 9 * kDot; // 8 pixels and a gap
constexpr int kMargin = 12;

} // namespace

VxLcdWidget::VxLcdWidget(VxTerminal* terminal, QWidget* parent)
    : QWidget(parent), m_terminal(terminal)
{
    setObjectName(QStringLiteral("ctlLcd"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(terminal, &VxTerminal::changed, this, [this] {
        updateGeometry();
        update();
    });
}

QSize VxLcdWidget::sizeHint() const
{
    if (!m_terminal)
        return {100, 40};
    const VxDisplay& d = m_terminal->display();
    return {d.cols() * kCellW + 2 * kMargin, d.rows() * kCellH + 2 * kMargin};
}

void VxLcdWidget::paintEvent(QPaintEvent*)
{
    if (!m_terminal)
        return;
    QPainter p(this);
    const VxDisplay& d = m_terminal->display();
    const bool lit = m_terminal->backlight();
    const QColor back = lit ? QColor(156, 204, 64) : QColor(84, 98, 70);
    p.fillRect(rect(), QColor(30, 30, 30));
    p.fillRect(rect().adjusted(4, 4, -4, -4), back);

    // Contrast 0 barely shows the text; 15 also darkens the empty cells, as on the glass.
    const int c = m_terminal->contrast();
    QColor ink(20, 40, 10);
    ink.setAlpha(40 + c * 14);
    QColor ghost(20, 40, 10);
    ghost.setAlpha(c > 11 ? (c - 11) * 12 : 0);

    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(kCellH - kDot);
    font.setBold(true);
    p.setFont(font);

    for (int r = 0; r < d.rows(); ++r) {
        const QByteArray codes = d.rowCodes(r);
        for (int col = 0; col < d.cols(); ++col) {
            const QRect cell(kMargin + col * kCellW, kMargin + r * kCellH, 5 * kDot, 8 * kDot);
            if (ghost.alpha() > 0)
                p.fillRect(cell, ghost);
            const auto code = static_cast<uchar>(codes.at(col));
            const int slot = d.slotForCode(code);
            if (slot >= 0) {
                const auto rows = d.userCharRows(slot);
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 5; ++x)
                        if (rows[y] & (16 >> x))
                            p.fillRect(cell.x() + x * kDot, cell.y() + y * kDot, kDot - 1, kDot - 1,
                                       ink);
            } else if (code > 32) {
                p.setPen(ink);
                p.drawText(cell, Qt::AlignCenter, QString(AnsiChar(code)));
            }
            if (r == d.cursorRow() && col == d.cursorCol() && d.cursorMode() != 0)
                p.fillRect(cell.x(), cell.bottom() - kDot + 1, cell.width(), kDot - 1, ink);
        }
    }
}

} // namespace vemro
