// update and verify against the vxsim program: over its pseudo-terminal line and over its
// network module on loopback, with the failure paths injected through its control socket.
#include "HexText.h"
#include "VxsimProcess.h"

#include "firmware/clsBootloader.h"
#include "link/ComPort.h"
#include "link/clsVX.h"
#include "netmodule/clsNetModul.h"
#include "platform/LocalWait.h"
#include "platform/ScriptedUserInterface.h"

#include <QFileInfo>
#include <QHostAddress>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace vemro;
using namespace vemro::test;

namespace {

const QString kSimAddress = QStringLiteral("127.0.12.1");
const QString kPcAddress = QStringLiteral("127.0.12.2");

} // namespace

class tst_FirmwareVxsim : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    ScriptedUserInterface m_ui;
    std::unique_ptr<Sim> m_sim;
    std::unique_ptr<ComPort> m_port;
    std::unique_ptr<clsVX> m_vx;
    clsBootloader* m_boot = nullptr;
    QString m_file;

    QString writeFile(const QByteArray& image)
    {
        static int n = 0;
        const QString path = m_dir.filePath(QStringLiteral("fw%1.hex").arg(++n));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(hexFile(image));
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        setUi(&m_ui);
        const QString line = m_dir.filePath(QStringLiteral("vx"));
        m_sim = std::make_unique<Sim>(QStringList{QStringLiteral("--pty-link"), line},
                                      m_dir.filePath(QStringLiteral("ctl")));
        QVERIFY(m_sim->waitReady("Link"));
        m_port = std::make_unique<ComPort>();
        m_port->setDeviceOverride(1, line);
        m_port->setCommPort(1);
        QVERIFY(m_port->setSettings(QStringLiteral("19200,n,8,1")));
        QVERIFY(m_port->open());
        m_vx = std::make_unique<clsVX>();
        m_vx->setCtlcom(m_port.get());
        m_boot = clsBootloader::Bootloader(*m_vx);
        m_file = writeFile(testImage(8192));
    }
    void cleanupTestCase()
    {
        m_boot = nullptr;
        m_vx.reset();
        m_port.reset();
        m_sim.reset();
        setUi(nullptr);
    }
    void init()
    {
        m_ui.clear();
        m_boot->setReplyTimeoutMs(clsBootloader::kReplyTimeoutMs);
        QCOMPARE(m_sim->control("fault none"), QByteArray("OK\n"));
    }
    void cleanup()
    {
        // After every path the bootloader is closed and the firmware answers.
        QVERIFY(m_sim->control("fault none").startsWith("OK"));
        QVERIFY(m_sim->bootloaderClosed());
        QCOMPARE(m_vx->Version(), QStringLiteral("2.7"));
    }

    void updateAndVerifyOverPty()
    {
        QVERIFY(m_boot->loadUpdatefile(m_file));
        QVERIFY(m_boot->update());
        QVERIFY(m_boot->loadUpdatefile(m_file));
        QVERIFY(m_boot->verify());
        QCOMPARE(m_ui.texts(),
                 (QStringList{clsBootloader::kUpdateDone, clsBootloader::kVerifyDone}));
    }

    // Needs the image of the test before: block 3 differs at positions 3 and 17.
    void verifyChangedImage()
    {
        QByteArray changed = testImage(8192);
        changed[3 * 512 + 2] = static_cast<char>(~changed.at(3 * 512 + 2));
        changed[3 * 512 + 16] = static_cast<char>(~changed.at(3 * 512 + 16));
        QVERIFY(m_boot->loadUpdatefile(writeFile(changed)));
        QVERIFY(!m_boot->verify());
        QCOMPARE(m_ui.texts(),
                 (QStringList{QStringLiteral("Fehler beim Verify in Block 3 Pos : 3, 17, "),
                              clsBootloader::kVerifyDone}));
    }

    void failures_data()
    {
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("wrong checksum answer")
            << QByteArray("fault checksum") << QStringList{clsBootloader::kChecksumTransfer};
        QTest::newRow("received, then refused (231, 232)")
            << QByteArray("fault nak 2") << QStringList{clsBootloader::kStoreError};
        QTest::newRow("line dropped mid-way")
            << QByteArray("fault mute 1000") << QStringList{clsBootloader::kLinkBroken};
        QTest::newRow("silent terminal")
            << QByteArray("fault silent")
            << QStringList{clsBootloader::kNoContact, clsBootloader::kNoContactFinal};
    }
    void failures()
    {
        QFETCH(QByteArray, fault);
        QFETCH(QStringList, messages);
        QVERIFY(m_boot->loadUpdatefile(m_file));
        m_boot->setReplyTimeoutMs(40);
        QCOMPARE(m_sim->control(fault), QByteArray("OK\n"));
        QVERIFY(!m_boot->update());
        QCOMPARE(m_ui.texts(), messages);
    }

    void updateAndVerifyOverUdp()
    {
        Sim sim({QStringLiteral("--no-pty"), QStringLiteral("--udp"), kSimAddress},
                m_dir.filePath(QStringLiteral("ctl-net")));
        QVERIFY(sim.waitReady("Datenport"));
        clsNetModul net;
        net.setLocalAddress(QHostAddress(kPcAddress));
        net.ClientIP = kSimAddress;
        clsVX vx;
        vx.setCtlNetModul(&net);
        vx.setTmrTimeout(net.tmrTimeout());
        vx.ComMode = ComMode::Network;
        clsBootloader* boot = clsBootloader::Bootloader(vx);
        QVERIFY(boot->loadUpdatefile(m_file));
        QVERIFY(boot->update());
        QVERIFY(boot->loadUpdatefile(m_file));
        QVERIFY(boot->verify());
        QCOMPARE(m_ui.texts(),
                 (QStringList{clsBootloader::kUpdateDone, clsBootloader::kVerifyDone}));
        QVERIFY(sim.bootloaderClosed());
        m_ui.clear();
        // A wrong checksum over the network too.
        QCOMPARE(sim.control("fault checksum"), QByteArray("OK\n"));
        QVERIFY(boot->loadUpdatefile(m_file));
        boot->setReplyTimeoutMs(40);
        QVERIFY(!boot->update());
        QCOMPARE(m_ui.texts(), QStringList{clsBootloader::kChecksumTransfer});
        QVERIFY(sim.bootloaderClosed());
        QCOMPARE(sim.control("fault none"), QByteArray("OK\n"));
        QCOMPARE(vx.Version(), QStringLiteral("2.7"));
    }
};

QTEST_MAIN(tst_FirmwareVxsim)
#include "tst_firmware_vxsim.moc"
