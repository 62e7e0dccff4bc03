#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class QPushButton;

namespace vemro {

class clsBootloader;
class clsVX;

// The buttons "Firmwareupdate" and "verify" of page "Konfiguration": the checks before an
// update, the file choice, the status texts and the bootloader session of the terminal's
// clsBootloader. Both buttons stay disabled while either runs; closing the window during a
// session ends it (closing byte included) before the window closes.
class FirmwareTools : public QWidget
{
    Q_OBJECT
public:
    static inline const QString kFileFilter = QStringLiteral("Update-Datei (*.hex)");

    explicit FirmwareTools(clsVX& terminal, QWidget* parent = nullptr);

    // Status bar panel 1 of the main window.
    void setStatusText(std::function<void(const QString&)> setText)
    {
        m_statusText = std::move(setText);
    }
    // Locks the rest of the window against other exchanges with the terminal while a
    // session runs (true = locked).
    void setWindowLock(std::function<void(bool)> lock) { m_lock = std::move(lock); }

    [[nodiscard]] QPushButton* cmdFirmwareupdate() const { return m_cmdUpdate; }
    [[nodiscard]] QPushButton* cmdFirmwareVerify() const { return m_cmdVerify; }
    [[nodiscard]] bool running() const { return m_running; }

    void cmdFirmwareupdate_Click();
    void cmdFirmwareVerify_Click();

signals:
    void sessionFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Steps 3 to 7 of both buttons: file, read, run, tidy up.
    void run(bool update);
    void status(const QString& text);
    void setBusy(bool busy);

    QPointer<clsVX> m_terminal;
    QPushButton* m_cmdUpdate;
    QPushButton* m_cmdVerify;
    std::function<void(const QString&)> m_statusText;
    std::function<void(bool)> m_lock;
    QPointer<QWidget> m_window;
    bool m_running = false;
    bool m_closeWhenDone = false;
};

} // namespace vemro
