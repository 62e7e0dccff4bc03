#include "firmware/clsBootloader.h"

#include "firmware/HexFileReader.h"
#include "link/ComPort.h"
#include "link/clsVX.h"
#include "platform/UserInterface.h"

#include <QFile>
#include <QFileInfo>

namespace vemro {

clsBootloader::clsBootloader(clsVX& terminal) : QObject(&terminal), m_terminal(&terminal) {}

clsBootloader::~clsBootloader() = default;

clsBootloader* clsBootloader::Bootloader(clsVX& terminal)
{
    auto* held = terminal.findChild<clsBootloader*>(QString(), Qt::FindDirectChildrenOnly);
    return held ? held : new clsBootloader(terminal);
}

ComPort* clsBootloader::ctlcom() const
{
    if (m_ctlcom)
        return m_ctlcom;
    return m_terminal ? m_terminal->ctlcom() : nullptr;
}

QTimer* clsBootloader::ctlTimer() const
{
    if (m_ctlTimer)
        return m_ctlTimer;
    return m_terminal ? m_terminal->tmrTimeout() : nullptr;
}

ProgressIndicator* clsBootloader::ctlFortschritt() const
{
    if (m_progress)
        return m_progress;
    if (m_terminal && m_terminal->ctlFortschritt())
        return m_terminal->ctlFortschritt();
    return const_cast<NullProgress*>(&m_noProgress);
}

bool clsBootloader::fail(const QString& message)
{
    m_errorText = message;
    ui().message(message, kProductName);
    return false;
}

bool clsBootloader::openUpdatefile()
{
    m_errorText.clear();
    m_image = UpdateImage{};
    // Whatever the terminal sent before belongs to no exchange of ours.
    if (ComPort* port = ctlcom(); port && port->isOpen())
        port->clearInBuffer();
    QFile file(m_updatefile);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Die Updatedatei lässt sich nicht öffnen: ") + m_updatefile +
                    QStringLiteral(" (") + file.errorString() + QLatin1Char(')'));
    // An update file has at most 1001 short lines; anything far beyond that is no update file.
    constexpr qint64 kMaxFileBytes = 1 << 20;
    const QByteArray content = file.read(kMaxFileBytes);
    HexReadResult read = HexFileReader::read(content);
    if (read.ok && !file.atEnd())
        read = HexReadResult{false, QStringLiteral("Die Updatedatei ist zu groß, Abbruch"), {}, 0};
    if (!read.ok)
        return fail(read.error);
    m_image = read.image;
    return true;
}

bool clsBootloader::loadUpdatefile(const QString& path)
{
    m_errorText.clear();
    m_image = UpdateImage{}; // a refused file leaves no image of an earlier one behind
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return fail(kFileMissing);
    setUpdatefile(path);
    return openUpdatefile();
}

int clsBootloader::CreateChecksummeLoader(const QByteArray& block, qint16 address)
{
    const auto word = static_cast<quint16>(address);
    int sum = static_cast<int>(block.size()) + (word & 0xFF) + (word >> 8);
    for (char c : block)
        sum += static_cast<uchar>(c);
    return sum % 256;
}

QString clsBootloader::UpdateRefusal(const QString& version, const QString& portSettings)
{
    // Versions compare as text, so "2.10" counts as below "2.2".
    if (version < kMinimumVersion)
        return QStringLiteral("Aktualisierung erst ab Version 2.2 möglich. (aktuelle : ") +
               version + QLatin1Char(')');
    if (!portSettings.contains(QLatin1String("19200")))
        return kWrongSpeed;
    return {};
}

QString clsBootloader::TimeLeftText(qint64 msLeft)
{
    if (msLeft < 0)
        return {};
    const qint64 s = (msLeft + 999) / 1000;
    if (s < 60)
        return QStringLiteral("noch %1 s").arg(s);
    return QStringLiteral("noch %1:%2 min").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace vemro
