#pragma once

#include "link/KeyCodeTable.h"

#include <QPointer>
#include <QString>

namespace vemro {

class clsVX;
class clsVXKeyboard;
class DataEnvironment;
class ProgressIndicator;

// The keypad configuration as the keyboard page, vemro-cli and the production test move it
// (project table TastaturModus).
struct KeyboardConfig
{
    int MinPress = 1;
    int TimeUntilRepeat = 1;
    int TimeBetweenRepeat = 1;
    bool Polling = false;
    bool Repeat = false;
    bool SendKeyUp = false;
    bool UseMatrix = false;
    bool Key_LED = false;
    bool Key_Beep = false;
    int ShiftKey = 0;

    friend bool operator==(const KeyboardConfig& a, const KeyboardConfig& b)
    {
        return a.MinPress == b.MinPress && a.TimeUntilRepeat == b.TimeUntilRepeat &&
               a.TimeBetweenRepeat == b.TimeBetweenRepeat && a.Polling == b.Polling &&
               a.Repeat == b.Repeat && a.SendKeyUp == b.SendKeyUp && a.UseMatrix == b.UseMatrix &&
               a.Key_LED == b.Key_LED && a.Key_Beep == b.Key_Beep && a.ShiftKey == b.ShiftKey;
    }
};

// Keypad configuration and key code table between the keyboard object / terminal (through
// clsVX) and the open project (tables TastaturModus and Tastencodes, through the data
// environment). The page "Tastatur", vemro-cli "keys ..." and the production test all use
// these operations. Every operation returns success and leaves a German reason in *error.
class KeyboardSettings
{
public:
    static constexpr int kKeyReadWaitMs = 100;

    KeyboardSettings(clsVX& vx, DataEnvironment& env);

    [[nodiscard]] static KeyboardConfig fromKeyboard(const clsVXKeyboard& keyboard);
    static void toKeyboard(const KeyboardConfig& config, clsVXKeyboard& keyboard);
    // The first value the terminal cannot take (times 1 to 255, shift key 0 to 32), as a
    // message naming it; empty when all can be sent.
    [[nodiscard]] static QString configProblem(const KeyboardConfig& config);
    [[nodiscard]] static KeyCodeTable standardTable();

    // ---- The terminal ----
    // "T?K" into the keyboard object. When the terminal gives no proper answer, the object
    // keeps its values and the result is false ("Verbindungsfehler").
    bool readConfig(QString* error = nullptr);
    // The keyboard object's configuration to the terminal ("TK"); nothing is sent when
    // configProblem finds something. The terminal does not answer "TK": see verifyConfig.
    bool writeConfig(QString* error = nullptr);
    // Reads the configuration back ("T?K") and compares it with `expected`; the keyboard
    // object is left as it was. False with what the terminal holds, or "Verbindungsfehler".
    bool verifyConfig(const KeyboardConfig& expected, QString* error = nullptr);
    // Reads back ("T?C") every key of `table` that has both codes and compares the bytes;
    // false with the keys the terminal holds otherwise, or "Verbindungsfehler".
    bool verifyCodes(const KeyCodeTable& table, QString* error = nullptr);
    // All 32 key codes from the terminal, 100 ms apart, with progress. Only a complete read
    // fills `table`; a key without answer stops with "Verbindungsfehler".
    bool readCodes(KeyCodeTable& table, QString* error = nullptr);
    // `table` to the terminal (clsVX::SaveTastaturcodes).
    bool writeCodes(const KeyCodeTable& table, QString* error = nullptr);
    // The project's key table to the terminal.
    bool writeCodes(QString* error = nullptr);

    // ---- The project ----
    // Project table TastaturModus (first row) into / out of the keyboard object.
    bool loadConfig(QString* error = nullptr);
    bool storeConfig(QString* error = nullptr);
    // Project table Tastencodes, ordered by TastenNr.
    bool loadCodesFromProject(KeyCodeTable& table, QString* error = nullptr);
    // Replaces every row of the project's table in one transaction (when none is open).
    bool storeCodesToProject(const KeyCodeTable& table, QString* error = nullptr);

    // ---- From the terminal into the project ----
    // Reads the codes and replaces the project's table only after a complete read.
    bool readCodesIntoProject(QString* error = nullptr);
    // Key codes and configuration from the terminal, then both into the project in one
    // transaction: a terminal that stops answering part-way leaves the project as it was.
    bool readAllIntoProject(QString* error = nullptr);

private:
    [[nodiscard]] bool haveTerminal(QString* error) const;
    [[nodiscard]] clsVXKeyboard& keyboard() const;

    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
};

} // namespace vemro
