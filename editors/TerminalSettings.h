#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

namespace vemro {

class DataEnvironment;
class KonfigurationPage;
class Recordset;
class ProjektPage;
class clsVX;

// Terminal mode, display type, backlight and contrast, and the terminal information:
// moved between the controls of pages "Konfiguration" and "Projekt", the terminal
// object and the open project. Each transfer takes a data side: 0 = the terminal,
// 1 = the project database (record of Terminaleinstellungen).
class TerminalSettings : public QObject
{
    Q_OBJECT
public:
    // Bit of I/O port 0 that shows the backlight; the low four bits hold the contrast.
    static constexpr int kBacklightBit = 16;
    static constexpr int kContrastMask = 15;

    TerminalSettings(KonfigurationPage& page, ProjektPage& projektPage, clsVX& vx,
                     DataEnvironment& env, QObject* parent = nullptr);

    // Whether "RS485/422" is chosen on the interface page (stored with the mode).
    void setRs485Selected(std::function<bool()> selected) { m_rs485 = std::move(selected); }
    // The fixed-text editor's preview follows the display type.
    void setResizePreview(std::function<void()> resize) { m_resizePreview = std::move(resize); }

    void GetTerminalInfo(int Quelle);
    // Firmware version and serial number on page "Projekt", from the terminal; the
    // labels stay as they were when no valid reply comes. True on a reply.
    bool ShowTerminalVersion();
    void GetTerminalMode(int Quelle);
    bool SetTerminalmode(int Ziel, QString* error = nullptr);
    void FillDisplayCombo();
    bool SetDisplayAufloesung(int Ziel, QString* error = nullptr);
    void GetDisplayBacklight(int Quelle);
    bool SetDisplayBacklight(int Ziel, QString* error = nullptr);
    void GetDisplaykontrast(int Quelle);
    bool SetDisplayKontrast(int Ziel, QString* error = nullptr);

    // Opening a project (data side 1) and saving it.
    void loadFromProject();
    bool saveToProject(QString* error);
    // "vom Terminal lesen" / "an Terminal senden" on page 4.
    void readFromTerminal();
    void sendToTerminal();

    void cboDisplayTyp_Click();
    void ctlDisplayBacklight_Click();
    void ctlDisplaykontrast_Change();
    void cmdCheckEEProm_Click();

private:
    [[nodiscard]] bool validSide(int side) const;
    bool writeSettings(const std::function<void(Recordset&)>& fill, QString* error);

    KonfigurationPage& m_page;
    ProjektPage& m_projektPage;
    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
    std::function<bool()> m_rs485;
    std::function<void()> m_resizePreview;
};

} // namespace vemro
