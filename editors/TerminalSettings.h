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
// to TerminalSettingsCore. What other pages need goes out as signals: the terminal
// information read here (terminalInfoRead, page "Projekt" shows it) and the display type
// chosen (displayTypeChanged, the fixed-text preview follows it).
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
    void setRs485Selected(bool selected) { m_rs485 = selected; }
    // "vom Terminal lesen" on page "Projekt": GetTerminalInfo(0).
    void readTerminalInfo() { GetTerminalInfo(DataSide::Terminal); }

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
    // The user chose display type `displaytyp` ("20x4") in cboDisplayTyp.
    void displayTypeChanged(const QString& displaytyp);

private:
    void showMode(const TerminalSettingsData& d);
    void selectDisplayType(const TerminalSettingsData& d);

    KonfigurationPage& m_page;
    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
    TerminalSettingsCore m_core;
    bool m_rs485 = false;
    bool m_sendingContrast = false;
    bool m_contrastPending = false;
};

} // namespace vemro
