#pragma once

#include "link/Transport.h"

namespace vemro {

// A transport inside the process: written bytes leave through written(), bytes from the far
// end come in through deliver(). Both directions are queued, as on a real channel, so
// nothing arrives inside the call that wrote it. Used by the tests and the simulator.
class MemoryTransport : public Transport
{
    Q_OBJECT
public:
    explicit MemoryTransport(QObject* parent = nullptr);

    [[nodiscard]] bool isOpen() const override { return m_open; }
    void close() override { m_open = false; }
    void open() { m_open = true; }
    bool write(const QByteArray& bytes) override;

    // Connects two memory transports back to back.
    static void pair(MemoryTransport& a, MemoryTransport& b);

public slots:
    // Bytes from the far end (ignored while closed).
    void deliver(const QByteArray& bytes);
    // Breaks the channel: closes it and reports the error.
    void fail(const QString& description);

signals:
    void written(const QByteArray& bytes);

private:
    bool m_open = true;
};

} // namespace vemro
