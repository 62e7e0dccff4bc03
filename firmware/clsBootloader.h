#pragma once

#include "firmware/BootloaderReply.h"
#include "firmware/UpdateImage.h"
#include "link/ComPort.h"
#include "link/clsVX.h"
#include "platform/ProgressIndicator.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

namespace vemro {

// The terminal's bootloader as the program sees it: reads an update file into the program
// image and programs (update) or compares (verify) the terminal's program memory through
// the terminal object, over the serial link or the network module alike.
//
// The terminal object owns it: Bootloader(terminal) creates it as a child of the terminal on
// first use and hands out the same object afterwards; Terminal() is the back-reference.
// Every session ends with the closing byte 237, whatever happened before.
class clsBootloader : public QObject
{
    Q_OBJECT
public:
    // Bootloader bytes.
    static constexpr uchar kContact = 234;
    static constexpr uchar kPresent = 235;
    static constexpr uchar kWriteBlock = 227;
    static constexpr uchar kReceived = 231;
    static constexpr uchar kChecksumWrong = 232;
    static constexpr uchar kStored = 228;
    static constexpr uchar kReadBlock = 230;
    static constexpr uchar kEnd = 237;

    static constexpr int kWriteBlockBytes = 16;
    static constexpr int kReadBlockBytes = 512;
    static constexpr int kContactAttempts = 150;
    // Network failures other than time-outs in a contact loop before it counts as no contact.
    static constexpr int kNetworkFailureRetries = 5;
    // Reply time-out for the contact and the block acknowledgements.
    static constexpr int kReplyTimeoutMs = 500;
    static constexpr int kStartWaitMs = 1000;
    static constexpr int kVerifyStartWaitMs = 200;
    static constexpr int kResetPauseMs = 100;
    static constexpr int kContactRetryPauseMs = 200;
    static constexpr int kAttemptPauseMs = 20;
    static constexpr int kSettleMs = 500;
    static constexpr int kBlockPauseMs = 5;

    static inline const QString kMinimumVersion = QStringLiteral("2.2");
    static inline const QString kFileMissing = QStringLiteral("Updatedatei nicht vorhanden");
    static inline const QString kWrongSpeed =
        QStringLiteral("Stellen Sie bitte zuerst auf Baudrate 19200 um!");
    static inline const QString kNoContact =
        QStringLiteral("keine Verbindung zum Terminal, versuchen Sie : \r\n"
                       "-Terminal ausschalten \r\n"
                       "-dann OK clicken\r\n"
                       "-Terminal innerhalb 3 sec einschalten");
    static inline const QString kNoContactFinal =
        QStringLiteral("keine Verbindung zum Terminal herstellbar, Update abgebrochen: ");
    static inline const QString kChecksumTransfer =
        QStringLiteral("Prüfsummenfehler bei der Übertragung");
    static inline const QString kLinkBroken = QStringLiteral("Verbindung unterbrochen");
    static inline const QString kTransferError = QStringLiteral("Übertragungsfehler");
    static inline const QString kStoreError = QStringLiteral("Fehler beim Speichern");
    static inline const QString kUpdateDone =
        QStringLiteral("   Firmwareupdate abgeschlossen      ");
    static inline const QString kVerifyDone = QStringLiteral("   Verify abgeschlossen      ");
    static inline const QString kResetQuestion =
        QStringLiteral("Zum Verify das Zielsystem zurücksetzen");
    // The update starts with a reset (ESC "Kr"): what the terminal holds only in its working
    // memory is gone after it.
    static inline const QString kResetWarning =
        QStringLiteral("Das Terminal wird für das Firmwareupdate zurückgesetzt: Einstellungen, "
                       "die nicht dauerhaft gespeichert sind, gehen dabei verloren.");
    static inline const QString kResetConfirm = kResetWarning + QStringLiteral(" Update starten?");
    static inline const QString kNoImage =
        QStringLiteral("Keine gültige Updatedatei gelesen, Vorgang nicht gestartet");
    static inline const QString kAlreadyRunning =
        QStringLiteral("Ein Firmwareupdate oder Verify läuft bereits");

    // The terminal's bootloader object (created as the terminal's child when none is held).
    [[nodiscard]] static clsBootloader* Bootloader(clsVX& terminal);
    ~clsBootloader() override;

    [[nodiscard]] clsVX* Terminal() const { return m_terminal; }

    // Bindings (default: the terminal's own port, timer and progress display).
    void setCtlcom(ComPort* port) { m_ctlcom = port; }
    [[nodiscard]] ComPort* ctlcom() const;
    void setCtlTimer(QTimer* timer) { m_ctlTimer = timer; }
    [[nodiscard]] QTimer* ctlTimer() const;
    void setCtlFortschritt(ProgressIndicator* progress) { m_progress = progress; }
    [[nodiscard]] ProgressIndicator* ctlFortschritt() const;

    void setUpdatefile(const QString& path) { m_updatefile = path; }
    [[nodiscard]] QString updatefile() const { return m_updatefile; }
    [[nodiscard]] const UpdateImage& Image() const { return m_image; }

    // Reads updatefile into the image. False after a message.
    bool openUpdatefile();
    // Checks that the file exists ("Updatedatei nicht vorhanden") and reads it.
    bool loadUpdatefile(const QString& path);
    // Checksum of one bootloader block: characters + their count + address low and high
    // byte, mod 256 (not negated).
    [[nodiscard]] static int CreateChecksummeLoader(const QByteArray& block, qint16 address);
    // Whether the terminal may be updated: an empty text, or the message that refuses it.
    [[nodiscard]] static QString UpdateRefusal(const QString& version, const QString& portSettings);

    // Programs the image. True after "Firmwareupdate abgeschlossen".
    bool update();
    // Compares the terminal's program memory with the image. True when every block matched.
    bool verify();

    // Ends a running update or verify after its current exchange; the session is still
    // closed with 237. Used when the window closes or vemro-cli is interrupted.
    void requestAbort() { m_abortRequested = m_running; }
    [[nodiscard]] bool running() const { return m_running; }
    [[nodiscard]] bool aborted() const { return m_aborted; }
    // The message of the last failure (empty after success).
    [[nodiscard]] QString errorText() const { return m_errorText; }

    // Answers "Zum Verify das Zielsystem zurücksetzen": true = try the contact again.
    // Default: an OK/Cancel question to the user.
    void setResetQuestion(std::function<bool()> question) { m_resetQuestion = std::move(question); }
    // Reply time-out of the session (tests shorten it).
    void setReplyTimeoutMs(int ms) { m_replyTimeoutMs = ms; }
    [[nodiscard]] int replyTimeoutMs() const { return m_replyTimeoutMs; }

    // "noch 1:23 min" style text of an estimate.
    [[nodiscard]] static QString TimeLeftText(qint64 msLeft);

signals:
    // After each block; msLeft estimated from the blocks done so far.
    void blockDone(int done, int total, qint64 msLeft);
    // The closing byte has been sent.
    void sessionClosed();

private:
    using Contact = BootloaderReply::Contact;

    explicit clsBootloader(clsVX& terminal);

    bool runUpdate();
    bool runVerify();
    bool beginSession();
    void endSession();
    bool fail(const QString& message);
    [[nodiscard]] bool stopRequested();
    [[nodiscard]] bool sendRaw(const QByteArray& bytes);
    void sendText(const QByteArray& text);
    [[nodiscard]] Contact contact(const QByteArray& request);
    void discardInput();
    void settle();
    void reportBlock(int done, int total);
    [[nodiscard]] bool askReset();

    QPointer<clsVX> m_terminal;
    QPointer<ComPort> m_ctlcom;
    QPointer<QTimer> m_ctlTimer;
    ProgressIndicator* m_progress = nullptr;
    NullProgress m_noProgress;
    QString m_updatefile;
    UpdateImage m_image;
    QString m_errorText;
    std::function<bool()> m_resetQuestion;
    int m_replyTimeoutMs = kReplyTimeoutMs;
    int m_savedInterval = 0;
    bool m_running = false;
    bool m_abortRequested = false;
    bool m_aborted = false;
    QElapsedTimer m_blockClock;
};

} // namespace vemro
