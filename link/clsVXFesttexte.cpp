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
constexpr int kPositionWaitMs = 20;
constexpr int kMemorySizeWaitMs = 2000;
constexpr int kTerminatorAttempts = 3;
constexpr char kBlockAccepted = '0';

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
    emit festtexteLesenBeginnt();
    if (!self)
        return false;
    // First half: the address table, one step per entry; second half: one step per text.
    ProgressScope progress(m_progress, 2 * kFesttextCount, 1);

    QByteArray table;
    for (int i = 0; i < 2 * kFesttextCount; ++i) {
        int v = -1;
        if (readEEByte(kFesttextTable + i, v) != ByteRead::Ok || !self)
            return false;
        table.append(ByteOf(v < 0 ? 0xFF : v));
        if (i % 2 == 1)
            progress.step();
    }
    const std::array<int, kFesttextCount> starts = FesttextStarts(table);
    int memory = kStandardEEPromSize;
    const bool beyond = std::any_of(starts.begin(), starts.end(),
                                    [](int s) { return s >= kStandardEEPromSize && s != 0xFFFF; });
    if (beyond) {
        const qint32 size = CheckEEProm();
        if (!self)
            return false;
        if (size > memory)
            memory = size;
    }
    if (!FesttextTablePlausible(starts, memory))
        return readFesttexteSequential(store, [&progress] { progress.step(); });

    // Each text from its own address: every number comes back as itself.
    for (int n = 0; n < kFesttextCount; ++n) {
        const int start = starts[static_cast<size_t>(n)];
        if (start == kFesttextNone)
            continue;
        QByteArray text;
        for (int address = start; address < memory; ++address) {
            int v = -1;
            if (readEEByte(address, v) != ByteRead::Ok || !self)
                return false;
            if (v == 0 || v == 255)
                break;
            if (v > 0)
                text.append(ByteOf(v));
        }
        if (!store(n, text) || !self)
            return false;
        emit festtextGelesen(n);
        progress.step();
    }
    return true;
}

bool clsVX::readFesttexteSequential(const std::function<bool(int, const QByteArray&)>& store,
                                    const std::function<void()>& step)
{
    // Without a usable table the texts can only be counted in stored order.
    QPointer<clsVX> self(this);
    int address = kFesttextFirst;
    int n = 0;
    QByteArray text;
    while (n < kFesttextCount) {
        int v = -1;
        if (readEEByte(address, v) != ByteRead::Ok || !self)
            return false;
        if (v == 255)
            break;
        if (v > 0) {
            text.append(ByteOf(v));
        } else if (v == 0) {
            if (text.isEmpty())
                break;
            if (!store(n, text) || !self)
                return false;
            emit festtextGelesen(n);
            text.clear();
            ++n;
            step();
        }
        ++address;
    }
    return true;
}

void clsVX::byteFormOn()
{
    // The terminal keeps its own mode during the transfer, only its parameter form changes.
    // The flags read here are the terminal's: they do not become the terminal object's
    // (which holds the configuration the user has), so nothing read back during a transfer
    // ends up in the project.
    const qint32 sendMode = SendMode;
    const bool keyboard = Keyboard()->enabled;
    const bool io = IOPortsEnabled;
    const bool einschalt = Einschaltmeldung;
    const bool festtext = Festtextmode;
    GetMode();
    // A terminal that does not answer the mode query keeps the mode the object knows:
    // sending flags read as 0 would switch its serial answers off.
    const bool answered = m_parameterList.size() == 1;
    ParameterMode = 0;
    m_transferFlags = answered ? modeFlags() : -1;
    SendMode = sendMode;
    Keyboard()->enabled = keyboard;
    IOPortsEnabled = io;
    Einschaltmeldung = einschalt;
    Festtextmode = festtext;
    if (m_transferFlags >= 0)
        sendCommand(globals().EscChar + "KM" + ByteOf(m_transferFlags));
    else
        SetMode();
}

void clsVX::decimalFormOn()
{
    ParameterMode = 1;
    if (m_transferFlags >= 0)
        sendCommand(globals().EscChar + "KM" + ByteOf(m_transferFlags | 1));
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
    int writer = FesttextWriterFor(Version());
    if (writer < 0) {
        const bool filter = filterLinebreaks.has_value()
                                ? *filterLinebreaks
                                : ui().ask(kAskFilter, UserInterface::Buttons::YesNo,
                                           kProductName) == UserInterface::Answer::Yes;
        writer = filter ? 1 : 0;
    }
    const bool ok = writer == 1 ? SaveFesttexteBlockweise(rows) : SaveFesttexteByteweise(rows);
    if (!ok)
        Info().show(kSaveFailed, 0);
    return ok;
}

bool clsVX::SaveFesttexteByteweise(const FesttextRows& rows)
{
    RunningScope running(m_festtextRunning);
    if (!running.acquired())
        return false;
    FesttextLayout layout;
    QString error;
    if (!LayoutFesttexte(rows, false, layout, &error)) {
        ui().message(error, kProductName);
        return false;
    }
    QPointer<clsVX> self(this);
    ProgressScope progress(m_progress, kFesttextCount + layout.textBytes + 5, 1);
    byteFormOn();
    const bool ok = [&] {
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
    FesttextLayout layout;
    QString error;
    if (!LayoutFesttexte(rows, true, layout, &error)) {
        ui().message(error, kProductName);
        return false;
    }
    QPointer<clsVX> self(this);
    const int sum = 2 * kFesttextCount + layout.textBytes + static_cast<int>(layout.bytes.size());
    ProgressScope progress(m_progress, sum / 8 + 5, 1);
    byteFormOn();
    const bool ok = [&] {
        if (layout.endAddress > kStandardEEPromSize) {
            const qint32 size = CheckEEProm();
            if (!self)
                return false;
            WaitMS(kMemorySizeWaitMs);
            if (!self)
                return false;
            if (layout.endAddress > size) {
                const QString question =
                    QStringLiteral("Festtexte überschreiten die Speichergröße um ") +
                    QString::number(layout.endAddress - size) +
                    QStringLiteral(" Zeichen. Trotzdem übertragen?");
                if (ui().ask(question, UserInterface::Buttons::YesNo, kProductName) !=
                    UserInterface::Answer::Yes)
                    return true; // declined: nothing written, no error
            }
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
            const qint32 code = lastError();
            // The terminal confirms a stored block with "0", which Send reports as an
            // unexpected reply of that code.
            if (!failed || code != 9 ||
                globals().CommandBuffer != QByteArray::number(static_cast<int>(kBlockAccepted)))
                return false;
            progress.step();
        }
        return true;
    }();
    if (self)
        decimalFormOn();
    return ok;
}

} // namespace vemro
