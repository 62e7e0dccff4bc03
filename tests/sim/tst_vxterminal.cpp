#include "sim/VxTerminal.h"

#include <QSignalSpy>
#include <QTest>

using vemro::VxTerminal;

namespace {

QByteArray esc(const QByteArray& text)
{
    return QByteArray(1, '\x1b') + text;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

// Everything the terminal sends while `input` is fed in.
QByteArray exchange(VxTerminal& term, const QByteArray& input)
{
    QByteArray out;
    auto c =
        QObject::connect(&term, &VxTerminal::transmit, [&out](const QByteArray& b) { out += b; });
    term.receive(input);
    QObject::disconnect(c);
    return out;
}

void setByteForm(VxTerminal& term)
{
    term.receive(esc("KM") + bytes({term.modeFlags() & ~1}));
}

} // namespace

class TestVxTerminal : public QObject
{
    Q_OBJECT
private slots:
    void replies_data();
    void replies();
    void eepromCells_data();
    void eepromCells();
    void display_data();
    void display();
    void byteFormDisplayCommands_data();
    void byteFormDisplayCommands();
    void fixedTextWithEmbeddedCommands();
    void fixedTextTriggers_data();
    void fixedTextTriggers();
    void userCharsLoadedAtReset();
    void speedSwitch_data();
    void speedSwitch();
    void speedTwoDecidedByIdle();
    void resetInsideSwitchOnText();
    void saveAndReset();
    void portsAndTestPlugs();
    void keys();
    void bootloader();
    void bootloaderBlocks_data();
    void bootloaderBlocks();
    void faults();
    void firmwareFeatures_data();
    void firmwareFeatures();
    void truncatedCommandsRecover();
    void memoryRoundTrip();
    void loadState_data();
    void loadState();
};

void TestVxTerminal::replies_data()
{
    QTest::addColumn<bool>("byteForm");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray ack(1, 6);
    const QByteArray nak(1, 21);
    QTest::newRow("?V decimal") << false << esc("?V") << QByteArray("V:2.7,004711;");
    QTest::newRow("?V byte form answers the same text")
        << true << esc("?V") << QByteArray("V:2.7,004711;");
    QTest::newRow("?A decimal") << false << esc("?A") << QByteArray("A:200,3;");
    QTest::newRow("?A byte") << true << esc("?A") << QByteArray("A:") + bytes({200, 3});
    QTest::newRow("K?M default") << false << esc("K?M") << QByteArray("M:27;");
    QTest::newRow("KM 81 then K?M") << false << esc("KM") + "Q" + esc("K?M") << QByteArray("M:81;");
    QTest::newRow("KM drops the value 4")
        << false << esc("KM") + bytes({5}) + esc("K?M") << QByteArray();
    QTest::newRow("K?M byte") << true << esc("K?M") << QByteArray("M:") + bytes({26});
    QTest::newRow("K?E decimal") << false << esc("K?E")
                                 << QByteArray("E:") + QByteArray(16, '1') + "0;";
    QTest::newRow("K?E byte") << true << esc("K?E")
                              << QByteArray("E:") + QByteArray(16, 1) + bytes({0});
    QTest::newRow("L?A") << false << esc("L?A") << QByteArray("A:4,20;");
    QTest::newRow("LA decimal") << false << esc("LA2,16;") + esc("L?A") << QByteArray("A:2,16;");
    QTest::newRow("LA byte") << true << esc("LA") + bytes({2, 16}) + esc("L?A")
                             << QByteArray("A:") + bytes({2, 16});
    QTest::newRow("LA out of range ignored")
        << false << esc("LA0,16;") + esc("L?A") << QByteArray("A:4,20;");
    QTest::newRow("port 0 holds contrast and backlight")
        << false << esc("LK") + bytes({11}) + esc("LB1;") + esc("?P0;") << QByteArray("P:27;");
    QTest::newRow("backlight off")
        << false << esc("LK") + bytes({3}) + esc("LB0;") + esc("?P0;") << QByteArray("P:3;");
    QTest::newRow("P0 91 reads back")
        << false << esc("P0,91;") + esc("?P0;") << QByteArray("P:91;");
    QTest::newRow("P1 decimal") << false << esc("P1,170;") + esc("?P1;") << QByteArray("P:170;");
    QTest::newRow("P1 byte") << true << esc("P") + bytes({1, 170}) + esc("?P") + bytes({1})
                             << QByteArray("P:") + bytes({170});
    QTest::newRow("P above 255 clamps")
        << false << esc("P2,511;") + esc("?P2;") << QByteArray("P:255;");
    QTest::newRow("?P9 has no port") << false << esc("?P9;") << QByteArray();
    QTest::newRow("T?K default") << false << esc("T?K") << QByteArray("K:5,50,10,16,0;");
    QTest::newRow("TK decimal") << false << esc("TK10,50,10,2,0;") + esc("T?K")
                                << QByteArray("K:10,50,10,2,0;");
    QTest::newRow("TK byte") << true << esc("TK") + bytes({1, 2, 3, 36, 7}) + esc("T?K")
                             << QByteArray("K:") + bytes({1, 2, 3, 36, 7});
    QTest::newRow("T?C default") << false << esc("T?C5;") << QByteArray("C:e,E;");
    QTest::newRow("T?C byte form") << true << esc("T?C5;") << QByteArray("C:eE");
    QTest::newRow("T?C 33 invalid") << false << esc("T?C33;") << QByteArray();
    QTest::newRow("TC decimal") << false << esc("TC5,143,65;") + esc("T?C5;")
                                << QByteArray("C:") + bytes({143}) + ",A;";
    QTest::newRow("TC byte one digit") << true << esc("TC5") + bytes({143, 'x'}) + esc("T?C5;")
                                       << QByteArray("C:") + bytes({143, 'x'});
    QTest::newRow("TC byte two digits")
        << true << esc("TC12qQ") + esc("T?C12;") << QByteArray("C:qQ");
    QTest::newRow("TC byte one digit, code a digit, next ESC")
        << true << esc("TC15x") + esc("T?C1;") << QByteArray("C:5x");
    QTest::newRow("?T without key") << false << esc("?T") << QByteArray("T:;");
    QTest::newRow("KS answers ACK") << false << esc("KS") << ack;
    QTest::newRow("Ks sets the serial number")
        << false << esc("Ks48,48,48,49,50,51,38;") + esc("?V") << QByteArray("V:2.7,000123;");
    QTest::newRow("Ks byte form") << true << esc("Ks000123") + bytes({38}) + esc("?V")
                                  << QByteArray("V:2.7,000123;");
    QTest::newRow("Ks wrong checksum ignored")
        << false << esc("Ks48,48,48,49,50,51,39;") + esc("?V") << QByteArray("V:2.7,004711;");
    QTest::newRow("block e stored")
        << false << esc("E1,0,0;") + esc("e") + "ABCDEFGH" + bytes({36}) << ack + "0";
    QTest::newRow("block e wrong checksum refused")
        << false << esc("E1,0,0;") + esc("e") + "ABCDEFGH" + bytes({37}) << ack + nak;
    QTest::newRow("unknown command ignored")
        << false << esc("XY") + esc("?V") << QByteArray("V:2.7,004711;");
    QTest::newRow("FP and FZ answer nothing") << false << esc("FP3;") + esc("FZ0;") << QByteArray();
}

void TestVxTerminal::replies()
{
    QFETCH(bool, byteForm);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    VxTerminal term;
    term.setAnalog(803);
    if (byteForm)
        setByteForm(term);
    if (QByteArray(QTest::currentDataTag()) == "KM drops the value 4") {
        term.receive(input);
        QCOMPARE(term.modeFlags(), 1);
        return;
    }
    QCOMPARE(exchange(term, input), expected);
}

void TestVxTerminal::eepromCells_data()
{
    QTest::addColumn<bool>("byteForm");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("value");

    const QByteArray ack(1, 6);
    const QByteArray nak(1, 21);
    QTest::newRow("E decimal 1000") << false << esc("E3,232,65;") << ack << 1000 << 65;
    QTest::newRow("E byte 1000") << true << esc("E") + bytes({3, 232, 65}) << ack << 1000 << 65;
    QTest::newRow("E then ?E decimal")
        << false << esc("E3,232,65;") + esc("?E3,232;") << ack + "E:65;" << 1000 << 65;
    QTest::newRow("E then ?E byte")
        << true << esc("E") + bytes({3, 232, 65}) + esc("?E") + bytes({3, 232}) << ack + "E:A"
        << 1000 << 65;
    QTest::newRow("E value 300 NAK") << false << esc("E3,232,300;") << nak << 1000 << 255;
    QTest::newRow("E two parameters NAK") << false << esc("E3,232;") << nak << 1000 << 255;
    QTest::newRow("E not a number NAK") << false << esc("E3,x,1;") << nak << 1000 << 255;
    QTest::newRow("user char cell") << false << esc("E0,29,31;") << ack << 29 << 31;
    QTest::newRow("address wraps like the chip") << false << esc("E16,1,7;") << ack << 1 << 7;
    QTest::newRow("byte-form E0 with a digit as high byte reaches cell 29")
        << true << esc("E0") + bytes({29, 31}) << ack << 29 << 31;
    QTest::newRow("blocks follow the write address")
        << false
        << esc("E1,0,0;") + esc("e") + "ABCDEFGH" + bytes({36}) + esc("e") + "IJKLMNOP" +
               bytes({100})
        << ack + "00" << 0x108 << int('I');
}

void TestVxTerminal::eepromCells()
{
    QFETCH(bool, byteForm);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QFETCH(int, address);
    QFETCH(int, value);
    VxTerminal term;
    if (byteForm)
        setByteForm(term);
    QCOMPARE(exchange(term, input), expected);
    QCOMPARE(int(term.eepromCell(address)), value);
}

void TestVxTerminal::display_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("lines");

    const QString blank(20, ' ');
    const auto pad = [](const QString& s) { return s.leftJustified(20, ' '); };
    QTest::newRow("text") << QByteArray("Hallo") << QStringList{pad("Hallo"), blank, blank, blank};
    QTest::newRow("wrap") << QByteArray(22, 'x')
                          << QStringList{QString(20, 'x'), pad("xx"), blank, blank};
    QTest::newRow("last row wraps to the first")
        << QByteArray(81, 'y')
        << QStringList{pad("y").replace(1, 19, QString(19, 'y')), QString(20, 'y'),
                       QString(20, 'y'), QString(20, 'y')};
    QTest::newRow("cursor") << esc("LC2,9;") + "ab"
                            << QStringList{blank, pad("        ab"), blank, blank};
    QTest::newRow("cursor with mode")
        << esc("LC2,1,2;") + "Wichtig " << QStringList{blank, pad("Wichtig "), blank, blank};
    QTest::newRow("clear") << QByteArray("abc") + esc("LL") + "d"
                           << QStringList{pad("d"), blank, blank, blank};
    QTest::newRow("CR LF is one break")
        << QByteArray("a\r\nb\rc\nd") << QStringList{pad("a"), pad("b"), pad("c"), pad("d")};
    QTest::newRow("user char by swap code") << esc("LZ0,228,0,16,31,31,31,16,0,0;") + "\xe4" + "x"
                                            << QStringList{pad("<000>x"), blank, blank, blank};
    QTest::newRow("ANSI text") << QByteArray("\xc4") << QStringList{pad("Ä"), blank, blank, blank};
}

void TestVxTerminal::display()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, lines);
    VxTerminal term;
    term.receive(input);
    QStringList got = term.displayLines();
    // A user character takes one cell but five characters of text.
    for (int i = 0; i < got.size(); ++i)
        if (got[i].contains('<'))
            got[i] = got[i].left(got[i].size() - 4);
    QCOMPARE(got, lines);
}

void TestVxTerminal::byteFormDisplayCommands_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port0");
    QTest::newRow("LC byte") << esc("LC") + bytes({2, 9}) + "ab" << 1 << "ab" << 0x17;
    QTest::newRow("LZ byte with swap text")
        << esc("LZ") + bytes({1}) + "Q" + bytes({1, 2, 3, 4, 5, 6, 7, 8}) + "Q" << 0 << "<001>"
        << 0x17;
    QTest::newRow("LB byte off") << esc("LB") + bytes({0}) << 0 << "" << 0x07;
    QTest::newRow("LK above 15 gives 15") << esc("LK") + bytes({200}) << 0 << "" << 0x1F;
    QTest::newRow("P0 byte") << esc("P") + bytes({0, 0x2A}) << 0 << "" << 0x2A;
    QTest::newRow("LL byte") << QByteArray("xy") + esc("LL") << 0 << "" << 0x17;
}

void TestVxTerminal::byteFormDisplayCommands()
{
    QFETCH(QByteArray, input);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(int, port0);
    VxTerminal term;
    setByteForm(term);
    term.receive(input);
    QCOMPARE(term.displayLine(row).trimmed(), text);
    QCOMPARE(term.portValue(0), port0);
    if (QByteArray(QTest::currentDataTag()).startsWith("LC"))
        QCOMPARE(term.displayLine(row).indexOf(QLatin1String("ab")), 8);
    if (QByteArray(QTest::currentDataTag()).startsWith("LZ")) {
        QCOMPARE(int(term.display().swapCode(1)), int('Q'));
        QCOMPARE(int(term.display().userCharRows(1)[7]), 8);
    }
}

void TestVxTerminal::fixedTextWithEmbeddedCommands()
{
    VxTerminal term;
    // Text 0 at 0x0201: clear, "Hi", cursor to row 2, "Du".
    const QByteArray text = esc("LL") + "Hi" + esc("LC2,1;") + "Du";
    term.receive(esc("E1,0,2;") + esc("E1,1,1;"));
    int address = 0x201;
    for (char c : text + QByteArray(1, '\0'))
        term.receive(esc("E") + QByteArray::number(address / 256) + "," +
                     QByteArray::number(address % 256) + "," +
                     QByteArray::number(static_cast<uchar>(c)) + ";"),
            ++address;
    term.receive("junk" + esc("FZ0;"));
    QCOMPARE(term.displayLine(0).trimmed(), QStringLiteral("Hi"));
    QCOMPARE(term.displayLine(1).trimmed(), QStringLiteral("Du"));
    // A text that shows itself does not loop forever.
    term.receive(esc("E1,2,2;") + esc("E1,3,1;"));
    term.receive(esc("E2,1,27;") + esc("E2,2,70;") + esc("E2,3,90;") + esc("E2,4,49;") +
                 esc("E2,5,59;") + esc("E2,6,0;"));
    term.receive(esc("FZ1;"));
    QVERIFY(!term.displayLines().isEmpty());
}

void TestVxTerminal::fixedTextTriggers_data()
{
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<int>("portInput"); // -1: none
    QTest::addColumn<int>("key");       // 0: none
    QTest::addColumn<QString>("shown");
    QTest::newRow("switch-on message after reset")
        << esc("KM") + bytes({27 | 32}) + esc("KS") + esc("Kr") << -1 << 0 << "Willkommen";
    QTest::newRow("no switch-on message") << esc("KS") + esc("Kr") << -1 << 0 << "";
    QTest::newRow("fixed-text mode follows the port")
        << esc("KM") + bytes({27 | 64}) + esc("FP3;") << 3 << 0 << "Taste";
    QTest::newRow("other port does nothing")
        << esc("KM") + bytes({27 | 64}) + esc("FP4;") << 3 << 0 << "";
    QTest::newRow("key with #1 shows text 1") << esc("TC5,129,65;") << -1 << 5 << "Taste";
}

void TestVxTerminal::fixedTextTriggers()
{
    QFETCH(QByteArray, commands);
    QFETCH(int, portInput);
    QFETCH(int, key);
    QFETCH(QString, shown);
    VxTerminal term;
    // Texts 0 "Willkommen" and 1 "Taste" as the block writer lays them out.
    const QByteArray texts = QByteArray("Willkommen") + '\0' + "Taste" + '\0';
    for (int n = 0; n < 128; ++n) {
        const int start = n == 0 ? 0x201 : n == 1 ? 0x201 + 11 : 0x200;
        term.setEepromCell(0x100 + 2 * n, static_cast<uchar>(start / 256));
        term.setEepromCell(0x101 + 2 * n, static_cast<uchar>(start % 256));
    }
    term.setEepromCell(0x200, 0);
    for (int i = 0; i < texts.size(); ++i)
        term.setEepromCell(0x201 + i, static_cast<uchar>(texts[i]));
    term.receive(commands);
    if (portInput >= 0)
        term.setPortInput(portInput, 1);
    if (key > 0)
        term.pressKey(key);
    QCOMPARE(term.displayLine(0).trimmed(), shown);
}

void TestVxTerminal::userCharsLoadedAtReset()
{
    VxTerminal term;
    term.receive(esc("E0,29,31;") + esc("E0,66,65;"));
    QCOMPARE(int(term.display().userCharRows(3)[5]), 0);
    term.receive(esc("Kr"));
    QCOMPARE(int(term.display().userCharRows(3)[5]), 31);
    QCOMPARE(int(term.display().swapCode(2)), 'A');
    term.receive("A");
    QCOMPARE(term.displayLine(0).left(5), QStringLiteral("<002>"));
}

void TestVxTerminal::speedSwitch_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("baud");
    QTest::addColumn<bool>("rs485");
    QTest::newRow("SG0") << esc("SG0") << 9600 << false;
    QTest::newRow("SG2;") << esc("SG2;") << 38400 << false;
    QTest::newRow("SG5 RS485") << esc("SG5") << 19200 << true;
    QTest::newRow("SG6 byte value") << esc("SG") + bytes({6}) << 38400 << true;
    QTest::newRow("SG3 ignored") << esc("SG3") << 19200 << false;
    QTest::newRow("SG9 ignored") << esc("SG9") << 19200 << false;
    // The network module's codes are two digits, not "SG2" and a stray digit.
    QTest::newRow("SG20 network") << esc("SG20") << 19200 << false;
    QTest::newRow("SG21 network") << esc("SG21") << 19200 << false;
    QTest::newRow("SG22; network") << esc("SG22;") << 19200 << false;
    QTest::newRow("SG2 then text") << esc("SG2") << 38400 << false;
}

void TestVxTerminal::speedSwitch()
{
    QFETCH(QByteArray, input);
    QFETCH(int, baud);
    QFETCH(bool, rs485);
    for (const QString& firmware : {QStringLiteral("2.2"), QStringLiteral("2.7")}) {
        VxTerminal::Options options;
        options.firmware = firmware;
        VxTerminal term(options);
        QSignalSpy spy(&term, &VxTerminal::speedChanged);
        // The semicolon after the code is swallowed, not shown.
        term.receive(input + "x");
        QCOMPARE(term.displayLine(0).left(2), QStringLiteral("x "));
        // Firmware 2.3 and later switch only at the next reset.
        if (firmware == QLatin1String("2.7")) {
            QCOMPARE(term.baudRate(), 19200);
            QCOMPARE(term.rs485(), false);
            term.receive(esc("Kr"));
        }
        QCOMPARE(term.baudRate(), baud);
        QCOMPARE(term.rs485(), rs485);
        QCOMPARE(spy.count(), baud == 19200 ? 0 : 1);
        term.receive(esc("Kr"));
        QCOMPARE(term.baudRate(), baud); // the speed survives a reset
    }
}

void TestVxTerminal::speedTwoDecidedByIdle()
{
    VxTerminal term;
    term.receive(esc("SG2"));
    QCOMPARE(term.pendingSpeedCode(), -1); // "SG20".."SG22" may still follow
    QTRY_COMPARE_WITH_TIMEOUT(term.pendingSpeedCode(), 2, 2000);
}

void TestVxTerminal::resetInsideSwitchOnText()
{
    VxTerminal term;
    // Text 0: a reset, then "Hallo". Shown at every reset, it must not show itself again.
    const QByteArray text = esc("Kr") + "Hallo" + QByteArray(1, '\0');
    term.setEepromCell(0x100, 0x02);
    term.setEepromCell(0x101, 0x01);
    for (int i = 0; i < text.size(); ++i)
        term.setEepromCell(0x201 + i, static_cast<uchar>(text[i]));
    term.receive(esc("KM") + bytes({27 | 32}) + esc("KS") + esc("Kr"));
    QCOMPARE(term.displayLine(0).trimmed(), QStringLiteral("Hallo"));
    term.reset();
    QCOMPARE(term.displayLine(0).trimmed(), QStringLiteral("Hallo"));
    // The same from a memory file: the reset at start shows the text once.
    VxTerminal restarted;
    QString error;
    QVERIFY2(restarted.loadState(term.stateText(), &error), qPrintable(error));
    QCOMPARE(restarted.displayLine(0).trimmed(), QStringLiteral("Hallo"));
}

void TestVxTerminal::saveAndReset()
{
    VxTerminal term;
    term.receive(esc("KM") + bytes({81}) + esc("LA2,16;") + esc("TK1,2,3,4,5;"));
    term.receive(esc("Kr"));
    QCOMPARE(term.modeFlags(), 27);
    QCOMPARE(term.display().cols(), 20);
    term.receive(esc("KM") + bytes({81}) + esc("LA2,16;") + esc("KS") + esc("KM") + bytes({1}));
    term.receive(esc("Kr"));
    QCOMPARE(term.modeFlags(), 81);
    QCOMPARE(term.display().rows(), 2);
    QCOMPARE(term.display().cols(), 16);
}

void TestVxTerminal::portsAndTestPlugs()
{
    VxTerminal term;
    term.setTestPlugs(true, 256);
    QCOMPARE(exchange(term, esc("P1,85;") + esc("?P1;")), QByteArray("P:170;"));
    QCOMPARE(exchange(term, esc("P1,10;") + esc("?P1;")), QByteArray("P:5;"));
    QCOMPARE(exchange(term, esc("P0,85;") + esc("?P0;")), QByteArray("P:213;"));
    for (int k = 0; k < 4; ++k) {
        term.receive(esc("P0,") + QByteArray::number(k) + ";");
        QCOMPARE(term.analogValue(), k * 256);
    }
    term.setTestPlugs(true, 341);
    QCOMPARE(term.analogValue(), 1023);
    term.setTestPlugs(false);
    term.setPortInput(3, 0x42);
    QCOMPARE(exchange(term, esc("?P3;")), QByteArray("P:66;"));
    term.setPortInput(3, -1);
    QCOMPARE(exchange(term, esc("?P3;")), QByteArray("P:0;"));
    // Port 1 drives the LEDs of keys 1..8.
    term.receive(esc("P1,255;"));
    QVERIFY(term.keyLed(1) && term.keyLed(8) && !term.keyLed(9));
}

void TestVxTerminal::keys()
{
    VxTerminal term;
    QSignalSpy spy(&term, &VxTerminal::transmit);
    term.pressKey(1);
    term.releaseKey(1);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toByteArray(), QByteArray("a"));
    // Shift key 32, then key 2 gives its shifted code.
    term.receive(esc("TK5,50,10,16,32;"));
    term.pressKey(32);
    term.pressKey(2);
    term.releaseKey(2);
    term.releaseKey(32);
    QCOMPARE(spy.last().at(0).toByteArray(), QByteArray("B"));
    // A matrix keypad gets shift codes only from firmware 2.5 on.
    for (const char* fw : {"2.4", "2.5"}) {
        VxTerminal::Options o;
        o.firmware = QString::fromLatin1(fw);
        VxTerminal matrix(o);
        QByteArray out;
        connect(&matrix, &VxTerminal::transmit, this, [&out](const QByteArray& b) { out += b; });
        matrix.receive(esc("TK5,50,10,24,32;"));
        matrix.pressKey(32);
        matrix.pressKey(2);
        QCOMPARE(out, QByteArray(qstrcmp(fw, "2.5") == 0 ? "B" : "b"));
    }
    // Polling: nothing is sent, "?T" fetches the code once.
    term.receive(esc("TK5,50,10,17,0;"));
    spy.clear();
    term.pressKey(3);
    term.releaseKey(3);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(exchange(term, esc("?T")), QByteArray("T:c;"));
    QCOMPARE(exchange(term, esc("?T")), QByteArray("T:;"));
    // Keyboard disabled in the mode byte: keys do nothing.
    term.receive(esc("TK5,50,10,16,0;") + esc("KM") + bytes({1}));
    spy.clear();
    term.pressKey(4);
    QCOMPARE(spy.count(), 0);
    QVERIFY(term.keyPressed(4));
}

void TestVxTerminal::bootloader()
{
    VxTerminal term;
    const QByteArray contact = bytes({234});
    QCOMPARE(exchange(term, esc("Kr") + contact), bytes({235}));
    QVERIFY(term.bootloaderActive());
    QCOMPARE(exchange(term, contact), bytes({235}));
    QByteArray data;
    for (int i = 0; i < 16; ++i)
        data += static_cast<char>(i + 1);
    int sum = 16 + 0 + 8;
    for (char c : data)
        sum += static_cast<uchar>(c);
    const QByteArray good = bytes({227, 0, 8, 16, sum % 256}) + data;
    QCOMPARE(exchange(term, good), bytes({231, 228}));
    const QByteArray bad = bytes({227, 0, 8, 16, (sum + 1) % 256}) + data;
    QCOMPARE(exchange(term, bad), bytes({232}));
    const QByteArray block0 = exchange(term, bytes({230, 0}));
    QCOMPARE(block0.size(), 512);
    QCOMPARE(block0.mid(16, 16), data); // word address 8 is byte 16
    QCOMPARE(block0.left(2), bytes({0xFF, 0x3F}));
    term.receive(bytes({237}));
    QVERIFY(!term.bootloaderActive());
    QCOMPARE(exchange(term, esc("?V")), QByteArray("V:2.7,004711;"));
}

void TestVxTerminal::bootloaderBlocks_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("checksumDelta");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("stored");
    const int none = int(VxTerminal::Fault::None);
    QTest::newRow("good block") << none << 16 << 0 << bytes({231, 228}) << true;
    QTest::newRow("wrong checksum") << none << 16 << 1 << bytes({232}) << false;
    QTest::newRow("length not 16") << none << 15 << 0 << bytes({232}) << false;
    QTest::newRow("fault checksum")
        << int(VxTerminal::Fault::WrongChecksum) << 16 << 0 << bytes({232}) << false;
    QTest::newRow("fault nak: received, not stored")
        << int(VxTerminal::Fault::NakEvery) << 16 << 0 << bytes({231, 232}) << true;
}

void TestVxTerminal::bootloaderBlocks()
{
    QFETCH(int, fault);
    QFETCH(int, length);
    QFETCH(int, checksumDelta);
    QFETCH(QByteArray, answer);
    QFETCH(bool, stored);
    VxTerminal term;
    QCOMPARE(exchange(term, bytes({234})), bytes({235})); // power-on opens the window too
    term.setFault(static_cast<VxTerminal::Fault>(fault), 1);
    const QByteArray data(16, 'Z');
    const int sum = (length + 0x12 + 0x34 + 16 * 'Z' + checksumDelta) % 256;
    QCOMPARE(exchange(term, bytes({227, 0x12, 0x34, length, sum}) + data), answer);
    // Word address 0x1234 is byte 0x2468; the block read back shows whether it was stored.
    const QByteArray block = exchange(term, bytes({230, 0x2468 / 512}));
    QCOMPARE(block.size(), 512);
    QCOMPARE(block.mid(0x2468 % 512, 16) == data, stored);
}

void TestVxTerminal::firmwareFeatures_data()
{
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray block = esc("E1,0,0;") + esc("e") + "ABCDEFGH" + bytes({36});
    QTest::newRow("blocks with 2.6") << "2.6" << block << bytes({6, '0'});
    QTest::newRow("no blocks with 2.5") << "2.5" << block << bytes({6});
    QTest::newRow("2.10 sorts below 2.6") << "2.10" << block << bytes({6});
    QTest::newRow("bootloader with 2.2") << "2.2" << esc("Kr") + bytes({234}) << bytes({235});
    QTest::newRow("no bootloader with 2.1") << "2.1" << esc("Kr") + bytes({234}) << QByteArray();
}

void TestVxTerminal::firmwareFeatures()
{
    QFETCH(QString, firmware);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    VxTerminal::Options o;
    o.firmware = firmware;
    VxTerminal term(o);
    QCOMPARE(exchange(term, input), expected);
}

void TestVxTerminal::faults()
{
    VxTerminal term;
    term.setFault(VxTerminal::Fault::NakEvery, 2);
    QCOMPARE(exchange(term, esc("E0,1,1;") + esc("E0,1,2;") + esc("E0,1,3;")), bytes({6, 21, 6}));
    term.setFault(VxTerminal::Fault::Silent);
    QCOMPARE(exchange(term, esc("?V")), QByteArray());
    term.setFault(VxTerminal::Fault::Garbage);
    const QByteArray junk = exchange(term, esc("?V"));
    QVERIFY(!junk.isEmpty() && junk != "V:2.7,004711;");
    term.setFault(VxTerminal::Fault::DropAfter, 3);
    QSignalSpy dropped(&term, &VxTerminal::linkDropped);
    QCOMPARE(exchange(term, esc("?V")), QByteArray());
    QCOMPARE(dropped.count(), 1);
    QVERIFY(term.linkDead());
    term.setFault(VxTerminal::Fault::None);
    QCOMPARE(exchange(term, esc("?V")), QByteArray("V:2.7,004711;"));
}

void TestVxTerminal::truncatedCommandsRecover()
{
    VxTerminal term;
    QCOMPARE(exchange(term, esc("E3,2") + esc("?V")), QByteArray("V:2.7,004711;"));
    setByteForm(term);
    QSignalSpy spy(&term, &VxTerminal::transmit);
    term.receive(esc("E") + bytes({3}));
    QVERIFY(!spy.wait(VxTerminal::kIdleDiscardMs + 300));
    QCOMPARE(exchange(term, esc("?V")), QByteArray("V:2.7,004711;"));
}

void TestVxTerminal::memoryRoundTrip()
{
    VxTerminal before;
    before.receive(esc("E3,232,65;") + esc("E0,29,31;") + esc("KM") + bytes({81}) + esc("LA2,16;") +
                   esc("LK") + bytes({11}) + esc("LB0;") + esc("FP3;") + esc("TK1,2,3,36,7;") +
                   esc("TC5,143,88;") + esc("KS") + esc("Ks48,48,48,49,50,51,38;") + esc("SG6") +
                   esc("Kr"));
    // The dump shows what verify compares: the stored characters, the texts by number.
    before.receive(esc("E1,0,2;") + esc("E1,1,1;") + esc("E2,1,72;") + esc("E2,2,105;") +
                   esc("E2,3,0;") + esc("E1,2,2;") + esc("E1,3,0;"));
    const QString dump = before.stateText();
    for (const char* line : {"stored3=00 00 00 00 00 1F 00 00 swap 00\n", "text000=48 69\n",
                             "text001=-\n", "text002=?\n", "speedpending=-\n"})
        QVERIFY2(dump.contains(QLatin1String(line)), line);
    VxTerminal after;
    QVERIFY(after.loadState(before.stateText()));
    QCOMPARE(int(after.eepromCell(1000)), 65);
    QCOMPARE(int(after.display().userCharRows(3)[5]), 31); // reloaded at the reset
    QCOMPARE(after.modeFlags(), 81);
    QCOMPARE(after.display().rows(), 2);
    QCOMPARE(after.contrast(), 11);
    QVERIFY(!after.backlight());
    QCOMPARE(after.festtextPort(), 3);
    QCOMPARE(after.keyboardConfig().flags, 36);
    QCOMPARE(after.keyboardConfig().shiftKey, 7);
    QCOMPARE(int(after.keyCode(5)), 143);
    QCOMPARE(int(after.shiftCode(5)), 'X');
    QCOMPARE(after.serialNumber(), QStringLiteral("000123"));
    QCOMPARE(after.baudRate(), 38400);
    QVERIFY(after.rs485());
    // Settings survive a reset after loading: they are the saved configuration.
    after.receive(esc("Kr"));
    QCOMPARE(after.modeFlags(), 81);
}

void TestVxTerminal::loadState_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("cell100");
    QTest::newRow("empty") << "" << false << 27 << 255;
    QTest::newRow("other file") << "hello\n[terminal]" << false << 27 << 255;
    QTest::newRow("header only") << "[terminal]\n" << true << 27 << 255;
    QTest::newRow("bad numbers keep defaults")
        << "[terminal]\nmode=abc\nspeed=-1\nrows=99\n[eeprom]\n0060: ZZ 1\n"
        << true << 27 << 255;
    QTest::newRow("mode and a cell") << "[terminal]\nmode=89\n[eeprom]\n0060: 00 00 00 00 2A\n"
                                     << true << 89 << 42;
    QTest::newRow("cells beyond the chip ignored") << "[terminal]\n[eeprom]\nFFE0: 01 02\n"
                                                   << true << 27 << 255;
}

void TestVxTerminal::loadState()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(int, mode);
    QFETCH(int, cell100);
    VxTerminal term;
    QString error;
    QCOMPARE(term.loadState(text, &error), accepted);
    QCOMPARE(error.isEmpty(), accepted);
    QCOMPARE(term.modeFlags(), mode);
    QCOMPARE(int(term.eepromCell(100)), cell100);
    QCOMPARE(term.display().rows(), 4);
}

QTEST_GUILESS_MAIN(TestVxTerminal)
#include "tst_vxterminal.moc"
