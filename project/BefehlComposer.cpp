#include "project/BefehlComposer.h"

#include "link/Notation.h"
#include "platform/Codepage.h"
#include "platform/TextValue.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vemro {

namespace {

double number(const QVariant& v)
{
    return v.isNull() ? 0.0 : TextValue(v.toString());
}

bool presetSet(const Befehlsparameter& p)
{
    return !p.Default.isNull() && number(p.Default) > number(p.Min);
}

int flagValue(const Befehlsparameter& p, bool checked)
{
    return static_cast<int>(RoundHalfEven(number(checked ? p.Max : p.Min)));
}

QString inForm(int value, bool text)
{
    return text ? QString::number(value)
                : AnsiToString(ByteToNotation(static_cast<uchar>(value & 0xFF)));
}

QString rowName(const Befehlsparameter& p, int i)
{
    const QString name = p.Bezeichnung.isNull() ? QString() : p.Bezeichnung.toString();
    return name.trimmed().isEmpty() ? QStringLiteral("Parameter %1").arg(i + 1) : name;
}

// The whole numbers a number row accepts: Min..Max, within 16 bits, and 0..255 in byte form.
// Limits are worked out in floating point and clamped before they become integers, so a
// catalogue limit such as 1E30 cannot overflow.
void allowed(const Befehlsparameter& p, bool byteForm, qint64* lo, qint64* hi)
{
    double low = byteForm ? 0.0 : std::numeric_limits<qint16>::min();
    double high = byteForm ? 255.0 : std::numeric_limits<qint16>::max();
    if (!p.Min.isNull())
        low = std::max(low, std::ceil(number(p.Min)));
    if (!p.Max.isNull())
        high = std::min(high, std::floor(number(p.Max)));
    *lo = static_cast<qint64>(std::clamp(low, -1e9, 1e9));
    *hi = static_cast<qint64>(std::clamp(high, -1e9, 1e9));
}

QString range(qint64 lo, qint64 hi)
{
    if (lo > hi)
        return QStringLiteral("in dieser Parameterform ist kein Wert möglich");
    return QStringLiteral("erlaubt ist %1 bis %2").arg(lo).arg(hi);
}

// The range check behind CheckParameter and Meldung; `reasons` gets one line per refusal.
bool check(const Befehl& b, const QList<ParameterEingabe>& in, bool byteForm, QList<bool>* bad,
           QStringList* reasons)
{
    bool ok = true;
    if (bad)
        bad->clear();
    int sum = 0;
    bool inGroup = false;
    QString group;
    const auto sumFits = [&](const QString& name) {
        if (!byteForm || (sum >= 0 && sum <= 255))
            return;
        ok = false;
        if (reasons)
            reasons->append(QStringLiteral("%1: Summe %2 ist nicht zulässig, erlaubt ist 0 bis 255")
                                .arg(name)
                                .arg(sum));
    };
    for (int i = 0; i < b.Parameter.size(); ++i) {
        const Befehlsparameter& p = b.Parameter.at(i);
        const ParameterEingabe e = i < in.size() ? in.at(i) : ParameterEingabe{};
        bool rowBad = false;
        if (p.Typ == ParameterTyp::Number) {
            qint64 lo = 0;
            qint64 hi = 0;
            allowed(p, byteForm, &lo, &hi);
            int v = 0;
            rowBad = !BefehlComposer::BoxValue(e.text, &v) || v < lo || v > hi;
            if (rowBad && reasons)
                reasons->append(QStringLiteral("%1: \"%2\" ist nicht zulässig, %3")
                                    .arg(rowName(p, i), e.text.trimmed(), range(lo, hi)));
        } else if (p.Typ == ParameterTyp::GroupStart) {
            sum = 0;
            inGroup = true;
            group = rowName(p, i);
        } else if (p.Typ == ParameterTyp::Flag || p.Typ == ParameterTyp::Choice) {
            sum += flagValue(p, e.checked);
            if (!inGroup) {
                sumFits(rowName(p, i));
                sum = 0;
            }
        } else if (p.Typ == ParameterTyp::GroupEnd) {
            sumFits(group.isEmpty() ? rowName(p, i) : group);
            inGroup = false;
        }
        if (rowBad)
            ok = false;
        if (bad)
            bad->append(rowBad);
    }
    return ok;
}

} // namespace

QString BefehlComposer::Label(const Befehlsparameter& p)
{
    if (p.Bezeichnung.isNull())
        return QString();
    QString label = p.Bezeichnung.toString();
    if ((p.Typ == ParameterTyp::Number || p.Typ == ParameterTyp::Text ||
         p.Typ == ParameterTyp::GroupStart) &&
        !p.Einheit.isNull())
        label += QStringLiteral(" (") + p.Einheit.toString() + QLatin1Char(')');
    return label;
}

QList<ParameterEingabe> BefehlComposer::Vorgaben(const Befehl& b)
{
    QList<ParameterEingabe> out;
    int lastChoice = -1;
    for (int i = 0; i < b.Parameter.size(); ++i) {
        const Befehlsparameter& p = b.Parameter.at(i);
        ParameterEingabe e;
        if (p.Typ == ParameterTyp::Number || p.Typ == ParameterTyp::Text)
            e.text = p.Default.isNull() ? QString() : p.Default.toString();
        else if (p.Typ == ParameterTyp::Flag)
            e.checked = presetSet(p);
        else if (p.Typ == ParameterTyp::Choice && presetSet(p))
            lastChoice = i;
        out.append(e);
    }
    if (lastChoice >= 0)
        out[lastChoice].checked = true;
    return out;
}

int BefehlComposer::EffectiveMode(const Befehl& b, int Createmode)
{
    return b.Sequenz == QLatin1String("<ESC>KM") ? 0 : Createmode;
}

bool BefehlComposer::BoxValue(const QString& text, int* value)
{
    const double v = TextValue(text);
    if (!std::isfinite(v) || v < -32768.5 || v > 32767.5)
        return false;
    const qint64 rounded = RoundHalfEven(v);
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max())
        return false;
    *value = static_cast<int>(rounded);
    return true;
}

bool BefehlComposer::CheckParameter(const Befehl& b, const QList<ParameterEingabe>& in,
                                    int Createmode, QList<bool>* bad)
{
    return check(b, in, EffectiveMode(b, Createmode) == 0, bad, nullptr);
}

QString BefehlComposer::Meldung(const Befehl& b, const QList<ParameterEingabe>& in, int Createmode)
{
    QStringList reasons;
    if (check(b, in, EffectiveMode(b, Createmode) == 0, nullptr, &reasons))
        return QString();
    reasons.prepend(kUnzulaessig);
    return reasons.join(QLatin1Char('\n'));
}

bool BefehlComposer::TakesEntry(const Befehlsparameter& p)
{
    return p.Typ == ParameterTyp::Number || p.Typ == ParameterTyp::Text ||
           p.Typ == ParameterTyp::Flag || p.Typ == ParameterTyp::Choice;
}

void BefehlComposer::SetEingabe(const Befehl& b, QList<ParameterEingabe>& in, int i,
                                const QString& value)
{
    if (i < 0 || i >= b.Parameter.size() || i >= in.size())
        return;
    const std::optional<ParameterTyp> typ = b.Parameter.at(i).Typ;
    if (typ == ParameterTyp::Number || typ == ParameterTyp::Text) {
        in[i].text = value;
        return;
    }
    if (typ != ParameterTyp::Flag && typ != ParameterTyp::Choice)
        return;
    const QString v = value.trimmed().toLower();
    const bool on = v == QLatin1String("1") || v == QLatin1String("ja") ||
                    v == QLatin1String("yes") || v == QLatin1String("x");
    if (on && typ == ParameterTyp::Choice) {
        for (int j = 0; j < b.Parameter.size() && j < in.size(); ++j) {
            if (b.Parameter.at(j).Typ == ParameterTyp::Choice)
                in[j].checked = false;
        }
    }
    in[i].checked = on;
}

QString BefehlComposer::CreateBefehlstext(const Befehl& b, const QList<ParameterEingabe>& in,
                                          int Createmode, bool* unknownType)
{
    const bool textForm = EffectiveMode(b, Createmode) != 0;
    QString out = b.Sequenz;
    int sum = 0;
    bool inGroup = false;
    bool hasParameter = false;
    if (unknownType)
        *unknownType = false;
    for (int i = 0; i < b.Parameter.size(); ++i) {
        const Befehlsparameter& p = b.Parameter.at(i);
        const ParameterEingabe e = i < in.size() ? in.at(i) : ParameterEingabe{};
        if (textForm && i > 0 && !inGroup)
            out += QLatin1Char(',');
        if (!p.Typ) {
            if (unknownType)
                *unknownType = true;
            continue;
        }
        switch (*p.Typ) {
        case ParameterTyp::Number: {
            if (textForm) {
                out += e.text;
            } else {
                int v = 0;
                (void)BoxValue(e.text, &v);
                out += inForm(v, false);
            }
            hasParameter = true;
            break;
        }
        case ParameterTyp::Text:
            out += e.text;
            hasParameter = true;
            break;
        case ParameterTyp::GroupStart:
            sum = 0;
            inGroup = true;
            break;
        case ParameterTyp::Flag:
        case ParameterTyp::Choice:
            sum += flagValue(p, e.checked);
            if (!inGroup) {
                out += inForm(sum, textForm);
                sum = 0;
            }
            hasParameter = true;
            break;
        case ParameterTyp::GroupEnd:
            out += inForm(sum, textForm);
            inGroup = false;
            break;
        case ParameterTyp::Button:
            break;
        }
    }
    if (textForm && hasParameter)
        out += b.Abschlusszeichen;
    return out;
}

} // namespace vemro
