#include "config/DisplayDemo.h"

#include "link/clsVX.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"

namespace vemro {

namespace {

const QByteArray kUmlaut(1, static_cast<char>(DisplayDemo::kBarChar));

// Clears the flag on every way out of a tick.
class TickGuard
{
public:
    explicit TickGuard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~TickGuard() { m_flag = false; }
    TickGuard(const TickGuard&) = delete;
    TickGuard& operator=(const TickGuard&) = delete;

private:
    bool& m_flag;
};

} // namespace

const std::array<DisplayDemo::Frame, 5> DisplayDemo::kStartFrames = {{
    {0, 0, 0, 1, 0, 0, 0, 1},
    {0, 0, 1, 3, 1, 0, 0, 2},
    {0, 1, 3, 7, 3, 1, 0, 4},
    {1, 3, 7, 15, 7, 3, 1, 8},
    {2, 6, 14, 30, 14, 6, 2, 16},
}};

const std::array<DisplayDemo::Frame, 5> DisplayDemo::kLoopFrames = {{
    {4, 12, 28, 29, 28, 12, 4, 16},
    {8, 24, 25, 27, 25, 24, 8, 8},
    {16, 17, 19, 23, 19, 17, 16, 4},
    {1, 3, 7, 15, 7, 3, 1, 2},
    {2, 6, 14, 30, 14, 6, 2, 1},
}};

const DisplayDemo::Frame DisplayDemo::kBarGlyph = {0, 16, 31, 31, 31, 16, 0, 0};

DisplayDemo::DisplayDemo(clsVX* vx) : m_vx(vx) {}

int DisplayDemo::analogBarPort(int analog)
{
    const int lit = analog / 30; // towards zero: an unanswered query (-1) lights nothing
    if (lit <= 0)
        return 0;
    // The terminal's I/O ports are eight bits wide (values 0 to 255): from 240 counts on all
    // eight outputs are lit. 2^(a div 30) - 1 uncapped would reach 32767 at 479 counts and
    // overflow 16 bits above: the byte form cannot carry such values, and in the decimal form
    // they would only ask the port for outputs it does not have.
    return lit >= 8 ? 255 : (1 << lit) - 1;
}

std::pair<int, int> DisplayDemo::sliderPorts(int slider)
{
    const int s = qBound(0, slider, 16);
    const int v = (1 << s) - 1;
    if (v > 255)
        return {255, v / 256};
    return {v, 0};
}

QList<QByteArray> DisplayDemo::displayBarTexts(int analog)
{
    QList<QByteArray> texts;
    const int n = analog / 25;
    for (int i = 0; i < n; ++i)
        texts << kUmlaut;
    for (int i = qMax(n, 0); i < kBarWidth; ++i)
        texts << QByteArray(" ");
    texts << (analog >= 0 ? QByteArray(" ") : QByteArray()) + QByteArray::number(analog) + "   ";
    return texts;
}

QByteArray DisplayDemo::loadCommand(const Frame& frame)
{
    QByteArray c = globals().EscChar + "LZ0," + QByteArray::number(kBarChar);
    for (int r : frame)
        c += ',' + QByteArray::number(r);
    return c + ';';
}

void DisplayDemo::send(const QByteArray& text)
{
    if (!m_vx)
        return;
    globals().CommandBuffer = text;
    m_vx->Send(globals().CommandBuffer, false, true);
}

void DisplayDemo::pause(int ms)
{
    PauseMS(ms);
}

void DisplayDemo::start(int option)
{
    const QByteArray esc = globals().EscChar;
    if (option == 2) {
        send(esc + "LL");
        pause(kClearPauseMs);
        send(esc + "LC2,1,2;");
        send(QByteArrayLiteral("Wichtig "));
        send(loadCommand(kStartFrames[0]) + kUmlaut);
        pause(kPauseMs);
        send(QByteArrayLiteral(" "));
        for (size_t f = 1; f < kStartFrames.size(); ++f) {
            send(esc + "LC2,9;");
            pause(kPauseMs);
            send(loadCommand(kStartFrames[f]) + kUmlaut);
            if (f == 1 || f == 2)
                pause(kPauseMs);
        }
        send(esc + "LC2,9;");
        pause(kPauseMs);
    } else if (option == 3) {
        send(esc + "LL");
        send(QByteArrayLiteral("Wert :"));
        send(loadCommand(kBarGlyph));
    }
}

void DisplayDemo::tick(int option, int sliderValue)
{
    if (m_inTick || !m_vx)
        return;
    TickGuard guard(m_inTick);
    const QByteArray esc = globals().EscChar;
    switch (option) {
    case 0:
        m_vx->SetIOPort(0, analogBarPort(m_vx->Analog()));
        break;
    case 1: {
        const auto [port0, port1] = sliderPorts(sliderValue);
        m_vx->SetIOPort(0, port0);
        if (m_vx)
            m_vx->SetIOPort(1, port1);
        break;
    }
    case 2:
        for (size_t f = 0; f < kLoopFrames.size(); ++f) {
            send(loadCommand(kLoopFrames[f]) + kUmlaut);
            if (f + 1 < kLoopFrames.size())
                pause(kPauseMs);
            send(esc + "LC2,9;");
            pause(kPauseMs);
        }
        break;
    case 3: {
        const int m = m_vx->Analog();
        send(esc + "LC2,1;");
        for (const QByteArray& text : displayBarTexts(m))
            send(text);
        break;
    }
    default:
        break;
    }
}

} // namespace vemro
