#pragma once

#include "link/ComPort.h"
#include "link/MemoryTransport.h"
#include "link/clsVX.h"
#include "platform/ScriptedUserInterface.h"
#include "platform/UserInterface.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>

namespace vemro::test {

// A stand-in terminal in memory: records every chunk the PC writes and answers it through
// `respond` (an empty answer means silence).
class FakeTerminal : public QObject
{
    Q_OBJECT
public:
    std::function<QByteArray(const QByteArray&)> respond;
    QList<QByteArray> received;

    [[nodiscard]] QByteArray all() const
    {
        QByteArray a;
        for (const QByteArray& r : received)
            a += r;
        return a;
    }

public slots:
    void onBytes(const QByteArray& bytes)
    {
        received.append(bytes);
        if (respond) {
            const QByteArray answer = respond(bytes);
            if (!answer.isEmpty())
                emit transmit(answer);
        }
    }

signals:
    void transmit(const QByteArray& bytes);
};

// clsVX on a ComPort whose channel is an in-memory transport to `far`.
struct MemoryLink
{
    ComPort port;
    clsVX vx;
    MemoryTransport far;
    MemoryTransport* near = nullptr; // owned by the port while it is open
    ScriptedUserInterface ui;

    // Connects the far end to a terminal object with receive(QByteArray)/transmit(QByteArray).
    template <typename Terminal, typename ReceiveSlot, typename TransmitSignal>
    void attach(Terminal* terminal, ReceiveSlot receive, TransmitSignal transmit)
    {
        QObject::connect(&far, &Transport::bytesArrived, terminal, receive);
        QObject::connect(terminal, transmit, &far, [this](const QByteArray& b) { far.write(b); });
    }

    MemoryLink()
    {
        setUi(&ui);
        port.setOpener([this](int, const SerialSettings&, SerialOpenError& error, QString&) {
            auto channel = std::make_unique<MemoryTransport>();
            far.open();
            QObject::disconnect(&far, &MemoryTransport::written, nullptr, nullptr);
            MemoryTransport::pair(*channel, far);
            error = SerialOpenError::None;
            near = channel.get();
            return channel;
        });
        port.open();
        vx.setCtlcom(&port);
    }
    ~MemoryLink() { setUi(nullptr); }
};

} // namespace vemro::test
