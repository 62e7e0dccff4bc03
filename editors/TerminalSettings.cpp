#include "editors/TerminalSettings.h"

#include "editors/KonfigurationPage.h"
#include "editors/ProjektPage.h"
#include "link/clsVX.h"
#include "platform/Globals.h"
#include "platform/SelectComboEntry.h"
#include "platform/TextValue.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace vemro {

namespace {

const QString kSettings = QStringLiteral("cmdTerminaleinstellung");

void check(QButtonGroup* group, int index)
{
    if (QAbstractButton* b = group->button(index))
        b->setChecked(true);
}

// The displayed name of a display type: columns "x" rows.
QString displayTypeText(int cols, int rows)
{
    return QString::number(cols) + QLatin1Char('x') + QString::number(rows);
}

} // namespace

TerminalSettings::TerminalSettings(KonfigurationPage& page, ProjektPage& projektPage, clsVX& vx,
                                   DataEnvironment& env, QObject* parent)
    : QObject(parent), m_page(page), m_projektPage(projektPage), m_vx(&vx), m_env(env)
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

bool TerminalSettings::validSide(int side) const
{
    if (side == 0 || side == 1)
        return true;
    ui().message(QStringLiteral("nicht implememtierte Datenquelle"), kProductName);
    return false;
}

bool TerminalSettings::writeSettings(const std::function<void(Recordset&)>& fill, QString* error)
{
    if (!m_env.ensureOpen(kSettings, error))
        return false;
    Recordset& rs = m_env.recordset(kSettings);
    rs.moveFirst();
    if (rs.eof()) {
        if (error)
            *error = QStringLiteral("Terminaleinstellungen: kein Datensatz");
        return false;
    }
    fill(rs);
    if (!rs.update()) {
        if (error)
            *error = rs.lastError();
        rs.cancelUpdate();
        return false;
    }
    return true;
}

void TerminalSettings::GetTerminalInfo(int Quelle)
{
    if (!validSide(Quelle) || !m_vx)
        return;
    QComboBox* types = m_page.cboDisplayTyp();
    QString entry;
    if (Quelle == 0) {
        m_vx->GetDisplaySize();
        entry = displayTypeText(m_vx->Cols, m_vx->Rows);
    } else {
        if (!m_env.ensureOpen(kSettings))
            return;
        Recordset& rs = m_env.recordset(kSettings);
        rs.moveFirst();
        const int cols = rs.value(QStringLiteral("Display_Spalten")).toInt();
        const int rows = rs.value(QStringLiteral("Display_Zeilen")).toInt();
        entry = displayTypeText(cols, rows);
    }
    // As the user's choice: the preview follows the display type.
    if (!SelectComboEntry(types, entry, true)) {
        ControlsUpdatingGuard guard;
        types->setCurrentIndex(-1);
    }
    if (Quelle == 0) {
        m_projektPage.lblTerminalVersion()->setText(m_vx->Version());
        m_projektPage.txtTerminalSerNr()->setText(m_vx->SerNr);
    } else {
        Recordset& rs = m_env.recordset(kSettings);
        m_vx->Cols = static_cast<qint16>(rs.value(QStringLiteral("Display_Spalten")).toInt());
        m_vx->Rows = static_cast<qint16>(rs.value(QStringLiteral("Display_Zeilen")).toInt());
    }
}

bool TerminalSettings::ShowTerminalVersion()
{
    if (!m_vx)
        return false;
    const QString version = m_vx->Version();
    if (version == QLatin1String("unbekannt"))
        return false;
    m_projektPage.lblTerminalVersion()->setText(version);
    m_projektPage.txtTerminalSerNr()->setText(m_vx->SerNr);
    return true;
}

void TerminalSettings::GetTerminalMode(int Quelle)
{
    if (!validSide(Quelle) || !m_vx)
        return;
    clsVX& vx = *m_vx;
    auto showOptions = [this](int parameterMode, int sendMode) {
        if (parameterMode == 0 || parameterMode == 1)
            check(m_page.parameterSendmodeGroup(), parameterMode);
        if (sendMode == 2)
            check(m_page.terminalAntwortGroup(), 0);
        else if (sendMode == 4)
            check(m_page.terminalAntwortGroup(), 1);
    };
    if (Quelle == 0) {
        vx.GetMode();
        showOptions(vx.ParameterMode, vx.SendMode);
        m_page.ctlTastaturEnable()->setChecked(vx.KeyboardEnabled);
        m_page.ctlIOPortsEnable()->setChecked(vx.IOPortsEnabled);
        m_page.ctlEinschaltmeldungEnabled()->setChecked(vx.Einschaltmeldung);
        m_page.ctlFesttextmodusenabled()->setChecked(vx.Festtextmode);
        return;
    }
    if (!m_env.ensureOpen(kSettings))
        return;
    Recordset& rs = m_env.recordset(kSettings);
    rs.moveFirst();
    auto flag = [&rs](const char* column) {
        return rs.value(QString::fromLatin1(column)).toBool();
    };
    vx.ParameterMode = rs.value(QStringLiteral("ParameterMode")).toInt();
    vx.SendMode = rs.value(QStringLiteral("SendMode")).toInt();
    showOptions(vx.ParameterMode, vx.SendMode);
    vx.KeyboardEnabled = flag("Tastaturenabled");
    m_page.ctlTastaturEnable()->setChecked(vx.KeyboardEnabled);
    vx.IOPortsEnabled = flag("IOPortsEnabled");
    m_page.ctlIOPortsEnable()->setChecked(vx.IOPortsEnabled);
    vx.Einschaltmeldung = flag("Einschaltmeldung");
    m_page.ctlEinschaltmeldungEnabled()->setChecked(vx.Einschaltmeldung);
    vx.Festtextmode = flag("Festtextmode");
    m_page.ctlFesttextmodusenabled()->setChecked(vx.Festtextmode);
    // Not raised here on purpose: a changed backlight box runs its handler.
    const int backlight = rs.value(QStringLiteral("Backlight")).toInt();
    vx.Backlight = static_cast<qint16>(backlight);
    m_page.ctlDisplayBacklight()->setChecked(backlight > 0);
    const QVariant port = rs.value(QStringLiteral("FesttextPort"));
    if (port.isNull()) {
        m_page.txtFesttextPort()->setText(QStringLiteral("0"));
        vx.FesttextPort = 0;
    } else {
        m_page.txtFesttextPort()->setText(port.toString());
        vx.FesttextPort = static_cast<qint16>(port.toInt());
    }
}

bool TerminalSettings::SetTerminalmode(int Ziel, QString* error)
{
    if (!validSide(Ziel) || !m_vx)
        return false;
    clsVX& vx = *m_vx;
    const int festtextPort = TextValueInt(m_page.txtFesttextPort()->text());
    if (Ziel == 0) {
        vx.ParameterMode = m_page.ctlParameterSendmode(0)->isChecked() ? 0 : 1;
        vx.SendMode = 0;
        if (m_page.ctlTerminalAntwort(0)->isChecked())
            vx.SendMode = 2;
        if (m_page.ctlTerminalAntwort(1)->isChecked())
            vx.SendMode = 4;
        vx.KeyboardEnabled = m_page.ctlTastaturEnable()->isChecked();
        vx.IOPortsEnabled = m_page.ctlIOPortsEnable()->isChecked();
        vx.Einschaltmeldung = m_page.ctlEinschaltmeldungEnabled()->isChecked();
        vx.Festtextmode = m_page.ctlFesttextmodusenabled()->isChecked();
        vx.FesttextPort = static_cast<qint16>(festtextPort);
        vx.SetMode();
        vx.SetFesttextPort(-1);
        return true;
    }
    // Into the project from the terminal object, except the port box and the RS485 choice.
    const bool rs485 = m_rs485 ? m_rs485() : false;
    return writeSettings(
        [&](Recordset& rs) {
            (void)rs.setValue(QStringLiteral("Einschaltmeldung"), vx.Einschaltmeldung ? 1 : 0);
            (void)rs.setValue(QStringLiteral("IOPortsEnabled"), vx.IOPortsEnabled ? 1 : 0);
            (void)rs.setValue(QStringLiteral("Tastaturenabled"), vx.KeyboardEnabled ? 1 : 0);
            (void)rs.setValue(QStringLiteral("ParameterMode"), vx.ParameterMode);
            (void)rs.setValue(QStringLiteral("Festtextmode"), vx.Festtextmode ? 1 : 0);
            (void)rs.setValue(QStringLiteral("SendMode"), vx.SendMode);
            (void)rs.setValue(QStringLiteral("FesttextPort"), festtextPort);
            (void)rs.setValue(QStringLiteral("Users485"), rs485 ? 1 : 0);
        },
        error);
}

void TerminalSettings::FillDisplayCombo()
{
    ControlsUpdatingGuard guard;
    QComboBox* types = m_page.cboDisplayTyp();
    types->clear();
    if (!m_env.ensureOpen(QStringLiteral("cmdDisplaytyp")))
        return;
    Recordset& rs = m_env.recordset(QStringLiteral("cmdDisplaytyp"));
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        types->addItem(rs.value(QStringLiteral("Displaytyp")).toString());
    types->setCurrentIndex(-1);
    rs.close();
}

void TerminalSettings::cboDisplayTyp_Click()
{
    if (globals().ControlsUpdating || !m_vx)
        return;
    const QString t = m_page.cboDisplayTyp()->currentText();
    const int p = t.indexOf(QLatin1Char('x')) + 1;
    if (p > 0) {
        m_vx->Cols = static_cast<qint16>(TextValueInt(t.left(p - 1)));
        m_vx->Rows = static_cast<qint16>(TextValueInt(t.mid(p)));
    }
    if (m_resizePreview)
        m_resizePreview();
}

bool TerminalSettings::SetDisplayAufloesung(int Ziel, QString* error)
{
    if (!validSide(Ziel) || !m_vx)
        return false;
    clsVX& vx = *m_vx;
    if (Ziel == 0) {
        const QString t = m_page.cboDisplayTyp()->currentText();
        const int p = t.indexOf(QLatin1Char('x')) + 1;
        if (p > 0) {
            vx.Cols = static_cast<qint16>(TextValueInt(t.left(p - 1)));
            vx.Rows = static_cast<qint16>(TextValueInt(t.mid(p)));
        } else {
            ui().message(QStringLiteral("ungültiger Eintrag in Displayauswahlliste"), kProductName);
        }
        vx.SetDisplaySize();
        return true;
    }
    return writeSettings(
        [&](Recordset& rs) {
            (void)rs.setValue(QStringLiteral("Display_Zeilen"), vx.Rows);
            (void)rs.setValue(QStringLiteral("Display_Spalten"), vx.Cols);
        },
        error);
}

void TerminalSettings::GetDisplayBacklight(int Quelle)
{
    if (!validSide(Quelle) || !m_vx)
        return;
    if (Quelle == 0) {
        const qint32 port = m_vx->GetIOPort(0);
        ControlsUpdatingGuard guard;
        m_page.ctlDisplayBacklight()->setChecked((port & kBacklightBit) != 0);
        return;
    }
    if (!m_env.ensureOpen(kSettings))
        return;
    Recordset& rs = m_env.recordset(kSettings);
    rs.moveFirst();
    const int backlight = rs.value(QStringLiteral("Backlight")).toInt();
    ControlsUpdatingGuard guard;
    m_page.ctlDisplayBacklight()->setChecked(backlight > 0);
    m_vx->Backlight = static_cast<qint16>(backlight);
}

bool TerminalSettings::SetDisplayBacklight(int Ziel, QString* error)
{
    if (!validSide(Ziel) || !m_vx)
        return false;
    const int value = m_page.ctlDisplayBacklight()->isChecked() ? 1 : 0;
    if (Ziel == 0) {
        m_vx->SetDisplayBacklight(value);
        return true;
    }
    return writeSettings(
        [&](Recordset& rs) { (void)rs.setValue(QStringLiteral("Backlight"), value); }, error);
}

void TerminalSettings::GetDisplaykontrast(int Quelle)
{
    if (!validSide(Quelle) || !m_vx)
        return;
    if (Quelle == 0) {
        const qint32 port = m_vx->GetIOPort(0);
        ControlsUpdatingGuard guard;
        m_page.ctlDisplaykontrast()->setValue(port & kContrastMask);
        return;
    }
    if (!m_env.ensureOpen(kSettings))
        return;
    Recordset& rs = m_env.recordset(kSettings);
    rs.moveFirst();
    const int kontrast = rs.value(QStringLiteral("Kontrast")).toInt();
    ControlsUpdatingGuard guard;
    m_page.ctlDisplaykontrast()->setValue(kontrast);
    m_vx->Kontrast = static_cast<qint16>(kontrast);
}

bool TerminalSettings::SetDisplayKontrast(int Ziel, QString* error)
{
    if (!validSide(Ziel) || !m_vx)
        return false;
    const int value = m_page.ctlDisplaykontrast()->value();
    if (Ziel == 0) {
        m_vx->SetDisplayKontrast(value);
        return true;
    }
    return writeSettings(
        [&](Recordset& rs) { (void)rs.setValue(QStringLiteral("Kontrast"), value); }, error);
}

void TerminalSettings::ctlDisplayBacklight_Click()
{
    if (globals().ControlsUpdating)
        return;
    (void)SetDisplayBacklight(0);
    if (m_env.isOpen(DataEnvironment::kProjekt))
        (void)SetDisplayBacklight(1);
}

void TerminalSettings::ctlDisplaykontrast_Change()
{
    if (globals().ControlsUpdating)
        return;
    (void)SetDisplayKontrast(0);
    if (m_env.isOpen(DataEnvironment::kProjekt))
        (void)SetDisplayKontrast(1);
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
    GetTerminalInfo(1);
    GetTerminalMode(1);
    GetDisplayBacklight(1);
    GetDisplaykontrast(1);
}

bool TerminalSettings::saveToProject(QString* error)
{
    return SetTerminalmode(1, error) && SetDisplayAufloesung(1, error) &&
           SetDisplayBacklight(1, error) && SetDisplayKontrast(1, error);
}

void TerminalSettings::readFromTerminal()
{
    GetTerminalMode(0);
    GetTerminalInfo(0);
    GetDisplayBacklight(0);
    GetDisplaykontrast(0);
}

void TerminalSettings::sendToTerminal()
{
    (void)SetTerminalmode(0);
    (void)SetDisplayAufloesung(0);
    (void)SetDisplayBacklight(0);
    (void)SetDisplayKontrast(0);
}

} // namespace vemro
