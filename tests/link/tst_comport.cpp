// ComPort over real pseudo-terminals, the port list, the device map and the port search.
#include "LinkFixture.h"
#include "PtyPeer.h"

#include "link/ComPortResolver.h"
#include "link/PortProbe.h"
#include "link/TerminalSearch.h"
#include "platform/Globals.h"
#include "platform/clsInfo.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace vemro;
using namespace vemro::test;

class tst_ComPort : public QObject
{
    Q_OBJECT
private slots:
    void settings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("baud");
        QTest::newRow("19200") << "19200,n,8,1" << true << 19200;
        QTest::newRow("upper N") << "9600,N,8,1" << true << 9600;
        QTest::newRow("even parity") << "9600,e,8,1" << false << 0;
        QTest::newRow("no speed") << ",n,8,1" << false << 0;
        QTest::newRow("short") << "9600" << false << 0;
    }
    void settings()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, baud);
        SerialSettings s;
        QCOMPARE(ComPort::parseSettings(text, s), ok);
        if (ok)
            QCOMPARE(s.baudRate, baud);
    }

    // Ports 1 and 4 exist, 2 is missing, 3 is held by another program, 5 to 8 are missing.
    void portList()
    {
        ScriptedUserInterface ui;
        setUi(&ui);
        PtyPeer one, three, four;
        SerialTransport holder;
        QCOMPARE(holder.open(three.slavePath(), SerialSettings{}), SerialOpenError::None);
        ComPort port;
        port.setDeviceOverride(1, one.slavePath());
        port.setDeviceOverride(2, QStringLiteral("/dev/vemro-no-such-port"));
        port.setDeviceOverride(3, three.slavePath());
        port.setDeviceOverride(4, four.slavePath());
        for (int n = 5; n <= 8; ++n)
            port.setDeviceOverride(n, QStringLiteral("/dev/vemro-missing-%1").arg(n));
        QStringList details;
        Info().setInfoLevel(9);
        const ComCombos combos =
            FillComCombos(port, [&details](const QString& d) { details.append(d); });
        QCOMPARE(combos.ports,
                 (QStringList{"keine", "Com 1", "Com 2 (nicht vorhanden)", "Com 3 (bereits belegt)",
                              "Com 4", "Com 5 (nicht vorhanden)", "Com 6 (nicht vorhanden)",
                              "Com 7 (nicht vorhanden)", "Com 8 (nicht vorhanden)"}));
        QCOMPARE(combos.speeds, (QStringList{"9600", "19200", "38400"}));
        QCOMPARE(details.at(1), QStringLiteral("prüfe Com 2   (nicht vorhanden)"));
        QCOMPARE(details.at(0), QStringLiteral("prüfe Com 1  "));
        QCOMPARE(details.last(), QString());
        QVERIFY(!port.isOpen());
        QCOMPARE(port.CommPort(), 8);
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("Schnittstelle belegt")});
        // During start-up and searches the busy message stays hidden.
        ui.clear();
        Info().setInfoLevel(0);
        QString reason;
        QVERIFY(!CheckCom(port, 3, reason));
        QCOMPARE(reason, QStringLiteral(" (bereits belegt)"));
        QVERIFY(ui.texts().isEmpty());
        setUi(nullptr);
    }

    void noPermission()
    {
        if (::geteuid() == 0)
            QSKIP("root may open every device");
        PtyPeer pty;
        QVERIFY(QFile::setPermissions(pty.slavePath(), QFileDevice::ReadOwner));
        ComPort port;
        port.setDeviceOverride(1, pty.slavePath());
        QString reason;
        QVERIFY(!CheckCom(port, 1, reason));
        QCOMPARE(reason, QStringLiteral(" (keine Berechtigung)"));
    }

    // Bytes from the terminal are read all at once or one at a time; clearing drops them.
    void readAndClear()
    {
        PtyPeer pty;
        ComPort port;
        port.setDeviceOverride(1, pty.slavePath());
        port.setCommPort(1);
        QVERIFY(port.setSettings(QStringLiteral("19200,n,8,1")));
        QVERIFY(port.open());
        pty.rearm();
        QSignalSpy events(&port, &ComPort::receiveEvent);
        pty.write("abc");
        QTRY_COMPARE(port.InBufferCount(), 3);
        QCOMPARE(events.size(), 0); // receive events are off
        port.setInputLen(1);
        QCOMPARE(port.read(), QByteArray("a"));
        port.setInputLen(0);
        QCOMPARE(port.read(), QByteArray("bc"));
        QCOMPARE(port.read(), QByteArray());
        port.setReceiveEvents(true);
        pty.write("x");
        QTRY_COMPARE(events.size(), 1);
        port.clearInBuffer();
        QCOMPARE(port.InBufferCount(), 0);
        QByteArray seen;
        connect(&pty, &Transport::bytesArrived, this, [&seen](const QByteArray& b) { seen += b; });
        QVERIFY(port.write("\x1b?V"));
        QTRY_COMPARE(seen, QByteArray("\x1b?V"));
    }

    // A project opened while the port is open brings its own speed: the line must change
    // with it, not only the settings text.
    void settingsReachAnOpenPort()
    {
        PtyPeer pty;
        ComPort port;
        port.setDeviceOverride(1, pty.slavePath());
        port.setCommPort(1);
        QVERIFY(port.setSettings(QStringLiteral("19200,n,8,1")));
        QVERIFY(port.open());
        QSignalSpy changed(&port, &ComPort::stateChanged);
        QVERIFY(port.setSettings(QStringLiteral("38400,n,8,1")));
        QCOMPARE(port.Settings(), QStringLiteral("38400,n,8,1"));
        QVERIFY(changed.size() >= 1);
        const int fd =
            ::open(pty.slavePath().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        termios t{};
        QCOMPARE(::tcgetattr(fd, &t), 0);
        ::close(fd);
        QCOMPARE(::cfgetospeed(&t), speed_t(B38400));
        QVERIFY(!port.setSettings(QStringLiteral("38400,e,7,1")));
        QCOMPARE(port.Settings(), QStringLiteral("38400,n,8,1"));
    }

    // The resolver reads the map of the database it was given, never a global one.
    void deviceMap()
    {
        QTemporaryDir dir;
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("Karte"));
            db.setDatabaseName(dir.filePath(QStringLiteral("VEMRO.mdb")));
            QVERIFY(db.open());
            QSqlQuery(db).exec(
                QStringLiteral("CREATE TABLE Allgemein (ProjektPfad TEXT, ComPort INTEGER)"));
            // An older program database without the table: defaults, and the table appears.
            ComPortResolver resolver(db);
            QVERIFY(db.tables().contains(QStringLiteral("ComPortZuordnung")));
            QCOMPARE(resolver.devicePath(1), QStringLiteral("/dev/ttyS0"));
            QCOMPARE(resolver.devicePath(4), QStringLiteral("/dev/ttyS3"));
            QCOMPARE(resolver.devicePath(5), QStringLiteral("/dev/ttyUSB0"));
            QCOMPARE(resolver.devicePath(8), QStringLiteral("/dev/ttyUSB3"));
            QCOMPARE(resolver.devicePath(9), QString());
            QString error;
            QVERIFY(resolver.setDevicePath(2, QStringLiteral("/dev/ttyACM0"), &error));
            QCOMPARE(resolver.devicePath(2), QStringLiteral("/dev/ttyACM0"));
            QVERIFY(!resolver.setDevicePath(9, QStringLiteral("/dev/x"), &error));
            QVERIFY(!error.isEmpty());
            QVERIFY(!resolver.setDevicePath(3, QStringLiteral("  "), &error));
            QSqlQuery count(db);
            QVERIFY(count.exec(QStringLiteral("SELECT COUNT(*) FROM ComPortZuordnung")));
            QVERIFY(count.next());
            QCOMPARE(count.value(0).toInt(), 8);
            // The port asks its resolver; an override wins; without a resolver the defaults.
            ComPort port;
            QCOMPARE(port.devicePath(2), QStringLiteral("/dev/ttyS1"));
            port.setResolver(&resolver);
            QCOMPARE(port.devicePath(2), QStringLiteral("/dev/ttyACM0"));
            port.setDeviceOverride(2, QStringLiteral("/dev/pts/99"));
            QCOMPARE(port.devicePath(2), QStringLiteral("/dev/pts/99"));
            port.setResolver(nullptr);
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("Karte"));
        const ComPortResolver defaults;
        QCOMPARE(defaults.devicePath(3), QStringLiteral("/dev/ttyS2"));
        QString error;
        QVERIFY(!ComPortResolver().setDevicePath(3, QStringLiteral("/dev/x"), &error));
    }

    // The search on ports 1 to 4: port 1 missing, the terminal on port 2 at 19200.
    void search_data()
    {
        QTest::addColumn<int>("comMode");
        QTest::addColumn<QByteArray>("codes");
        QTest::newRow("RS232") << 0 << QByteArray("\x1bSG0\x1bSG1");
        QTest::newRow("RS485") << 4 << QByteArray("\x1bSG4\x1bSG5");
    }
    void search()
    {
        QFETCH(int, comMode);
        QFETCH(QByteArray, codes);
        ScriptedUserInterface ui;
        setUi(&ui);
        ComPort port;
        clsVX vx;
        vx.ComMode = static_cast<ComMode>(comMode);
        vx.setCtlcom(&port);
        FakeTerminal term;
        QByteArray heard;
        term.respond = [&heard](const QByteArray& b) {
            heard += b;
            return b.contains("?V") ? QByteArray("V:2.70,004711;") : QByteArray();
        };
        // At 9600 the terminal's line carries the bytes, but the terminal listens at 19200.
        QByteArray heardAt9600;
        MemoryTransport* far = nullptr;
        std::unique_ptr<MemoryTransport> wrongSpeed;
        port.setOpener([&](int n, const SerialSettings& s, SerialOpenError& error, QString&) {
            std::unique_ptr<Transport> none;
            if (n == 1) {
                error = SerialOpenError::InvalidPort;
                return none;
            }
            auto near = std::make_unique<MemoryTransport>();
            if (n == 2 && s.baudRate == 9600) {
                wrongSpeed = std::make_unique<MemoryTransport>();
                MemoryTransport::pair(*near, *wrongSpeed);
                connect(wrongSpeed.get(), &Transport::bytesArrived, this,
                        [&heardAt9600](const QByteArray& b) { heardAt9600 += b; });
            }
            if (n == 2 && s.baudRate == 19200) {
                delete far;
                far = new MemoryTransport(&term);
                MemoryTransport::pair(*near, *far);
                connect(far, &Transport::bytesArrived, &term, &FakeTerminal::onBytes);
                connect(&term, &FakeTerminal::transmit, far,
                        [far](const QByteArray& b) { far->write(b); });
            }
            return std::unique_ptr<Transport>(std::move(near));
        });
        bool applied = false;
        vx.setApplyInterface([&applied](int n, int s) {
            applied = n == 2 && s == 1;
            return true;
        });
        QList<TerminalSearch::Row> rows;
        connect(&vx, &clsVX::searchStarted, this, [&rows](TerminalSearch* search) {
            connect(search, &TerminalSearch::rowChanged, search,
                    [&rows, search](int) { rows = search->rows(); });
        });
        QVERIFY(vx.connect());
        QVERIFY(vx.connected);
        QVERIFY(applied);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).port, QStringLiteral("Com 1"));
        QCOMPARE(rows.at(0).result, QStringLiteral(" (nicht vorhanden)"));
        QCOMPARE(rows.at(1).port, QStringLiteral("Com 2"));
        QCOMPARE(rows.at(1).result, QStringLiteral("nichts gefunden bei 9600,n,8,1"));
        QCOMPARE(rows.at(2).result, QStringLiteral("Terminal gefunden bei 19200,n,8,1"));
        // Each speed is announced with its own code for the interface kind, then asked "?V".
        QCOMPARE(heardAt9600.left(4), codes.left(4));
        QVERIFY(heardAt9600.mid(4).startsWith("\x1b?V"));
        QCOMPARE(heard.left(4), codes.mid(4)); // the terminal heard only its own speed
        QVERIFY(heard.mid(4).startsWith("\x1b?V"));
        QVERIFY(ui.texts().isEmpty());
        setUi(nullptr);
    }

    void networkDoesNotSearch()
    {
        clsVX vx;
        QSignalSpy started(&vx, &clsVX::searchStarted);
        vx.ComMode = ComMode::Network;
        QVERIFY(!vx.connect());
        QVERIFY(!vx.connected);
        QCOMPARE(started.size(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_ComPort)
#include "tst_comport.moc"
