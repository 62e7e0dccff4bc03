#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>

#include <array>
#include <utility>

namespace vemro {

class clsVX;

// The small live demonstrations of page "Demos/Beispiele" on the connected terminal:
// option 0 the analog input as a bar on port 0, 1 a bar of `slider` outputs over ports 0
// and 1, 2 an animated user-defined character, 3 the analog input as a bar on the display.
// The page owns the buttons and the 100 ms timer; each tick calls tick().
class DisplayDemo
{
public:
    using Frame = std::array<int, 8>;
    static constexpr int kBarChar = 228; // "ä": the code that shows slot 0
    static constexpr int kPauseMs = 70;
    static constexpr int kClearPauseMs = 50;
    static constexpr int kBarWidth = 11;

    static const std::array<Frame, 5> kStartFrames;
    static const std::array<Frame, 5> kLoopFrames;
    static const Frame kBarGlyph;

    explicit DisplayDemo(clsVX* vx);

    // What "Demo starten" sends before the timer runs (options 2 and 3 prepare the display).
    void start(int option);
    // One step of the selected demo. A tick that comes while the previous one still
    // pauses is skipped.
    void tick(int option, int sliderValue);
    [[nodiscard]] bool running() const { return m_inTick; }

    // Port 0 for option 0: one lit output per 30 counts, at most 255.
    [[nodiscard]] static int analogBarPort(int analog);
    // Ports 0 and 1 for option 1.
    [[nodiscard]] static std::pair<int, int> sliderPorts(int slider);
    // The texts option 3 sends after the cursor command, one Send each.
    [[nodiscard]] static QList<QByteArray> displayBarTexts(int analog);
    // ESC "LZ0,228," rows ";": slot 0 with the frame, shown by "ä".
    [[nodiscard]] static QByteArray loadCommand(const Frame& frame);

private:
    void send(const QByteArray& text);
    void pause(int ms);

    QPointer<clsVX> m_vx;
    bool m_inTick = false;
};

} // namespace vemro
