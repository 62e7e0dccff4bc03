#pragma once

#include "config/TerminalSettingsCore.h"
#include "editors/Page.h"
#include "platform/DataSide.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace vemro {

class DataEnvironment;
class KonfigurationPage;
class clsVX;

// Page "Konfiguration": the operations of the frames "Terminal-Modus" and "Display" with
// their documented names and data sides (0 = the terminal, 1 = the project). Each maps the
// controls of KonfigurationPage to a TerminalSettingsData and back and leaves the transfer
// to TerminalSettingsCore. The terminal information read here is handed on through
// terminalInfoRead (page "Projekt" shows it).
class TerminalSettings : public QObject, public Page
{
    Q_OBJECT
public:
    static constexpr int kBacklightBit = TerminalSettingsCore::kBacklightBit;
    static constexpr int kContrastMask = TerminalSettingsCore::kContrastMask;

    TerminalSettings(KonfigurationPage& page, clsVX& vx, DataEnvironment& env,
                     QObject* parent = nullptr);

    [[nodiscard]] TerminalSettingsCore& core() { return m_core; }

    // Whether "RS485/422" is chosen on the interface page (stored with the mode).
    void setRs485Selected(std::function<bool()> selected) { m_rs485 = std::move(selected); }
    // The fixed-text editor's preview follows the display type.
    void setResizePreview(std::function<void()> resize) { m_resizePreview = std::move(resize); }

    // The Get operations from the terminal change the controls only on a full answer;
    // GetTerminalInfo says "Terminal nicht ansprechbar" otherwise.
    void GetTerminalInfo(DataSide Quelle);
    // Firmware version and serial number from the terminal, reported by terminalInfoRead
    // only on a valid reply (page "Projekt" keeps what it shows otherwise). True on a reply.
    bool ShowTerminalVersion();
    void GetTerminalMode(DataSide Quelle);
    bool SetTerminalmode(DataSide Ziel, QString* error = nullptr);
    void FillDisplayCombo();
    bool SetDisplayAufloesung(DataSide Ziel, QString* error = nullptr);
    void GetDisplayBacklight(DataSide Quelle);
    bool SetDisplayBacklight(DataSide Ziel, QString* error = nullptr);
    void GetDisplaykontrast(DataSide Quelle);
    bool SetDisplayKontrast(DataSide Ziel, QString* error = nullptr);

    // "vom Terminal lesen" / "an Terminal senden" on page "Konfiguration".
    void readFromTerminal();
    void sendToTerminal();

    // Page
    [[nodiscard]] EditMode pageNumber() const override;
    [[nodiscard]] QList<Transfer> transfers() override;
    [[nodiscard]] int loadRank() const override { return ProjectOrder::kLoadKonfiguration; }
    void loadFromProject() override;
    [[nodiscard]] int saveRank() const override { return ProjectOrder::kSaveKonfiguration; }
    [[nodiscard]] bool saveToProject(QString* error) override;

    void cboDisplayTyp_Click();
    void ctlDisplayBacklight_Click();
    void ctlDisplaykontrast_Change();
    void cmdCheckEEProm_Click();

signals:
    // The terminal's firmware version and serial number were read (GetTerminalInfo(0)).
    void terminalInfoRead(const QString& version, const QString& serNr);

private:
    void showMode(const TerminalSettingsData& d);
    void selectDisplayType(const TerminalSettingsData& d);

    KonfigurationPage& m_page;
    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
    TerminalSettingsCore m_core;
    std::function<bool()> m_rs485;
    std::function<void()> m_resizePreview;
    bool m_sendingContrast = false;
    bool m_contrastPending = false;
};

} // namespace vemro
