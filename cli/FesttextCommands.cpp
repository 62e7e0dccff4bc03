#include "cli/FesttextCommands.h"

#include "cli/CliRegistry.h"
#include "cli/CliSession.h"
#include "config/FesttextPreview.h"
#include "config/FesttexteCore.h"
#include "config/TerminalSettingsCore.h"
#include "link/FesttextLayout.h"
#include "link/Notation.h"
#include "link/clsVX.h"
#include "platform/Codepage.h"
#include "project/BefehlComposer.h"
#include "project/Befehlskatalog.h"
#include "project/DataEnvironment.h"
#include "project/clsProjekt.h"

#include <QFileInfo>

namespace vemro {

namespace {

const QString kFilter = QStringLiteral("filter-linebreaks");
const QString kFrom = QStringLiteral("from");
const QString kBytes = QStringLiteral("bytes");

struct Display
{
    int cols = 20;
    int rows = 4;
};

// The display of the project: its stored geometry, 20x4 when it has none.
Display displayOf(DataEnvironment& env)
{
    clsVX vx;
    TerminalSettingsCore core(vx, env);
    TerminalSettingsData d;
    Display display;
    if (core.loadFromProject(d, nullptr) && d.Cols > 0 && d.Rows > 0) {
        display.cols = d.Cols;
        display.rows = d.Rows;
    }
    return display;
}

int textsRead(CliContext& ctx, clsVX& vx)
{
    int read = 0;
    QString error;
    if (!FesttexteCore(vx, ctx.session->env()).readFromTerminal(&error, &read))
        return ctx.fail(error);
    ctx.out << QStringLiteral("%1 Festtexte gelesen\n").arg(read);
    return 0;
}

int textsWrite(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(
            QStringLiteral("texts write NAME [--filter-linebreaks yes|no] [Verbindung]"));
    std::optional<bool> filter;
    if (ctx.has(kFilter)) {
        const QString v = ctx.option(kFilter).trimmed().toLower();
        if (v != QLatin1String("yes") && v != QLatin1String("no"))
            return ctx.usage(QStringLiteral("texts write NAME --filter-linebreaks yes|no"));
        filter = v == QLatin1String("yes");
    }
    clsProjekt projekt(ctx.session->env());
    if (!ctx.session->openProject(ctx.args.first(), projekt))
        return 1;
    int code = 1;
    clsVX* vx = ctx.session->terminal(code);
    if (!vx)
        return code;
    FesttexteCore core(*vx, ctx.session->env());
    FesttextRows rows;
    QString error;
    if (!core.table().rows(rows, &error))
        return ctx.fail(error);
    if (!core.writeToTerminal(filter, &error)) {
        // A failure has shown its messages; a declined transfer says so here.
        return vx->festtexteDeclined() ? ctx.fail(error) : 1;
    }
    ctx.out << QStringLiteral("%1 Festtexte geschrieben\n").arg(rows.size());
    return 0;
}

int textsImport(CliContext& ctx)
{
    if (ctx.args.size() != 2)
        return ctx.usage(QStringLiteral("texts import NAME DATEI [--from N]"));
    int from = 0;
    if (ctx.has(kFrom) && !readNumber(ctx.option(kFrom), 0, kFesttextCount - 1, &from))
        return ctx.usage(QStringLiteral("texts import NAME DATEI [--from N]   (N = 0 bis 127)"));
    DataEnvironment& env = ctx.session->env();
    clsProjekt projekt(env);
    if (!ctx.session->openProject(ctx.args.first(), projekt))
        return 1;
    const Display display = displayOf(env);
    clsVX vx;
    int count = 0;
    QString error;
    if (!FesttexteCore(vx, env).importFile(QFileInfo(ctx.args.at(1)).absoluteFilePath(), from,
                                           display.rows, display.cols, &count, &error))
        return ctx.fail(error);
    ctx.out << QStringLiteral("%1 Festtexte importiert\n").arg(count);
    return 0;
}

int textsExport(CliContext& ctx)
{
    DataEnvironment& env = ctx.session->env();
    clsVX vx;
    int count = 0;
    QString error;
    if (!FesttexteCore(vx, env).exportFile(QFileInfo(ctx.args.at(1)).absoluteFilePath(), &count,
                                           &error))
        return ctx.fail(error);
    ctx.out << QStringLiteral("%1 Festtexte exportiert\n").arg(count);
    return 0;
}

int textsShow(CliContext& ctx)
{
    int n = 0;
    if (ctx.args.size() != 2 || !readNumber(ctx.args.at(1), 0, kFesttextCount - 1, &n))
        return ctx.usage(QStringLiteral("texts show NAME N   (N = 0 bis 127)"));
    DataEnvironment& env = ctx.session->env();
    clsProjekt projekt(env);
    if (!ctx.session->openProject(ctx.args.first(), projekt))
        return 1;
    const Display display = displayOf(env);
    QList<FesttextTable::Entry> entries;
    QString error;
    if (!FesttextTable(env).entries(entries, &error))
        return ctx.fail(error);
    const auto it = std::find_if(entries.cbegin(), entries.cend(),
                                 [n](const FesttextTable::Entry& e) { return e.DisplayNr == n; });
    if (it == entries.cend())
        return ctx.fail(QStringLiteral("Festtext %1 ist nicht vorhanden").arg(n));
    const auto preview = FesttextVorschau(it->text, display.cols, display.rows);
    if (!preview)
        return ctx.fail(QStringLiteral("Festtext %1: Befehl \"{<ESC>\" ohne \"}\"").arg(n));
    const QString dashes(display.cols, QLatin1Char('-'));
    ctx.out << dashes << '\n';
    for (const QString& row : *preview)
        ctx.out << row << '\n';
    ctx.out << dashes << '\n';
    return 0;
}

bool loadCatalogue(CliContext& ctx, QList<Befehlsgruppe>& groups)
{
    clsProjekt projekt(ctx.session->env());
    if (!ctx.session->openProject(ctx.args.first(), projekt))
        return false;
    QString error;
    if (!Befehlskatalog::load(ctx.session->env(), groups, &error)) {
        ctx.fail(error);
        return false;
    }
    return true;
}

QString typName(const Befehlsparameter& p)
{
    if (!p.Typ)
        return QStringLiteral("Typ %1").arg(p.TypWert);
    switch (*p.Typ) {
    case ParameterTyp::Number:
        return QStringLiteral("Zahl");
    case ParameterTyp::Flag:
        return QStringLiteral("Schalter");
    case ParameterTyp::Text:
        return QStringLiteral("Text");
    case ParameterTyp::GroupStart:
        return QStringLiteral("Gruppe");
    case ParameterTyp::GroupEnd:
        return QStringLiteral("Gruppenende");
    case ParameterTyp::Button:
        return QStringLiteral("Knopf");
    case ParameterTyp::Choice:
        return QStringLiteral("Auswahl");
    }
    return QString();
}

int commandsList(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.usage(QStringLiteral("commands list NAME"));
    QList<Befehlsgruppe> groups;
    if (!loadCatalogue(ctx, groups))
        return 1;
    for (const Befehlsgruppe& g : groups) {
        ctx.out << g.Bezeichnung << '\n';
        for (const Befehl& b : g.Befehle) {
            ctx.out << "  " << b.ID << '\t' << b.Bezeichnung << '\t' << b.Sequenz << '\n';
            for (const Befehlsparameter& p : b.Parameter) {
                ctx.out << "      " << p.Reihenfolge << ' ' << typName(p);
                if (!p.Bezeichnung.isNull())
                    ctx.out << ' ' << p.Bezeichnung.toString();
                if (p.Typ == ParameterTyp::Number || p.Typ == ParameterTyp::Flag ||
                    p.Typ == ParameterTyp::Choice)
                    ctx.out << " [" << p.Min.toString() << ".." << p.Max.toString() << ']';
                if (!p.Einheit.isNull())
                    ctx.out << " (" << p.Einheit.toString() << ')';
                if (!p.Default.isNull())
                    ctx.out << " = " << p.Default.toString();
                ctx.out << '\n';
            }
        }
    }
    return 0;
}

int commandsCompose(CliContext& ctx)
{
    int id = 0;
    if (ctx.args.size() < 2 || !readNumber(ctx.args.at(1), 0, 1 << 30, &id))
        return ctx.usage(QStringLiteral("commands compose NAME ID [WERT ...] [--bytes]"));
    QList<Befehlsgruppe> groups;
    if (!loadCatalogue(ctx, groups))
        return 1;
    const Befehl* b = Befehlskatalog::find(groups, id);
    if (!b)
        return ctx.fail(QStringLiteral("Befehl %1 ist nicht im Katalog").arg(id));
    // The values fill the rows that take an entry, in order; the rest keep their presets.
    QList<ParameterEingabe> in = BefehlComposer::Vorgaben(*b);
    int next = 2;
    for (int i = 0; i < b->Parameter.size() && next < ctx.args.size(); ++i) {
        if (BefehlComposer::TakesEntry(b->Parameter.at(i)))
            BefehlComposer::SetEingabe(*b, in, i, ctx.args.at(next++));
    }
    if (next < ctx.args.size())
        return ctx.fail(QStringLiteral("zu viele Werte für Befehl %1").arg(id));
    const int mode = ctx.has(kBytes) ? 0 : 1;
    if (!BefehlComposer::CheckParameter(*b, in, mode))
        return ctx.fail(BefehlComposer::Meldung(*b, in, mode));
    bool unknown = false;
    const QString text = BefehlComposer::CreateBefehlstext(*b, in, mode, &unknown);
    // A command whose text the link cannot convert would fail when it is sent.
    try {
        (void)FilterSteuerzeichen(StringToAnsi(text), false);
    } catch (const NotationError& e) {
        return ctx.fail(e.description());
    }
    ctx.out << text << '\n';
    // The command lacks what the unknown rows stood for: shown, and not a success.
    if (unknown)
        return ctx.fail(BefehlComposer::kUnbekannterTyp);
    return 0;
}

} // namespace

void registerFesttextCommands(CliRegistry& registry)
{
    registry.addValueOption(kFilter);
    registry.addValueOption(kFrom);
    registry.add({QStringLiteral("texts read"),
                  QStringLiteral("texts read NAME"),
                  QStringLiteral("liest alle Festtexte des Terminals in Projekt NAME (--yes "
                                 "beantwortet die Rückfrage)"),
                  withProjectAndTerminal(1, QStringLiteral("texts read NAME [--yes] [Verbindung]"),
                                         textsRead),
                  {},
                  true});
    registry.add({QStringLiteral("texts write"),
                  QStringLiteral("texts write NAME [--filter-linebreaks yes|no]"),
                  QStringLiteral("schreibt die Festtexte von Projekt NAME ins Terminal"),
                  textsWrite,
                  {kFilter},
                  true});
    registry.add({QStringLiteral("texts import"),
                  QStringLiteral("texts import NAME DATEI [--from N]"),
                  QStringLiteral("importiert eine RK- oder VX-Festtextdatei (RK ab Nummer N)"),
                  textsImport,
                  {kFrom}});
    registry.add({QStringLiteral("texts export"), QStringLiteral("texts export NAME DATEI"),
                  QStringLiteral("exportiert alle Festtexte als VX-Festtextdatei"),
                  withProject(2, QStringLiteral("texts export NAME DATEI"), textsExport)});
    registry.add({QStringLiteral("texts show"), QStringLiteral("texts show NAME N"),
                  QStringLiteral("zeigt Festtext N so, wie das Display ihn zeigt"), textsShow});
    registry.add({QStringLiteral("commands list"), QStringLiteral("commands list NAME"),
                  QStringLiteral("zeigt den Befehlskatalog des Projekts"), commandsList});
    registry.add({QStringLiteral("commands compose"),
                  QStringLiteral("commands compose NAME ID [WERT ...] [--bytes]"),
                  QStringLiteral("setzt Befehl ID aus dem Katalog zusammen (Exit 1 bei "
                                 "unzulässigen Werten)"),
                  commandsCompose,
                  {kBytes}});
}

} // namespace vemro
