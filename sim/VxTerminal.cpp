#include "sim/VxTerminal.h"

#include "platform/Codepage.h"

#include <algorithm>

namespace vemro {

namespace {

constexpr uchar kEsc = 27;

// Command letters and how their parameters travel. "Form" follows the terminal's parameter
// form (decimal text ended by ";" or `count` raw bytes); "Decimal" is decimal text in both
// forms; "OneByte" is one raw byte in both forms.
struct CommandSpec
{
    const char* letters;
    int kind; // VxTerminal::ParamKind as int (private enum)
    int count;
};

enum Kind { None, Form, Decimal, OneByte, SpeedDigit, Block, KeyCodes };

constexpr CommandSpec kCommands[] = {
    {"?V", None, 0},  {"?A", None, 0},     {"?P", Form, 1},       {"?E", Form, 2},
    {"?T", None, 0},  {"K?M", None, 0},    {"K?E", None, 0},      {"L?A", None, 0},
    {"T?K", None, 0}, {"T?C", Decimal, 1}, {"KM", OneByte, 1},    {"KS", None, 0},
    {"Kr", None, 0},  {"Ks", Form, 7},     {"SG", SpeedDigit, 1}, {"LA", Form, 2},
    {"LB", Form, 1},  {"LK", OneByte, 1},  {"LC", Form, 2},       {"LL", None, 0},
    {"LZ", Form, 10}, {"P", Form, 2},      {"E", Form, 3},        {"e", Block, 9},
    {"FP", Form, 1},  {"FZ", Decimal, 1},  {"TK", Form, 5},       {"TC", KeyCodes, 3},
};

const CommandSpec* findCommand(const QByteArray& letters, bool* isPrefix)
{
    *isPrefix = false;
    for (const auto& c : kCommands) {
        const QByteArray name(c.letters);
        if (name == letters)
            return &c;
        if (name.startsWith(letters))
            *isPrefix = true;
    }
    return nullptr;
}

bool isDigit(uchar b)
{
    return b >= '0' && b <= '9';
}

// Decimal parameter text "12,3,45" -> numbers; false on anything else.
bool parseDecimal(const QByteArray& text, QVector<int>* out)
{
    out->clear();
    const QList<QByteArray> parts = text.split(',');
    for (const QByteArray& part : parts) {
        if (part.isEmpty() || part.size() > 6)
            return false;
        int v = 0;
        for (char ch : part) {
            if (!isDigit(static_cast<uchar>(ch)))
                return false;
            v = v * 10 + (ch - '0');
        }
        out->append(v);
    }
    return true;
}

} // namespace

VxTerminal::VxTerminal(QObject* parent) : VxTerminal(Options{}, parent) {}

VxTerminal::VxTerminal(const Options& options, QObject* parent)
    : QObject(parent), m_options(options), m_display(options.rows, options.cols),
      m_boot(options.programMemorySize)
{
    m_options.eepromSize = std::clamp(m_options.eepromSize, 512, 65536);
    m_eeprom = QByteArray(m_options.eepromSize, static_cast<char>(0xFF));
    // The user-character area of a new terminal is blank.
    m_eeprom.replace(0, 72, QByteArray(72, '\0'));
    m_serialNumber = options.serialNumber;
    m_speedCode = baudForCode(options.speedCode) > 0 ? options.speedCode : 1;
    m_cfg.rows = m_display.rows();
    m_cfg.cols = m_display.cols();
    for (int k = 0; k < kKeys; ++k) {
        m_cfg.codes[k] = static_cast<uchar>(k < 26 ? 'a' + k : '0' + (k - 26));
        m_cfg.shiftCodes[k] = static_cast<uchar>(k < 26 ? 'A' + k : '!' + (k - 26));
    }
    m_saved = m_cfg;
    m_input.fill(-1);
    m_idle.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this, &VxTerminal::onIdle);
    m_repeat.setSingleShot(true);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        if (m_repeatKey < 1 || !m_pressed[m_repeatKey - 1])
            return;
        sendKeyCode(codeFor(m_repeatKey));
        m_repeat.start(std::max(1, m_cfg.keyboard.timeBetweenRepeat) * 10);
    });
    reset();
}

VxTerminal::~VxTerminal() = default;

// ---------------------------------------------------------------- link

int VxTerminal::baudForCode(int code)
{
    switch (code & ~4) {
    case 0:
        return (code >= 0 && code <= 6) ? 9600 : 0;
    case 1:
        return (code >= 0 && code <= 6) ? 19200 : 0;
    case 2:
        return (code >= 0 && code <= 6) ? 38400 : 0;
    default:
        return 0;
    }
}

int VxTerminal::baudRate() const
{
    return baudForCode(m_speedCode);
}

void VxTerminal::setSpeedCode(int code)
{
    if (baudForCode(code) == 0)
        return;
    const int before = baudRate();
    m_speedCode = code;
    if (baudRate() != before)
        emit speedChanged(baudRate());
    emit changed();
}

void VxTerminal::receive(const QByteArray& bytesFromPc)
{
    if (m_linkDead)
        return;
    ++m_receiving;
    for (char ch : bytesFromPc) {
        const auto b = static_cast<uchar>(ch);
        if (m_boot.active())
            feedBoot(b);
        else
            feed(b, m_parser);
        if (m_bytesUntilDrop > 0 && --m_bytesUntilDrop == 0 && m_fault == Fault::MuteAfter) {
            // The line back to the PC breaks: the terminal still hears and acts, but its
            // answers from here on are lost.
            m_fault = Fault::Silent;
            m_out.clear();
            continue;
        }
        if (m_bytesUntilDrop == 0 && m_fault == Fault::DropAfter && !m_linkDead) {
            // The line breaks here: what the terminal was about to answer is lost.
            m_linkDead = true;
            m_out.clear();
            emit linkDropped();
            break;
        }
    }
    --m_receiving;
    if (m_boot.active() && m_boot.partial())
        m_idle.start(kIdleDiscardMs);
    else if (m_parser.phase != Phase::Idle)
        m_idle.start((m_parser.kind == ParamKind::KeyCodes && m_parser.params.size() == 3) ||
                             ambiguousSpeed(m_parser)
                         ? kAmbiguousKeyMs
                         : kIdleDiscardMs);
    else
        m_idle.stop();
    if (m_receiving == 0 && !m_out.isEmpty()) {
        const QByteArray out = m_out;
        m_out.clear();
        emitRaw(out);
    }
    emit changed();
}

void VxTerminal::emitRaw(const QByteArray& bytes)
{
    if (m_receiving > 0) {
        m_out += bytes;
        return;
    }
    if (m_linkDead || m_fault == Fault::Silent || bytes.isEmpty())
        return;
    if (m_fault == Fault::Garbage) {
        QByteArray junk = bytes;
        for (char& c : junk)
            c = static_cast<char>(static_cast<uchar>(c) ^ 0xA5);
        emit transmit(junk);
        return;
    }
    emit transmit(bytes);
}

// ---------------------------------------------------------------- parser

void VxTerminal::startLetters(Parser& p)
{
    p.phase = Phase::Letters;
    p.letters.clear();
    p.params.clear();
    p.swallowSemicolon = false;
}

void VxTerminal::endCommand(Parser& p)
{
    p.phase = Phase::Idle;
    p.letters.clear();
    p.params.clear();
}

void VxTerminal::feed(uchar b, Parser& p)
{
    switch (p.phase) {
    case Phase::Idle:
        if (p.swallowSemicolon) {
            p.swallowSemicolon = false;
            if (b == ';')
                return;
        }
        if (b == kEsc) {
            startLetters(p);
            return;
        }
        if (b == VxBootloader::kContact && p.depth == 0 && contactWindowOpen() &&
            hasFeature("2.2")) {
            emitRaw(m_boot.start());
            return;
        }
        putText(b);
        return;
    case Phase::Letters: {
        if (b == kEsc) {
            startLetters(p);
            return;
        }
        p.letters.append(static_cast<char>(b));
        bool prefix = false;
        const CommandSpec* spec = findCommand(p.letters, &prefix);
        if (spec && p.letters == "e" && !hasFeature("2.6"))
            spec = nullptr; // block writes came with firmware 2.6
        if (!spec) {
            if (!prefix)
                endCommand(p); // unknown command: ignored
            return;
        }
        p.kind = static_cast<ParamKind>(spec->kind);
        p.byteCount = spec->count;
        if (p.kind == ParamKind::None) {
            dispatch(p);
            return;
        }
        p.phase = Phase::Params;
        return;
    }
    case Phase::Params:
        break;
    }

    // Parameters.
    const bool textual =
        p.kind == ParamKind::Decimal ||
        ((p.kind == ParamKind::Form || p.kind == ParamKind::KeyCodes) && decimalForm());
    if (textual) {
        if (b == kEsc) { // an unfinished command gives way to the next one
            startLetters(p);
            return;
        }
        if (b == ';') {
            dispatch(p);
            return;
        }
        p.params.append(static_cast<char>(b));
        if (p.params.size() > 64)
            endCommand(p);
        return;
    }
    if (p.kind == ParamKind::SpeedDigit && p.params == "2") {
        // "SG20" to "SG22" (the codes of the network module) begin like "SG2".
        if (b >= '0' && b <= '2') {
            p.params.append(static_cast<char>(b));
            dispatch(p);
            return;
        }
        dispatch(p);
        feed(b, p); // the byte belongs to what follows "SG2"
        return;
    }
    p.params.append(static_cast<char>(b));
    if (p.kind == ParamKind::SpeedDigit && p.params == "2")
        return; // wait for a second digit (or the idle timer)
    if (p.kind == ParamKind::KeyCodes) {
        // Byte form: key number in decimal digits, then code and shift code as bytes.
        const QByteArray& q = p.params;
        const auto d0 = static_cast<uchar>(q[0]);
        if (!isDigit(d0)) {
            endCommand(p);
            if (b == kEsc)
                startLetters(p);
            return;
        }
        if (q.size() < 3)
            return;
        const auto d1 = static_cast<uchar>(q[1]);
        const int two = isDigit(d1) ? (d0 - '0') * 10 + (d1 - '0') : -1;
        const bool twoValid = two >= 10 && two <= kKeys;
        const bool oneValid = d0 > '0';
        if (q.size() == 3) {
            if (twoValid)
                return; // wait for the fourth byte (or the idle timer)
            if (oneValid)
                dispatch(p);
            else
                endCommand(p);
            return;
        }
        // Fourth byte: an ESC here starts the next command after a one-digit key.
        if (b == kEsc && oneValid) {
            p.params.chop(1);
            dispatch(p);
            startLetters(p);
            return;
        }
        dispatch(p);
        return;
    }
    if (p.params.size() >= p.byteCount)
        dispatch(p);
}

void VxTerminal::onIdle()
{
    Parser& p = m_parser;
    if ((p.phase == Phase::Params && p.kind == ParamKind::KeyCodes && !decimalForm() &&
         p.params.size() == 3 && static_cast<uchar>(p.params[0]) > '0') ||
        ambiguousSpeed(p)) {
        ++m_receiving;
        dispatch(p);
        --m_receiving;
        const QByteArray out = m_out;
        m_out.clear();
        emitRaw(out);
        emit changed();
        return;
    }
    endCommand(p);
    m_boot.dropPartial();
}

void VxTerminal::dispatch(Parser& p)
{
    const QByteArray letters = p.letters;
    const QByteArray raw = p.params;
    const ParamKind kind = p.kind;
    const int count = p.byteCount;
    endCommand(p);

    QVector<int> values;
    bool decimal = false;
    switch (kind) {
    case ParamKind::None:
        break;
    case ParamKind::OneByte:
        values.append(static_cast<uchar>(raw.at(0)));
        p.swallowSemicolon = true;
        break;
    case ParamKind::SpeedDigit:
        // "SG2" + "0".."2": the code 20 + digit; otherwise one byte (digit or raw value).
        values.append(raw.size() == 2 ? 20 + (raw.at(1) - '0') : static_cast<uchar>(raw.at(0)));
        p.swallowSemicolon = true;
        break;
    case ParamKind::Block:
        for (char c : raw)
            values.append(static_cast<uchar>(c));
        break;
    case ParamKind::Decimal:
    case ParamKind::Form:
    case ParamKind::KeyCodes:
        decimal = kind == ParamKind::Decimal || decimalForm();
        if (decimal) {
            if (!parseDecimal(raw, &values)) {
                if (letters == "E")
                    confirmWrite(false);
                return;
            }
            const bool countOk = values.size() == count || (letters == "LC" && values.size() == 3);
            if (!countOk) {
                if (letters == "E")
                    confirmWrite(false);
                return;
            }
        } else if (kind == ParamKind::KeyCodes) {
            const int digits = raw.size() == 4 ? 2 : 1;
            values.append(raw.left(digits).toInt());
            values.append(static_cast<uchar>(raw.at(digits)));
            values.append(static_cast<uchar>(raw.at(digits + 1)));
        } else {
            for (char c : raw)
                values.append(static_cast<uchar>(c));
        }
        break;
    }
    execute(letters, values, p);
}

// ---------------------------------------------------------------- replies

void VxTerminal::reply(const QByteArray& prefix, const QVector<int>& values)
{
    QByteArray out = prefix + ':';
    if (decimalForm()) {
        for (int i = 0; i < values.size(); ++i) {
            if (i > 0)
                out += ',';
            out += QByteArray::number(values[i]);
        }
        out += ';';
    } else {
        for (int v : values)
            out += static_cast<char>(std::clamp(v, 0, 255));
    }
    emitRaw(out);
}

void VxTerminal::replyText(const QByteArray& text)
{
    emitRaw(text);
}

bool VxTerminal::nakByFault()
{
    if (m_fault != Fault::NakEvery || m_faultN <= 0)
        return false;
    return (++m_writeCount % m_faultN) == 0;
}

void VxTerminal::confirmWrite(bool ok)
{
    if (ok && nakByFault())
        ok = false;
    emitRaw(QByteArray(1, static_cast<char>(ok ? kAck : kNak)));
}

// ---------------------------------------------------------------- commands

void VxTerminal::execute(const QByteArray& letters, const QVector<int>& v, Parser& p)
{
    const auto in8 = [](int x) { return x >= 0 && x <= 255; };

    if (letters == "?V") {
        replyText("V:" + StringToAnsi(m_options.firmware) + ',' + StringToAnsi(m_serialNumber) +
                  ';');
    } else if (letters == "?A") {
        const int a = analogValue();
        reply("A", {a >> 2, a & 3});
    } else if (letters == "?P") {
        if (v[0] < kPorts)
            reply("P", {portValue(v[0])});
    } else if (letters == "?E") {
        if (in8(v[0]) && in8(v[1]))
            reply("E", {eepromCell(v[0] * 256 + v[1])});
    } else if (letters == "?T") {
        // The code travels as the character itself in both forms.
        QByteArray out("T:");
        if (m_hasLastKey)
            out += static_cast<char>(m_lastKey);
        if (decimalForm())
            out += ';';
        m_hasLastKey = false;
        emitRaw(out);
    } else if (letters == "K?M") {
        reply("M", {m_cfg.mode});
    } else if (letters == "K?E") {
        QByteArray map = pageMap();
        if (!decimalForm()) {
            for (char& c : map)
                c = static_cast<char>(c - '0');
            emitRaw("E:" + map);
        } else {
            emitRaw("E:" + map + ';');
        }
    } else if (letters == "L?A") {
        reply("A", {m_cfg.rows, m_cfg.cols});
    } else if (letters == "T?K") {
        const KeyboardConfig& k = m_cfg.keyboard;
        reply("K", {k.minPress, k.timeUntilRepeat, k.timeBetweenRepeat, k.flags, k.shiftKey});
    } else if (letters == "T?C") {
        if (v[0] >= 1 && v[0] <= kKeys) {
            QByteArray out("C:");
            out += static_cast<char>(m_cfg.codes[v[0] - 1]);
            if (decimalForm())
                out += ',';
            out += static_cast<char>(m_cfg.shiftCodes[v[0] - 1]);
            if (decimalForm())
                out += ';';
            emitRaw(out);
        }
    } else if (letters == "KM") {
        m_cfg.mode = v[0] & ~4;
    } else if (letters == "KS") {
        m_saved = m_cfg;
        confirmWrite(true);
    } else if (letters == "Kr") {
        reset();
    } else if (letters == "Ks") {
        int sum = 0;
        QByteArray digits;
        for (int i = 0; i < 6; ++i) {
            if (!in8(v[i]))
                return;
            sum += v[i];
            digits += static_cast<char>(v[i]);
        }
        if (sum % 256 == v[6])
            m_serialNumber = AnsiToString(digits);
    } else if (letters == "SG") {
        // Digits as text ("SG1") and raw values (SG + byte 1) both name the code.
        const int code = isDigit(static_cast<uchar>(v[0])) ? v[0] - '0' : v[0];
        // Firmware 2.3 and later keep the new speed for the next reset; older ones switch
        // at once.
        if (!hasFeature("2.3"))
            setSpeedCode(code);
        else if (baudForCode(code) > 0)
            m_pendingSpeedCode = code;
    } else if (letters == "LA") {
        if (v[0] >= 1 && v[0] <= VxDisplay::kMaxRows && v[1] >= 1 && v[1] <= VxDisplay::kMaxCols) {
            m_cfg.rows = v[0];
            m_cfg.cols = v[1];
            m_display.setSize(v[0], v[1]);
        }
    } else if (letters == "LB") {
        if (in8(v[0]))
            setPort0(v[0] ? (m_cfg.port0 | kBacklightBit) : (m_cfg.port0 & ~kBacklightBit));
    } else if (letters == "LK") {
        setPort0((m_cfg.port0 & ~0x0F) | std::min(v[0], 15));
    } else if (letters == "LC") {
        if (v[0] >= 1 && v[1] >= 1) {
            m_display.setCursor(v[0] - 1, v[1] - 1);
            if (v.size() == 3)
                m_display.setCursorMode(v[2]);
        }
    } else if (letters == "LL") {
        m_display.clear();
    } else if (letters == "LZ") {
        if (v[0] < VxDisplay::kSlots) {
            std::array<uchar, 8> rows{};
            for (int r = 0; r < 8; ++r)
                rows[r] = static_cast<uchar>(v[2 + r] & 0x1F);
            m_display.setUserChar(v[0], rows, static_cast<uchar>(std::min(v[1], 255)));
        }
    } else if (letters == "P") {
        if (v[0] < kPorts) {
            const int value = std::min(v[1], 255);
            if (v[0] == 0)
                setPort0(value);
            else
                m_latch[v[0]] = value;
        }
    } else if (letters == "E") {
        const bool ok = in8(v[0]) && in8(v[1]) && in8(v[2]);
        if (ok) {
            const int address = effectiveAddress(v[0] * 256 + v[1]);
            m_eeprom[address] = static_cast<char>(v[2]);
            m_writeAddress = address;
        }
        confirmWrite(ok);
    } else if (letters == "e") {
        int sum = 0;
        for (int i = 0; i < 8; ++i)
            sum += v[i];
        const bool ok = (sum % 256) == v[8] && m_fault != Fault::WrongChecksum;
        if (ok && !nakByFault()) {
            for (int i = 0; i < 8; ++i)
                m_eeprom[effectiveAddress(m_writeAddress + i)] = static_cast<char>(v[i]);
            m_writeAddress = effectiveAddress(m_writeAddress + 8);
            emitRaw("0");
        } else {
            emitRaw(QByteArray(1, static_cast<char>(kNak)));
        }
    } else if (letters == "FP") {
        if (v[0] < kPorts)
            m_cfg.festtextPort = v[0];
    } else if (letters == "FZ") {
        if (v[0] <= 127)
            showFesttext(v[0], p.depth);
    } else if (letters == "TK") {
        if (in8(v[0]) && in8(v[1]) && in8(v[2]) && in8(v[3]) && v[4] <= kKeys)
            m_cfg.keyboard = KeyboardConfig{v[0], v[1], v[2], v[3] & 63, v[4]};
    } else if (letters == "TC") {
        if (v[0] >= 1 && v[0] <= kKeys && in8(v[1]) && in8(v[2]))
            setKeyCodes(v[0], static_cast<uchar>(v[1]), static_cast<uchar>(v[2]));
    }
}

void VxTerminal::putText(uchar b)
{
    if (b == '\r' || b == '\n')
        m_display.newLine(b);
    else if (b < VxDisplay::kSlots || b >= 32)
        m_display.putChar(b);
}

void VxTerminal::showFesttext(int n, int depth)
{
    if (depth >= 3 || n < 0 || n > 127)
        return;
    // Texts that show texts share one budget, so a text showing itself ends quickly.
    if (depth == 0)
        m_fixedTextBudget = 4096;
    const int start = eepromCell(0x100 + 2 * n) * 256 + eepromCell(0x101 + 2 * n);
    Parser sub;
    sub.depth = depth + 1;
    for (int i = 0; i < 1024 && m_fixedTextBudget > 0; ++i, --m_fixedTextBudget) {
        const uchar b = eepromCell(start + i);
        if (b == 0 || b == 255)
            break;
        feed(b, sub);
    }
}

void VxTerminal::applyUserCharsFromEeprom()
{
    for (int s = 0; s < VxDisplay::kSlots; ++s) {
        std::array<uchar, 8> rows{};
        for (int r = 0; r < 8; ++r)
            rows[r] = eepromCell(s * 8 + r);
        m_display.setUserChar(s, rows, eepromCell(64 + s));
    }
}

void VxTerminal::reset()
{
    if (m_pendingSpeedCode >= 0) {
        const int code = m_pendingSpeedCode;
        m_pendingSpeedCode = -1;
        setSpeedCode(code);
    }
    m_cfg = m_saved;
    m_display.setSize(m_cfg.rows, m_cfg.cols);
    m_cfg.rows = m_display.rows();
    m_cfg.cols = m_display.cols();
    applyUserCharsFromEeprom();
    m_latch.fill(0);
    m_parser = Parser{};
    m_boot.abort();
    m_idle.stop();
    m_repeat.stop();
    m_shiftHeld = false;
    m_pressed.fill(false);
    m_hasLastKey = false;
    m_writeAddress = 0;
    m_sinceReset.restart();
    if ((m_cfg.mode & 32) && !m_showingSwitchOnText) {
        m_showingSwitchOnText = true;
        showFesttext(0, 0);
        m_showingSwitchOnText = false;
    }
    emit changed();
}

bool VxTerminal::contactWindowOpen() const
{
    return m_sinceReset.isValid() && m_sinceReset.elapsed() < m_options.contactWindowMs;
}

// ---------------------------------------------------------------- bootloader

void VxTerminal::feedBoot(uchar b)
{
    QByteArray answer = m_boot.feed(b, m_fault == Fault::WrongChecksum);
    // A block that arrived well but is not stored (fault injection): 231, then 232.
    if (answer.size() == 2 && static_cast<uchar>(answer.at(0)) == VxBootloader::kReceived &&
        nakByFault())
        answer[1] = static_cast<char>(VxBootloader::kChecksumWrong);
    emitRaw(answer);
    if (!m_boot.active()) {
        // End of the session: the firmware starts again.
        m_display.clear();
        m_sinceReset.restart();
    }
}

// ---------------------------------------------------------------- ports, analog, EEPROM

void VxTerminal::setPort0(int value)
{
    m_cfg.port0 = value & 0xFF;
}

int VxTerminal::portOutput(int port) const
{
    if (port == 0)
        return m_cfg.port0;
    if (port < 0 || port >= kPorts)
        return 0;
    return m_latch[port];
}

int VxTerminal::portValue(int port) const
{
    if (port < 0 || port >= kPorts)
        return 0;
    if (port == 0) {
        int v = m_cfg.port0 & 0x7F;
        if (m_testPlugs)
            v |= 0x80;
        if (m_input[0] >= 0)
            v = (v & 0x7F) | (m_input[0] & 0x80);
        else if (m_testPlugs)
            v &= ~m_brokenWires[0];
        return v;
    }
    if (m_input[port] >= 0)
        return m_input[port];
    if (port == 1 && m_testPlugs) {
        const int o = m_latch[1];
        return (((o & 0x55) << 1) | ((o & 0xAA) >> 1)) & ~m_brokenWires[1];
    }
    return m_latch[port];
}

void VxTerminal::setPortInput(int port, int value)
{
    if (port < 0 || port >= kPorts)
        return;
    m_input[port] = value < 0 ? -1 : std::min(value, 255);
    festtextModeCheck(port);
    emit changed();
}

void VxTerminal::festtextModeCheck(int port)
{
    if ((m_cfg.mode & 64) && port == m_cfg.festtextPort && m_input[port] >= 0) {
        m_display.clear();
        showFesttext(m_input[port] & 127, 0);
    }
}

int VxTerminal::analogValue() const
{
    if (m_testPlugs && m_plugLevels.size() == 4)
        return m_plugLevels.at(m_cfg.port0 & 3);
    if (m_testPlugs)
        return std::min(1023, (m_cfg.port0 & 3) * m_analogStep);
    return m_analog;
}

void VxTerminal::setAnalog(int value)
{
    m_analog = std::clamp(value, 0, 1023);
    emit changed();
}

void VxTerminal::setTestPlugs(bool on, int analogStep)
{
    m_testPlugs = on;
    m_analogStep = std::clamp(analogStep, 1, 1023);
    if (on) {
        for (int k = 0; k < 8; ++k) {
            m_cfg.codes[k] = static_cast<uchar>('a' + k);
            m_saved.codes[k] = m_cfg.codes[k];
        }
    }
    emit changed();
}

void VxTerminal::breakPlugWire(int port, int bit)
{
    if (port < 0 || port >= kPorts || bit < 0 || bit > 7)
        return;
    m_brokenWires[port] |= 1 << bit;
    emit changed();
}

void VxTerminal::mendPlugs()
{
    m_brokenWires.fill(0);
    m_plugLevels.clear();
    emit changed();
}

void VxTerminal::setPlugAnalogLevels(const QList<int>& levels)
{
    m_plugLevels.clear();
    if (levels.size() == 4) {
        for (int v : levels)
            m_plugLevels.append(std::clamp(v, 0, 1023));
    }
    emit changed();
}

int VxTerminal::effectiveAddress(int address) const
{
    // Like a serial EEPROM, the chip ignores address bits above its size.
    const int size = m_eeprom.size();
    return ((address % size) + size) % size;
}

uchar VxTerminal::eepromCell(int address) const
{
    return static_cast<uchar>(m_eeprom.at(effectiveAddress(address)));
}

void VxTerminal::setEepromCell(int address, uchar value)
{
    m_eeprom[effectiveAddress(address)] = static_cast<char>(value);
}

QByteArray VxTerminal::pageMap() const
{
    return QByteArray(m_eeprom.size() / 256, '1') + '0';
}

// ---------------------------------------------------------------- keyboard

uchar VxTerminal::keyCode(int key) const
{
    return (key >= 1 && key <= kKeys) ? m_cfg.codes[key - 1] : 0;
}

uchar VxTerminal::shiftCode(int key) const
{
    return (key >= 1 && key <= kKeys) ? m_cfg.shiftCodes[key - 1] : 0;
}

void VxTerminal::setKeyCodes(int key, uchar code, uchar shift)
{
    if (key < 1 || key > kKeys)
        return;
    m_cfg.codes[key - 1] = code;
    m_cfg.shiftCodes[key - 1] = shift;
}

bool VxTerminal::keyPressed(int key) const
{
    return key >= 1 && key <= kKeys && m_pressed[key - 1];
}

bool VxTerminal::keyLed(int key) const
{
    if (key < 1 || key > kKeys)
        return false;
    if (key <= 8 && (m_latch[1] & (1 << (key - 1))))
        return true;
    return m_pressed[key - 1] && (m_cfg.keyboard.flags & 16);
}

void VxTerminal::sendKeyCode(uchar code)
{
    if (code == 0)
        return;
    if (m_cfg.keyboard.flags & 32)
        emit beep();
    if (code >= 128) { // "#n": the key shows fixed text n
        m_display.clear();
        showFesttext(code - 128, 0);
        emit changed();
        return;
    }
    m_lastKey = code;
    m_hasLastKey = true;
    if (!(m_cfg.keyboard.flags & 1) && !m_linkDead)
        emitRaw(QByteArray(1, static_cast<char>(code)));
}

bool VxTerminal::hasFeature(const char* sinceVersion) const
{
    // Versions compare as text, as the program compares them.
    return m_options.firmware >= QLatin1String(sinceVersion);
}

uchar VxTerminal::codeFor(int key) const
{
    // Firmware before 2.5 (compared as text, as the program does) gives matrix keys no
    // shift codes.
    const bool matrixWithoutShift = (m_cfg.keyboard.flags & 8) && !hasFeature("2.5");
    const bool shifted = m_shiftHeld && !matrixWithoutShift;
    return shifted ? m_cfg.shiftCodes[key - 1] : m_cfg.codes[key - 1];
}

void VxTerminal::pressKey(int key)
{
    if (key < 1 || key > kKeys || m_pressed[key - 1])
        return;
    m_pressed[key - 1] = true;
    if ((m_cfg.mode & 8) && !m_boot.active()) {
        if (key == m_cfg.keyboard.shiftKey) {
            m_shiftHeld = true;
        } else {
            sendKeyCode(codeFor(key));
            if (m_cfg.keyboard.flags & 2) {
                m_repeatKey = key;
                m_repeat.start(std::max(1, m_cfg.keyboard.timeUntilRepeat) * 10);
            }
        }
    }
    emit changed();
}

void VxTerminal::releaseKey(int key)
{
    if (key < 1 || key > kKeys || !m_pressed[key - 1])
        return;
    m_pressed[key - 1] = false;
    if (key == m_repeatKey)
        m_repeat.stop();
    if (key == m_cfg.keyboard.shiftKey) {
        m_shiftHeld = false;
    } else if ((m_cfg.mode & 8) && (m_cfg.keyboard.flags & 4) && !m_boot.active()) {
        sendKeyCode(codeFor(key));
    }
    emit changed();
}

// ---------------------------------------------------------------- control

void VxTerminal::setFault(Fault fault, int n)
{
    m_fault = fault;
    m_faultN = n;
    m_writeCount = 0;
    m_linkDead = false;
    m_bytesUntilDrop = fault == Fault::DropAfter || fault == Fault::MuteAfter ? std::max(1, n) : -1;
}

QString VxTerminal::displayLine(int row) const
{
    const QByteArray codes = m_display.rowCodes(row);
    QString line;
    for (char c : codes) {
        const auto b = static_cast<uchar>(c);
        const int slot = m_display.slotForCode(b);
        if (slot >= 0)
            line += QStringLiteral("<%1>").arg(slot, 3, 10, QLatin1Char('0'));
        else
            line += AnsiChar(b);
    }
    return line;
}

QStringList VxTerminal::displayLines() const
{
    QStringList lines;
    for (int r = 0; r < m_display.rows(); ++r)
        lines << displayLine(r);
    return lines;
}

} // namespace vemro
