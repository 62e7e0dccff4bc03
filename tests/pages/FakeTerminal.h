#pragma once

#include "link/ComPort.h"
#include "link/MemoryTransport.h"

#include <QByteArray>
#include <QList>

#include <memory>

// A terminal on the far end of the PC's serial port, just enough of its command set for
// the interface and configuration pages: mode flags, display size, backlight, contrast,
// port 0, version, speed, reset, fixed-text port and saving the configuration.
class FakeTerminal : public QObject
{
    Q_OBJECT
public:
    int flags = 1 + 2 + 8; // decimal, serial answers, keyboard
    int rows = 4;
    int cols = 20;
    int backlight = 1;
    int contrast = 8;
    int festtextPort = 0;
    int speedCode = -1;
    int resets = 0;
    int saves = 0;
    QByteArray saveAnswer = QByteArray(1, '\x06'); // ACK; NAK or nothing for a refusing terminal
    QByteArray version = "2.30";
    QByteArray serNr = "004711";
    QList<QByteArray> commands; // every command received, without ESC
    QList<QByteArray> mute;     // commands starting with one of these get no answer
    int opens = 0;

    // Makes `port` open a channel to this terminal.
    void attach(vemro::ComPort& port)
    {
        port.setOpener(
            [this](int, const vemro::SerialSettings&, vemro::SerialOpenError&, QString&) {
                ++opens;
                auto pc = std::make_unique<vemro::MemoryTransport>();
                m_far = std::make_unique<vemro::MemoryTransport>();
                vemro::MemoryTransport::pair(*pc, *m_far);
                connect(m_far.get(), &vemro::Transport::bytesArrived, this, &FakeTerminal::onBytes);
                m_buffer.clear();
                return std::unique_ptr<vemro::Transport>(std::move(pc));
            });
    }

    [[nodiscard]] int portValue() const { return (contrast & 15) | (backlight > 0 ? 16 : 0); }

private:
    void reply(const QByteArray& text)
    {
        if (m_far)
            m_far->write(text);
    }

    // Length of the complete command at the start of `b` (after ESC), or 0.
    static int commandLength(const QByteArray& b)
    {
        for (const char* fixed : {"K?M", "L?A", "?V", "Kr", "KS", "LL"}) {
            if (b.startsWith(fixed))
                return static_cast<int>(qstrlen(fixed));
        }
        if (b.startsWith("KM") || b.startsWith("LK") || b.startsWith("SG"))
            return b.size() >= 3 ? 3 : 0;
        const int end = b.indexOf(';');
        return end < 0 ? 0 : end + 1;
    }

    void onBytes(const QByteArray& bytes)
    {
        m_buffer += bytes;
        for (;;) {
            const int esc = m_buffer.indexOf('\x1b');
            if (esc < 0) {
                m_buffer.clear();
                return;
            }
            m_buffer.remove(0, esc);
            const QByteArray body = m_buffer.mid(1);
            const int n = commandLength(body);
            if (n == 0)
                return;
            handle(body.left(n));
            m_buffer.remove(0, n + 1);
        }
    }

    static int number(const QByteArray& c, int from)
    {
        return c.mid(from, c.size() - from - (c.endsWith(';') ? 1 : 0)).toInt();
    }

    void handle(const QByteArray& c)
    {
        commands << c;
        for (const QByteArray& m : mute) {
            if (c.startsWith(m))
                return;
        }
        if (c == "K?M")
            reply("M:" + QByteArray::number(flags) + ";");
        else if (c.startsWith("KM"))
            flags = static_cast<quint8>(c.at(2));
        else if (c == "L?A")
            reply("A:" + QByteArray::number(rows) + "," + QByteArray::number(cols) + ";");
        else if (c.startsWith("LA")) {
            const QList<QByteArray> p = c.mid(2, c.size() - 3).split(',');
            if (p.size() == 2) {
                rows = p.at(0).toInt();
                cols = p.at(1).toInt();
            }
        } else if (c.startsWith("LB"))
            backlight = number(c, 2);
        else if (c.startsWith("LK"))
            contrast = static_cast<quint8>(c.at(2));
        else if (c.startsWith("?P"))
            reply("P:" + QByteArray::number(number(c, 2) == 0 ? portValue() : 0) + ";");
        else if (c == "?V")
            reply("V:" + version + "," + serNr + ";");
        else if (c.startsWith("SG"))
            speedCode = c.at(2) - '0';
        else if (c == "Kr")
            ++resets;
        else if (c == "KS") {
            ++saves;
            if (!saveAnswer.isEmpty())
                reply(saveAnswer);
        } else if (c.startsWith("FP"))
            festtextPort = number(c, 2);
    }

    std::unique_ptr<vemro::MemoryTransport> m_far;
    QByteArray m_buffer;
};
