#include "project/BefehlComposer.h"

#include "platform/Codepage.h"
#include "platform/TextValue.h"

#include <cmath>
#include <limits>

namespace vemro {

namespace {

constexpr int kNumber = 1;
constexpr int kFlag = 2;
constexpr int kText = 3;
constexpr int kGroupStart = 4;
constexpr int kGroupEnd = 5;
constexpr int kButton = 6;
constexpr int kChoice = 7;

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
    return text ? QString::number(value) : QString(AnsiChar(static_cast<uchar>(value & 0xFF)));
}

} // namespace

QString BefehlComposer::Label(const Befehlsparameter& p)
{
    if (p.Bezeichnung.isNull())
        return QString();
    QString label = p.Bezeichnung.toString();
    if ((p.Typ == kNumber || p.Typ == kText || p.Typ == kGroupStart) && !p.Einheit.isNull())
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
        if (p.Typ == kNumber || p.Typ == kText)
            e.text = p.Default.isNull() ? QString() : p.Default.toString();
        else if (p.Typ == kFlag)
            e.checked = presetSet(p);
        else if (p.Typ == kChoice && presetSet(p))
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
    const bool byteForm = EffectiveMode(b, Createmode) == 0;
    bool ok = true;
    if (bad)
        bad->clear();
    int sum = 0;
    bool inGroup = false;
    for (int i = 0; i < b.Parameter.size(); ++i) {
        const Befehlsparameter& p = b.Parameter.at(i);
        const ParameterEingabe e = i < in.size() ? in.at(i) : ParameterEingabe{};
        bool rowBad = false;
        if (p.Typ == kNumber) {
            int v = 0;
            if (!BoxValue(e.text, &v))
                rowBad = true;
            else if ((!p.Min.isNull() && v < number(p.Min)) ||
                     (!p.Max.isNull() && v > number(p.Max)))
                rowBad = true;
            else if (byteForm && (v < 0 || v > 255))
                rowBad = true;
        } else if (p.Typ == kGroupStart) {
            sum = 0;
            inGroup = true;
        } else if (p.Typ == kFlag || p.Typ == kChoice) {
            sum += flagValue(p, e.checked);
            if (!inGroup) {
                if (byteForm && (sum < 0 || sum > 255))
                    ok = false;
                sum = 0;
            }
        } else if (p.Typ == kGroupEnd) {
            if (byteForm && (sum < 0 || sum > 255))
                ok = false;
            inGroup = false;
        }
        if (rowBad)
            ok = false;
        if (bad)
            bad->append(rowBad);
    }
    return ok;
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
        switch (p.Typ) {
        case kNumber: {
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
        case kText:
            out += e.text;
            hasParameter = true;
            break;
        case kGroupStart:
            sum = 0;
            inGroup = true;
            break;
        case kFlag:
        case kChoice:
            sum += flagValue(p, e.checked);
            if (!inGroup) {
                out += inForm(sum, textForm);
                sum = 0;
            }
            hasParameter = true;
            break;
        case kGroupEnd:
            out += inForm(sum, textForm);
            inGroup = false;
            break;
        case kButton:
            break;
        default:
            if (unknownType)
                *unknownType = true;
            break;
        }
    }
    if (textForm && hasParameter)
        out += b.Abschlusszeichen;
    return out;
}

} // namespace vemro
