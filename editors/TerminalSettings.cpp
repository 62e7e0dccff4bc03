#include "editors/TerminalSettings.h"

#include "editors/EditMode.h"
#include "editors/KonfigurationPage.h"
#include "editors/SelectComboEntry.h"
#include "link/clsVX.h"
#include "platform/DataSide.h"
#include "platform/Globals.h"
#include "platform/TextValue.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace vemro {

namespace {

const QString kNotResponding = QStringLiteral("Terminal nicht ansprechbar");

void check(QButtonGroup* group, int index)
{
    if (QAbstractButton* b = group->button(index))
        b->setChecked(true);
}

} // namespace

TerminalSettings::TerminalSettings(KonfigurationPage& page, clsVX& vx, DataEnvironment& env,
                                   QObject* parent)
    : QObject(parent), m_page(page), m_vx(&vx), m_env(env), m_core(vx, env)
{
    connect(m_page.cboDisplayTyp(), &QComboBox::currentIndexChanged, this,
            [this](int) { cboDisplayTyp_Click(); });
    connect(m_page.ctlDisplayBacklight(), &QCheckBox::toggled, this,
            [this](bool) { ctlDisplayBacklight_Click(); });
    connect(m_page.ctlDisplaykontrast(), &QSlider::valueChanged, this,
            [this](int) { ctlDisplaykontrast_Change(); });
    connect(m_page.cmdCheckEEProm(), &QPushButton::clicked, this,
            &TerminalSettings::cmdCheckEEProm_Click);
}

EditMode TerminalSettings::pageNumber() const
{
    return EditMode::Konfiguration;
}

QList<Page::Transfer> TerminalSettings::transfers()
{
    return {
        {EditMode::Konfiguration, [this] { readFromTerminal(); }, [this] { sendToTerminal(); }}};
}

// The options and the four check boxes of frame "Terminal-Modus".
void TerminalSettings::showMode(const TerminalSettingsData& d)
{
    if (d.ParameterMode == 0 || d.ParameterMode == 1)
        check(m_page.parameterSendmodeGroup(), d.ParameterMode);
    if (d.SendMode == 2)
        check(m_page.terminalAntwortGroup(), 0);
    else if (d.SendMode == 4)
        check(m_page.terminalAntwortGroup(), 1);
    m_page.ctlTastaturEnable()->setChecked(d.Tastaturenabled);
    m_page.ctlIOPortsEnable()->setChecked(d.IOPortsEnabled);
    m_page.ctlEinschaltmeldungEnabled()->setChecked(d.Einschaltmeldung);
    m_page.ctlFesttextmodusenabled()->setChecked(d.Festtextmode);
}

void TerminalSettings::selectDisplayType(const TerminalSettingsData& d)
{
    // As the user's choice: the preview follows the display type.
    QComboBox* types = m_page.cboDisplayTyp();
    if (!SelectComboEntry(types, TerminalSettingsCore::displayTypeText(d.Cols, d.Rows), true)) {
        ControlsUpdatingGuard guard;
        types->setCurrentIndex(-1);
    }
}

void TerminalSettings::GetTerminalInfo(DataSide Quelle)
{
    if (!checkDataSide(Quelle) || !m_vx)
        return;
    TerminalSettingsData d = m_core.terminalObject();
    if (Quelle == DataSide::Terminal) {
        // Without an answer the list, the version and the serial number shown stay.
        if (!m_core.readInfo(d)) {
            ui().message(kNotResponding, kProductName);
            return;
        }
        selectDisplayType(d);
        emit terminalInfoRead(d.Version, d.SerNr);
        return;
    }
    if (!m_core.loadFromProject(d))
        return;
    selectDisplayType(d);
    m_core.takeDisplaySize(d);
}

bool TerminalSettings::ShowTerminalVersion()
{
    if (!m_vx)
        return false;
    const QString version = m_vx->Version();
    if (version == QLatin1String("unbekannt"))
        return false;
    emit terminalInfoRead(version, m_vx->SerNr);
    return true;
}

void TerminalSettings::GetTerminalMode(DataSide Quelle)
{
    if (!checkDataSide(Quelle) || !m_vx)
        return;
    TerminalSettingsData d = m_core.terminalObject();
    if (Quelle == DataSide::Terminal) {
        if (m_core.readMode(d))
            showMode(d);
        return;
    }
    if (!m_core.loadFromProject(d))
        return;
    m_core.takeMode(d);
    showMode(d);
    // Not raised here on purpose: a changed backlight box runs its handler.
    m_page.ctlDisplayBacklight()->setChecked(d.Backlight > 0);
    m_page.txtFesttextPort()->setText(QString::number(d.FesttextPort));
}

bool TerminalSettings::SetTerminalmode(DataSide Ziel, QString* error)
{
    if (!checkDataSide(Ziel) || !m_vx)
        return false;
    TerminalSettingsData d = m_core.terminalObject();
    d.FesttextPort = static_cast<qint16>(TextValueInt(m_page.txtFesttextPort()->text()));
    if (Ziel == DataSide::Terminal) {
        d.ParameterMode = m_page.ctlParameterSendmode(0)->isChecked() ? 0 : 1;
        d.SendMode = 0;
        if (m_page.ctlTerminalAntwort(0)->isChecked())
            d.SendMode = 2;
        if (m_page.ctlTerminalAntwort(1)->isChecked())
            d.SendMode = 4;
        d.Tastaturenabled = m_page.ctlTastaturEnable()->isChecked();
        d.IOPortsEnabled = m_page.ctlIOPortsEnable()->isChecked();
        d.Einschaltmeldung = m_page.ctlEinschaltmeldungEnabled()->isChecked();
        d.Festtextmode = m_page.ctlFesttextmodusenabled()->isChecked();
        return m_core.writeMode(d, error);
    }
    // Into the project from the terminal object, except the port box and the RS485 choice.
    d.Users485 = m_rs485;
    return m_core.saveMode(d, error);
}

void TerminalSettings::FillDisplayCombo()
{
    ControlsUpdatingGuard guard;
    QComboBox* types = m_page.cboDisplayTyp();
    types->clear();
    QStringList entries;
    if (!m_core.displayTypes(entries))
        return;
    types->addItems(entries);
    types->setCurrentIndex(-1);
}

void TerminalSettings::cboDisplayTyp_Click()
{
    if (globals().ControlsUpdating || !m_vx)
        return;
    TerminalSettingsData d = m_core.terminalObject();
    if (TerminalSettingsCore::parseDisplayType(m_page.cboDisplayTyp()->currentText(), d.Cols,
                                               d.Rows))
        m_core.takeDisplaySize(d);
    emit displayTypeChanged(m_page.cboDisplayTyp()->currentText());
}

bool TerminalSettings::SetDisplayAufloesung(DataSide Ziel, QString* error)
{
    if (!checkDataSide(Ziel) || !m_vx)
        return false;
    TerminalSettingsData d = m_core.terminalObject();
    if (Ziel == DataSide::Projekt)
        return m_core.saveDisplaySize(d, error);
    if (!TerminalSettingsCore::parseDisplayType(m_page.cboDisplayTyp()->currentText(), d.Cols,
                                                d.Rows))
        ui().message(QStringLiteral("ungültiger Eintrag in Displayauswahlliste"), kProductName);
    return m_core.writeDisplaySize(d, error);
}

void TerminalSettings::GetDisplayBacklight(DataSide Quelle)
{
    if (!checkDataSide(Quelle) || !m_vx)
        return;
    TerminalSettingsData d = m_core.terminalObject();
    if (Quelle == DataSide::Terminal) {
        if (!m_core.readBacklight(d))
            return;
    } else {
        if (!m_core.loadFromProject(d))
            return;
        m_core.takeBacklight(d);
    }
    ControlsUpdatingGuard guard;
    m_page.ctlDisplayBacklight()->setChecked(d.Backlight > 0);
}

bool TerminalSettings::SetDisplayBacklight(DataSide Ziel, QString* error)
{
    if (!checkDataSide(Ziel) || !m_vx)
        return false;
    TerminalSettingsData d = m_core.terminalObject();
    d.Backlight = m_page.ctlDisplayBacklight()->isChecked() ? 1 : 0;
    return Ziel == DataSide::Terminal ? m_core.writeBacklight(d, error)
                                      : m_core.saveBacklight(d, error);
}

void TerminalSettings::GetDisplaykontrast(DataSide Quelle)
{
    if (!checkDataSide(Quelle) || !m_vx)
        return;
    TerminalSettingsData d = m_core.terminalObject();
    if (Quelle == DataSide::Terminal) {
        if (!m_core.readKontrast(d))
            return;
    } else {
        if (!m_core.loadFromProject(d))
            return;
        m_core.takeKontrast(d);
    }
    ControlsUpdatingGuard guard;
    m_page.ctlDisplaykontrast()->setValue(d.Kontrast);
}

bool TerminalSettings::SetDisplayKontrast(DataSide Ziel, QString* error)
{
    if (!checkDataSide(Ziel) || !m_vx)
        return false;
    TerminalSettingsData d = m_core.terminalObject();
    d.Kontrast = m_page.ctlDisplaykontrast()->value();
    return Ziel == DataSide::Terminal ? m_core.writeKontrast(d, error)
                                      : m_core.saveKontrast(d, error);
}

void TerminalSettings::ctlDisplayBacklight_Click()
{
    if (globals().ControlsUpdating)
        return;
    (void)SetDisplayBacklight(DataSide::Terminal);
    if (m_env.isOpen(DataEnvironment::kProjekt))
        (void)SetDisplayBacklight(DataSide::Projekt);
}

void TerminalSettings::ctlDisplaykontrast_Change()
{
    if (globals().ControlsUpdating)
        return;
    // A step that comes while the previous one is still on its way (the link lets the
    // event loop run) is not sent on its own; the running send goes round once more
    // with the slider's value then, so the last value always reaches the terminal.
    if (m_sendingContrast) {
        m_contrastPending = true;
        return;
    }
    QPointer<TerminalSettings> self(this);
    m_sendingContrast = true;
    do {
        m_contrastPending = false;
        (void)SetDisplayKontrast(DataSide::Terminal);
        if (!self)
            return;
    } while (m_contrastPending);
    m_sendingContrast = false;
    if (m_env.isOpen(DataEnvironment::kProjekt))
        (void)SetDisplayKontrast(DataSide::Projekt);
}

void TerminalSettings::cmdCheckEEProm_Click()
{
    if (!m_vx)
        return;
    QPushButton* button = m_page.cmdCheckEEProm();
    button->setEnabled(false);
    m_page.txtEEPromSize()->setText(QString::number(m_vx->CheckEEProm()));
    button->setEnabled(true);
}

void TerminalSettings::loadFromProject()
{
    FillDisplayCombo();
    GetTerminalInfo(DataSide::Projekt);
    GetTerminalMode(DataSide::Projekt);
    GetDisplayBacklight(DataSide::Projekt);
    GetDisplaykontrast(DataSide::Projekt);
}

bool TerminalSettings::saveToProject(QString* error)
{
    return SetTerminalmode(DataSide::Projekt, error) &&
           SetDisplayAufloesung(DataSide::Projekt, error) &&
           SetDisplayBacklight(DataSide::Projekt, error) &&
           SetDisplayKontrast(DataSide::Projekt, error);
}

void TerminalSettings::readFromTerminal()
{
    if (!m_vx)
        return;
    // The controls take the answers only when every read was answered; the core keeps the
    // terminal object (and so the parameter form of later commands) as it was otherwise.
    TerminalSettingsData d = m_core.terminalObject();
    const bool ok = m_core.readFromTerminal(d);
    if (!m_vx)
        return;
    if (!ok) {
        ui().message(kNotResponding, kProductName);
        return;
    }
    showMode(d);
    selectDisplayType(d);
    emit terminalInfoRead(d.Version, d.SerNr);
    ControlsUpdatingGuard guard;
    m_page.ctlDisplayBacklight()->setChecked(d.Backlight > 0);
    m_page.ctlDisplaykontrast()->setValue(d.Kontrast);
}

void TerminalSettings::sendToTerminal()
{
    (void)SetTerminalmode(DataSide::Terminal);
    (void)SetDisplayAufloesung(DataSide::Terminal);
    (void)SetDisplayBacklight(DataSide::Terminal);
    (void)SetDisplayKontrast(DataSide::Terminal);
}

} // namespace vemro
