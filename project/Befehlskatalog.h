#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace vemro {

class DataEnvironment;

// The command catalogue of a project (tables Befehlsgruppen, Befehlssatz, Befehlsparameter)
// as plain values for the command builder, vemro-cli and the tests.
struct Befehlsparameter
{
    int Reihenfolge = 0;
    int Typ = 0;
    QVariant Bezeichnung; // Null: no label
    QVariant Einheit;     // Null: no unit
    QVariant Default;     // Null: empty box, flag or option unset
    QVariant Min;
    QVariant Max;
};

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
