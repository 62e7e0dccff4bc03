#pragma once

#include "config/TerminalSettingsData.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace vemro {

class DataEnvironment;
class Recordset;
class clsVX;

// Terminal mode, display type, backlight, contrast and terminal information moved between
// their three places: the terminal (through clsVX), the open project (record of
// Terminaleinstellungen, through the data environment) and the caller (a
// TerminalSettingsData). The page "Konfiguration", vemro-cli "config read/write" and the
// production test all use these operations; none of them talks to the terminal or the
// project about these values in any other way.
//
// Every operation returns success; on failure `error` (when given) says why. A read from
// the terminal changes `d` and the terminal object only when the terminal answered all of
// it: after silence or a reply with the wrong number of values both are exactly as before.
class TerminalSettingsCore
{
public:
    // Bit of I/O port 0 that shows the backlight; the low four bits hold the contrast.
    static constexpr int kBacklightBit = 16;
    static constexpr int kContrastMask = 15;

    // What the terminal can take; a value outside is never sent.
    static constexpr int kMaxRows = 8;
    static constexpr int kMaxCols = 80;
    static constexpr int kMaxPort = 8; // I/O ports 0 to 8
    static constexpr int kMaxBacklight = 255;

    TerminalSettingsCore(clsVX& vx, DataEnvironment& env);

    // The first value of `d` the terminal cannot take, as a message naming it; empty when
    // all are possible. Every write to the terminal checks its own values with it.
    [[nodiscard]] static QString valueProblem(const TerminalSettingsData& d);

    // ---- The terminal ----
    // The mode flags (GetMode) into `d` and the terminal object.
    bool readMode(TerminalSettingsData& d, QString* error = nullptr);
    // The terminal object takes the mode and fixed-text port of `d`; SetMode, SetFesttextPort.
    // The mode is read back; `readBack`, when given, gets the flags the terminal answered
    // (left as it is when no answer came).
    bool writeMode(const TerminalSettingsData& d, QString* error = nullptr,
                   TerminalSettingsData* readBack = nullptr);
    // Display size (GetDisplaySize), firmware version and serial number, all or none.
    bool readInfo(TerminalSettingsData& d, QString* error = nullptr);
    // The terminal object takes Cols and Rows of `d`; SetDisplaySize.
    bool writeDisplaySize(const TerminalSettingsData& d, QString* error = nullptr);
    // The backlight bit and the contrast bits of I/O port 0 (one read each).
    bool readBacklight(TerminalSettingsData& d, QString* error = nullptr);
    bool readKontrast(TerminalSettingsData& d, QString* error = nullptr);
    bool writeBacklight(const TerminalSettingsData& d, QString* error = nullptr);
    bool writeKontrast(const TerminalSettingsData& d, QString* error = nullptr);
    // "vom Terminal lesen" and "an Terminal senden" of page "Konfiguration": the single
    // operations above in the window's order. The read stops at the first unanswered step
    // and keeps nothing of the steps before it; the send runs every step and keeps the
    // first failure.
    bool readFromTerminal(TerminalSettingsData& d, QString* error = nullptr);
    bool writeToTerminal(const TerminalSettingsData& d, QString* error = nullptr);
    // "Konfiguration im Terminal dauerhaft speichern" (SaveKonfig): true only when the
    // terminal confirmed it.
    bool keepConfiguration(QString* error = nullptr);

    // ---- The project ----
    // Every column of the record (Null flags are false, a Null port or value is 0).
    bool loadFromProject(TerminalSettingsData& d, QString* error = nullptr);
    // The same for sending to a terminal: a missing column, or a Null where the terminal
    // needs a number, or a value the terminal cannot take fails with a message naming it.
    bool loadCheckedFromProject(TerminalSettingsData& d, QString* error = nullptr);
    // Einschaltmeldung, IOPortsEnabled, Tastaturenabled, ParameterMode, Festtextmode,
    // SendMode, FesttextPort, Users485.
    bool saveMode(const TerminalSettingsData& d, QString* error = nullptr);
    bool saveDisplaySize(const TerminalSettingsData& d, QString* error = nullptr);
    bool saveBacklight(const TerminalSettingsData& d, QString* error = nullptr);
    bool saveKontrast(const TerminalSettingsData& d, QString* error = nullptr);
    // The part of a project save: mode, display size, backlight, contrast.
    bool saveToProject(const TerminalSettingsData& d, QString* error = nullptr);
    // The display types of the project (table Display), in query order.
    bool displayTypes(QStringList& types, QString* error = nullptr);

    // ---- The terminal object ----
    // What the terminal object holds now (no exchange).
    [[nodiscard]] TerminalSettingsData terminalObject() const;
    // What opening a project copies into the terminal object: the mode flags, the
    // fixed-text port and the backlight; the display size; the backlight; the contrast.
    void takeMode(const TerminalSettingsData& d);
    void takeDisplaySize(const TerminalSettingsData& d);
    void takeBacklight(const TerminalSettingsData& d);
    void takeKontrast(const TerminalSettingsData& d);
    // All four, as opening a project does.
    void takeIntoTerminalObject(const TerminalSettingsData& d);

    // "Cols" + "x" + "Rows", the text of a display-type entry.
    [[nodiscard]] static QString displayTypeText(int cols, int rows);
    // Reads "20x4": false (values untouched) for a text without "x".
    [[nodiscard]] static bool parseDisplayType(const QString& text, qint16& cols, qint16& rows);

private:
    [[nodiscard]] bool haveTerminal(QString* error) const;
    // valueProblem() of the fields `fields` of `d` (a comma-separated list of names).
    [[nodiscard]] static bool possible(const TerminalSettingsData& d, const char* fields,
                                       QString* error);
    [[nodiscard]] bool answered(int items, const QString& what, QString* error);
    // Puts back what a read took from the terminal object: mode flags, display size and
    // serial number (the link overwrites them also when no answer comes).
    void restore(const TerminalSettingsData& before);
    [[nodiscard]] Recordset* record(QString* error);
    // The columns with their values into the record, stored by one update; on failure
    // `error` names `what`.
    bool write(const QString& what, const QList<QPair<QString, QVariant>>& columns, QString* error);

    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
};

} // namespace vemro
