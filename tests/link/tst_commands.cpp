// The terminal command set in both parameter forms, against an in-memory terminal.
#include "LinkFixture.h"

#include "platform/Globals.h"

#include <QTest>

using namespace vemro;
using namespace vemro::test;

namespace {

QByteArray b(std::initializer_list<int> codes)
{
    QByteArray out;
    for (int c : codes)
        out.append(static_cast<char>(c));
    return out;
}
const QByteArray E = QByteArray(1, '\x1b');

// Runs one operation and describes its outcome as text.
QString run(clsVX& vx, const QString& op, int a, int c)
{
    if (op == QLatin1String("GetMode")) {
        vx.SendMode = 2;
        vx.GetMode();
        return QString::number(vx.modeFlags()) + QLatin1Char('/') +
               QString::number(vx.ParameterMode);
    }
    if (op == QLatin1String("SetMode")) {
        vx.ParameterMode = a & 1;
        vx.SendMode = (a & 2) ? 2 : 0;
        vx.Keyboard()->enabled = a & 8;
        vx.IOPortsEnabled = a & 16;
        vx.Einschaltmeldung = a & 32;
        vx.Festtextmode = a & 64;
        vx.SetMode();
        return {};
    }
    if (op == QLatin1String("GetDisplaySize")) {
        vx.Rows = 9;
        vx.Cols = 9;
        vx.GetDisplaySize();
        return QStringLiteral("%1x%2").arg(vx.Rows).arg(vx.Cols);
    }
    if (op == QLatin1String("SetDisplaySize")) {
        vx.Rows = static_cast<qint16>(a);
        vx.Cols = static_cast<qint16>(c);
        vx.SetDisplaySize();
        return {};
    }
    if (op == QLatin1String("SetDisplayBacklight")) {
        vx.Backlight = static_cast<qint16>(c);
        vx.SetDisplayBacklight(a);
        return QString::number(vx.Backlight); // a level sent is not the stored one
    }
    if (op == QLatin1String("SetDisplayKontrast")) {
        vx.Kontrast = static_cast<qint16>(c);
        vx.SetDisplayKontrast(a);
        return QString::number(vx.Kontrast);
    }
    if (op == QLatin1String("GetIOPort"))
        return QString::number(vx.GetIOPort(a));
    if (op == QLatin1String("SetIOPort")) {
        vx.SetIOPort(a, c);
        return {};
    }
    if (op == QLatin1String("Analog"))
        return QString::number(vx.Analog());
    if (op == QLatin1String("GetextEEZelle"))
        return QString::number(vx.GetextEEZelle(a));
    if (op == QLatin1String("SetextEEZelle")) {
        const bool ok = vx.SetextEEZelle(a, c);
        return QStringLiteral("%1/%2").arg(ok).arg(toStored(vx.lastError()));
    }
    if (op == QLatin1String("SetSerNr")) {
        vx.SerNr = QString::number(a);
        vx.SetSerNr();
        return vx.SerNr;
    }
    if (op == QLatin1String("SetFesttextPort")) {
        vx.FesttextPort = static_cast<qint16>(c);
        vx.SetFesttextPort(a);
        return {};
    }
    if (op == QLatin1String("SaveKonfig")) {
        vx.SaveKonfig();
        return QString::number(toStored(vx.lastError()));
    }
    if (op == QLatin1String("ShowFesttext")) {
        vx.ShowFesttext(a);
        return {};
    }
    if (op == QLatin1String("CheckEEProm"))
        return QString::number(vx.CheckEEProm());
    if (op == QLatin1String("Version")) {
        const QString v = vx.Version();
        return v + QLatin1Char('/') + vx.SerNr;
    }
    if (op == QLatin1String("SetCom")) {
        vx.ComMode = static_cast<ComMode>(c);
        vx.SetCom(QString::number(a));
        return {};
    }
    if (op == QLatin1String("Reset")) {
        vx.Reset();
        return {};
    }
    return QStringLiteral("unknown op");
}

} // namespace

class tst_Commands : public QObject
{
    Q_OBJECT
private slots:
    void command_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("c");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("result");

        QTest::newRow("GetMode dec") << "GetMode" << 1 << 0 << 0 << QByteArray("M:81;") << E + "K?M"
                                     << "81/1";
        QTest::newRow("GetMode byte") << "GetMode" << 0 << 0 << 0 << QByteArray("M:Q") << E + "K?M"
                                      << "81/1";
        QTest::newRow("GetMode silent") << "GetMode" << 1 << 0 << 0 << QByteArray() << E + "K?M"
                                        << "0/0";
        QTest::newRow("SetMode dec") << "SetMode" << 1 << 81 << 0 << QByteArray() << E + "KMQ"
                                     << "";
        QTest::newRow("SetMode byte") << "SetMode" << 0 << 122 << 0 << QByteArray() << E + "KMz"
                                      << "";
        QTest::newRow("GetDisplaySize dec")
            << "GetDisplaySize" << 1 << 0 << 0 << QByteArray("A:4,20;") << E + "L?A"
            << "4x20";
        QTest::newRow("GetDisplaySize byte")
            << "GetDisplaySize" << 0 << 0 << 0 << QByteArray("A:") + b({4, 20}) << E + "L?A"
            << "4x20";
        QTest::newRow("GetDisplaySize one item")
            << "GetDisplaySize" << 1 << 0 << 0 << QByteArray("A:4;") << E + "L?A"
            << "9x9";
        QTest::newRow("SetDisplaySize dec")
            << "SetDisplaySize" << 1 << 4 << 20 << QByteArray() << E + "LA4,20;"
            << "";
        QTest::newRow("SetDisplaySize byte")
            << "SetDisplaySize" << 0 << 4 << 20 << QByteArray() << E + "LA" + b({4, 20}) << "";
        QTest::newRow("Backlight dec")
            << "SetDisplayBacklight" << 1 << 5 << 0 << QByteArray() << E + "LB5;"
            << "0";
        QTest::newRow("Backlight byte")
            << "SetDisplayBacklight" << 0 << 5 << 0 << QByteArray() << E + "LB" + b({5}) << "0";
        QTest::newRow("Backlight stored")
            << "SetDisplayBacklight" << 1 << -1 << 7 << QByteArray() << E + "LB7;"
            << "7";
        QTest::newRow("Kontrast dec")
            << "SetDisplayKontrast" << 1 << 65 << 0 << QByteArray() << E + "LKA"
            << "0";
        QTest::newRow("Kontrast byte stored")
            << "SetDisplayKontrast" << 0 << -1 << 66 << QByteArray() << E + "LKB"
            << "66";
        // A negative stored contrast is no level: nothing goes out (not the byte 0xFD).
        QTest::newRow("Kontrast negative stored")
            << "SetDisplayKontrast" << 1 << -1 << -3 << QByteArray() << QByteArray() << "-3";
        QTest::newRow("GetIOPort dec")
            << "GetIOPort" << 1 << 3 << 0 << QByteArray("P:200;") << E + "?P3;"
            << "200";
        QTest::newRow("GetIOPort minus one")
            << "GetIOPort" << 1 << 3 << 0 << QByteArray("P:-1;") << E + "?P3;"
            << "-1";
        QTest::newRow("GetIOPort byte") << "GetIOPort" << 0 << 3 << 0 << QByteArray("P:") + b({200})
                                        << E + "?P" + b({3}) << "200";
        QTest::newRow("GetIOPort silent")
            << "GetIOPort" << 1 << 3 << 0 << QByteArray() << E + "?P3;"
            << "0";
        QTest::newRow("SetIOPort dec")
            << "SetIOPort" << 1 << 2 << 255 << QByteArray() << E + "P2,255;"
            << "";
        QTest::newRow("SetIOPort byte")
            << "SetIOPort" << 0 << 2 << 255 << QByteArray() << E + "P" + b({2, 255}) << "";
        QTest::newRow("SetIOPort byte too big")
            << "SetIOPort" << 0 << 2 << 300 << QByteArray() << QByteArray() << "";
        QTest::newRow("Analog dec") << "Analog" << 1 << 0 << 0 << QByteArray("A:200,3;") << E + "?A"
                                    << "803";
        QTest::newRow("Analog byte")
            << "Analog" << 0 << 0 << 0 << QByteArray("A:") + b({200, 3}) << E + "?A"
            << "803";
        QTest::newRow("Analog silent") << "Analog" << 1 << 0 << 0 << QByteArray() << E + "?A"
                                       << "-1";
        QTest::newRow("GetextEEZelle dec")
            << "GetextEEZelle" << 1 << 1000 << 0 << QByteArray("E:65;") << E + "?E3,232;"
            << "65";
        QTest::newRow("GetextEEZelle byte") << "GetextEEZelle" << 0 << 1000 << 0
                                            << QByteArray("E:A") << E + "?E" + b({3, 232}) << "65";
        QTest::newRow("GetextEEZelle silent")
            << "GetextEEZelle" << 1 << 1000 << 0 << QByteArray() << E + "?E3,232;"
            << "-1";
        QTest::newRow("SetextEEZelle ACK")
            << "SetextEEZelle" << 1 << 1000 << 65 << QByteArray("\x06") << E + "E3,232,65;"
            << "1/0";
        QTest::newRow("SetextEEZelle NAK")
            << "SetextEEZelle" << 1 << 1000 << 65 << QByteArray("\x15") << E + "E3,232,65;"
            << "0/1";
        QTest::newRow("SetextEEZelle silent")
            << "SetextEEZelle" << 1 << 1000 << 65 << QByteArray() << E + "E3,232,65;"
            << "0/2";
        QTest::newRow("SetextEEZelle byte")
            << "SetextEEZelle" << 0 << 1000 << 65 << QByteArray("\x06") << E + "E" + b({3, 232, 65})
            << "1/0";
        QTest::newRow("SetSerNr dec")
            << "SetSerNr" << 1 << 123 << 0 << QByteArray() << E + "Ks48,48,48,49,50,51,38;"
            << "000123";
        QTest::newRow("SetSerNr byte")
            << "SetSerNr" << 0 << 123 << 0 << QByteArray() << E + "Ks000123&"
            << "000123";
        QTest::newRow("SetSerNr long")
            << "SetSerNr" << 1 << 12345678 << 0 << QByteArray() << E + "Ks51,52,53,54,55,56,65;"
            << "345678";
        QTest::newRow("SetFesttextPort stored")
            << "SetFesttextPort" << 1 << -1 << -3 << QByteArray() << E + "FP3;"
            << "";
        QTest::newRow("SetFesttextPort byte")
            << "SetFesttextPort" << 0 << 4 << 0 << QByteArray() << E + "FP" + b({4}) << "";
        QTest::newRow("SaveKonfig ACK")
            << "SaveKonfig" << 1 << 0 << 0 << QByteArray("\x06") << E + "KS"
            << "0";
        QTest::newRow("SaveKonfig NAK")
            << "SaveKonfig" << 0 << 0 << 0 << QByteArray("\x15") << E + "KS"
            << "1";
        QTest::newRow("ShowFesttext dec")
            << "ShowFesttext" << 1 << 5 << 0 << QByteArray() << E + "FZ5;"
            << "";
        QTest::newRow("ShowFesttext byte form sends decimal")
            << "ShowFesttext" << 0 << 127 << 0 << QByteArray() << E + "FZ127;"
            << "";
        QTest::newRow("ShowFesttext 128")
            << "ShowFesttext" << 1 << 128 << 0 << QByteArray() << QByteArray() << "";
        QTest::newRow("CheckEEProm dec")
            << "CheckEEProm" << 1 << 0 << 0 << QByteArray("E:11111111111111110000;") << E + "K?E"
            << "4096";
        QTest::newRow("CheckEEProm irregular")
            << "CheckEEProm" << 1 << 0 << 0 << QByteArray("E:111110;") << E + "K?E"
            << "-1280";
        QTest::newRow("CheckEEProm one run")
            << "CheckEEProm" << 1 << 0 << 0 << QByteArray("E:1111;") << E + "K?E"
            << "0";
        QTest::newRow("CheckEEProm byte")
            << "CheckEEProm" << 0 << 0 << 0 << QByteArray("E:") + QByteArray(32, '\x02') + b({0})
            << E + "K?E"
            << "16384";
        QTest::newRow("CheckEEProm silent")
            << "CheckEEProm" << 1 << 0 << 0 << QByteArray() << E + "K?E"
            << "0";
        QTest::newRow("Version") << "Version" << 1 << 0 << 0 << QByteArray("V:1.30,004711;")
                                 << E + "?V"
                                 << "1.30/004711";
        // Terminal text is Windows-1252: 0x80 is the euro sign, 0x9F a Y with diaeresis.
        QTest::newRow("Version ANSI code page")
            << "Version" << 1 << 0 << 0
            << QByteArray("V:2.7\x80,00\x9f"
                          "711;")
            << E + "?V" << QStringLiteral("2.7\u20ac/00\u0178711");
        // The version is text in both forms: the byte form must not take it as bytes.
        QTest::newRow("Version byte form")
            << "Version" << 0 << 0 << 0 << QByteArray("V:2.7,004711;") << E + "?V"
            << "2.7/004711";
        QTest::newRow("Version one item")
            << "Version" << 1 << 0 << 0 << QByteArray("V:1.30;") << E + "?V"
            << "unbekannt/";
        QTest::newRow("SetCom 19200") << "SetCom" << 1 << 19200 << 0 << QByteArray() << E + "SG1"
                                      << "";
        QTest::newRow("SetCom RS485 38400")
            << "SetCom" << 1 << 38400 << 4 << QByteArray() << E + "SG6"
            << "";
        QTest::newRow("Reset") << "Reset" << 1 << 0 << 0 << QByteArray() << E + "Kr"
                               << "";
    }
    void command()
    {
        QFETCH(QString, op);
        QFETCH(int, mode);
        QFETCH(int, a);
        QFETCH(int, c);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, sent);
        QFETCH(QString, result);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [reply](const QByteArray&) { return reply; };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.tmrTimeout()->setInterval(300);
        link.vx.ParameterMode = mode;
        QCOMPARE(run(link.vx, op, a, c), result);
        QTest::qWait(5);
        QCOMPARE(term.all(), sent);
        QVERIFY(link.ui.texts().isEmpty());
    }

    void setComInvalidSpeed()
    {
        MemoryLink link;
        FakeTerminal term;
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.SetCom(QStringLiteral("57600"));
        QCOMPARE(link.ui.texts(),
                 QStringList{QStringLiteral(
                     "ungültige Schnittstellengeschwindigkeit,19200 wird festgelegt : 57600")});
        QCOMPARE(term.all(), E + "SG1");
    }

    void eepromMap_data()
    {
        QTest::addColumn<QByteArray>("map");
        QTest::addColumn<int>("size");
        QTest::newRow("16 x 1 then 0") << QByteArray("11111111111111110000") << 4096;
        QTest::newRow("5 x 1 then 0") << QByteArray("111110") << -1280;
        QTest::newRow("one run") << QByteArray("2222") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("two pages")
            << QByteArray(16, '1') + QByteArray(32, '2') + "0" << 4096 + 16384;
        QTest::newRow("leading zeros") << QByteArray(16, '0') + QByteArray(16, '1') + "0" << 4096;
    }
    void eepromMap()
    {
        QFETCH(QByteArray, map);
        QFETCH(int, size);
        QList<int> entries;
        for (char ch : map)
            entries.append((static_cast<uchar>(ch) << 16) | (ch - '0'));
        QCOMPARE(clsVX::EEPromSizeFromMap(entries), size);
    }

    void modeFlags_data()
    {
        QTest::addColumn<int>("flags");
        for (int f : {0, 1, 2, 8, 16, 32, 64, 81, 123})
            QTest::newRow(qPrintable(QString::number(f))) << f;
    }
    // Reading a flag byte and writing it back gives the same byte (bit 4 is never kept).
    void modeFlags()
    {
        QFETCH(int, flags);
        MemoryLink link;
        FakeTerminal term;
        term.respond = [flags](const QByteArray& q) {
            return q.contains("K?M") ? QByteArray("M:") + QByteArray::number(flags) + ';'
                                     : QByteArray();
        };
        link.attach(&term, &FakeTerminal::onBytes, &FakeTerminal::transmit);
        link.vx.GetMode();
        QCOMPARE(link.vx.modeFlags(), flags & ~4);
        link.vx.SetMode();
        QTest::qWait(5);
        QCOMPARE(term.received.last(), E + "KM" + QByteArray(1, static_cast<char>(flags & ~4)));
    }
};

QTEST_GUILESS_MAIN(tst_Commands)
#include "tst_commands.moc"
