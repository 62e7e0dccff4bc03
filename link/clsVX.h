#pragma once

#include "link/ComPort.h"
#include "link/KeyCodeTable.h"
#include "link/LinkTypes.h"
#include "link/NetChannel.h"
#include "link/Notation.h"
#include "link/TerminalState.h"
#include "link/UserCharSet.h"
#include "link/clsVXKeyboard.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace vemro {

class ProgressIndicator;
class TerminalSearch;
struct FesttextRow;
struct FesttextLayout;

// The terminal the program talks to, and the only way to it: Send, Receive, GetParameter and
// WaitMS over the serial port (ComMode 0 = RS232, 4 = RS485/422) or the network module
// (ComMode 20), plus the command set, connection and version operations built on them.
// Every wait runs a local event loop; an exchange is refused while another one is waiting.
// The mode, display and light values it carries are its TerminalState (vx.ParameterMode ...).
class clsVX : public QObject, public TerminalState
{
    Q_OBJECT
public:
    static constexpr int kPieceLength = 1000;
    static constexpr int kGetParameterSerialMs = 500;
    static constexpr int kGetParameterNetworkMs = 2000;
    static constexpr int kReceiveSilenceMs = 200;
    static constexpr int kSendPauseMs = 10;
    static constexpr int kNetworkDataPort = 3001;

    static inline const QString kNotImplemented = QStringLiteral("nicht implemtierter ComMode");
    static inline const QString kBusy =
        QStringLiteral("Terminal beschäftigt: ein Austausch mit dem Terminal läuft noch");

    explicit clsVX(QObject* parent = nullptr);
    ~clsVX() override;

    // Bindings to the main window's objects (the link keeps its own timer until given one).
    void setCtlcom(ComPort* port);
    [[nodiscard]] ComPort* ctlcom() const { return m_port; }
    void setTmrTimeout(QTimer* timer);
    [[nodiscard]] QTimer* tmrTimeout() const { return m_timer; }
    void setCtlNetModul(NetChannel* module);
    [[nodiscard]] NetChannel* ctlNetModul() const;
    void setCtlFortschritt(ProgressIndicator* progress) { m_progress = progress; }
    [[nodiscard]] ProgressIndicator* ctlFortschritt() const { return m_progress; }

    // Transport.
    // True on failure. The text comes back "" (sent, ACK, NAK, silence), as the decimal code
    // of an unexpected reply's first character, or as the description of an error.
    bool Send(QByteArray& sSendstring, bool bResponserequired, bool Rawmode = false);
    // True on failure ("TimeOut" / " / TimeOut" in the text).
    bool Receive(QByteArray& sReceiveText, const QByteArray& sEndeZeichen);
    // Sends ESC + the query and parses the reply into Parameter. True on failure.
    bool GetParameter(QByteArray& sBefehl, QList<QByteArray>& Parameter,
                      const QByteArray& sEndeZeichen);
    void WaitMS(int Dauer);
    // The notation filter every non-raw Send applies (throws NotationError).
    [[nodiscard]] static QByteArray FilterSteuerzeichen(const QByteArray& stext, bool RemoveLF)
    {
        return vemro::FilterSteuerzeichen(stext, RemoveLF);
    }
    // Reading returns the outcome of the last exchange and resets it to None.
    [[nodiscard]] LinkError lastError();
    // A German sentence for an outcome, with the port's own reason for a broken link.
    [[nodiscard]] QString ErrorText(LinkError code) const;
    // An exchange is waiting for the terminal.
    [[nodiscard]] bool busy() const { return m_inExchange; }

    // Properties (besides the TerminalState).
    QString Caption;
    bool enabled = false;
    vemro::ComMode ComMode = vemro::ComMode::Rs232;
    QString SerNr;
    bool connected = false;

    [[nodiscard]] const QList<QByteArray>& ParameterList() const { return m_parameterList; }

    // The keyboard module (created with this object, which it refers back to).
    [[nodiscard]] clsVXKeyboard* Keyboard() const { return m_keyboard.get(); }
    void setKeyboard(std::unique_ptr<clsVXKeyboard> keyboard);

    // Connection, speed, reset, version.
    bool connect();
    bool ConnectSeriell();
    // "suchen": searches quietly, reports "kein terminal gefunden", then clears the display.
    bool Suchen();
    void SetCom(const QString& Speed, vemro::ComMode mode = vemro::ComMode::Rs232);
    void Reset();
    [[nodiscard]] QString Version();
    // Applies the interface found by a search (port number, speed index). By default the PC
    // port is opened with these values; the interface page installs its SetSchnittstelle.
    void setApplyInterface(std::function<bool(int port, int speedIndex)> apply)
    {
        m_applyInterface = std::move(apply);
    }

    // Command set.
    void GetMode();
    void SetMode();
    [[nodiscard]] int modeFlags() const;
    void GetDisplaySize();
    void SetDisplaySize();
    void SetDisplayBacklight(int Wert);
    void SetDisplayKontrast(int Wert);
    [[nodiscard]] qint32 GetIOPort(int PortNumber);
    void SetIOPort(int PortNumber, int Value);
    [[nodiscard]] qint16 Analog();
    [[nodiscard]] qint32 GetextEEZelle(int Adresse);
    bool SetextEEZelle(int Adresse, int Wert);
    void SetSerNr();
    void SetFesttextPort(int Portnummer);
    void SaveKonfig();
    void ShowFesttext(int n);
    [[nodiscard]] qint32 CheckEEProm();

    // Fixed texts (clsVXFesttexte.cpp). One transfer at a time; each shows its progress and
    // its messages. GetFesttexte asks, then reads every text out of the EEPROM, each under
    // its own number: `store`(number, raw bytes); false when declined, when the read broke
    // off or when `store` refused.
    bool GetFesttexte(const std::function<bool(int, const QByteArray&)>& store);
    // Writes `rows` with the writer the firmware version calls for; `filterLinebreaks`
    // answers "Zeilenumbruch filtern?" in advance. True only when written: a transfer the
    // user declined (texts beyond the memory) is false too, with festtexteDeclined().
    bool SaveFesttexte(const QList<FesttextRow>& rows,
                       std::optional<bool> filterLinebreaks = std::nullopt);
    // The writers: true when written or declined. Both check the memory size and ask when
    // the texts exceed it, and neither sends anything when the terminal's mode is unknown.
    bool SaveFesttexteByteweise(const QList<FesttextRow>& rows);
    bool SaveFesttexteBlockweise(const QList<FesttextRow>& rows);
    [[nodiscard]] bool festtextTransferRunning() const { return m_festtextRunning; }
    // The last write was declined by the user: nothing was sent.
    [[nodiscard]] bool festtexteDeclined() const { return m_festtexteDeclined; }
    // The memory size from a page map (decimal form: digits; byte form: codes).
    [[nodiscard]] static qint32 EEPromSizeFromMap(const QList<int>& pageValues);

    // Key codes (the project's table, KeyboardSettings::writeCodes): every row through
    // Keyboard()->SetKeycode, 200 ms apart, with progress. Nothing is sent when
    // TastaturcodesProblem finds something the terminal cannot take.
    bool SaveTastaturcodes(const KeyCodeTable& table, QString* error = nullptr);
    // The first row the terminal cannot take (a key outside 1..32, a key twice, a code
    // without byte value), as a message naming it; empty when all can be written.
    [[nodiscard]] static QString TastaturcodesProblem(const KeyCodeTable& table);
    static constexpr int kKeycodeWaitMs = 200;

    // User-defined characters into the EEPROM: 64 pixel rows, then 8 swap codes, each a
    // confirmed cell write. True only when all 72 cells were confirmed. A NAK or silence
    // stops ("Fehler beim Schreiben in EEProm" / "Verbindungsfehler"); a cell answered
    // otherwise is skipped and named in *error at the end. Progress ends hidden.
    // The project's characters: UserCharacters::writeToTerminal. Nothing is sent when
    // UserzeichenProblem finds something.
    bool SaveUserzeichen(const UserCharSet& chars, QString* error = nullptr);
    // A pixel row outside 0..255 or a swap character without ANSI code, as a message
    // naming it; empty when all eight slots can be written.
    [[nodiscard]] static QString UserzeichenProblem(const UserCharSet& chars);
    static constexpr int kUserCharSlotWaitMs = 20;
    static inline const QString kEEPromWriteError =
        QStringLiteral("Fehler beim Schreiben in EEProm");
    static inline const QString kConnectionError = QStringLiteral("Verbindungsfehler");

signals:
    // A search began; the search dialog shows its report and may cancel it.
    void searchStarted(vemro::TerminalSearch* search);
    void searchFinished();
    // The serial channel broke during use (reported once per break).
    void linkFailed(const QString& description);
    // GetFesttexte: the read begins (the editor drops its unsaved-change mark) and text n
    // has been stored (the editor shows its number).
    void festtexteLesenBeginnt();
    void festtextGelesen(int n);
    // An exchange that awaited an answer ended: answered, NAK, no answer, another reply, or
    // the network module's outcome (status displays; lastError stays unread).
    void exchangeFinished(vemro::LinkError code);

private:
    bool sendFiltered(QByteArray& text, bool responseRequired);
    bool sendPiece(QByteArray& piece, bool responseRequired);
    bool sendSerial(QByteArray& piece, bool responseRequired);
    bool receiveUnguarded(QByteArray& text, const QByteArray& endChar);
    bool receiveSerial(QByteArray& text, const QByteArray& endChar);
    // One exchange through the network module `net`; lastError takes the module's code
    // afterwards. True (failed) when this object went away during it.
    bool netExchange(NetChannel& net, const std::function<bool(NetChannel&)>& exchange);
    // Runs the event loop until `done`, TimeoutFlag or a broken port. False when this object
    // went away meanwhile.
    [[nodiscard]] bool waitFor(const std::function<bool()>& done);
    bool waitWritten();
    void setReceiveEvents(bool on);
    void notImplemented();
    // Sends a command built in CommandBuffer without response.
    void sendCommand(const QByteArray& command);
    bool queryParameters(const QByteArray& query, const QByteArray& endChar);
    [[nodiscard]] QByteArray parameterText(const QList<int>& values) const;
    enum class ByteRead { Ok, Failed };
    ByteRead readEEByte(int address, int& value);
    // Whether the laid-out texts fit the memory (asking the terminal and the user when they
    // pass 4 KB).
    enum class Fit { Go, Declined, Gone };
    Fit festtexteFit(const FesttextLayout& layout);
    // True when written (ACK) within `attempts`.
    bool writeEEByte(int address, int value, int attempts);
    // False, with nothing sent, when the terminal does not report its mode.
    bool byteFormOn();
    void decimalFormOn();
    // The terminal's mode flags as it reports them (asked in the object's parameter form,
    // then in the other), -1 without an answer; the object's own flags stay as they are.
    int reportedModeFlags();

    QPointer<ComPort> m_port;
    QPointer<QTimer> m_timer;
    QPointer<QObject> m_netObject;
    NetChannel* m_net = nullptr;
    ProgressIndicator* m_progress = nullptr;
    QList<QByteArray> m_parameterList;
    std::unique_ptr<clsVXKeyboard> m_keyboard;
    LinkError m_lastError = LinkError::None;
    bool m_inExchange = false;
    bool m_pieceError = false;
    bool m_festtextRunning = false;
    int m_transferFlags = -1; // the terminal's mode during a byte-form transfer
    bool m_festtexteDeclined = false;
    bool m_queryPending = false; // GetParameter is sending its query
    QString m_portFailure;
    QString m_versionText;
    qint16 m_analog = -1;
    std::function<bool(int, int)> m_applyInterface;
};

} // namespace vemro
