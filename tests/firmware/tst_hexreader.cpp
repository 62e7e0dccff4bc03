// The update file reader: records, checksums, the image with its fill and padding, and the
// files it refuses.
#include "HexText.h"

#include "firmware/HexFileReader.h"
#include "firmware/clsBootloader.h"
#include "link/clsVX.h"
#include "platform/ScriptedUserInterface.h"

#include <QTest>

using namespace vemro;
using namespace vemro::test;

namespace {

QByteArray fill(int pairs)
{
    return HexFileReader::fillWord().repeated(pairs);
}

QByteArray seq(int n, int first = 0)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b += static_cast<char>((first + i) & 0xFF);
    return b;
}

QString dataFile(const char* name)
{
    return qEnvironmentVariable("VEMRO_SOURCE_DIR") + QStringLiteral("/tests/firmware/data/") +
           QLatin1String(name);
}

} // namespace

class tst_HexReader : public QObject
{
    Q_OBJECT
private slots:
    void images_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<int>("start");

        QTest::newRow("two-line example")
            << QByteArray(":0400000001020304F2\r\n:00000001FF\r\n") << (seq(4, 1) + fill(6)) << 0;
        QTest::newRow("lower-case digits") << QByteArray(":04000000010a0b0cda\r\n:00000001ff\r\n")
                                           << (QByteArray("\x01\x0a\x0b\x0c", 4) + fill(6)) << 0;
        QTest::newRow("no line end after the last record")
            << QByteArray(":0400000001020304F2\r\n:00000001FF") << (seq(4, 1) + fill(6)) << 0;
        QTest::newRow("gap filled with FF 3F")
            << (hexRecord(0, 0x0000, seq(16)) + hexRecord(0, 0x0014, seq(16, 16)) + hexEnd())
            << (seq(16) + fill(2) + seq(16, 16) + fill(6)) << 0;
        QTest::newRow("start above zero")
            << (hexRecord(0, 0x0100, seq(16)) + hexEnd()) << seq(16) << 0x100;
        QTest::newRow("record at 0x2000 placed")
            << (hexRecord(0, 0x1FF0, seq(16)) + hexRecord(0, 0x2000, seq(2)) + hexEnd())
            << (seq(16) + seq(2) + fill(7)) << 0x1FF0;
        QTest::newRow("record above 0x2000 skipped")
            << (hexRecord(0, 0x1FF0, seq(16)) + hexRecord(0, 0x2010, seq(16)) + hexEnd()) << seq(16)
            << 0x1FF0;
        QTest::newRow("type 4 of upper 0, and one before the end")
            << (hexRecord(4, 0, QByteArray("\x00\x00", 2)) + hexRecord(0, 0, seq(16)) +
                hexRecord(4, 0, QByteArray("\x00\x01", 2)) + hexEnd())
            << seq(16) << 0;
        // Line ends and record lengths as Linux tools write them give the same image.
        const QByteArray crlf = hexRecord(0, 0, seq(16)) + hexRecord(0, 16, seq(16, 16)) + hexEnd();
        QByteArray lf = crlf;
        lf.replace("\r\n", "\n");
        QByteArray cr = crlf;
        cr.replace("\r\n", "\r");
        QTest::newRow("LF") << lf << seq(32) << 0;
        QTest::newRow("CR") << cr << seq(32) << 0;
        QByteArray long32 = hexRecord(0, 0, seq(32)) + hexEnd();
        long32.replace("\r\n", "\n");
        QTest::newRow("32-byte record, LF") << long32 << seq(32) << 0;
        QTest::newRow("255-byte records")
            << (hexRecord(0, 0, seq(255)) + hexRecord(0, 255, seq(255, 255)) +
                hexRecord(0, 510, seq(2, 510)) + hexEnd())
            << seq(512) << 0;
        QTest::newRow("blank lines and trailing blanks")
            << (QByteArray("\n") + hexRecord(0, 0, seq(16)) + " \t\r\n\r\n" + hexEnd()) << seq(16)
            << 0;
        QTest::newRow("long record cut after the block at 0x2000")
            << (hexRecord(0, 0x1F80, seq(255)) + hexEnd()) << seq(0x90) << 0x1F80;
        QTest::newRow("lines after the end record not read")
            << (hexRecord(0, 0, seq(16)) + hexEnd() + "kein HEX mehr\r\n" + hexRecord(7, 0, seq(2)))
            << seq(16) << 0;
        QTest::newRow("exactly 1001 records") <<
            [] {
                QByteArray f;
                for (int i = 0; i < 1000; ++i)
                    f += hexRecord(0, 2 * i, seq(2, i));
                return f + hexEnd();
            }() <<
            [] {
                QByteArray img;
                for (int i = 0; i < 1000; ++i)
                    img += seq(2, i);
                return img;
            }() << 0;
    }
    void images()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, image);
        QFETCH(int, start);
        const HexReadResult r = HexFileReader::read(file);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.image.bytes.toHex(' '), image.toHex(' '));
        QCOMPARE(r.image.startAddress, start);
        QCOMPARE(int(r.image.length), int(image.size()));
        QCOMPARE(r.image.length % 16, 0);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");

        const QString checksum = HexFileReader::kChecksumError;
        const QString allowed = QStringLiteral(" wird nicht unterstützt (erlaubt sind Daten, Typ "
                                               "0, das Dateiende, Typ 1, und erweiterte "
                                               "Adressen, Typ 4), Abbruch");
        QTest::newRow("checksum wrong")
            << (hexRecord(0, 0, seq(16)) + ":0400100001020304E3\n:00000001FF\r\n")
            << (checksum + QStringLiteral(" in Zeile 2 (Prüfsumme E3, berechnet E2), Abbruch"));
        QTest::newRow("count above the data")
            << QByteArray(":0500000001020304F1\n")
            << QStringLiteral("Zeile 1 ist unvollständig: ein Datensatz mit 5 Bytes hat 21 "
                              "Zeichen, die Zeile hat 19, Abbruch");
        QTest::newRow("more data than the count")
            << QByteArray(":030000000102030405F2\n")
            << QStringLiteral("Zeile 1 ist zu lang: ein Datensatz mit 3 Bytes hat 17 Zeichen, die "
                              "Zeile hat 21, Abbruch");
        QTest::newRow("non-hex digit, checksum right")
            << QByteArray(":0G00000001020304F2\r\n")
            << QStringLiteral("Zeile 1, Spalte 3: das Zeichen 'G' ist keine Hex-Ziffer, Abbruch");
        QTest::newRow("cut off in the checksum")
            << (hexRecord(0, 0, seq(16)) + ":0400000001020304F")
            << QStringLiteral("Zeile 2 ist unvollständig: ein Datensatz mit 4 Bytes hat 19 "
                              "Zeichen, die Zeile hat 18, Abbruch");
        QTest::newRow("shorter than any record")
            << QByteArray(":00\n")
            << QStringLiteral("Zeile 1 ist unvollständig: 3 Zeichen, ein "
                              "Datensatz hat mindestens 11, Abbruch");
        QTest::newRow("type 2") << (hexRecord(2, 0, seq(2)) + hexEnd())
                                << (QStringLiteral("Segmentadresse (Typ 2) in Zeile 1") + allowed);
        QTest::newRow("type 3") << (hexRecord(0, 0, seq(16)) + hexRecord(3, 0, seq(4)) + hexEnd())
                                << (QStringLiteral("Startadresse (Typ 3) in Zeile 2") + allowed);
        QTest::newRow("type 5") << (hexRecord(0, 0, seq(16)) + hexRecord(5, 0, seq(4)) + hexEnd())
                                << (QStringLiteral("Startadresse (Typ 5) in Zeile 2") + allowed);
        QTest::newRow("type 7") << (hexRecord(7, 0, {}) + hexEnd())
                                << QStringLiteral(
                                       "unbekannter Eintrag (Typ 7) in Zeile 1, Abbruch");
        QTest::newRow("data under upper address 1")
            << (hexRecord(0, 0, seq(16)) + hexRecord(4, 0, QByteArray("\x00\x01", 2)) +
                hexRecord(0, 0x0100, seq(16)) + hexEnd())
            << QStringLiteral("Zeile 3: die Daten an Adresse 00010100 (erweiterte Adresse 0001 aus "
                              "Zeile 2) liegen außerhalb des Programmspeichers (Adressen 0000 bis "
                              "2000), Abbruch");
        QTest::newRow("type 4 of 1 byte")
            << (hexRecord(4, 0, QByteArray(1, '\0')) + hexEnd())
            << QStringLiteral("Zeile 1: eine erweiterte Adresse (Typ 4) hat 2 Bytes, diese hat 1, "
                              "Abbruch");
        QTest::newRow("odd start")
            << (hexRecord(0, 0x0101, seq(16)) + hexEnd())
            << QStringLiteral("Die Daten der Updatedatei beginnen an der ungeraden Adresse 0101 "
                              "(Zeile 1); der Programmspeicher wird in Worten zu 2 Bytes "
                              "geschrieben, Abbruch");
        QTest::newRow("descending")
            << (hexRecord(0, 0x20, seq(16)) + hexRecord(0, 0x10, seq(16)) + hexEnd())
            << QStringLiteral("Die Einträge der Updatedatei müssen nach Adressen aufsteigen: "
                              "Zeile 2 (Adresse 0010) liegt unter der bisher erreichten Adresse "
                              "0030, Abbruch");
        QTest::newRow("overlapping")
            << (hexRecord(0, 0x00, seq(16)) + hexRecord(0, 0x08, seq(16)) + hexEnd())
            << QStringLiteral("Die Einträge der Updatedatei müssen nach Adressen aufsteigen: "
                              "Zeile 2 (Adresse 0008) liegt unter der bisher erreichten Adresse "
                              "0010, Abbruch");
        QTest::newRow("odd total")
            << (hexRecord(0, 0, seq(16)) + hexRecord(0, 16, seq(3)) + hexEnd())
            << QStringLiteral("Die Daten der Updatedatei haben zusammen eine ungerade Anzahl "
                              "Bytes (19, zuletzt Zeile 2); der Programmspeicher wird in Worten "
                              "zu 2 Bytes geschrieben, Abbruch");
        QTest::newRow("odd gap")
            << (hexRecord(0, 0, seq(3)) + hexRecord(0, 4, seq(3)) + hexEnd())
            << QStringLiteral("Die Lücke vor Zeile 2 (Adresse 0004) der Updatedatei hat eine "
                              "ungerade Länge, Abbruch");
        QTest::newRow("no data") << hexEnd()
                                 << QStringLiteral("Die Updatedatei enthält keine Daten für den "
                                                   "Programmspeicher (Adressen 0000 bis 2000), "
                                                   "Abbruch");
        QTest::newRow("only data above the window")
            << (hexRecord(0, 0x4000, seq(16)) + hexEnd())
            << QStringLiteral("Die Updatedatei enthält keine Daten für den Programmspeicher "
                              "(Adressen 0000 bis 2000), Abbruch");
        QTest::newRow("1002 records") << [] {
            QByteArray f;
            for (int i = 0; i < 1001; ++i)
                f += hexRecord(0, 2 * i, seq(2, i));
            return f + hexEnd();
        }() << QStringLiteral("Die Updatedatei hat mehr als 1001 Einträge (Zeile 1002), Abbruch");
    }
    void refusals()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        const HexReadResult r = HexFileReader::read(file);
        QVERIFY(!r.ok);
        QCOMPARE(r.error, message);
    }

    // The deliberately bad files beside the tests, read through the bootloader object as
    // the buttons do: one message each, and no image left behind.
    void badFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("truncated") << "truncated.hex"
                                   << QStringLiteral("Zeile 2 ist unvollständig: ein Datensatz mit "
                                                     "16 Bytes hat 43 Zeichen, die Zeile hat 20, "
                                                     "Abbruch");
        QTest::newRow("non-HEX text") << "not_hex.txt"
                                      << QStringLiteral("Zeile 1, Spalte 2: das Zeichen 'i' ist "
                                                        "keine Hex-Ziffer, Abbruch");
        QTest::newRow("odd total") << "odd_total.hex"
                                   << QStringLiteral("Die Daten der Updatedatei haben zusammen "
                                                     "eine ungerade Anzahl Bytes (19, zuletzt "
                                                     "Zeile 2); der Programmspeicher wird in "
                                                     "Worten zu 2 Bytes geschrieben, Abbruch");
        QTest::newRow("more than 1001 records")
            << "too_many.hex"
            << QStringLiteral("Die Updatedatei hat mehr als 1001 Einträge (Zeile 1002), Abbruch");
        QTest::newRow("out of order")
            << "out_of_order.hex"
            << QStringLiteral("Die Einträge der Updatedatei müssen nach Adressen aufsteigen: "
                              "Zeile 2 (Adresse 0000) liegt unter der bisher erreichten Adresse "
                              "0030, Abbruch");
        QTest::newRow("missing") << "no_such_file.hex" << clsBootloader::kFileMissing;
    }
    void badFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        ScriptedUserInterface scripted;
        setUi(&scripted);
        clsVX vx;
        clsBootloader* boot = clsBootloader::Bootloader(vx);
        QVERIFY(!boot->loadUpdatefile(dataFile(name.toLatin1().constData())));
        QCOMPARE(scripted.texts(), QStringList{message});
        QCOMPARE(boot->errorText(), message);
        QVERIFY(boot->Image().bytes.isEmpty());
        setUi(nullptr);
    }

    void checksum_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("sum");
        QTest::newRow("16 zero bytes at 0x0008") << QByteArray(16, '\0') << 0x0008 << 0x18;
        QTest::newRow("eight pairs FF 3F at 0") << fill(8) << 0 << 0;
        QTest::newRow("high and low byte") << seq(16) << 0x1234 << (16 + 0x12 + 0x34 + 120) % 256;
        QTest::newRow("word address above 0x7FFF") << QByteArray(16, '\0') << 0x8001 << 0x91;
    }
    void checksum()
    {
        QFETCH(QByteArray, block);
        QFETCH(int, address);
        QFETCH(int, sum);
        QCOMPARE(clsBootloader::CreateChecksummeLoader(block, static_cast<qint16>(address)), sum);
    }

    void refusedUpdates_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("message");
        const QString speed = clsBootloader::kWrongSpeed;
        QTest::newRow("2.7 at 19200") << "2.7"
                                      << "19200,n,8,1" << QString();
        QTest::newRow("2.2 at 19200") << "2.2"
                                      << "19200,n,8,1" << QString();
        QTest::newRow("2.10 is below 2.2 as text")
            << "2.10"
            << "19200,n,8,1"
            << QStringLiteral("Aktualisierung erst ab Version 2.2 möglich. (aktuelle : 2.10)");
        QTest::newRow("1.9") << "1.9"
                             << "19200,n,8,1"
                             << QStringLiteral(
                                    "Aktualisierung erst ab Version 2.2 möglich. (aktuelle : 1.9)");
        QTest::newRow("9600") << "2.7"
                              << "9600,n,8,1" << speed;
        QTest::newRow("38400") << "2.7"
                               << "38400,n,8,1" << speed;
    }
    void refusedUpdates()
    {
        QFETCH(QString, version);
        QFETCH(QString, settings);
        QFETCH(QString, message);
        QCOMPARE(clsBootloader::UpdateRefusal(version, settings), message);
    }

    void timeLeft_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown") << qint64(-1) << QString();
        QTest::newRow("rounded up") << qint64(1200) << QStringLiteral("noch 2 s");
        QTest::newRow("minutes") << qint64(83000) << QStringLiteral("noch 1:23 min");
    }
    void timeLeft()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(clsBootloader::TimeLeftText(ms), text);
    }

    // The terminal owns one bootloader object and hands out the same one.
    void ownership()
    {
        clsVX vx;
        clsBootloader* a = clsBootloader::Bootloader(vx);
        QCOMPARE(clsBootloader::Bootloader(vx), a);
        QCOMPARE(a->Terminal(), &vx);
        QCOMPARE(a->parent(), &vx);
    }
};

QTEST_MAIN(tst_HexReader)
#include "tst_hexreader.moc"
