#pragma once

#include "link/Transport.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <memory>

namespace vemro::test {

// The master side of a pseudo-terminal as a transport: what stands at the far end of a
// serial port in the tests. close() makes the slave side see the device vanish.
class PtyPeer : public Transport
{
    Q_OBJECT
public:
    PtyPeer()
    {
        int slave = -1;
        if (::openpty(&m_master, &slave, nullptr, nullptr, nullptr) != 0)
            return;
        m_slavePath = QString::fromLocal8Bit(::ttyname(slave));
        termios t{};
        ::tcgetattr(slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
        ::close(slave);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
            char buf[4096];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0)
                emit bytesArrived(QByteArray(buf, static_cast<int>(n)));
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                m_notifier->setEnabled(false); // no slave open yet (EIO): wait quietly
        });
    }
    ~PtyPeer() override { close(); }

    [[nodiscard]] QString slavePath() const { return m_slavePath; }
    // Read again after the slave side was (re)opened.
    void rearm()
    {
        if (m_notifier)
            m_notifier->setEnabled(true);
    }
    [[nodiscard]] bool isOpen() const override { return m_master >= 0; }
    void close() override
    {
        m_notifier.reset();
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    bool write(const QByteArray& bytes) override
    {
        if (m_master < 0)
            return false;
        return ::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size())) ==
               bytes.size();
    }

private:
    int m_master = -1;
    QString m_slavePath;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace vemro::test
