#include "config/FesttextPreview.h"

#include "platform/TextValue.h"

namespace vemro {

std::optional<QStringList> FesttextVorschau(const QString& text, int cols, int rows)
{
    const QString open = QStringLiteral("{<ESC>");
    QString s = text;
    for (int a = s.indexOf(open); a >= 0; a = s.indexOf(open)) {
        const int close = s.indexOf(QLatin1Char('}'), a + 4);
        if (close < 0)
            return std::nullopt;
        s.remove(s.mid(a, close - a + 1));
    }
    s.remove(QLatin1Char('\r'));
    QStringList out;
    if (cols < 1 || rows < 1)
        return out;
    for (int i = 0; i < rows; ++i)
        out.append(QString());
    int r = 0;
    while (!s.isEmpty()) {
        const int lf = s.indexOf(QLatin1Char('\n'));
        if (lf < 0 || lf + 1 > cols) {
            out[r] = s.left(cols);
            s.remove(0, cols);
        } else {
            out[r] = s.left(lf);
            s.remove(0, lf + 1);
        }
        r = (r + 1) % rows;
    }
    return out;
}

QString FesttextVorschauText(const QStringList& rows)
{
    QString text;
    for (const QString& row : rows)
        text += row + QStringLiteral("\r\n");
    return text;
}

bool ParseDisplaytyp(const QString& text, int* cols, int* rows)
{
    const int x = text.indexOf(QLatin1Char('x'));
    if (x < 0)
        return false;
    // No display comes near the bound; it keeps a mistyped entry from sizing a huge box.
    constexpr qint64 kMax = 1000;
    *cols = static_cast<int>(qBound<qint64>(0, RoundHalfEven(TextValue(text.left(x))), kMax));
    *rows = static_cast<int>(qBound<qint64>(0, RoundHalfEven(TextValue(text.mid(x + 1))), kMax));
    return true;
}

} // namespace vemro
