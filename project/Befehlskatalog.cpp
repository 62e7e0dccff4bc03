#include "project/Befehlskatalog.h"

#include "project/DataEnvironment.h"
#include "project/Recordset.h"

namespace vemro {

namespace {

QString text(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

} // namespace

bool Befehlskatalog::load(DataEnvironment& env, QList<Befehlsgruppe>& out, QString* error)
{
    out.clear();
    if (!env.execute(QStringLiteral("cmdBefehlsgruppen"), {}, error))
        return false;
    Recordset& groups = env.recordset(QStringLiteral("cmdBefehlsgruppen"));
    for (groups.moveFirst(); !groups.eof(); groups.moveNext()) {
        Befehlsgruppe g;
        g.ID = groups.value(QStringLiteral("ID")).toInt();
        g.Bezeichnung = text(groups.value(QStringLiteral("Bezeichnung")));
        out.append(g);
    }
    for (Befehlsgruppe& g : out) {
        if (!env.execute(QStringLiteral("cmdBefehle"), g.ID, error))
            return false;
        Recordset& cmds = env.recordset(QStringLiteral("cmdBefehle"));
        for (cmds.moveFirst(); !cmds.eof(); cmds.moveNext()) {
            Befehl b;
            b.ID = cmds.value(QStringLiteral("ID")).toInt();
            b.Gruppe_ID = g.ID;
            b.Bezeichnung = text(cmds.value(QStringLiteral("Bezeichnung")));
            b.Sequenz = text(cmds.value(QStringLiteral("Sequenz")));
            b.Abschlusszeichen = text(cmds.value(QStringLiteral("Abschlusszeichen")));
            g.Befehle.append(b);
        }
        for (Befehl& b : g.Befehle) {
            if (!env.execute(QStringLiteral("cmdBefehlsparameter"), b.ID, error))
                return false;
            Recordset& pars = env.recordset(QStringLiteral("cmdBefehlsparameter"));
            for (pars.moveFirst(); !pars.eof(); pars.moveNext()) {
                Befehlsparameter p = parameterOfTyp(pars.value(QStringLiteral("Typ")).toInt());
                p.Reihenfolge = pars.value(QStringLiteral("Reihenfolge")).toInt();
                p.Bezeichnung = pars.value(QStringLiteral("Bezeichnung"));
                p.Einheit = pars.value(QStringLiteral("Einheit"));
                p.Default = pars.value(QStringLiteral("Default"));
                p.Min = pars.value(QStringLiteral("Min"));
                p.Max = pars.value(QStringLiteral("Max"));
                b.Parameter.append(p);
            }
        }
    }
    return true;
}

const Befehl* Befehlskatalog::find(const QList<Befehlsgruppe>& groups, int id)
{
    for (const Befehlsgruppe& g : groups) {
        for (const Befehl& b : g.Befehle) {
            if (b.ID == id)
                return &b;
        }
    }
    return nullptr;
}

} // namespace vemro
