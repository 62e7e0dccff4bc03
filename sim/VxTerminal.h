#pragma once

#include "sim/VxBootloader.h"
#include "sim/VxDisplay.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>

namespace vemro {

// The virtual Vobrix terminal without any I/O: command interpreter, display, EEPROM,
// ports, analog input, keypad, mode flags, serial number, firmware version, bootloader.
//
// Use (in-process, e.g. from a test of the PC side):
//     VxTerminal term;                       // 4096-byte EEPROM, 4x20 display, firmware 2.7
//     connect(&term, &VxTerminal::transmit, ...);   // bytes the terminal sends to the PC
//     term.receive(bytesFromPc);              // bytes the PC sends to the terminal
// All replies to one receive() call leave in one transmit() emission at its end (a UDP
// transport sends them as one datagram); spontaneous output (key codes) is emitted at once.
// A transport checks speedCode()/baudRate() (changed by "SG" after the command) before it
// hands bytes over: a PC at another speed is not understood.
//
// Incomplete commands: in the decimal form an ESC inside the parameters starts a new
// command; in any form a command left unfinished for kIdleDiscardMs is dropped, and a
// byte-form "TC" that could name key 1..9 or 10..32 is decided after kAmbiguousKeyMs (QTimers:
// only these two cases need a running event loop).
//
// Inspection and control: display()/displayLines(), eeprom()/eepromCell(), portValue(),
// modeFlags(), keyboardConfig()/keyCode(), serialNumber(), baudRate(); pressKey()/releaseKey(),
// setAnalog(), setPortInput(), setTestPlugs(), setFault(), reset(); stateText() dumps all of
// it, loadState() takes back what survives a power cycle. Choices are listed in docs/vxsim.md.
class VxTerminal : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        int eepromSize = 4096;
        int rows = 4;
        int cols = 20;
        QString firmware = QStringLiteral("2.7");
        QString serialNumber = QStringLiteral("004711");
        int speedCode = 1; // 0..2 RS232 9600/19200/38400, 4..6 the same for RS485/422
        int contactWindowMs = 2000;
        int programMemorySize = 32768;
    };

    struct KeyboardConfig
    {
        int minPress = 5;
        int timeUntilRepeat = 50;
        int timeBetweenRepeat = 10;
        int flags = 16; // 1 polling, 2 repeat, 4 send on release, 8 matrix, 16 LED, 32 beep
        int shiftKey = 0;
    };

    enum class Fault { None, NakEvery, Silent, Garbage, WrongChecksum, DropAfter, MuteAfter };
    Q_ENUM(Fault)

    static constexpr int kKeys = 32;
    static constexpr int kPorts = 9;
    static constexpr int kIdleDiscardMs = 1000;
    static constexpr int kAmbiguousKeyMs = 100;
    // Port 0: bits 0-3 contrast, bit 4 (value 16) backlight, bits 5-6 free outputs,
    // bit 7 an input (the test plug pulls it high).
    static constexpr int kBacklightBit = 16;
    static constexpr uchar kAck = 6;
    static constexpr uchar kNak = 21;

    explicit VxTerminal(QObject* parent = nullptr);
    explicit VxTerminal(const Options& options, QObject* parent = nullptr);
    ~VxTerminal() override;

    // --- link ---
    void receive(const QByteArray& bytesFromPc);
    [[nodiscard]] int speedCode() const { return m_speedCode; }
    [[nodiscard]] int baudRate() const;
    [[nodiscard]] bool rs485() const { return (m_speedCode & 4) != 0; }
    // The code an "SG" left for the next reset (firmware 2.3 and later), -1 when none.
    [[nodiscard]] int pendingSpeedCode() const { return m_pendingSpeedCode; }
    void setSpeedCode(int code);
    [[nodiscard]] static int baudForCode(int code);

    // --- mode, identity ---
    [[nodiscard]] int modeFlags() const { return m_cfg.mode; }
    [[nodiscard]] bool decimalForm() const { return (m_cfg.mode & 1) != 0; }
    [[nodiscard]] int festtextPort() const { return m_cfg.festtextPort; }
    [[nodiscard]] QString firmwareVersion() const { return m_options.firmware; }
    [[nodiscard]] QString serialNumber() const { return m_serialNumber; }
    void setSerialNumber(const QString& sernr) { m_serialNumber = sernr; }

    // --- display ---
    [[nodiscard]] const VxDisplay& display() const { return m_display; }
    // One row as text (ANSI); user-defined characters appear as "<00n>" with their slot.
    [[nodiscard]] QString displayLine(int row) const;
    [[nodiscard]] QStringList displayLines() const;
    [[nodiscard]] bool backlight() const { return (m_cfg.port0 & kBacklightBit) != 0; }
    [[nodiscard]] int contrast() const { return m_cfg.port0 & 0x0F; }

    // --- ports and analog input ---
    // The value a port read ("?P") returns.
    [[nodiscard]] int portValue(int port) const;
    // The output latch last written.
    [[nodiscard]] int portOutput(int port) const;
    // Drives a port's input pins from outside (control, GUI); -1 releases them.
    void setPortInput(int port, int value);
    [[nodiscard]] int analogValue() const;
    void setAnalog(int value);
    // The production-test plugs: port 1 crossed (bit pairs swapped), port 0 bit 7 high,
    // analog input = (port 0 & 3) * analogStep, keys 1..8 send "a".."h" (set by the caller).
    void setTestPlugs(bool on, int analogStep = 256);
    [[nodiscard]] bool testPlugs() const { return m_testPlugs; }
    // A faulty plug: the wire to input bit `bit` of `port` is broken, so the bit reads 0
    // (port 1 bit 0 broken: 0xAA written reads 0x54). mendPlugs() repairs every wire.
    void breakPlugWire(int port, int bit);
    void mendPlugs();
    // The analog values the plug gives for port 0 bits 0-1 = 0..3 (instead of the steps);
    // an empty list goes back to (port 0 & 3) * analogStep.
    void setPlugAnalogLevels(const QList<int>& levels);

    // --- EEPROM ---
    [[nodiscard]] const QByteArray& eeprom() const { return m_eeprom; }
    [[nodiscard]] uchar eepromCell(int address) const;
    void setEepromCell(int address, uchar value);
    // Page map of "K?E": one '1' per 256-byte page, ended by one '0'.
    [[nodiscard]] QByteArray pageMap() const;

    // --- keyboard ---
    [[nodiscard]] KeyboardConfig keyboardConfig() const { return m_cfg.keyboard; }
    [[nodiscard]] uchar keyCode(int key) const;
    [[nodiscard]] uchar shiftCode(int key) const;
    void setKeyCodes(int key, uchar code, uchar shift);
    void pressKey(int key);
    void releaseKey(int key);
    [[nodiscard]] bool keyPressed(int key) const;
    // Key LED lit: port 1 bit (key 1..8), or acknowledging a pressed key.
    [[nodiscard]] bool keyLed(int key) const;
    [[nodiscard]] bool shiftActive() const { return m_shiftHeld; }

    // --- bootloader ---
    [[nodiscard]] bool bootloaderActive() const { return m_boot.active(); }
    [[nodiscard]] const QByteArray& programMemory() const { return m_boot.programMemory(); }
    [[nodiscard]] bool contactWindowOpen() const;

    // --- control ---
    void reset();
    void setFault(Fault fault, int n = 0);
    [[nodiscard]] Fault fault() const { return m_fault; }
    [[nodiscard]] bool linkDead() const { return m_linkDead; }
    // The whole state in the documented plain format (docs/vxsim.md).
    [[nodiscard]] QString stateText() const;
    // Takes back what a terminal keeps over a power cycle from a state text: serial number,
    // speed and interface, mode, display size, contrast, backlight, fixed-text port, keyboard
    // configuration and key codes (as saved configuration) and the EEPROM; then resets.
    // Unknown lines are skipped; false (and nothing changed) when the text is no state text.
    bool loadState(const QString& text, QString* error = nullptr);

signals:
    void transmit(const QByteArray& bytesToPc);
    // Something visible changed (display, LEDs, ports, backlight, contrast).
    void changed();
    void speedChanged(int baud);
    void beep();
    void linkDropped();

private:
    struct Config
    {
        int mode = 1 + 2 + 8 + 16;
        int rows = 4;
        int cols = 20;
        int festtextPort = 0;
        int port0 = 7 | kBacklightBit; // contrast and backlight live in port 0
        KeyboardConfig keyboard;
        std::array<uchar, kKeys> codes{};
        std::array<uchar, kKeys> shiftCodes{};
    };

    enum class Phase { Idle, Letters, Params };
    enum class ParamKind { None, Form, Decimal, OneByte, SpeedDigit, Block, KeyCodes };

    struct Parser
    {
        Phase phase = Phase::Idle;
        QByteArray letters;
        QByteArray params;
        ParamKind kind = ParamKind::None;
        int byteCount = 0;
        int depth = 0; // nesting of fixed texts shown by "FZ"
        bool swallowSemicolon = false;
    };

    void init();
    void feed(uchar b, Parser& p);
    // "SG2" so far: "SG20".."SG22" may still follow.
    [[nodiscard]] static bool ambiguousSpeed(const Parser& p)
    {
        return p.phase == Phase::Params && p.kind == ParamKind::SpeedDigit && p.params == "2";
    }
    void feedBoot(uchar b);
    void startLetters(Parser& p);
    void endCommand(Parser& p);
    void dispatch(Parser& p);
    void execute(const QByteArray& letters, const QVector<int>& params, Parser& p);
    void onIdle();
    void putText(uchar b);
    void showFesttext(int n, int depth);
    void applyUserCharsFromEeprom();
    void reply(const QByteArray& prefix, const QVector<int>& values);
    void replyText(const QByteArray& text);
    void confirmWrite(bool ok);
    void emitRaw(const QByteArray& bytes);
    void sendKeyCode(uchar code);
    [[nodiscard]] uchar codeFor(int key) const;
    [[nodiscard]] bool hasFeature(const char* sinceVersion) const;
    void setPort0(int value);
    void festtextModeCheck(int port);
    [[nodiscard]] bool nakByFault();
    [[nodiscard]] int effectiveAddress(int address) const;

    Options m_options;
    Config m_cfg;
    Config m_saved;
    VxDisplay m_display;
    QByteArray m_eeprom;
    QString m_serialNumber;
    int m_speedCode = 1;
    int m_pendingSpeedCode = -1;
    std::array<int, kPorts> m_latch{};
    std::array<int, kPorts> m_input{};
    int m_analog = 512;
    bool m_testPlugs = false;
    int m_analogStep = 256;
    std::array<int, kPorts> m_brokenWires{}; // bit mask per port
    QList<int> m_plugLevels;
    int m_writeAddress = 0;
    int m_fixedTextBudget = 0;
    uchar m_lastKey = 0;
    bool m_hasLastKey = false;
    std::array<bool, kKeys> m_pressed{};
    bool m_shiftHeld = false;
    QTimer m_repeat;
    int m_repeatKey = 0;
    Parser m_parser;
    VxBootloader m_boot;
    QTimer m_idle;
    bool m_showingSwitchOnText = false; // a "Kr" inside it must not show it again
    QElapsedTimer m_sinceReset;
    QByteArray m_out;
    int m_receiving = 0;
    Fault m_fault = Fault::None;
    int m_faultN = 0;
    int m_writeCount = 0;
    qint64 m_bytesUntilDrop = -1;
    bool m_linkDead = false;
};

} // namespace vemro
