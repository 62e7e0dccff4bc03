// The program is told to end while an exchange waits for the terminal: the exchange gives
// up at once instead of spinning through waits that can no longer run. Its own test
// program, because after exit() no event loop of the process runs again.
#include "PtyPeer.h"

#include "link/ComPort.h"
#include "link/clsVX.h"
#include "platform/Globals.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace vemro;

class TstQuitDuringExchange : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void exchangeEndsWithTheProgram()
    {
        globals().EscChar = QByteArray(1, '\x1b');
        test::PtyPeer silent;
        ComPort port;
        port.setDeviceOverride(1, silent.slavePath());
        port.setCommPort(1);
        QVERIFY(port.setSettings(QStringLiteral("19200,n,8,1")));
        QVERIFY(port.open());
        clsVX vx;
        vx.setCtlcom(&port);
        vx.ComMode = ComMode::Rs232;
        QTimer::singleShot(30, [] { QCoreApplication::exit(0); });
        QElapsedTimer clock;
        clock.start();
        // Two exchanges: the first is cut short, the second must not wait either.
        QCOMPARE(vx.GetextEEZelle(5), -1);
        QCOMPARE(vx.GetextEEZelle(6), -1);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TstQuitDuringExchange)
#include "tst_quit_during_exchange.moc"
