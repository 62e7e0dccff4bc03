// The buttons "Firmwareupdate" and "verify" as a user presses them, against the terminal
// model in memory: checks, file choice, status texts, once at a time, closing the window.
#include "HexText.h"

#include "../link/LinkFixture.h"
#include "editors/FirmwareTools.h"
#include "firmware/clsBootloader.h"
#include "sim/VxTerminal.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vemro;
using namespace vemro::test;

class tst_FirmwarePage : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_file;
    std::unique_ptr<MemoryLink> m_link;
    std::unique_ptr<VxTerminal> m_term;
    std::unique_ptr<QWidget> m_window;
    FirmwareTools* m_tools = nullptr;
    NullProgress m_progress;
    QStringList m_status;
    QList<bool> m_locks;
    QByteArray m_sent;

    void start(const QString& firmware)
    {
        VxTerminal::Options options;
        options.firmware = firmware;
        m_term = std::make_unique<VxTerminal>(options);
        m_link = std::make_unique<MemoryLink>();
        m_link->attach(m_term.get(), &VxTerminal::receive, &VxTerminal::transmit);
        connect(&m_link->far, &Transport::bytesArrived, this,
                [this](const QByteArray& b) { m_sent += b; });
        m_link->vx.setCtlFortschritt(&m_progress);
        m_link->port.setSettings(QStringLiteral("19200,n,8,1"));
        m_window = std::make_unique<QWidget>();
        m_tools = new FirmwareTools(m_link->vx, m_window.get());
        m_tools->setStatusText([this](const QString& t) {
            if (m_status.isEmpty() || m_status.last() != t)
                m_status << t;
        });
        m_tools->setWindowLock([this](bool locked) { m_locks << locked; });
        m_window->show();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_file = m_dir.filePath(QStringLiteral("fw.hex"));
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(hexFile(testImage(256)));
    }
    void cleanup()
    {
        m_tools = nullptr;
        m_window.reset();
        m_link.reset();
        m_term.reset();
        m_status.clear();
        m_locks.clear();
        m_sent.clear();
    }

    void updateThenVerify()
    {
        start(QStringLiteral("2.7"));
        m_link->ui.queueFileName(m_file);
        m_link->ui.queueAnswer(UserInterface::Answer::Ok);
        QTest::mouseClick(m_tools->cmdFirmwareupdate(), Qt::LeftButton);
        QCOMPARE(m_link->ui.texts(),
                 (QStringList{clsBootloader::kResetConfirm, clsBootloader::kUpdateDone}));
        QCOMPARE(m_link->ui.shown().at(0).kind, QStringLiteral("open"));
        QCOMPARE(m_term->programMemory().left(256), testImage(256));
        QCOMPARE(m_status.mid(0, 2), (QStringList{QStringLiteral("Laden der Updatedatei...."),
                                                  QStringLiteral("Programiervorgang....")}));
        QVERIFY(m_status.at(2).startsWith(QStringLiteral("Programiervorgang.... noch ")));
        QCOMPARE(m_status.last(), QString());
        QVERIFY(m_tools->cmdFirmwareupdate()->isEnabled());
        QVERIFY(!m_link->ui.busy());

        m_link->ui.clear();
        m_status.clear();
        m_link->ui.queueFileName(m_file);
        QTest::mouseClick(m_tools->cmdFirmwareVerify(), Qt::LeftButton);
        QCOMPARE(m_link->ui.texts(), QStringList{clsBootloader::kVerifyDone});
        QCOMPARE(m_status.first(), QStringLiteral("Laden der Updatedatei...."));
        QCOMPARE(m_status.at(1), QStringLiteral("Verify...."));
        QVERIFY(m_tools->cmdFirmwareVerify()->isEnabled());
    }

    void refused_data()
    {
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("message");
        QTest::newRow("version 2.10")
            << "2.10"
            << "19200,n,8,1"
            << QStringLiteral("Aktualisierung erst ab Version 2.2 möglich. (aktuelle : 2.10)");
        QTest::newRow("9600 baud") << "2.7"
                                   << "9600,n,8,1" << clsBootloader::kWrongSpeed;
    }
    // Refused before the file is asked for; nothing reaches the bootloader.
    void refused()
    {
        QFETCH(QString, firmware);
        QFETCH(QString, settings);
        QFETCH(QString, message);
        start(firmware);
        QVERIFY(m_link->port.setSettings(settings));
        m_link->ui.queueFileName(m_file);
        m_tools->cmdFirmwareupdate()->click();
        QCOMPARE(m_link->ui.texts(), QStringList{message});
        QCOMPARE(m_link->ui.shown().size(), 1);
        QVERIFY(!m_sent.contains('\xEA'));
        QVERIFY(m_tools->cmdFirmwareupdate()->isEnabled());
    }

    void fileChoice_data()
    {
        QTest::addColumn<bool>("update");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("cancelled") << false << QString() << QStringList();
        QTest::newRow("missing") << false << QStringLiteral("/nonexistent/fw.hex")
                                 << QStringList{clsBootloader::kFileMissing};
        QTest::newRow("reset declined")
            << true << QStringLiteral("fw.hex") << QStringList{clsBootloader::kResetConfirm};
    }
    // Nothing reaches the bootloader; the question before the reset defaults to Cancel.
    void fileChoice()
    {
        QFETCH(bool, update);
        QFETCH(QString, file);
        QFETCH(QStringList, messages);
        start(QStringLiteral("2.7"));
        m_link->ui.queueFileName(file == QLatin1String("fw.hex") ? m_file : file);
        (update ? m_tools->cmdFirmwareupdate() : m_tools->cmdFirmwareVerify())->click();
        QCOMPARE(m_link->ui.texts(), messages);
        QVERIFY(!m_sent.contains('\xEA'));
        if (update) {
            QVERIFY(m_link->ui.preselections().last() == UserInterface::Answer::Cancel);
            QCOMPARE(m_status.last(), QString());
            QVERIFY(m_tools->cmdFirmwareupdate()->isEnabled());
        } else {
            QVERIFY(m_locks.isEmpty());
        }
    }

    // While a session runs both buttons are off and the window is locked; closing the window
    // ends the session with 237 first, then the window closes.
    void closeDuringUpdate()
    {
        start(QStringLiteral("2.7"));
        bool bothOff = false;
        bool closedAtOnce = true;
        connect(clsBootloader::Bootloader(m_link->vx), &clsBootloader::blockDone, this,
                [&](int n, int, qint64) {
                    if (n != 3)
                        return;
                    bothOff = !m_tools->cmdFirmwareupdate()->isEnabled() &&
                              !m_tools->cmdFirmwareVerify()->isEnabled();
                    closedAtOnce = m_window->close();
                });
        m_link->ui.queueFileName(m_file);
        m_link->ui.queueAnswer(UserInterface::Answer::Ok);
        m_tools->cmdFirmwareupdate()->click();
        QVERIFY(bothOff);
        QVERIFY(!closedAtOnce);
        QCOMPARE(m_link->ui.texts(), QStringList{clsBootloader::kResetConfirm});
        QVERIFY(m_sent.endsWith('\xED'));
        QCOMPARE(m_sent.count('\xE3'), 3);
        QVERIFY(!m_term->bootloaderActive());
        QCOMPARE(m_locks, (QList<bool>{true, false, true, false}));
        QTRY_VERIFY(!m_window->isVisible());
    }
};

QTEST_MAIN(tst_FirmwarePage)
#include "tst_firmware_page.moc"
