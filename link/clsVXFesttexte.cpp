// The fixed-text transfer of clsVX: reading the texts out of the terminal's EEPROM into the
// project and writing them back byte by byte (older firmware) or in checked blocks of 8.
#include "link/clsVX.h"

#include "link/FesttextLayout.h"
#include "link/Notation.h"
#include "platform/Bytes.h"
#include "platform/Globals.h"
#include "platform/ProgressScope.h"
#include "platform/TextValue.h"
#include "platform/UserInterface.h"
#include "platform/clsInfo.h"

#include <QPointer>
#include <QScopeGuard>

#include <algorithm>

namespace vemro {

namespace {

const QString kAskOverwrite =
    QStringLiteral("Achtung, alle bisherigen Festtexte werden überschrieben. Forfahren ?");
const QString kReadError = QStringLiteral("Fehler beim Lesen des EE-Speichers");
const QString kReadCount = QStringLiteral(" falsche Parameteranzahl bei Lesen EE");
const QString kAskFilter = QStringLiteral("Zeilenumbruch filtern?");
const QString kSaveFailed = QStringLiteral("Fehler beim Speichern Festtexte");
const QString kTableFailed = QStringLiteral("Fehler beim Speichern im EE-Prom des Terminals");
const QString kNoEnd = QStringLiteral(
    "Festtext %1 endet nicht im Speicher des Terminals (%2 Bytes): der Speicher ist leer oder "
    "beschädigt. Es wurden keine Festtexte übernommen.");
const QString kModeUnread = QStringLiteral(
    "Das Terminal hat seinen Betriebsmodus nicht gemeldet: die Festtexte wurden nicht "
    "übertragen, der Modus des Terminals bleibt, wie er ist.");
constexpr int kPositionWaitMs = 20;
constexpr int kMemorySizeWaitMs = 2000;
constexpr int kTerminatorAttempts = 3;
constexpr char kBlockAccepted = '0';
constexpr int kDecimalFlag = 1; // the mode flag of the decimal parameter form

// Marks a fixed-text transfer as running; a second one is refused meanwhile.
class RunningScope
{
public:
    explicit RunningScope(bool& flag) : m_flag(flag), m_owner(!flag) { m_flag = true; }
    ~RunningScope()
    {
        if (m_owner)
            m_flag = false;
    }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;
    [[nodiscard]] bool acquired() const { return m_owner; }

private:
    bool& m_flag;
    bool m_owner;
};

} // namespace

clsVX::ByteRead clsVX::readEEByte(int address, int& value)
{
    value = -1;
    globals().CommandBuffer = "?E" + QByteArray::number((address >> 8) & 0xFF) + ',' +
                              QByteArray::number(address & 0xFF) + ';';
    if (GetParameter(globals().CommandBuffer, m_parameterList, QByteArrayLiteral(";"))) {
        ui().message(kReadError, kProductName);
        return ByteRead::Failed;
    }
    if (m_parameterList.size() != 1) {
        ui().message(kReadCount, kProductName);
        return ByteRead::Failed;
    }
    if (!m_parameterList.first().isEmpty())
        value = static_cast<int>(RoundHalfEven(TextValue(m_parameterList.first())));
    return ByteRead::Ok;
}

bool clsVX::GetFesttexte(const std::function<bool(int, const QByteArray&)>& store)
{
    RunningScope running(m_festtextRunning);
    if (!running.acquired())
        return false;
    if (ui().ask(kAskOverwrite, UserInterface::Buttons::YesNo, kProductName) !=
        UserInterface::Answer::Yes)
        return false;
    QPointer<clsVX> self(this);
    // A byte-form reply ends only after a pause, a decimal one with ";": a terminal in the
    // byte form is read in the decimal form and gets its own mode back afterwards.
    int byteFlags = -1;
    if (ParameterMode == 0) {
        const int flags = reportedModeFlags();
        if (flags < 0 || !self) {
            if (self)
                Info().show(kModeUnread, 0);
            return false;
        }
        ParameterMode = 1;
        // A terminal already in the decimal form is read as it is and keeps its form.
        if ((flags & kDecimalFlag) == 0) {
            byteFlags = flags;
            sendCommand(globals().EscChar + "KM" + ByteOf(byteFlags | kDecimalFlag));
        }
    }
    const auto byteFormBack = qScopeGuard([this, self, byteFlags] {
        if (!self || byteFlags < 0)
            return;
        ParameterMode = 0;
        sendCommand(globals().EscChar + "KM" + ByteOf(byteFlags));
    });
    emit festtexteLesenBeginnt();
    if (!self)
        return false;
    // First half: the address table, one step per entry; second half: one step per text.
    ProgressScope progress(m_progress, 2 * kFesttextCount, 1);
    FesttextCellReader reader;
    reader.cell = [this, self](int address, int& value) {
        return readEEByte(address, value) == ByteRead::Ok && self;
    };
    reader.memorySize = [this, self]() -> std::optional<qint32> {
        const qint32 size = CheckEEProm();
        if (!self)
            return std::nullopt;
        return size;
    };
    reader.store = [this, self, &store](int n, const QByteArray& text) {
        if (!store(n, text) || !self)
            return false;
        emit festtextGelesen(n);
        return !self.isNull();
    };
    reader.step = [&progress] { progress.step(); };
    const FesttextReadResult result = ReadFesttexte(reader);
    if (!result.ok && result.unended >= 0 && self)
        ui().message(kNoEnd.arg(result.unended).arg(result.memory), kProductName);
    return result.ok;
}

int clsVX::reportedModeFlags()
{
    // The flags read here are the terminal's: they do not become the terminal object's
    // (which holds the configuration the user has), so nothing read back during a transfer
    // ends up in the project.
    const TerminalMode mode = terminalMode();
    const bool keyboard = Keyboard()->enabled;
    GetMode();
    bool answered = m_parameterList.size() == 1;
    if (!answered && m_lastError != LinkError::LinkBroken) {
        // The form the object holds is the project's; a terminal still in the other form
        // (a project in the byte form, written to a terminal in the decimal form, or the
        // other way round) answers when asked in its own.
        ParameterMode = mode.ParameterMode == 0 ? 1 : 0;
        GetMode();
        answered = m_parameterList.size() == 1;
    }
    const int flags = answered ? modeFlags() : -1;
    terminalMode() = mode;
    Keyboard()->enabled = keyboard;
    return flags;
}

bool clsVX::byteFormOn()
{
    // The terminal keeps its own mode during the transfer, only its parameter form changes.
    // A terminal that does not answer the mode query is left as it is: writing flags it
    // never had would change its mode (flags read as 0 would even switch its serial answers
    // off).
    m_transferFlags = reportedModeFlags();
    if (m_transferFlags < 0) {
        Info().show(kModeUnread, 0);
        return false;
    }
    m_transferFlags &= ~kDecimalFlag;
    ParameterMode = 0;
    sendCommand(globals().EscChar + "KM" + ByteOf(m_transferFlags));
    return true;
}

clsVX::Fit clsVX::festtexteFit(const FesttextLayout& layout)
{
    if (layout.endAddress <= kStandardEEPromSize)
        return Fit::Go;
    QPointer<clsVX> self(this);
    const qint32 measured = CheckEEProm();
    if (!self)
        return Fit::Gone;
    WaitMS(kMemorySizeWaitMs);
    if (!self)
        return Fit::Gone;
    // An irregular page map gives the size negated; no answer gives 0.
    const int size = measured == 0 ? kStandardEEPromSize : qAbs(measured);
    if (layout.endAddress <= size)
        return Fit::Go;
    const QString question = QStringLiteral("Festtexte überschreiten die Speichergröße um ") +
                             QString::number(layout.endAddress - size) +
                             QStringLiteral(" Zeichen. Trotzdem übertragen?");
    const bool yes = ui().ask(question, UserInterface::Buttons::YesNo, kProductName) ==
                     UserInterface::Answer::Yes;
    if (!self)
        return Fit::Gone;
    return yes ? Fit::Go : Fit::Declined;
}

void clsVX::decimalFormOn()
{
    ParameterMode = 1;
    if (m_transferFlags >= 0)
        sendCommand(globals().EscChar + "KM" + ByteOf(m_transferFlags | kDecimalFlag));
    else
        SetMode();
    m_transferFlags = -1;
}

bool clsVX::writeEEByte(int address, int value, int attempts)
{
    for (int i = 0; i < attempts; ++i) {
        globals().CommandBuffer =
            globals().EscChar + 'E' + ByteOf(address >> 8) + ByteOf(address) + ByteOf(value);
        if (!Send(globals().CommandBuffer, true, true))
            return true;
        (void)lastError();
    }
    return false;
}

bool clsVX::SaveFesttexte(const FesttextRows& rows, std::optional<bool> filterLinebreaks)
{
    if (m_festtextRunning)
        return false;
    m_festtexteDeclined = false;
    int writer = FesttextWriterFor(Version());
    if (writer < 0) {
        const bool filter = filterLinebreaks.has_value()
                                ? *filterLinebreaks
                                : ui().ask(kAskFilter, UserInterface::Buttons::YesNo,
                                           kProductName) == UserInterface::Answer::Yes;
        writer = filter ? 1 : 0;
    }
    const bool ok = writer == 1 ? SaveFesttexteBlockweise(rows) : SaveFesttexteByteweise(rows);
    if (m_festtexteDeclined)
        return false; // nothing sent, as the user chose: no error, but not written either
    if (!ok)
        Info().show(kSaveFailed, 0);
    return ok;
}

bool clsVX::SaveFesttexteByteweise(const FesttextRows& rows)
{
    RunningScope running(m_festtextRunning);
    if (!running.acquired())
        return false;
    m_festtexteDeclined = false;
    FesttextLayout layout;
    QString error;
    if (!LayoutFesttexte(rows, false, layout, &error)) {
        ui().message(error, kProductName);
        return false;
    }
    QPointer<clsVX> self(this);
    ProgressScope progress(m_progress, kFesttextCount + layout.textBytes + 5, 1);
    if (!byteFormOn())
        return false;
    const bool ok = [&] {
        switch (festtexteFit(layout)) {
        case Fit::Go:
            break;
        case Fit::Declined:
            m_festtexteDeclined = true;
            return true;
        case Fit::Gone:
            return false;
        }
        for (int n = 0; n < kFesttextCount; ++n) {
            const int start = layout.starts[static_cast<size_t>(n)];
            if (!writeEEByte(kFesttextTable + 2 * n, start >> 8, 1) || !self ||
                !writeEEByte(kFesttextTable + 2 * n + 1, start & 0xFF, 1) || !self) {
                if (self)
                    Info().show(kTableFailed, 0);
                return false;
            }
            progress.step();
        }
        (void)writeEEByte(kFesttextNone, 0, 1);
        if (!self)
            return false;
        (void)lastError();
        WaitMS(kPositionWaitMs);
        int address = kFesttextFirst;
        for (const QByteArray& bytes : layout.bytes) {
            for (char c : bytes) {
                if (!writeEEByte(address, static_cast<uchar>(c), 1) || !self)
                    return false;
                ++address;
                progress.step();
            }
            if (!writeEEByte(address, 0, kTerminatorAttempts) || !self)
                return false;
            ++address;
        }
        return true;
    }();
    if (self)
        decimalFormOn();
    return ok;
}

bool clsVX::SaveFesttexteBlockweise(const FesttextRows& rows)
{
    RunningScope running(m_festtextRunning);
    if (!running.acquired())
        return false;
    m_festtexteDeclined = false;
    FesttextLayout layout;
    QString error;
    if (!LayoutFesttexte(rows, true, layout, &error)) {
        ui().message(error, kProductName);
        return false;
    }
    QPointer<clsVX> self(this);
    const int sum = 2 * kFesttextCount + layout.textBytes + static_cast<int>(layout.bytes.size());
    ProgressScope progress(m_progress, sum / 8 + 5, 1);
    if (!byteFormOn())
        return false;
    const bool ok = [&] {
        switch (festtexteFit(layout)) {
        case Fit::Go:
            break;
        case Fit::Declined:
            m_festtexteDeclined = true;
            return true; // nothing written, no error
        case Fit::Gone:
            return false;
        }
        const QByteArray image = FesttextBlockImage(layout);
        // The positioning write sets the terminal's write address to 0x0100.
        globals().CommandBuffer = globals().EscChar + 'E' + ByteOf(kFesttextTable >> 8) +
                                  ByteOf(kFesttextTable) + ByteOf(0);
        Send(globals().CommandBuffer, false, true);
        if (!self)
            return false;
        WaitMS(kPositionWaitMs);
        for (int i = 0; i < image.size(); i += 8) {
            const QByteArray data = image.mid(i, 8);
            int checksum = 0;
            for (char c : data)
                checksum += static_cast<uchar>(c);
            globals().CommandBuffer = globals().EscChar + 'e' + data + ByteOf(checksum % 256);
            const bool failed = Send(globals().CommandBuffer, true, true);
            if (!self)
                return false;
            const LinkError code = lastError();
            // The terminal confirms a stored block with "0", which Send reports as an
            // unexpected reply of that code.
            if (!failed || code != LinkError::UnexpectedReply ||
                globals().CommandBuffer != QByteArray::number(static_cast<int>(kBlockAccepted)))
                return false;
            progress.step();
        }
        // Each block's "0" counts as another reply in the exchange; the transfer was
        // answered as it should be.
        emit exchangeFinished(LinkError::None);
        return self != nullptr;
    }();
    if (self)
        decimalFormOn();
    return ok;
}

} // namespace vemro
