// The bootloader session of clsBootloader: update (16-byte write blocks) and verify
// (512-byte read blocks), each closed with 237.
#include "firmware/BootloaderReply.h"
#include "firmware/clsBootloader.h"

#include "link/TimeoutTimer.h"
#include "link/clsVX.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"
#include "platform/UserInterface.h"

#include <chrono>

namespace vemro {

namespace {

QByteArray byte(uchar b)
{
    return QByteArray(1, static_cast<char>(b));
}

} // namespace

bool clsBootloader::stopRequested()
{
    if (m_abortRequested || !m_terminal) {
        m_aborted = true;
        m_errorText = QStringLiteral("abgebrochen");
        return true;
    }
    return false;
}

bool clsBootloader::sendRaw(const QByteArray& bytes)
{
    if (!m_terminal)
        return true;
    QByteArray text = bytes;
    return m_terminal->Send(text, false, true);
}

void clsBootloader::sendText(const QByteArray& text)
{
    if (!m_terminal)
        return;
    QByteArray t = text;
    m_terminal->Send(t, false, false);
}

clsBootloader::Contact clsBootloader::contact(const QByteArray& request)
{
    if (!m_terminal)
        return Contact::Failed;
    const bool sendFailed = sendRaw(request);
    if (!m_terminal)
        return Contact::Failed;
    // Over the serial link a write that did not get out shows as the time-out that follows;
    // the network module reports its failures as such.
    const LinkError sendCode = m_terminal->lastError();
    if (sendFailed && sendCode != LinkError::None && sendCode != LinkError::Timeout)
        return Contact::Failed;
    BootloaderReceive reply;
    reply.failed = m_terminal->Receive(reply.text, byte(kPresent));
    if (!m_terminal)
        return Contact::Failed;
    reply.code = m_terminal->lastError();
    return BootloaderReply::contact(reply);
}

void clsBootloader::discardInput()
{
    // After the settling wait everything the terminal sent on contact has arrived: drop it
    // without waiting for another 200 ms of silence. The network module starts every send
    // with an empty receive slot, so there is nothing to drop there.
    if (!m_terminal || m_terminal->ComMode == ComMode::Network)
        return;
    if (ComPort* port = ctlcom(); port && port->isOpen())
        port->clearInBuffer();
}

bool clsBootloader::beginSession()
{
    m_errorText.clear();
    m_aborted = false;
    m_abortRequested = false;
    if (m_running) {
        // Buttons are disabled while a session runs; this guards every other caller.
        m_errorText = kAlreadyRunning;
        ui().message(kAlreadyRunning, kProductName);
        return false;
    }
    if (!m_terminal)
        return fail(QStringLiteral("kein Terminal"));
    // Without an image an update would report success having written nothing.
    if (m_image.bytes.isEmpty() || m_image.startAddress < 0)
        return fail(kNoImage);
    m_running = true;
    if (QTimer* timer = ctlTimer()) {
        m_savedInterval = timer->interval();
        timer->setInterval(m_replyTimeoutMs);
    }
    ProgressIndicator* progress = ctlFortschritt();
    progress->setMinimum(0);
    progress->setValue(0);
    progress->setVisible(true);
    return true;
}

void clsBootloader::endSession()
{
    // Whatever happened, the bootloader session is closed, so the terminal's firmware runs
    // again instead of waiting in the bootloader.
    QPointer<clsBootloader> self(this);
    (void)sendRaw(byte(kEnd));
    if (!self)
        return;
    if (QTimer* timer = ctlTimer()) {
        timer->stop();
        timer->setInterval(m_savedInterval);
    }
    ctlFortschritt()->setVisible(false);
    m_running = false;
    m_abortRequested = false;
    emit sessionClosed();
}

void clsBootloader::reportBlock(int done, int total)
{
    qint64 left = -1;
    if (done > 0 && m_blockClock.isValid())
        left = m_blockClock.elapsed() * (total - done) / done;
    emit blockDone(done, total, left);
}

bool clsBootloader::update()
{
    if (!beginSession())
        return false;
    QPointer<clsBootloader> self(this);
    const bool ok = runUpdate();
    if (!self)
        return false;
    endSession();
    return ok;
}

bool clsBootloader::runUpdate()
{
    QPointer<clsBootloader> self(this);
    ProgressIndicator* progress = ctlFortschritt();
    sendText(globals().EscChar + "LL");
    if (!self || stopRequested())
        return false;
    m_terminal->WaitMS(kStartWaitMs);
    if (!self || stopRequested())
        return false;
    sendText(QByteArrayLiteral("Starte Update..."));

    // First attempt right after a reset.
    progress->setMaximum(2);
    if (!self || stopRequested())
        return false;
    QByteArray reset = globals().EscChar + "Kr";
    (void)sendRaw(reset);
    if (!self)
        return false;
    PauseMS(kResetPauseMs);
    if (!self || stopRequested())
        return false;
    Contact c = contact(byte(kContact));
    if (!self)
        return false;
    if (c == Contact::TimedOut) {
        progress->setValue(0);
        PauseMS(kContactRetryPauseMs);
        if (!self)
            return false;
    }
    if (c != Contact::Made) {
        // The user switches the terminal off and on; its bootloader answers right after
        // power-on.
        ui().message(kNoContact, kProductName);
        if (!self)
            return false;
        progress->setMaximum(kContactAttempts + 1);
        int left = kContactAttempts;
        int otherFailures = 0;
        while (left > 0 && otherFailures <= kNetworkFailureRetries) {
            if (stopRequested())
                return false;
            c = contact(byte(kContact));
            if (!self)
                return false;
            if (c == Contact::Made)
                break;
            if (c == Contact::TimedOut) {
                --left;
                progress->setValue(left);
            } else {
                ++otherFailures;
            }
            PauseMS(kAttemptPauseMs);
            if (!self)
                return false;
        }
        if (c != Contact::Made)
            return fail(kNoContactFinal);
    }

    m_terminal->WaitMS(kSettleMs);
    if (!self || stopRequested())
        return false;
    discardInput();
    if (!self || stopRequested())
        return false;

    const QByteArray image = m_image.bytes;
    const int blocks = static_cast<int>(image.size()) / kWriteBlockBytes;
    progress->setValue(0);
    progress->setMaximum(static_cast<int>(image.size()) + 1);
    // The file counts bytes, the bootloader two-byte words.
    auto address = static_cast<quint16>(m_image.startAddress / 2);
    m_blockClock.start();
    for (int n = 0; n < blocks; ++n) {
        if (stopRequested())
            return false;
        const QByteArray block = image.mid(qsizetype(n) * kWriteBlockBytes, kWriteBlockBytes);
        QByteArray frame;
        frame += static_cast<char>(kWriteBlock);
        frame += static_cast<char>(address >> 8);
        frame += static_cast<char>(address & 0xFF);
        frame += static_cast<char>(kWriteBlockBytes);
        frame += static_cast<char>(CreateChecksummeLoader(block, static_cast<qint16>(address)));
        frame += block;
        (void)sendRaw(frame);
        if (!self || !m_terminal)
            return false;
        (void)m_terminal->lastError();

        BootloaderReceive reply;
        reply.failed = m_terminal->Receive(reply.text, byte(kReceived));
        if (!self || !m_terminal)
            return false;
        reply.code = m_terminal->lastError();
        BootloaderReply::Step step = BootloaderReply::received(reply);
        if (!step.goOn)
            return fail(step.error);
        reply.failed = m_terminal->Receive(reply.text, byte(kStored));
        if (!self || !m_terminal)
            return false;
        reply.code = m_terminal->lastError();
        step = BootloaderReply::stored(reply);
        if (!step.goOn)
            return fail(step.error);

        progress->setValue(progress->value() + kWriteBlockBytes);
        address = static_cast<quint16>(address + kWriteBlockBytes / 2); // words of two bytes
        reportBlock(n + 1, blocks);
        PauseMS(kBlockPauseMs);
        if (!self)
            return false;
    }
    progress->setValue(progress->maximum()); // done: the bar shows 100 %
    ui().message(kUpdateDone, kProductName);
    return true;
}

bool clsBootloader::askReset()
{
    if (m_resetQuestion)
        return m_resetQuestion();
    return ui().ask(kResetQuestion, UserInterface::Buttons::OkCancel, kProductName) ==
           UserInterface::Answer::Ok;
}

void clsBootloader::settle()
{
    QTimer* timer = ctlTimer();
    if (!timer) {
        PauseMS(kSettleMs);
        return;
    }
    timer->setInterval(kSettleMs);
    restartTimeout(timer);
    // The timer's tick stops it (it is the link's one-shot time-out timer).
    LocalWait wait;
    wait.wakeOn(timer, &QTimer::timeout);
    wait.run(std::chrono::milliseconds(kSettleMs * 2));
    timer->stop();
    timer->setInterval(m_replyTimeoutMs);
}

bool clsBootloader::verify()
{
    if (!beginSession())
        return false;
    QPointer<clsBootloader> self(this);
    const bool ok = runVerify();
    if (!self)
        return false;
    endSession();
    return ok;
}

bool clsBootloader::runVerify()
{
    QPointer<clsBootloader> self(this);
    ProgressIndicator* progress = ctlFortschritt();
    sendText(globals().EscChar + "LL");
    if (!self || stopRequested())
        return false;
    m_terminal->WaitMS(kVerifyStartWaitMs);
    if (!self || stopRequested())
        return false;
    sendText(QByteArrayLiteral("Verify..."));

    int otherFailures = 0;
    for (;;) {
        if (!self || stopRequested())
            return false;
        // The reset and the contact byte go in one piece, the contact byte once more after.
        const QByteArray request = globals().EscChar + "Kr" + byte(kContact);
        (void)sendRaw(request);
        if (!self)
            return false;
        const Contact c = contact(byte(kContact));
        if (!self)
            return false;
        if (c == Contact::Made)
            break;
        if (c == Contact::Failed && ++otherFailures <= kNetworkFailureRetries) {
            PauseMS(kAttemptPauseMs);
            if (!self)
                return false;
            continue;
        }
        otherFailures = 0;
        if (!askReset()) {
            if (self)
                m_errorText = kResetQuestion;
            return false;
        }
        if (!self)
            return false;
    }

    settle();
    if (!self || stopRequested())
        return false;
    discardInput();
    if (!self || stopRequested())
        return false;

    // The image lies in program memory from its start address on (bytes, as the update
    // writes it).
    const BootloaderReply::VerifyLayout layout = BootloaderReply::verifyLayout(m_image);
    const int blocks = layout.blocks;
    progress->setMaximum(blocks * kReadBlockBytes + 1);
    bool allMatched = true;
    QStringList failedBlocks;
    m_blockClock.start();
    for (int n = 0; n < blocks; ++n) {
        if (stopRequested())
            return false;
        const int b = layout.firstBlock + n;
        QByteArray request = byte(kReadBlock);
        request += static_cast<char>(b & 0xFF);
        (void)sendRaw(request);
        if (!self || !m_terminal)
            return false;
        (void)m_terminal->lastError();
        BootloaderReceive reply;
        reply.failed = m_terminal->Receive(reply.text, QByteArray());
        if (!self || !m_terminal)
            return false;
        reply.code = m_terminal->lastError();
        const BootloaderReply::BlockCheck check = BootloaderReply::verifyBlock(layout, n, reply);
        if (check.linkBroken)
            return fail(kLinkBroken);
        if (!check.matched) {
            allMatched = false;
            failedBlocks << QString::number(b);
            ui().message(check.message, kProductName);
            if (!self)
                return false;
        }
        progress->setValue(progress->value() + kReadBlockBytes);
        reportBlock(n + 1, blocks);
    }
    progress->setValue(progress->maximum());
    ui().message(kVerifyDone, kProductName);
    if (!allMatched)
        m_errorText = QStringLiteral("Verify: Abweichungen in Block ") +
                      failedBlocks.join(QStringLiteral(", "));
    return allMatched;
}

} // namespace vemro
