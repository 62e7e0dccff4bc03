#include "sim/VxPtyTransport.h"

#include "sim/VxTerminal.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <ctime>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/timerfd.h>
#include <termios.h>
#include <unistd.h>

namespace vemro {

namespace {

int baudOf(speed_t s)
{
    switch (s) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}

qint64 monotonicNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

} // namespace

VxPtyTransport::VxPtyTransport(VxTerminal* terminal, QObject* parent)
    : QObject(parent), m_terminal(terminal)
{
    m_timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_timer >= 0) {
        m_timerNotifier = new QSocketNotifier(m_timer, QSocketNotifier::Read);
        connect(m_timerNotifier, &QSocketNotifier::activated, this, [this] {
            quint64 expirations = 0;
            const ssize_t n = ::read(m_timer, &expirations, sizeof expirations);
            Q_UNUSED(n) // EAGAIN after a re-arm: the bytes due are handed on all the same
            if (m_armedAt > 0) {
                // How late this machine wakes a timer: the next one is set that much earlier.
                const qint64 late = std::clamp<qint64>(monotonicNs() - m_armedAt, 0, kMaxLeadNs);
                m_leadNs += (late - m_leadNs) / 8;
                m_armedAt = 0;
            }
            onTick();
        });
    }
}

VxPtyTransport::~VxPtyTransport()
{
    delete m_notifier;
    delete m_watchNotifier;
    delete m_timerNotifier;
    if (m_timer >= 0)
        ::close(m_timer);
    if (m_watch >= 0)
        ::close(m_watch);
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    if (!m_link.isEmpty() && QFileInfo(m_link).isSymLink())
        QFile::remove(m_link);
}

bool VxPtyTransport::open(QString* error)
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        if (error)
            *error = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    // Our own slave descriptor stays open, so the master never sees a hang-up (EIO) while
    // no PC has the port open; the line starts raw at the terminal's speed.
    termios tio{};
    if (::tcgetattr(m_slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        const speed_t s = m_terminal && m_terminal->baudRate() == 9600    ? B9600
                          : m_terminal && m_terminal->baudRate() == 38400 ? B38400
                                                                          : B19200;
        ::cfsetispeed(&tio, s);
        ::cfsetospeed(&tio, s);
        ::tcsetattr(m_slave, TCSANOW, &tio);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &VxPtyTransport::onReadable);

    m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 &&
        ::inotify_add_watch(m_watch, name, IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        ::close(m_watch);
        m_watch = -1;
    }
    if (m_watch >= 0) {
        m_watchNotifier = new QSocketNotifier(m_watch, QSocketNotifier::Read);
        connect(m_watchNotifier, &QSocketNotifier::activated, this, &VxPtyTransport::onWatch);
    }
    return true;
}

void VxPtyTransport::onWatch()
{
    alignas(inotify_event) char buf[4096];
    const ssize_t n = ::read(m_watch, buf, sizeof buf);
    for (ssize_t i = 0; i < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buf + i);
        if (e->mask & IN_OPEN)
            ++m_pcOpens;
        if ((e->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) && m_pcOpens > 0)
            --m_pcOpens;
        i += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
    }
    if (m_pcOpens == 0 && m_slave >= 0)
        ::tcflush(m_slave, TCIFLUSH); // nothing left over for the next PC
}

bool VxPtyTransport::createLink(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.exists()) {
        if (!info.isSymLink()) {
            if (error)
                *error = QStringLiteral("%1 existiert und ist kein Link").arg(path);
            return false;
        }
        QFile::remove(path);
    }
    if (!QFile::link(m_slavePath, path)) {
        if (error)
            *error = QStringLiteral("Link %1 -> %2 nicht möglich").arg(path, m_slavePath);
        return false;
    }
    m_link = path;
    return true;
}

int VxPtyTransport::pcBaudRate() const
{
    termios tio{};
    // On Linux the master reports the slave's settings, i.e. those the PC chose.
    if (m_master < 0 || ::tcgetattr(m_master, &tio) != 0)
        return 0;
    return baudOf(::cfgetospeed(&tio));
}

qint64 VxPtyTransport::byteNs() const
{
    const int baud = m_terminal ? m_terminal->baudRate() : 19200;
    return 10LL * 1000000000LL / std::max(baud, 1);
}

void VxPtyTransport::onReadable()
{
    char buf[4096];
    const ssize_t n = ::read(m_master, buf, sizeof buf);
    if (n <= 0) {
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        // EIO: no slave open any more. Look again a little later instead of spinning.
        m_notifier->setEnabled(false);
        QTimer::singleShot(200, this, [this] {
            if (m_notifier)
                m_notifier->setEnabled(true);
        });
        return;
    }
    const QByteArray bytes(buf, static_cast<int>(n));
    if (!m_wireTiming) {
        deliverIn(bytes);
        return;
    }
    // The bytes start on the line when the PC hands them over (or when the line is free)
    // and one leaves it every byte time. The terminal takes each at once, but an answer it
    // gives starts only after the byte that caused it has arrived (see send()): the timing
    // is that of the line, with one timer wake-up per answer instead of one per byte.
    const qint64 step = byteNs();
    const qint64 start = std::max(m_inFree, monotonicNs());
    m_inFree = start + step * bytes.size();
    const bool understood = this->understood();
    emit received(bytes, understood);
    if (!understood)
        return;
    for (int i = 0; i < bytes.size() && m_terminal; ++i) {
        m_inFree = start + step * (i + 1);
        m_terminal->receive(bytes.mid(i, 1));
    }
    m_inFree = start + step * bytes.size();
}

bool VxPtyTransport::understood() const
{
    return m_terminal && pcBaudRate() == m_terminal->baudRate();
}

void VxPtyTransport::deliverIn(const QByteArray& bytes)
{
    const bool understood = this->understood();
    emit received(bytes, understood);
    if (understood)
        m_terminal->receive(bytes);
}

void VxPtyTransport::send(const QByteArray& bytes)
{
    if (m_master < 0 || bytes.isEmpty())
        return;
    if (!m_wireTiming) {
        writeOut(bytes);
        return;
    }
    if (m_outQueue.isEmpty())
        m_outFree = std::max({m_outFree, m_inFree, monotonicNs()});
    m_outQueue += bytes;
    armTimer();
}

void VxPtyTransport::writeOut(const QByteArray& bytes)
{
    // A PC listening at another speed would read garbage, and without a PC nobody reads:
    // the terminal's bytes are lost either way.
    if (m_watch >= 0 && m_pcOpens == 0)
        onWatch(); // an open the event loop has not reported yet
    if (!m_terminal || !pcConnected() || pcBaudRate() != m_terminal->baudRate())
        return;
    emit sent(bytes);
    const ssize_t n = ::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size()));
    Q_UNUSED(n) // a full line buffer drops bytes, as a real line without handshake would
}

void VxPtyTransport::onTick()
{
    // A byte that finishes within the usual wake-up delay is due now: on average the bytes
    // then leave when their last bit would, instead of late by that delay.
    const qint64 now = monotonicNs() + m_leadNs;
    const qint64 step = byteNs();
    int count = 0;
    while (count < m_outQueue.size() && m_outFree + step <= now) {
        m_outFree += step;
        ++count;
    }
    if (count > 0) {
        const QByteArray out = m_outQueue.left(count);
        m_outQueue.remove(0, count);
        writeOut(out);
    }
    armTimer();
}

void VxPtyTransport::armTimer()
{
    const qint64 step = byteNs();
    const qint64 next = m_outQueue.isEmpty() ? LLONG_MAX : m_outFree + step;
    if (m_timer < 0) {
        // No timerfd: fall back to the event loop's millisecond timers.
        if (next != LLONG_MAX)
            QTimer::singleShot(std::max<qint64>(0, (next - monotonicNs() + 999999) / 1000000),
                               Qt::PreciseTimer, this, &VxPtyTransport::onTick);
        return;
    }
    itimerspec due{};
    m_armedAt = 0;
    if (next != LLONG_MAX) {
        const qint64 at = std::max<qint64>(next - m_leadNs, 1); // all zero would disarm it
        if (at > monotonicNs())
            m_armedAt = at; // a time already past says nothing about the wake-up delay
        due.it_value.tv_sec = static_cast<time_t>(at / 1000000000LL);
        due.it_value.tv_nsec = static_cast<long>(at % 1000000000LL);
    }
    ::timerfd_settime(m_timer, TFD_TIMER_ABSTIME, &due, nullptr);
}

} // namespace vemro
