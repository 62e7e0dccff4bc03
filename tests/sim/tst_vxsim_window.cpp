#include "sim/VxTerminal.h"
#include "sim/gui/VxLcdWidget.h"
#include "sim/gui/VxTerminalWindow.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

using namespace vemro;

class TestVxsimWindow : public QObject
{
    Q_OBJECT
private slots:
    void keypadSendsConfiguredCodes_data();
    void keypadSendsConfiguredCodes();
    void ledsAndLcdFollowTheTerminal();
    void analogSlider();
    void typingPressesKeys();
};

void TestVxsimWindow::keypadSendsConfiguredCodes_data()
{
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("caption");
    QTest::newRow("default key 1") << QByteArray() << 1 << QByteArray("a") << "1\na";
    QTest::newRow("configured key 5")
        << QByteArray("\x1bTC5,88,89;") << 5 << QByteArray("X") << "5\nX";
    QTest::newRow("fixed-text key sends nothing")
        << QByteArray("\x1bTC7,130,89;") << 7 << QByteArray() << "7\n#2";
}

void TestVxsimWindow::keypadSendsConfiguredCodes()
{
    QFETCH(QByteArray, setup);
    QFETCH(int, key);
    QFETCH(QByteArray, sent);
    QFETCH(QString, caption);
    VxTerminal terminal;
    terminal.receive(setup);
    VxTerminalWindow window(&terminal);
    window.show();
    QByteArray out;
    connect(&terminal, &VxTerminal::transmit, this, [&out](const QByteArray& b) { out += b; });
    auto* button = window.findChild<QPushButton*>(QStringLiteral("cmdKey%1").arg(key));
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(out, sent);
    QVERIFY(!terminal.keyPressed(key));
}

void TestVxsimWindow::ledsAndLcdFollowTheTerminal()
{
    VxTerminal terminal;
    VxTerminalWindow window(&terminal);
    window.show();
    terminal.receive("\x1bLA2,16;Hallo\x1bLZ0,228,0,16,31,31,31,16,0,0;\xe4\x1bP1,5;");
    auto* lcd = window.findChild<VxLcdWidget*>(QStringLiteral("ctlLcd"));
    QVERIFY(lcd);
    QCOMPARE(lcd->sizeHint().width() > lcd->sizeHint().height() * 3, true);
    const auto ledStyle = [&](int k) {
        return window.findChild<QWidget*>(QStringLiteral("ctlKeyLed%1").arg(k))->styleSheet();
    };
    QVERIFY(ledStyle(1) != ledStyle(2));
    QCOMPARE(ledStyle(1), ledStyle(3));
    const QImage shot = window.grab().toImage();
    QVERIFY(!shot.isNull());
    if (qEnvironmentVariableIsSet("VXSIM_SHOT"))
        shot.save(qEnvironmentVariable("VXSIM_SHOT"));
}

void TestVxsimWindow::analogSlider()
{
    VxTerminal terminal;
    VxTerminalWindow window(&terminal);
    auto* slider = window.findChild<QSlider*>(QStringLiteral("ctlAnalog"));
    QVERIFY(slider);
    slider->setValue(803);
    QCOMPARE(terminal.analogValue(), 803);
    terminal.setTestPlugs(true);
    QVERIFY(!slider->isEnabled());
}

void TestVxsimWindow::typingPressesKeys()
{
    VxTerminal terminal;
    terminal.receive("\x1bTC9,88,89;");
    VxTerminalWindow window(&terminal);
    QByteArray out;
    connect(&terminal, &VxTerminal::transmit, this, [&out](const QByteArray& b) { out += b; });
    QTest::keyClick(&window, 'c');
    QTest::keyClick(&window, 'X');
    QTest::keyClick(&window, 'Y'); // no key has "Y" unshifted
    QCOMPARE(out, QByteArray("cX"));
    QVERIFY(!terminal.keyPressed(3) && !terminal.keyPressed(9));
}

QTEST_MAIN(TestVxsimWindow)
#include "tst_vxsim_window.moc"
