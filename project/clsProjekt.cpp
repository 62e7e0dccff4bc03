#include "project/clsProjekt.h"

#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"

#include <QSqlError>
#include <QSqlQuery>

namespace vemro {

namespace {

struct UpgradeStep
{
    const char* from;
    const char* statement;
    const char* to;
};

// Each step is applied once, in order; one call walks an old file to the newest schema.
constexpr UpgradeStep kUpgradeSteps[] = {
    {"1.0", "ALTER TABLE Terminaleinstellungen ADD COLUMN Terminaladresse INTEGER", "1.1"},
    {"1.1", "ALTER TABLE TastaturModus ADD COLUMN UseMatrix Bit", "1.2"},
    {"1.2", "ALTER TABLE Terminaleinstellungen ADD COLUMN ComSettingsProg TEXT(20)", "1.3"},
    {"1.3", "ALTER TABLE Terminaleinstellungen ADD COLUMN UseRS485 Bit", "1.4"},
};

class BusyPointer
{
public:
    BusyPointer() { ui().setBusy(true); }
    ~BusyPointer() { ui().setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace

clsProjekt::clsProjekt(DataEnvironment& env) : m_env(env) {}

void clsProjekt::setBasispfad(const QString& folder)
{
    m_basispfad = folder;
}

bool clsProjekt::connectFile(const QString& file, QString* error)
{
    m_env.setConnectionString(DataEnvironment::kProjekt, DataEnvironment::connectionText(file));
    return m_env.open(DataEnvironment::kProjekt, error);
}

QString clsProjekt::DBVersion()
{
    if (!m_env.ensureOpen(QStringLiteral("cmdProjekt")))
        return QString();
    return m_env.recordset(QStringLiteral("cmdProjekt")).value(QStringLiteral("DBVersion")).toString();
}

bool clsProjekt::UpdateProjekt()
{
    BusyPointer busy;
    Recordset& header = m_env.recordset(QStringLiteral("cmdProjekt"));
    QString error;
    if (!header.isOpen() && !m_env.execute(QStringLiteral("cmdProjekt"), {}, &error)) {
        ui().message(QStringLiteral("Fehler bei DB-Update : ") + error, kProductName);
        return false;
    }
    for (;;) {
        header.moveFirst();
        if (header.eof())
            return true; // no header record: nothing to upgrade
        const QVariant version = header.value(QStringLiteral("DBVersion"));
        if (version.isNull())
            return true;
        const QString text = version.toString();
        const UpgradeStep* step = nullptr;
        for (const UpgradeStep& s : kUpgradeSteps) {
            if (text == QLatin1String(s.from))
                step = &s;
        }
        if (!step)
            return true;
        QSqlQuery query(m_env.database(DataEnvironment::kProjekt));
        if (!query.exec(QString::fromLatin1(step->statement))) {
            ui().message(QStringLiteral("Fehler bei DB-Update : ") + query.lastError().text(),
                         kProductName);
            return false;
        }
        query.finish();
        // The header was loaded before the table changed; its values are still current.
        if (!header.setValue(QStringLiteral("DBVersion"), QString::fromLatin1(step->to)) ||
            !header.update()) {
            ui().message(QStringLiteral("Fehler bei DB-Update : ") + header.lastError(), kProductName);
            header.cancelUpdate();
            return false;
        }
    }
}

bool clsProjekt::CheckMinProgversion()
{
    const QString program = ProgramVersionText();
    if (!m_env.ensureOpen(QStringLiteral("cmdProjekt")))
        return true;
    Recordset& header = m_env.recordset(QStringLiteral("cmdProjekt"));
    header.moveFirst();
    const QVariant minimum = header.value(QStringLiteral("minProgversion"));
    if (minimum.isNull())
        return true;
    // Plain character-code comparison, as the stored texts have always been compared.
    if (minimum.toString().compare(program, Qt::CaseSensitive) > 0) {
        ui().message(QStringLiteral("Projekt benötigt mindestens Programmversion ") +
                         minimum.toString(),
                     kProductName);
        return false;
    }
    return true;
}

} // namespace vemro
