// update and verify against the terminal model in memory: the bytes on the line, the
// messages, the progress and the closing byte on every path.
#include "HexText.h"

#include "../link/LinkFixture.h"
#include "firmware/BootloaderReply.h"
#include "firmware/HexFileReader.h"
#include "firmware/clsBootloader.h"
#include "sim/VxTerminal.h"

#include <QTemporaryDir>
#include <QTest>

using namespace vemro;
using namespace vemro::test;

namespace {

// Keeps every value the progress display was given.
class RecordingProgress : public NullProgress
{
public:
    void setValue(int value) override
    {
        NullProgress::setValue(value);
        values.append(value);
    }
    QList<int> values;
};

// A network module that refuses every datagram (the socket failed).
class BrokenNet : public QObject, public NetChannel
{
public:
    QObject* channelObject() override { return this; }
    int state() const override { return 1; }
    void OpenUDPConn(qint32, QString&) override {}
    bool Send(QByteArray& text, bool) override
    {
        ++sends;
        text = QByteArrayLiteral("Netzwerkfehler");
        return true;
    }
    bool Receive(QByteArray& text, const QByteArray&) override
    {
        text = QByteArrayLiteral("TimeOut //");
        return true;
    }
    LinkError lastError() const override { return LinkError::UnexpectedReply; }
    int sends = 0;
};

const QByteArray kEndByte("\xED", 1);

} // namespace

class tst_Bootloader : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<MemoryLink> m_link;
    std::unique_ptr<VxTerminal> m_term;
    QByteArray m_sent;
    RecordingProgress m_progress;
    clsBootloader* m_boot = nullptr;

    QString writeFile(const QByteArray& image, int start = 0)
    {
        static int n = 0;
        const QString path = m_dir.filePath(QStringLiteral("fw%1.hex").arg(++n));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(hexFile(image, start));
        return path;
    }
    bool load(const QByteArray& image, int start = 0)
    {
        return m_boot->loadUpdatefile(writeFile(image, start));
    }
    [[nodiscard]] QStringList texts() const { return m_link->ui.texts(); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init()
    {
        m_link = std::make_unique<MemoryLink>();
        m_term = std::make_unique<VxTerminal>();
        m_link->attach(m_term.get(), &VxTerminal::receive, &VxTerminal::transmit);
        m_sent.clear();
        connect(&m_link->far, &Transport::bytesArrived, this,
                [this](const QByteArray& b) { m_sent += b; });
        m_progress = RecordingProgress();
        m_boot = clsBootloader::Bootloader(m_link->vx);
        m_boot->setCtlFortschritt(&m_progress);
        m_boot->setReplyTimeoutMs(clsBootloader::kReplyTimeoutMs);
    }
    void cleanup()
    {
        m_boot = nullptr;
        m_term.reset();
        m_link.reset();
    }

    // Four blocks at the word addresses 0, 8, 16, 24; no question on the way.
    void update64Bytes()
    {
        const QByteArray image = testImage(64);
        QVERIFY(load(image));
        QVERIFY(m_boot->update());
        QCOMPARE(texts(), QStringList{clsBootloader::kUpdateDone});
        QCOMPARE(m_term->programMemory().left(64).toHex(), image.toHex());
        for (int address : {0, 8, 16, 24}) {
            QByteArray head("\xE3", 1);
            head += static_cast<char>(address >> 8);
            head += static_cast<char>(address);
            head += '\x10';
            QCOMPARE(m_sent.count(head), 1);
        }
        QCOMPARE(m_sent.count(QByteArray("\xE3", 1)), 4);
        QVERIFY(m_sent.endsWith(kEndByte));
        // 64 of 65 after the blocks, the whole bar once done.
        QVERIFY(m_progress.values.contains(64));
        QCOMPARE(m_progress.value(), 65);
        QCOMPARE(m_progress.maximum(), 65);
        QVERIFY(!m_progress.visible());
        QVERIFY(!m_term->bootloaderActive());
        QCOMPARE(m_term->displayLines().at(0).trimmed(), QString());
    }

    void updateThenVerify8K()
    {
        const QByteArray image = testImage(8192);
        QList<int> done;
        connect(m_boot, &clsBootloader::blockDone, this,
                [&done](int n, int, qint64) { done.append(n); });
        QVERIFY(load(image));
        QVERIFY(m_boot->update());
        QCOMPARE(done.size(), 512);
        QCOMPARE(done.last(), 512);
        QVERIFY(load(image));
        QVERIFY(m_boot->verify());
        QCOMPARE(texts(), (QStringList{clsBootloader::kUpdateDone, clsBootloader::kVerifyDone}));
        QCOMPARE(m_term->programMemory().left(8192), image);
        // The link answers the firmware's commands again.
        QCOMPARE(m_link->vx.Version(), QStringLiteral("2.7"));
    }

    // 1040 bytes pad to 1536: blocks 0, 1 and 2 are read.
    void verifyPadsTo512()
    {
        QByteArray image = testImage(1040);
        QVERIFY(load(image));
        QVERIFY(m_boot->update());
        QVERIFY(load(image));
        m_sent.clear();
        QVERIFY(m_boot->verify());
        QCOMPARE(m_sent.count(QByteArray("\xE6", 1)), 3);
        for (char b : {'\0', '\1', '\2'})
            QVERIFY(m_sent.contains(QByteArray("\xE6", 1) + b));
        QCOMPARE(m_progress.maximum(), 1537);
        QCOMPARE(m_progress.value(), 1537);
    }

    // The file counts bytes, the bootloader words: an image at 0x0100 is written from word
    // 0x0080 and read back from byte 0x0100 of block 0, the bytes before it are not compared.
    void imageAt0x100()
    {
        const QByteArray image = testImage(1000);
        QByteArray padded = image + HexFileReader::fillWord().repeated(4);
        QVERIFY(load(image, 0x100));
        QVERIFY(m_boot->update());
        QCOMPARE(m_sent.indexOf(QByteArray("\xE3\x00\x80\x10", 4)), m_sent.indexOf('\xE3'));
        QCOMPARE(m_term->programMemory().mid(0x100, padded.size()).toHex(), padded.toHex());
        QCOMPARE(m_term->programMemory().left(0x100), HexFileReader::fillWord().repeated(0x80));
        QVERIFY(load(image, 0x100));
        m_sent.clear();
        QVERIFY(m_boot->verify());
        QCOMPARE(m_sent.count(QByteArray("\xE6", 1)), 3);
        QVERIFY(m_sent.contains(QByteArray("\xE6\x02", 2)));
        QByteArray changed = image;
        changed[0] = static_cast<char>(~changed.at(0));
        changed[600] = static_cast<char>(~changed.at(600));
        QVERIFY(load(changed, 0x100));
        m_link->ui.clear();
        QVERIFY(!m_boot->verify());
        QCOMPARE(texts(), (QStringList{QStringLiteral("Fehler beim Verify in Block 0 Pos : 257, "),
                                       QStringLiteral("Fehler beim Verify in Block 1 Pos : 345, "),
                                       clsBootloader::kVerifyDone}));
    }

    void verifyDifferences_data()
    {
        QTest::addColumn<QList<int>>("positions"); // 1-based within block 1
        QTest::addColumn<QString>("list");
        QTest::newRow("3 and 17") << QList<int>{3, 17} << QStringLiteral("3, 17, ");
        QTest::newRow("cut after 25 characters")
            << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}
            << QStringLiteral("1, 2, 3, 4, 5, 6, 7, 8, 9...");
        QTest::newRow("30 characters kept") << QList<int>{500, 100, 200, 300, 400, 501}
                                            << QStringLiteral("100, 200, 300, 400, 500, 501, ");
        QTest::newRow("31 characters cut") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}
                                           << QStringLiteral("1, 2, 3, 4, 5, 6, 7, 8, 9...");
    }
    // Every block is checked; a differing block is named with its positions.
    void verifyDifferences()
    {
        QFETCH(QList<int>, positions);
        QFETCH(QString, list);
        const QByteArray image = testImage(1536);
        QVERIFY(load(image));
        QVERIFY(m_boot->update());
        QByteArray changed = image;
        for (int p : positions)
            changed[512 + p - 1] = static_cast<char>(~changed.at(512 + p - 1));
        QVERIFY(load(changed));
        m_link->ui.clear();
        m_sent.clear();
        QVERIFY(!m_boot->verify());
        QCOMPARE(texts(),
                 (QStringList{QStringLiteral("Fehler beim Verify in Block 1 Pos : ") + list,
                              clsBootloader::kVerifyDone}));
        QCOMPARE(m_sent.count(QByteArray("\xE6", 1)), 3);
        QVERIFY(m_sent.endsWith(kEndByte));
    }

    // A block passes only where it belongs: erased memory does not pass for a block of
    // program because the image holds a block of fill elsewhere.
    void verifyComparesInPlace()
    {
        QByteArray image = HexFileReader::fillWord().repeated(256) + testImage(512);
        QVERIFY(load(image)); // the terminal's memory is erased
        QVERIFY(!m_boot->verify());
        QCOMPARE(texts().size(), 2);
        QVERIFY(texts().at(0).startsWith(QStringLiteral("Fehler beim Verify in Block 1 Pos : ")));
        // A block equal to another block of the image, at the wrong place.
        image = testImage(512) + HexFileReader::fillWord().repeated(256) + testImage(512);
        QVERIFY(load(image.left(512)));
        QVERIFY(m_boot->update());
        QVERIFY(load(image));
        m_link->ui.clear();
        QVERIFY(!m_boot->verify());
        QVERIFY(texts().at(0).startsWith(QStringLiteral("Fehler beim Verify in Block 2 Pos : ")));
    }

    void verifyCancelledAtResetQuestion()
    {
        QVERIFY(load(testImage(512)));
        m_term->setFault(VxTerminal::Fault::Silent);
        m_link->ui.queueAnswer(UserInterface::Answer::Ok);
        m_link->ui.queueAnswer(UserInterface::Answer::Cancel);
        QVERIFY(!m_boot->verify());
        QCOMPARE(texts(),
                 (QStringList{clsBootloader::kResetQuestion, clsBootloader::kResetQuestion}));
        QVERIFY(m_sent.endsWith(kEndByte));
        QVERIFY(!m_progress.visible());
        QVERIFY(!m_term->bootloaderActive());
    }

    // The first refused block ends the update; it is not sent again.
    void wrongChecksumAnswer()
    {
        QVERIFY(load(testImage(64)));
        m_term->setFault(VxTerminal::Fault::WrongChecksum);
        QVERIFY(!m_boot->update());
        QCOMPARE(texts(), QStringList{clsBootloader::kChecksumTransfer});
        QCOMPARE(m_sent.count(QByteArray("\xE3", 1)), 1);
        QVERIFY(m_sent.endsWith(kEndByte));
        QVERIFY(!m_term->bootloaderActive());
    }

    // A block arrives but is not stored: 231, then 232.
    void notStored()
    {
        QVERIFY(load(testImage(64)));
        m_term->setFault(VxTerminal::Fault::NakEvery, 2);
        m_boot->setReplyTimeoutMs(50);
        QVERIFY(!m_boot->update());
        QCOMPARE(texts(), QStringList{clsBootloader::kStoreError});
        QCOMPARE(m_sent.count(QByteArray("\xE3", 1)), 2);
        QVERIFY(m_sent.endsWith(kEndByte));
    }

    // The line back breaks after some blocks.
    void lineDropped()
    {
        QVERIFY(load(testImage(256)));
        m_term->setFault(VxTerminal::Fault::MuteAfter, 3 + 16 + 3 + 1 + 21 * 5 + 10);
        m_boot->setReplyTimeoutMs(50);
        QVERIFY(!m_boot->update());
        QCOMPARE(texts(), QStringList{clsBootloader::kLinkBroken});
        QVERIFY(m_sent.endsWith(kEndByte));
        QVERIFY(!m_term->bootloaderActive());
        m_term->setFault(VxTerminal::Fault::None);
        QCOMPARE(m_link->vx.Version(), QStringLiteral("2.7"));
    }

    // The four-line message once, then 150 attempts counting down, the final message, 237.
    void silentTerminal()
    {
        QVERIFY(load(testImage(64)));
        m_term->setFault(VxTerminal::Fault::Silent);
        m_boot->setReplyTimeoutMs(5);
        QVERIFY(!m_boot->update());
        QCOMPARE(texts(), (QStringList{clsBootloader::kNoContact, clsBootloader::kNoContactFinal}));
        QCOMPARE(m_sent.count(QByteArray("\xEA", 1)), 1 + clsBootloader::kContactAttempts);
        QCOMPARE(m_sent.count(QByteArray("\xE3", 1)), 0);
        QVERIFY(m_sent.endsWith(kEndByte));
        const int from = static_cast<int>(m_progress.values.indexOf(149));
        QVERIFY(from >= 0);
        QCOMPARE(m_progress.values.mid(from, 149).last(), 0 + 1);
        QCOMPARE(m_progress.values.last(), 0);
        QVERIFY(!m_term->bootloaderActive());
        m_term->setFault(VxTerminal::Fault::None);
        QCOMPARE(m_link->vx.Version(), QStringLiteral("2.7"));
    }

    // A second session while one runs is refused; a stop request still closes the session.
    void onceAtATimeAndStop()
    {
        QVERIFY(load(testImage(256)));
        bool second = true;
        connect(m_boot, &clsBootloader::blockDone, this, [this, &second](int n, int, qint64) {
            if (n == 2) {
                second = m_boot->verify();
                m_boot->requestAbort();
            }
        });
        QVERIFY(!m_boot->update());
        QVERIFY(!second);
        QVERIFY(m_boot->aborted());
        QCOMPARE(texts(), QStringList{clsBootloader::kAlreadyRunning});
        QCOMPARE(m_sent.count(QByteArray("\xE3", 1)), 2);
        QCOMPARE(m_sent.count(kEndByte), 1);
        QVERIFY(m_sent.endsWith(kEndByte));
        QVERIFY(!m_term->bootloaderActive());
        QVERIFY(!m_boot->running());
    }

    void blockReplies_data()
    {
        QTest::addColumn<bool>("stored"); // the reply awaited: 228 (else 231)
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<LinkError>("code");
        QTest::addColumn<QString>("error");
        const LinkError timeout = LinkError::Timeout;
        QTest::newRow("232 serial")
            << false << QByteArray("\xE8 / TimeOut") << timeout << clsBootloader::kChecksumTransfer;
        QTest::newRow("232 network")
            << false << QByteArray("TimeOut /\xE8/") << timeout << clsBootloader::kChecksumTransfer;
        QTest::newRow("network silent")
            << false << QByteArray("TimeOut //") << timeout << clsBootloader::kLinkBroken;
        QTest::newRow("port gone") << false << QByteArray(" / TimeOut") << LinkError::LinkBroken
                                   << clsBootloader::kTransferError;
        QTest::newRow("refused after 231")
            << true << QByteArray("\xE8 / TimeOut") << timeout << clsBootloader::kStoreError;
        QTest::newRow("no 228, network silent")
            << true << QByteArray("TimeOut //") << timeout << clsBootloader::kLinkBroken;
        QTest::newRow("network prefix alone")
            << true << QByteArray("TimeOut /") << timeout << clsBootloader::kLinkBroken;
    }
    // The failed acknowledgements of a write block as either transport hands them back.
    void blockReplies()
    {
        QFETCH(bool, stored);
        QFETCH(QByteArray, text);
        QFETCH(LinkError, code);
        QFETCH(QString, error);
        const BootloaderReceive reply{true, text, code};
        const BootloaderReply::Step step =
            stored ? BootloaderReply::stored(reply) : BootloaderReply::received(reply);
        QVERIFY(!step.goOn);
        QCOMPARE(step.error, error);
    }

    // After a refused file nothing is started: no bytes, no success.
    void noImageNoSession()
    {
        QVERIFY(!m_boot->loadUpdatefile(m_dir.filePath(QStringLiteral("missing.hex"))));
        m_link->ui.clear();
        QVERIFY(!m_boot->update());
        QVERIFY(!m_boot->verify());
        QCOMPARE(texts(), (QStringList{clsBootloader::kNoImage, clsBootloader::kNoImage}));
        QVERIFY(m_sent.isEmpty());
    }

    // Over a network module that fails every send, the contact loops give up after a few
    // tries instead of retrying for ever.
    void networkFailuresBounded()
    {
        BrokenNet net;
        clsVX vx;
        vx.setCtlNetModul(&net);
        vx.ComMode = ComMode::Network;
        clsBootloader* boot = clsBootloader::Bootloader(vx);
        QVERIFY(load(testImage(64)));
        boot->setUpdatefile(m_boot->updatefile());
        QVERIFY(boot->openUpdatefile());
        QVERIFY(!boot->update());
        QCOMPARE(texts(), (QStringList{clsBootloader::kNoContact, clsBootloader::kNoContactFinal}));
        QVERIFY(net.sends < 20);
        m_link->ui.clear();
        m_link->ui.queueAnswer(UserInterface::Answer::Cancel);
        QVERIFY(!boot->verify());
        QCOMPARE(texts(), QStringList{clsBootloader::kResetQuestion});
    }
};

QTEST_MAIN(tst_Bootloader)
#include "tst_bootloader.moc"
