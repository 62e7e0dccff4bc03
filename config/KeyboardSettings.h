#pragma once

#include "link/KeyCodeTable.h"

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

// Keypad configuration and key code table between the keyboard object / terminal and the
// open project. Every operation returns success and leaves a German reason in *error.
class KeyboardSettings
{
public:
    static constexpr int kKeyReadWaitMs = 100;

    [[nodiscard]] static KeyboardConfig fromKeyboard(const clsVXKeyboard& keyboard);
    static void toKeyboard(const KeyboardConfig& config, clsVXKeyboard& keyboard);

    // "T?K" into the keyboard object. When the terminal gives no proper answer, the object
    // keeps its values and the result is false ("Verbindungsfehler").
    static bool readConfig(clsVX& vx, QString* error = nullptr);
    // The first value the terminal cannot take (times 1 to 255, shift key 0 to 32), as a
    // message naming it; empty when all can be sent.
    [[nodiscard]] static QString configProblem(const KeyboardConfig& config);
    // The keyboard object's configuration to the terminal ("TK"); nothing is sent when
    // configProblem finds something. The terminal does not answer "TK": see verifyConfig.
    static bool writeConfig(clsVX& vx, QString* error = nullptr);
    // Reads the configuration back ("T?K") and compares it with `expected`; the keyboard
    // object is left as it was. False with what the terminal holds, or "Verbindungsfehler".
    static bool verifyConfig(clsVX& vx, const KeyboardConfig& expected, QString* error = nullptr);
    // Reads back ("T?C") every key of `table` that has both codes and compares the bytes;
    // false with the keys the terminal holds otherwise, or "Verbindungsfehler".
    static bool verifyCodes(clsVX& vx, const KeyCodeTable& table, QString* error = nullptr);

    // Project table TastaturModus (first row) into / out of the keyboard object.
    static bool loadConfig(DataEnvironment& env, clsVXKeyboard& keyboard, QString* error = nullptr);
    static bool storeConfig(DataEnvironment& env, const clsVXKeyboard& keyboard,
                            QString* error = nullptr);

    // All 32 key codes from the terminal, 100 ms apart, with progress. Only a complete read
    // fills `table`; a key without answer stops with "Verbindungsfehler".
    static bool readCodes(clsVX& vx, KeyCodeTable& table, QString* error = nullptr);
    // Reads the codes and replaces the project's table only after a complete read.
    static bool readCodesIntoProject(DataEnvironment& env, clsVX& vx, QString* error = nullptr);
    // Key codes and configuration from the terminal, then both into the project in one
    // transaction: a terminal that stops answering part-way leaves the project as it was.
    static bool readAllIntoProject(DataEnvironment& env, clsVX& vx, QString* error = nullptr);

    // The project's key table to the terminal (clsVX::SaveTastaturcodes).
    static bool writeCodes(DataEnvironment& env, clsVX& vx, QString* error = nullptr);

    [[nodiscard]] static KeyCodeTable standardTable();
    // Project table Tastencodes, ordered by TastenNr.
    static bool loadCodesFromProject(DataEnvironment& env, KeyCodeTable& table,
                                     QString* error = nullptr);
    // Replaces every row of the project's table in one transaction (when none is open).
    static bool storeCodesToProject(DataEnvironment& env, const KeyCodeTable& table,
                                    QString* error = nullptr);
};

} // namespace vemro
