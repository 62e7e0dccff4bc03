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
    // The command text in notation (byte-form values as the characters of their codes).
    // Call after CheckParameter. Rows of an unknown type add nothing; `unknownType` is set.
    [[nodiscard]] static QString CreateBefehlstext(const Befehl& b,
                                                   const QList<ParameterEingabe>& in,
                                                   int Createmode, bool* unknownType = nullptr);
    // A box's number: its leading numeric part rounded; nullopt beyond 16 bits.
    [[nodiscard]] static bool BoxValue(const QString& text, int* value);
};

} // namespace vemro
