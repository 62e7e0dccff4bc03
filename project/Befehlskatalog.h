#pragma once

#include "platform/StoredEnum.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace vemro {

class DataEnvironment;

// The kind of a catalogue parameter row, numbered as the catalogue keeps it (column Typ).
enum class ParameterTyp : int {
    Number = 1,     // a number box
    Flag = 2,       // a check box: Max when set, Min when not
    Text = 3,       // a text box
    GroupStart = 4, // a heading; the flags up to the group end are summed
    GroupEnd = 5,   // the group's sum
    Button = 6,     // a button, adds nothing
    Choice = 7,     // an option button of the command's one group
};

template <> [[nodiscard]] inline std::optional<ParameterTyp> fromStored<ParameterTyp>(int stored)
{
    if (stored >= toStored(ParameterTyp::Number) && stored <= toStored(ParameterTyp::Choice))
        return static_cast<ParameterTyp>(stored);
    return std::nullopt;
}

// The command catalogue of a project (tables Befehlsgruppen, Befehlssatz, Befehlsparameter)
// as plain values for the command builder, vemro-cli and the tests.
struct Befehlsparameter
{
    int Reihenfolge = 0;
    // None for a number the program does not know; TypWert keeps the number to name it.
    std::optional<ParameterTyp> Typ;
    int TypWert = 0;
    QVariant Bezeichnung; // Null: no label
    QVariant Einheit;     // Null: no unit
    QVariant Default;     // Null: empty box, flag or option unset
    QVariant Min;
    QVariant Max;
};

// A row of the catalogue's number `stored`.
[[nodiscard]] inline Befehlsparameter parameterOfTyp(int stored)
{
    Befehlsparameter p;
    p.Typ = fromStored<ParameterTyp>(stored);
    p.TypWert = stored;
    return p;
}

struct Befehl
{
    int ID = 0;
    int Gruppe_ID = 0;
    QString Bezeichnung;
    QString Sequenz;
    QString Abschlusszeichen;
    QList<Befehlsparameter> Parameter;
};

struct Befehlsgruppe
{
    int ID = 0;
    QString Bezeichnung;
    QList<Befehl> Befehle;
};

class Befehlskatalog
{
public:
    // Groups by Bezeichnung, their commands by Bezeichnung, parameters by Reihenfolge,
    // read through the data environment's catalogue commands.
    [[nodiscard]] static bool load(DataEnvironment& env, QList<Befehlsgruppe>& out, QString* error);
    // The command with this ID, or nullptr.
    [[nodiscard]] static const Befehl* find(const QList<Befehlsgruppe>& groups, int id);
};

} // namespace vemro
