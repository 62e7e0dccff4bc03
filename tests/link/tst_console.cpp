// The console frame, the IO-Ports page and the search dialog, offscreen against a stand-in.
#include "LinkFixture.h"

#include "editors/ConsoleFrame.h"
#include "editors/IoPortsPage.h"
#include "editors/LinkActions.h"
#include "editors/frmVXSuchen.h"
#include "platform/Globals.h"
#include "platform/clsInfo.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace vemro;
using namespace vemro::test;

class tst_Console : public QObject
{
    Q_OBJECT
private slots:
    void replyText_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("lastError");
        QTest::addColumn<QString>("shown");
        QTest::newRow("A") << QByteArray("A") << 0 << QStringLiteral("A dez 65, hex : 41");
        QTest::newRow("ACK") << QByteArray("\x06") << 0 << QStringLiteral("\x06 dez 6, hex : 6");
        QTest::newRow("255") << QByteArray("\xff") << 0 << QStringLiteral("ÿ dez 255, hex : FF");
        QTest::newRow("version") << QByteArray("V:1.30,004711;") << 0
                                 << QStringLiteral("V:1.30,004711;");
        QTest::newRow("silence") << QByteArray("TimeOut") << 2 << QString();
    }
    void replyText()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, lastError);
        QFETCH(QString, shown);
        QCOMPARE(ConsoleFrame::ReplyText(reply, static_cast<LinkError>(lastError)), shown);
    }

    void console_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("shown");
        QTest::newRow("initial version query") << QString() << QByteArray("V:1.30,004711;")
                                               << QByteArray("\x1b?V") << "V:1.30,004711;";
        QTest::newRow("single character")
            << "<ESC>?K" << QByteArray("A") << QByteArray("\x1b?K") << "A dez 65, hex : 41";
        QTest::newRow("without ESC as typed") << "A<065>{x}" << QByteArray("\x06")
                                              << QByteArray("A<065>{x}") << "\x06 dez 6, hex : 6";
        QTest::newRow("silent terminal") << "<ESC>LL" << QByteArray() << QByteArray("\x1bLL") << "";
        QTest::newRow("bad code not sent") << "<ESC><300>" << QByteArray("X") << QByteArray() << "";
    }
    void console()
    {
        QFETCH(QString, line);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, sent);
        QFETCH(QString, shown);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [reply](const QByteArray&) { return reply; };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        ConsoleFrame frame(&link.vx);
        QCOMPARE(frame.txtBefehl()->text(), QStringLiteral("<ESC>?V"));
        if (!line.isEmpty())
            frame.txtBefehl()->setText(line);
        frame.txtTerminalAntwort()->setText(QStringLiteral("alt"));
        QTest::mouseClick(frame.cmdSenden(), Qt::LeftButton);
        QCOMPARE(term.all(), sent);
        QCOMPARE(frame.txtTerminalAntwort()->text(), shown);
        QVERIFY(frame.cmdSenden()->isEnabled());
        // Without a command catalogue the builder has nothing to offer.
        QVERIFY(
            !frame.findChild<QPushButton*>(QStringLiteral("cmdBefehleinfuegen_B"))->isEnabled());
    }

    void ioPorts_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("sentOnGet");
        QTest::addColumn<QByteArray>("sentOnSet");
        QTest::newRow("port 9") << "9"
                                << "1"
                                << "Portnummer muss zwischen 0 und 8 liegen" << QByteArray()
                                << QByteArray();
        QTest::newRow("port -1") << "-1"
                                 << "1"
                                 << "Portnummer muss zwischen 0 und 8 liegen" << QByteArray()
                                 << QByteArray();
        QTest::newRow("value 300")
            << "1"
            << "300"
            << "Wert muss zwischen 0 und 255 liegen" << QByteArray("\x1b?P1;") << QByteArray();
        // The range is checked before rounding.
        QTest::newRow("port 8.4") << "8.4"
                                  << "1"
                                  << "Portnummer muss zwischen 0 und 8 liegen" << QByteArray()
                                  << QByteArray();
        QTest::newRow("value 255.4")
            << "1"
            << "255.4"
            << "Wert muss zwischen 0 und 255 liegen" << QByteArray("\x1b?P1;") << QByteArray();
        QTest::newRow("2.6 is 3") << "2.6"
                                  << "255"
                                  << "" << QByteArray("\x1b?P3;") << QByteArray("\x1bP3,255;");
    }
    void ioPorts()
    {
        QFETCH(QString, port);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QByteArray, sentOnGet);
        QFETCH(QByteArray, sentOnSet);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [](const QByteArray& q) {
            return q.startsWith("\x1b?P") ? QByteArray("P:77;") : QByteArray();
        };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        IoPortsPage page(&link.vx);
        page.txtIOPortNummer()->setText(port);
        page.txtIOPortWert()->setText(value);
        page.SetIOPortWert();
        QTest::qWait(5);
        QCOMPARE(term.all(), sentOnSet);
        term.received.clear();
        page.GetIOPortWert();
        QCOMPARE(term.all(), sentOnGet);
        if (!sentOnGet.isEmpty())
            QCOMPARE(page.txtIOPortWert()->text(), QStringLiteral("77"));
        const QStringList expected = message.isEmpty() ? QStringList()
                                     : message.startsWith(QLatin1String("Wert"))
                                         ? QStringList{message}
                                         : QStringList{message, message};
        QCOMPARE(link.ui.texts(), expected);
    }

    void analog_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        QTest::newRow("803") << QByteArray("A:200,3;") << "803";
        QTest::newRow("silent") << QByteArray() << "-1";
    }
    void analog()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [reply](const QByteArray&) { return reply; };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        IoPortsPage page(&link.vx);
        QCOMPARE(page.txtAnalogwert()->text(), QStringLiteral("-"));
        QTest::mouseClick(page.cmdGetAnalogwert(), Qt::LeftButton);
        QCOMPARE(page.txtAnalogwert()->text(), shown);
    }

    // "neu prüfen": the lists the interface page shows, filled quietly.
    void portCombos()
    {
        ScriptedUserInterface ui;
        setUi(&ui);
        ComPort port;
        port.setOpener([](int n, const SerialSettings&, SerialOpenError& error, QString&) {
            if (n % 2 == 0)
                error = SerialOpenError::InvalidPort;
            return n % 2 == 0 ? nullptr : std::make_unique<MemoryTransport>();
        });
        QComboBox ports, speed, speedProg;
        ports.addItem(QStringLiteral("alt"));
        QStringList details;
        FillComCombos(port, &ports, &speed, nullptr,
                      [&details](const QString& d) { details.append(d); });
        QCOMPARE(ports.count(), 9);
        QCOMPARE(ports.itemText(0), QStringLiteral("keine"));
        QCOMPARE(ports.itemText(1), QStringLiteral("Com 1"));
        QCOMPARE(ports.itemText(2), QStringLiteral("Com 2 (nicht vorhanden)"));
        QCOMPARE(speed.count(), 3);
        QCOMPARE(speed.itemText(1), QStringLiteral("19200"));
        QCOMPARE(details.size(), 9);
        QVERIFY(!globals().ControlsUpdating);
        setUi(nullptr);
    }

    // "suchen" with no terminal, cancelled on the first port: the dialog shows the report,
    // the search stops before port 2, "kein terminal gefunden" follows and the display is cleared.
    void searchCancelled()
    {
        MemoryLink link;
        FakeTerminal term;
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        QList<int> opened;
        link.port.setOpener([&](int n, const SerialSettings&, SerialOpenError&, QString&) {
            opened.append(n);
            auto channel = std::make_unique<MemoryTransport>();
            link.far.open();
            QObject::disconnect(&link.far, &MemoryTransport::written, nullptr, nullptr);
            MemoryTransport::pair(*channel, link.far);
            return std::unique_ptr<Transport>(std::move(channel));
        });
        QWidget window;
        frmVXSuchen::install(&link.vx, &window);
        auto* dialog = window.findChild<frmVXSuchen*>();
        QVERIFY(dialog);
        QTimer::singleShot(200, dialog, [dialog] {
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdAbbrechen")),
                              Qt::LeftButton);
        });
        QPushButton cmdConnect;
        QVERIFY(!cmdConnect_Click(link.vx, &cmdConnect));
        QVERIFY(cmdConnect.isEnabled());
        QVERIFY(dialog->canceled());
        QVERIFY(!opened.contains(2));
        QTreeWidget* report = dialog->ctlReport();
        QCOMPARE(report->topLevelItem(0)->text(0), QStringLiteral("Com 1"));
        QCOMPARE(report->topLevelItem(0)->text(1),
                 QStringLiteral("nichts gefunden bei 9600,n,8,1"));
        QCOMPARE(report->topLevelItem(2)->text(1),
                 QStringLiteral("nichts gefunden bei 38400,n,8,1"));
        QCOMPARE(link.ui.texts(), QStringList{QStringLiteral("kein terminal gefunden")});
        QVERIFY(term.all().endsWith("\x1bLL"));
        QCOMPARE(Info().InfoLevel(), 9);
        QVERIFY(!dialog->isVisible());
    }
};

QTEST_MAIN(tst_Console)
#include "tst_console.moc"
