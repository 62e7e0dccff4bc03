#include "editors/FirmwareTools.h"

#include "firmware/clsBootloader.h"
#include "link/ComPort.h"
#include "link/clsVX.h"
#include "platform/UserInterface.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace vemro {

FirmwareTools::FirmwareTools(clsVX& terminal, QWidget* parent)
    : QWidget(parent), m_terminal(&terminal)
{
    setObjectName(QStringLiteral("frFirmware"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_cmdUpdate = new QPushButton(QStringLiteral("Firmwareupdate"), this);
    m_cmdUpdate->setObjectName(QStringLiteral("cmdFirmwareupdate"));
    m_cmdVerify = new QPushButton(QStringLiteral("verify"), this);
    m_cmdVerify->setObjectName(QStringLiteral("cmdFirmwareVerify"));
    row->addWidget(new QLabel(QStringLiteral("Firmware :"), this));
    row->addWidget(m_cmdUpdate);
    row->addWidget(m_cmdVerify);
    row->addStretch(1);
    connect(m_cmdUpdate, &QPushButton::clicked, this, &FirmwareTools::cmdFirmwareupdate_Click);
    connect(m_cmdVerify, &QPushButton::clicked, this, &FirmwareTools::cmdFirmwareVerify_Click);
}

void FirmwareTools::status(const QString& text)
{
    if (m_statusText)
        m_statusText(text);
}

void FirmwareTools::setBusy(bool busy)
{
    m_running = busy;
    m_cmdUpdate->setEnabled(!busy);
    m_cmdVerify->setEnabled(!busy);
    if (m_lock)
        m_lock(busy);
}

void FirmwareTools::cmdFirmwareupdate_Click()
{
    if (m_running || !m_terminal)
        return;
    // The version query is an exchange of its own: nothing else may start meanwhile.
    setBusy(true);
    QPointer<FirmwareTools> self(this);
    const QString version = m_terminal->Version();
    if (!self)
        return;
    ComPort* port = m_terminal->ctlcom();
    const QString refusal =
        clsBootloader::UpdateRefusal(version, port ? port->Settings() : QString());
    setBusy(false);
    if (!refusal.isEmpty()) {
        ui().message(refusal, kProductName);
        return;
    }
    run(true);
}

void FirmwareTools::cmdFirmwareVerify_Click()
{
    if (m_running || !m_terminal)
        return;
    run(false);
}

void FirmwareTools::run(bool update)
{
    QPointer<FirmwareTools> self(this);
    const QString file =
        ui().openFileName(update ? QStringLiteral("Firmwareupdate") : QStringLiteral("verify"),
                          QString(), kFileFilter);
    if (!self || file.isEmpty())
        return;
    if (!QFileInfo(file).isFile()) {
        ui().message(clsBootloader::kFileMissing, kProductName);
        return;
    }
    if (!m_terminal || m_running)
        return;
    setBusy(true);
    clsBootloader* boot = clsBootloader::Bootloader(*m_terminal);
    boot->setCtlcom(m_terminal->ctlcom());
    boot->setCtlTimer(m_terminal->tmrTimeout());
    boot->setCtlFortschritt(m_terminal->ctlFortschritt());
    boot->setUpdatefile(file);
    // A window closing now waits for the session to end first.
    m_window = window();
    if (m_window)
        m_window->installEventFilter(this);

    const QString stage =
        update ? QStringLiteral("Programiervorgang....") : QStringLiteral("Verify....");
    status(QStringLiteral("Laden der Updatedatei...."));
    ui().setBusy(true);
    bool read = boot->openUpdatefile();
    if (read && self && update) {
        ui().setBusy(false);
        read = ui().ask(clsBootloader::kResetConfirm, UserInterface::Buttons::OkCancel,
                        kProductName, UserInterface::Answer::Cancel) == UserInterface::Answer::Ok;
    }
    if (read && self) {
        status(stage);
        if (update)
            ui().setBusy(false);
        const QMetaObject::Connection progress =
            connect(boot, &clsBootloader::blockDone, this,
                    [this, stage](int done, int total, qint64 msLeft) {
                        const QString left =
                            done < total ? clsBootloader::TimeLeftText(msLeft) : QString();
                        status(left.isEmpty() ? stage : stage + QStringLiteral(" ") + left);
                    });
        if (update)
            (void)boot->update();
        else
            (void)boot->verify();
        disconnect(progress);
    }
    if (!self)
        return;
    ui().setBusy(false);
    status(QString());
    if (m_window)
        m_window->removeEventFilter(this);
    setBusy(false);
    emit sessionFinished();
    if (m_closeWhenDone && m_window) {
        m_closeWhenDone = false;
        QTimer::singleShot(0, m_window.data(), &QWidget::close);
    }
}

bool FirmwareTools::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Close && m_running) {
        // End the session first (it still sends its closing byte); the window closes after.
        m_closeWhenDone = true;
        if (m_terminal)
            clsBootloader::Bootloader(*m_terminal)->requestAbort();
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vemro
