#pragma once

#include "project/Befehlskatalog.h"

#include <QList>
#include <QString>

namespace vemro {

// What the user entered in one parameter row: the box text (types 1 and 3) or whether
// the flag or option is set (types 2 and 7). Other types ignore it.
struct ParameterEingabe
{
    QString text;
    bool checked = false;
};

// The command builder's composition, without the dialog: labels, presets, the range
// check and the command text in decimal (Createmode 1) or byte form (Createmode 0).
class BefehlComposer
{
public:
    static inline const QString kUnzulaessig =
        QStringLiteral("einige Angaben sind nicht zulässig, bitte prüfen");
    static inline const QString kUnbekannterTyp =
        QStringLiteral("unbekannter Parametertyp/CreateBefehlstext");

    // The label of a row: Bezeichnung, with " (Einheit)" for types 1, 3 and 4.
    [[nodiscard]] static QString Label(const Befehlsparameter& p);
    // The presets of every row; of several options preset, the last one stays chosen.
    [[nodiscard]] static QList<ParameterEingabe> Vorgaben(const Befehl& b);
    // The form a command is composed in: "<ESC>KM" always in byte form.
    [[nodiscard]] static int EffectiveMode(const Befehl& b, int Createmode);
    // Every number box within Min..Max (and, in byte form, 0..255, since one character
    // carries it); in byte form flag sums must fit one character too. `bad` receives one
    // entry per row: true where the box is out of range. False when anything is refused.
    [[nodiscard]] static bool CheckParameter(const Befehl& b, const QList<ParameterEingabe>& in,
                                             int Createmode, QList<bool>* bad = nullptr);
    // What CheckParameter refused, for the user: kUnzulaessig, then one line per refused
    // row or flag sum with what is allowed ("Zeile: \"9\" ist nicht zulässig, erlaubt ist 1
    // bis 4"). Empty when nothing is refused.
    [[nodiscard]] static QString Meldung(const Befehl& b, const QList<ParameterEingabe>& in,
                                         int Createmode);
    // Whether a row takes a value from the user (number, flag, text, choice).
    [[nodiscard]] static bool TakesEntry(const Befehlsparameter& p);
    // Sets row i from a value as typed: the text of a number or text row; for a flag or
    // choice "1", "ja", "yes" or "x" set it, anything else clears it. The choices of a
    // command are one group: setting one clears the others.
    static void SetEingabe(const Befehl& b, QList<ParameterEingabe>& in, int i,
                           const QString& value);
    // The command text in notation. A byte-form value is the character of its code where
    // an editor holds that character as it is, else its code form ("<013>", "<ESC>"), which
    // the link turns back into the same byte. Call after CheckParameter. Rows of an unknown type
    // add nothing; `unknownType` is set.
    [[nodiscard]] static QString CreateBefehlstext(const Befehl& b,
                                                   const QList<ParameterEingabe>& in,
                                                   int Createmode, bool* unknownType = nullptr);
    // A box's number: its leading numeric part rounded; false beyond 16 bits.
    [[nodiscard]] static bool BoxValue(const QString& text, int* value);
};

} // namespace vemro
