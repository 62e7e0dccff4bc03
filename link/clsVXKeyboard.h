#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace vemro {

class clsVX;

// The keypad of the connected terminal: its scan configuration and the codes of its 32
// keys, turned into the terminal's keyboard commands ("T?K", "TK", "T?C", "TC", "?T").
// Created and owned by clsVX, which hands it the back-reference Terminal; it reaches the
// terminal only through that object and shows no messages.
class clsVXKeyboard
{
public:
    static constexpr int kKeys = 32;
    static constexpr int kFlagPolling = 1;
    static constexpr int kFlagRepeat = 2;
    static constexpr int kFlagSendKeyUp = 4;
    static constexpr int kFlagUseMatrix = 8;
    static constexpr int kFlagKeyLed = 16;
    static constexpr int kFlagKeyBeep = 32;

    clsVXKeyboard() = default;
    ~clsVXKeyboard();
    clsVXKeyboard(const clsVXKeyboard&) = delete;
    clsVXKeyboard& operator=(const clsVXKeyboard&) = delete;

    bool Repeat = false;
    bool Polling = false;
    bool SendKeyUp = false;
    bool UseMatrix = false;
    qint16 MinPress = 0;
    qint16 TimeUntilRepeat = 0;
    qint16 TimeBetweenRepeat = 0;
    bool enabled = false; // keyboard on in the terminal mode; shown and stored by the mode page
    bool Key_LED = false;
    bool Key_Beep = false;
    qint16 ShiftKey = 0;

    // The two codes of key n as the terminal holds them (unshifted, shifted); "A" when the
    // terminal gave no proper answer, "ungültige TasteNr" (ANSI) for a key outside 1..32.
    [[nodiscard]] QByteArray GetKeycode(qint16 n);
    // Writes the two codes of key n. Both texts (key code notation, ANSI) are rewritten to
    // the bytes sent. Nothing is sent when a code is empty (result true) or has no byte
    // value (result false, reason in *error).
    bool SetKeycode(qint16 n, QByteArray& code, QByteArray& shiftcode, QString* error = nullptr);
    void SaveConfig();
    void GetConfig();

    // The last key code as read by the last query ("" when none).
    [[nodiscard]] QByteArray lastKeyCodeValue() const { return m_lastKeyCode; }
    void setLastKeyCode(const QByteArray& code) { m_lastKeyCode = code; }
    // Asks the terminal for the last key pressed ("?T").
    [[nodiscard]] QByteArray LastKeyCode();

    [[nodiscard]] int flags() const;
    void setFlags(int flags);
    // Result code of the last GetParameter call (true = failed).
    [[nodiscard]] bool lastResult() const { return m_lastResult; }
    [[nodiscard]] const QList<QByteArray>& parameters() const { return m_parameters; }

private:
    friend class clsVX;
    void setTerminal(clsVX* terminal) { m_terminal = terminal; }
    [[nodiscard]] clsVX* Terminal() const { return m_terminal; }
    bool query(const QByteArray& command, const QByteArray& endChar);
    // A reply item as its character: decimal form carries the character, byte form its code.
    [[nodiscard]] QByteArray itemChar(const QByteArray& item) const;
    [[nodiscard]] QByteArray decimalKeycode();

    QByteArray m_lastKeyCode;
    QList<QByteArray> m_parameters;
    clsVX* m_terminal = nullptr;
    bool m_lastResult = false;
};

} // namespace vemro
