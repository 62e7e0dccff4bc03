#include "link/MemoryTransport.h"

#include <QMetaObject>
#include <QPointer>

namespace vemro {

MemoryTransport::MemoryTransport(QObject* parent) : Transport(parent) {}

bool MemoryTransport::write(const QByteArray& bytes)
{
    if (!m_open)
        return false;
    QMetaObject::invokeMethod(
        this,
        [this, bytes] {
            emit written(bytes);
            emit bytesWritten();
        },
        Qt::QueuedConnection);
    return true;
}

void MemoryTransport::pair(MemoryTransport& a, MemoryTransport& b)
{
    connect(&a, &MemoryTransport::written, &b, &MemoryTransport::deliver);
    connect(&b, &MemoryTransport::written, &a, &MemoryTransport::deliver);
}

void MemoryTransport::deliver(const QByteArray& bytes)
{
    QMetaObject::invokeMethod(
        this,
        [this, bytes] {
            if (m_open && !bytes.isEmpty())
                emit bytesArrived(bytes);
        },
        Qt::QueuedConnection);
}

void MemoryTransport::fail(const QString& description)
{
    if (!m_open)
        return;
    m_open = false;
    emit errorOccurred(description);
}

} // namespace vemro
