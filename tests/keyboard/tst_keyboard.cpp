// Keyboard module, key code notation, user-character matrix, cell writes and demo values
// against an in-memory terminal.
#include "../link/LinkFixture.h"

#include "config/DisplayDemo.h"
#include "config/KeyboardSettings.h"
#include "config/UserCharPattern.h"
#include "link/KeyCodeNotation.h"
#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/ProgressIndicator.h"
#include "project/DataEnvironment.h"

#include <QTest>

using namespace vemro;
using namespace vemro::test;

namespace {

const QByteArray E(1, '\x1b');

QByteArray b(std::initializer_list<int> codes)
{
    QByteArray out;
    for (int c : codes)
        out.append(static_cast<char>(c));
    return out;
}

UserCharPattern patternOfRow0(const char* bits)
{
    UserCharPattern p;
    for (int col = 0; col < 5; ++col)
        p.setPixel(col, bits[col] == '1');
    return p;
}

QString row0Bits(const UserCharPattern& p)
{
    QString s;
    for (int col = 0; col < 5; ++col)
        s += p.pixel(col) ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

} // namespace

class tst_Keyboard : public QObject
{
    Q_OBJECT
private slots:
    void init() { globals().CommandBuffer.clear(); }

    void notation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shifted");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("byte"); // -1 = nothing to send
        QTest::newRow("#15") << "#15" << false << true << 143;
        QTest::newRow("#200 unshifted") << "#200" << false << true << 200;
        QTest::newRow("#-3 unshifted") << "#-3" << false << true << 128;
        QTest::newRow("#15 shifted") << "#15" << true << true << 143;
        QTest::newRow("#127 shifted") << "#127" << true << true << 255;
        QTest::newRow("#200 shifted refused") << "#200" << true << false << -1;
        QTest::newRow("#-1 shifted refused") << "#-1" << true << false << -1;
        QTest::newRow("#300 unshifted refused") << "#300" << false << false << -1;
        QTest::newRow("$41") << "$41" << false << true << 65;
        QTest::newRow("$ff") << "$ff" << true << true << 255;
        QTest::newRow("$100 refused") << "$100" << false << false << -1;
        QTest::newRow("$4G refused") << "$4G" << false << false << -1;
        QTest::newRow("a") << "a" << false << true << 97;
        QTest::newRow("ä to OEM") << QStringLiteral("ä") << false << true << 132;
        QTest::newRow("first character") << "xyz" << false << true << 120;
        QTest::newRow("lone #") << "#" << false << true << 35;
        QTest::newRow("empty") << "" << true << true << -1;
    }
    void notation()
    {
        QFETCH(QString, text);
        QFETCH(bool, shifted);
        QFETCH(bool, ok);
        QFETCH(int, byte);
        QByteArray out;
        QString error;
        QCOMPARE(KeyCodeNotation::ToKeyByte(StringToAnsi(text), shifted, &out, &error), ok);
        QCOMPARE(error.isEmpty(), ok);
        if (byte < 0)
            QVERIFY(out.isEmpty());
        else
            QCOMPARE(out, b({byte}));
    }

    void fromTerminal_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("200") << 200 << "#72";
        QTest::newRow("128") << 128 << "#0";
        QTest::newRow("a") << 97 << "a";
        QTest::newRow("control") << 10 << "$0A";
    }
    void fromTerminal()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(AnsiToString(KeyCodeNotation::FromKeyByte(static_cast<uchar>(code))), text);
    }

    // One keyboard operation against a terminal that answers `reply`.
    void commands_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("result");
        QTest::newRow("GetKeycode 0") << "get0" << 1 << QByteArray("C:a,A;") << QByteArray()
                                      << QStringLiteral("ungültige TasteNr");
        QTest::newRow("GetKeycode 33") << "get33" << 1 << QByteArray("C:a,A;") << QByteArray()
                                       << QStringLiteral("ungültige TasteNr");
        QTest::newRow("GetKeycode dec") << "get5" << 1 << QByteArray("C:e,E;") << E + "T?C5;"
                                        << "eE";
        QTest::newRow("GetKeycode byte") << "get5" << 0 << QByteArray("C:eE") << E + "T?C5;"
                                         << "eE";
        QTest::newRow("GetKeycode comma shifted")
            << "get30" << 1 << QByteArray("C:.,,;") << E + "T?C30;"
            << ".,";
        QTest::newRow("GetKeycode comma") << "get30" << 1 << QByteArray("C:,,A;") << E + "T?C30;"
                                          << ",A";
        QTest::newRow("GetKeycode semicolon shifted")
            << "get30" << 1 << QByteArray("C:a,;;") << E + "T?C30;"
            << "a;";
        QTest::newRow("GetKeycode semicolon")
            << "get30" << 1 << QByteArray("C:;,A;") << E + "T?C30;"
            << ";A";
        QTest::newRow("GetKeycode semicolons")
            << "get30" << 1 << QByteArray("C:;,;;") << E + "T?C30;"
            << ";;";
        QTest::newRow("GetKeycode three items")
            << "get30" << 1 << QByteArray("C:a,b,c;") << E + "T?C30;"
            << "A";
        QTest::newRow("GetKeycode silent") << "get5" << 1 << QByteArray() << E + "T?C5;"
                                           << "A";
        QTest::newRow("GetConfig five")
            << "config" << 1 << QByteArray("K:5,50,10,49,3;") << E + "T?K"
            << "5/50/10/49/3";
        QTest::newRow("GetConfig byte")
            << "config" << 0 << QByteArray("K:") + b({5, 50, 10, 49, 3}) << E + "T?K"
            << "5/50/10/49/3";
        QTest::newRow("GetConfig four") << "config" << 1 << QByteArray("K:5,50,10,49;") << E + "T?K"
                                        << "0/0/0/0/7";
        QTest::newRow("GetConfig six")
            << "config" << 1 << QByteArray("K:5,50,10,49,3,1;") << E + "T?K"
            << "0/0/0/0/7";
        QTest::newRow("SaveConfig dec") << "save" << 1 << QByteArray() << E + "TK5,50,10,63,3;"
                                        << "";
        QTest::newRow("SaveConfig byte")
            << "save" << 0 << QByteArray() << E + "TK" + b({5, 50, 10, 63, 3}) << "";
        QTest::newRow("SetKeycode dec") << "set#15" << 1 << QByteArray() << E + "TC5,143,65;"
                                        << "";
        QTest::newRow("SetKeycode key 5 byte")
            << "set#15" << 0 << QByteArray() << E + "TC5" + b({143, 65}) << "";
        QTest::newRow("SetKeycode ä") << "setä" << 1 << QByteArray() << E + "TC5,132,200;"
                                      << "";
        QTest::newRow("empty shift sends nothing")
            << "setEmpty" << 1 << QByteArray() << QByteArray() << "";
        QTest::newRow("shifted #200 refused")
            << "setBad" << 1 << QByteArray() << QByteArray() << "refused";
        QTest::newRow("LastKeyCode dec") << "last" << 1 << QByteArray("T:x;") << E + "?T"
                                         << "x";
        QTest::newRow("LastKeyCode byte") << "last" << 0 << QByteArray("T:x") << E + "?T"
                                          << "x";
        QTest::newRow("LastKeyCode none") << "last" << 1 << QByteArray("T:;") << E + "?T"
                                          << "";
    }
    void commands()
    {
        QFETCH(QString, op);
        QFETCH(int, mode);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, sent);
        QFETCH(QString, result);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [reply](const QByteArray&) { return reply; };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.ParameterMode = mode;
        clsVXKeyboard& k = *link.vx.Keyboard();
        QString got;
        if (op.startsWith(QLatin1String("get"))) {
            got = AnsiToString(k.GetKeycode(static_cast<qint16>(op.mid(3).toInt())));
        } else if (op == QLatin1String("config")) {
            k.ShiftKey = 7;
            k.MinPress = 99;
            k.GetConfig();
            got = QStringLiteral("%1/%2/%3/%4/%5")
                      .arg(k.MinPress)
                      .arg(k.TimeUntilRepeat)
                      .arg(k.TimeBetweenRepeat)
                      .arg(k.flags())
                      .arg(k.ShiftKey);
        } else if (op == QLatin1String("save")) {
            k.MinPress = 5;
            k.TimeUntilRepeat = 50;
            k.TimeBetweenRepeat = 10;
            k.setFlags(63);
            k.ShiftKey = 3;
            k.SaveConfig();
        } else if (op.startsWith(QLatin1String("set"))) {
            const QString which = op.mid(3);
            QByteArray code = StringToAnsi(which == QStringLiteral("ä") ? QStringLiteral("ä")
                                                                        : QStringLiteral("#15"));
            QByteArray shift = which == QStringLiteral("ä") ? QByteArray("$C8") : QByteArray("A");
            if (which == QLatin1String("Empty"))
                shift.clear();
            if (which == QLatin1String("Bad"))
                shift = "#200";
            QString error;
            if (!k.SetKeycode(5, code, shift, &error))
                got = QStringLiteral("refused");
            QCOMPARE(error.isEmpty(), got.isEmpty());
        } else if (op == QLatin1String("last")) {
            got = AnsiToString(k.LastKeyCode());
        }
        QCOMPARE(got, result);
        QCOMPARE(term.all(), sent);
    }

    void flagsRoundTrip()
    {
        clsVXKeyboard k;
        for (int f = 0; f < 64; ++f) {
            k.setFlags(f);
            QCOMPARE(k.flags(), f);
        }
    }

    void modeFlagUsesKeyboard()
    {
        clsVX vx;
        vx.ParameterMode = 1;
        vx.SendMode = 0;
        vx.Keyboard()->enabled = true;
        QCOMPARE(vx.modeFlags(), 9);
    }

    void standardTable()
    {
        const KeyCodeTable t = KeyboardSettings::standardTable();
        QCOMPARE(t.size(), 32);
        QCOMPARE(t.first(), (KeyCodeRow{1, QStringLiteral("a"), QStringLiteral("A")}));
        QCOMPARE(t.at(25), (KeyCodeRow{26, QStringLiteral("z"), QStringLiteral("Z")}));
        // Key 32: codes 128 and 96 (the euro sign in the ANSI page, and "`").
        QCOMPARE(AnsiCode(t.last().Tastencode.at(0)), 128);
        QCOMPARE(AnsiCode(t.last().Tastencode_Shift.at(0)), 96);
    }

    void rowCode_data()
    {
        QTest::addColumn<QString>("bits");
        QTest::addColumn<QString>("code");
        QTest::newRow("pixels 0 and 4") << "10001"
                                        << "&H11";
        QTest::newRow("pixel 4") << "00001"
                                 << "&H01";
        QTest::newRow("full row") << "11111"
                                  << "&H1F";
        QTest::newRow("empty") << "00000"
                               << "&H00";
    }
    void rowCode()
    {
        QFETCH(QString, bits);
        QFETCH(QString, code);
        const UserCharPattern p = patternOfRow0(qPrintable(bits));
        QCOMPARE(UserCharPattern::rowCodeText(p.rowCode(0)), code);
    }

    void rotate_data()
    {
        QTest::addColumn<QString>("bits");
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QString>("result");
        QTest::newRow("10000 right") << "10000"
                                     << "right"
                                     << "01000";
        QTest::newRow("00001 right") << "00001"
                                     << "right"
                                     << "10000";
        QTest::newRow("10000 left") << "10000"
                                    << "left"
                                    << "00001";
        QTest::newRow("01100 left") << "01100"
                                    << "left"
                                    << "11000";
    }
    void rotate()
    {
        QFETCH(QString, bits);
        QFETCH(QString, direction);
        QFETCH(QString, result);
        UserCharPattern p = patternOfRow0(qPrintable(bits));
        if (direction == QLatin1String("right"))
            p.rotateRight();
        else
            p.rotateLeft();
        QCOMPARE(row0Bits(p), result);
    }

    void rotateVertical()
    {
        const UserCharPattern start = UserCharPattern::fromRows({1, 2, 3, 4, 5, 6, 7, 8});
        UserCharPattern p = start;
        p.rotateUp();
        QCOMPARE(p.rows(), (std::array<int, 8>{2, 3, 4, 5, 6, 7, 8, 1}));
        p.rotateDown();
        QCOMPARE(p, start);
        p.rotateDown();
        QCOMPARE(p.rows(), (std::array<int, 8>{8, 1, 2, 3, 4, 5, 6, 7}));
    }

    void invertAndFromRows()
    {
        // Bits beyond the five columns are not shown.
        UserCharPattern p = UserCharPattern::fromRows({0xFF, 0, 0, 0, 0, 0, 0, 0x11});
        QCOMPARE(p.rows(), (std::array<int, 8>{31, 0, 0, 0, 0, 0, 0, 17}));
        p.invert();
        QCOMPARE(p.rows(), (std::array<int, 8>{0, 31, 31, 31, 31, 31, 31, 14}));
        p.clear();
        QCOMPARE(p.rows(), (std::array<int, 8>{}));
    }

    void swapBoxes()
    {
        QCOMPARE(UserCharPattern::swapCharKept(QStringLiteral("AB")), QStringLiteral("A"));
        QCOMPARE(UserCharPattern::swapCodeForChar(QStringLiteral("A")), QStringLiteral("65"));
        QCOMPARE(UserCharPattern::swapCodeForChar(QString()), QStringLiteral("0"));
        QCOMPARE(UserCharPattern::swapCodeValue(QStringLiteral("300")), 0);
        QCOMPARE(UserCharPattern::swapCodeValue(QStringLiteral("-1")), 0);
        QCOMPARE(UserCharPattern::swapCodeValue(QStringLiteral(" 228")), 228);
        QCOMPARE(UserCharPattern::swapCharForCode(0), QString(QChar(0)));
        QCOMPARE(UserCharPattern::swapCharForCode(228), QStringLiteral("ä"));
    }

    void directLoad_data()
    {
        QTest::addColumn<QString>("swap");
        QTest::addColumn<bool>("decimal");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("decimal") << QStringLiteral("ä") << true
                                 << E + "LZ0,228,0,16,31,31,31,16,0,0;";
        QTest::newRow("byte") << QStringLiteral("ä") << false
                              << E + "LZ" + b({0, 228, 0, 16, 31, 31, 31, 16, 0, 0});
        QTest::newRow("no swap") << QString() << true << QByteArray();
        QTest::newRow("two characters") << QStringLiteral("ab") << true << QByteArray();
    }
    void directLoad()
    {
        QFETCH(QString, swap);
        QFETCH(bool, decimal);
        QFETCH(QByteArray, command);
        QByteArray out;
        QString error;
        const bool ok = UserCharPattern::directLoadCommand(
            0, swap, UserCharPattern::swapCodeForChar(swap), {0, 16, 31, 31, 31, 16, 0, 0}, decimal,
            &out, &error);
        QCOMPARE(ok, !command.isEmpty());
        QCOMPARE(out, command);
        if (!ok)
            QCOMPARE(error, QStringLiteral("Bitte gültiges Tauschzeichen angeben"));
    }

    // Each cell confirmed (or not) by `answer(cell index)`.
    void userCells_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("badCell");
        QTest::addColumn<QByteArray>("badAnswer");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("cellsSent");
        QTest::addColumn<QString>("message");
        QTest::newRow("all ACK") << 1 << -1 << QByteArray() << true << 72 << QString();
        QTest::newRow("all ACK byte form") << 0 << -1 << QByteArray() << true << 72 << QString();
        QTest::newRow("NAK at the tenth") << 1 << 9 << QByteArray("\x15") << false << 10
                                          << QStringLiteral("Fehler beim Schreiben in EEProm");
        QTest::newRow("silence at the third")
            << 1 << 2 << QByteArray() << false << 3 << QStringLiteral("Verbindungsfehler");
        QTest::newRow("other reply") << 1 << 20 << QByteArray("X") << false << 72
                                     << QStringLiteral("nicht bestätigt (Adressen 20)");
    }
    void userCells()
    {
        QFETCH(int, mode);
        QFETCH(int, badCell);
        QFETCH(QByteArray, badAnswer);
        QFETCH(bool, ok);
        QFETCH(int, cellsSent);
        QFETCH(QString, message);
        MemoryLink link;
        FakeTerminal term;
        int cell = 0;
        term.respond = [&](const QByteArray&) {
            return cell++ == badCell ? badAnswer : QByteArray("\x06");
        };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.ParameterMode = mode;
        NullProgress progress;
        link.vx.setCtlFortschritt(&progress);
        UserCharSet chars;
        chars[3].present = true;
        chars[3].rows = {0, 0, 0, 0, 0, 31, 0, 0};
        chars[2].present = true;
        chars[2].Tauschzeichen = QStringLiteral("A");
        chars[7].present = true;
        QString error;
        QCOMPARE(link.vx.SaveUserzeichen(chars, &error), ok);
        QCOMPARE(cell, cellsSent);
        QVERIFY(!progress.visible());
        QCOMPARE(progress.maximum(), 72);
        if (!ok) {
            QVERIFY2(error.contains(message), qPrintable(error));
            QVERIFY(link.ui.texts().join('\n').contains(message));
        }
        if (cellsSent == 72) {
            const QByteArray all = term.all();
            if (mode == 1) {
                QVERIFY(all.contains(E + "E0,29,31;"));
                QVERIFY(all.contains(E + "E0,66,65;"));
                QVERIFY(all.contains(E + "E0,71,0;"));
                QVERIFY(all.contains(E + "E0,0,0;")); // slot 0 without record: blank
            } else {
                QVERIFY(all.contains(E + "E0" + b({29, 31})));
                QVERIFY(all.contains(E + "E0" + b({66, 65})));
            }
        }
    }

    // What the terminal cannot take is refused before the first byte, naming the value.
    void refusedBeforeSending_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message"); // empty: written
        QTest::newRow("config valid") << "config"
                                      << ""
                                      << "";
        QTest::newRow("Mindestdauer 300") << "config"
                                          << "MinPress 300"
                                          << "Wert 300 für Mindestdauer (erlaubt 1 bis 255)";
        QTest::newRow("Zeitbisrepeat 0") << "config"
                                         << "TimeUntilRepeat 0"
                                         << "Wert 0 für Zeitbisrepeat (erlaubt 1 bis 255)";
        QTest::newRow("Wiederholrate 256") << "config"
                                           << "TimeBetweenRepeat 256"
                                           << "Wert 256 für Wiederholrate";
        QTest::newRow("shift key 40") << "config"
                                      << "ShiftKey 40"
                                      << "Wert 40 für NrShifttaste (erlaubt 0 bis 32)";
        QTest::newRow("shift key -1") << "config"
                                      << "ShiftKey -1"
                                      << "Wert -1 für NrShifttaste";
        QTest::newRow("codes valid") << "codes"
                                     << ""
                                     << "";
        QTest::newRow("key 33") << "codes"
                                << "key 33"
                                << "Wert 33 für TastenNr (erlaubt 1 bis 32)";
        QTest::newRow("key 0") << "codes"
                               << "key 0"
                               << "Wert 0 für TastenNr";
        QTest::newRow("key twice") << "codes"
                                   << "key 5"
                                   << "Taste 5 steht mehrmals";
        QTest::newRow("code without ANSI")
            << "codes" << QStringLiteral("code Ω") << QStringLiteral("„Ω“ hat keinen Zeichencode");
        QTest::newRow("chars valid") << "chars"
                                     << ""
                                     << "";
        QTest::newRow("pixel row 300")
            << "chars"
            << "row 300"
            << "Wert 300 für Zeichenbyte2 von Zeichen 3 (erlaubt 0 bis 255)";
        QTest::newRow("pixel row -1") << "chars"
                                      << "row -1"
                                      << "Wert -1 für Zeichenbyte2";
        QTest::newRow("swap without ANSI")
            << "chars" << QStringLiteral("swap Ω")
            << QStringLiteral("Tauschzeichen „Ω“ von Zeichen 3 hat keinen Zeichencode");
    }
    void refusedBeforeSending()
    {
        QFETCH(QString, part);
        QFETCH(QString, change);
        QFETCH(QString, message);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [](const QByteArray&) { return QByteArray("\x06"); };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        NullProgress progress;
        link.vx.setCtlFortschritt(&progress);
        const QString what = change.section(QLatin1Char(' '), 0, 0);
        const QString arg = change.section(QLatin1Char(' '), 1);
        const int value = arg.toInt();
        QString error;
        bool ok = false;
        if (part == QLatin1String("config")) {
            KeyboardConfig c;
            c.MinPress = 5;
            c.TimeUntilRepeat = 50;
            c.TimeBetweenRepeat = 10;
            c.ShiftKey = 32;
            int* field = what == QLatin1String("MinPress")            ? &c.MinPress
                         : what == QLatin1String("TimeUntilRepeat")   ? &c.TimeUntilRepeat
                         : what == QLatin1String("TimeBetweenRepeat") ? &c.TimeBetweenRepeat
                                                                      : &c.ShiftKey;
            if (!what.isEmpty())
                *field = value;
            KeyboardSettings::toKeyboard(c, *link.vx.Keyboard());
            ok = KeyboardSettings(link.vx, DataEnvironment::instance()).writeConfig(&error);
        } else if (part == QLatin1String("codes")) {
            KeyCodeTable t = KeyboardSettings::standardTable().mid(0, 6);
            if (what == QLatin1String("key"))
                t[1].TastenNr = value;
            else if (what == QLatin1String("code"))
                t[2].Tastencode_Shift = arg;
            ok = link.vx.SaveTastaturcodes(t, &error);
        } else {
            UserCharSet chars;
            chars[3].present = true;
            chars[3].Tauschzeichen = QStringLiteral("A");
            if (what == QLatin1String("row"))
                chars[3].rows[2] = value;
            else if (what == QLatin1String("swap"))
                chars[3].Tauschzeichen = arg;
            ok = link.vx.SaveUserzeichen(chars, &error);
        }
        QCOMPARE(ok, message.isEmpty());
        QCOMPARE(term.all().isEmpty(), !ok);
        if (!ok) {
            QVERIFY2(error.contains(message), qPrintable(error));
            QVERIFY2(error.contains(QStringLiteral("nichts an das Terminal gesendet")),
                     qPrintable(error));
        }
    }

    // The read-back after writing: the terminal's answer against what was written.
    void readBack_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("message"); // empty: the terminal holds it
        QTest::newRow("config held") << "config" << QByteArray("K:7,50,10,1,32;") << "";
        QTest::newRow("config differs")
            << "config" << QByteArray("K:5,50,10,1,0;")
            << "Mindestdauer 5 (Projekt 7), NrShifttaste 0 (Projekt 32)";
        QTest::newRow("config silent") << "config" << QByteArray() << "Verbindungsfehler";
        QTest::newRow("codes held") << "codes" << QByteArray("C:\x8f,A;") << "";
        QTest::newRow("codes differ")
            << "codes" << QByteArray("C:e,E;") << "Taste 5: e / E (Projekt #15 / $41)";
        QTest::newRow("codes silent") << "codes" << QByteArray() << "Verbindungsfehler";
    }
    void readBack()
    {
        QFETCH(QString, part);
        QFETCH(QByteArray, reply);
        QFETCH(QString, message);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [reply](const QByteArray&) { return reply; };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        QString error;
        bool ok = false;
        if (part == QLatin1String("config")) {
            KeyboardConfig c;
            c.MinPress = 7;
            c.TimeUntilRepeat = 50;
            c.TimeBetweenRepeat = 10;
            c.Polling = true;
            c.ShiftKey = 32;
            link.vx.Keyboard()->MinPress = 99;
            ok = KeyboardSettings(link.vx, DataEnvironment::instance()).verifyConfig(c, &error);
            QCOMPARE(link.vx.Keyboard()->MinPress, 99); // the object is left as it was
        } else {
            // Key 6 has no shifted code: it is not written, so not read back either.
            const KeyCodeTable t{{5, QStringLiteral("#15"), QStringLiteral("$41")},
                                 {6, QStringLiteral("f"), QString()}};
            ok = KeyboardSettings(link.vx, DataEnvironment::instance()).verifyCodes(t, &error);
            QCOMPARE(term.received.size(), 1);
        }
        QCOMPARE(ok, message.isEmpty());
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    void demoValues_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("port0");
        QTest::addColumn<int>("port1");
        QTest::newRow("analog 95") << 0 << 95 << 7 << 0;
        QTest::newRow("analog silent") << 0 << -1 << 0 << 0;
        QTest::newRow("analog 1023 capped") << 0 << 1023 << 255 << 0;
        QTest::newRow("slider 10") << 1 << 10 << 255 << 3;
        QTest::newRow("slider 4") << 1 << 4 << 15 << 0;
        QTest::newRow("slider 16") << 1 << 16 << 255 << 255;
        QTest::newRow("slider 0") << 1 << 0 << 0 << 0;
    }
    void demoValues()
    {
        QFETCH(int, option);
        QFETCH(int, input);
        QFETCH(int, port0);
        QFETCH(int, port1);
        if (option == 0) {
            QCOMPARE(DisplayDemo::analogBarPort(input), port0);
        } else {
            const auto [p0, p1] = DisplayDemo::sliderPorts(input);
            QCOMPARE(p0, port0);
            QCOMPARE(p1, port1);
        }
    }

    void demoDisplayBar()
    {
        const QList<QByteArray> texts = DisplayDemo::displayBarTexts(260);
        QCOMPARE(texts.size(), 12);
        QCOMPARE(texts.count(QByteArray(1, static_cast<char>(228))), 10);
        QCOMPARE(texts.at(10), QByteArray(" "));
        QCOMPARE(texts.last(), QByteArray(" 260   "));
        const QList<QByteArray> full = DisplayDemo::displayBarTexts(1000);
        QCOMPARE(full.size(), 41); // 40 bar characters, no blanks
        QCOMPARE(DisplayDemo::displayBarTexts(-1).last(), QByteArray("-1   "));
        QCOMPARE(DisplayDemo::loadCommand(DisplayDemo::kBarGlyph),
                 E + "LZ0,228,0,16,31,31,31,16,0,0;");
    }
};

QTEST_GUILESS_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
