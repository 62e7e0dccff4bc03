// Fixed texts without a terminal: EEPROM layout and image, the writer choice, the preview,
// the older-family import and our export format.
#include "config/FesttextFiles.h"
#include "config/FesttextPreview.h"
#include "link/FesttextLayout.h"

#include <QTest>

using namespace vemro;

Q_DECLARE_METATYPE(vemro::FesttextRows)

namespace {

FesttextRows rowsOf(std::initializer_list<std::pair<int, const char*>> list)
{
    FesttextRows rows;
    for (const auto& [n, text] : list)
        rows.append(FesttextRow{n, QByteArray(text)});
    return rows;
}

} // namespace

class TstFesttexte : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layout_data();
    void layout();
    void image();
    void badCode_data();
    void badCode();
    void tablePlausible_data();
    void tablePlausible();
    void readMemorySize_data();
    void readMemorySize();
    void writerChoice_data();
    void writerChoice();
    void preview_data();
    void preview();
    void displaytyp_data();
    void displaytyp();
    void rkImport_data();
    void rkImport();
    void vxRoundTrip();
    void vxDamaged_data();
    void vxDamaged();
    void recognise_data();
    void recognise();
    void richText();
};

void TstFesttexte::layout_data()
{
    QTest::addColumn<FesttextRows>("rows");
    QTest::addColumn<bool>("removeLF");
    QTest::addColumn<QList<int>>("starts"); // of numbers 0..7
    QTest::addColumn<int>("end");
    const int none = kFesttextNone;
    QTest::newRow("empty") << FesttextRows{} << false
                           << QList<int>{none, none, none, none, none, none, none, none} << 0x201;
    // Rows 0, 1, 5 are packed as three consecutive texts.
    QTest::newRow("0 1 5") << rowsOf({{0, "ab"}, {1, "c"}, {5, "defg"}}) << false
                           << QList<int>{0x201, 0x204, none, none, none, 0x206, none, none}
                           << 0x20B;
    QTest::newRow("unsorted") << rowsOf({{5, "defg"}, {0, "ab"}, {1, "c"}}) << false
                              << QList<int>{0x201, 0x204, none, none, none, 0x206, none, none}
                              << 0x20B;
    // An empty text still takes its terminator.
    QTest::newRow("empty middle") << rowsOf({{0, "a"}, {1, ""}, {2, "b"}}) << false
                                  << QList<int>{0x201, 0x203, 0x204, none, none, none, none, none}
                                  << 0x206;
    QTest::newRow("crlf byte writer")
        << rowsOf({{0, "a\r\nb"}, {1, "c"}}) << false
        << QList<int>{0x201, 0x206, none, none, none, none, none, none} << 0x208;
    QTest::newRow("crlf block writer")
        << rowsOf({{0, "a\r\nb"}, {1, "c"}}) << true
        << QList<int>{0x201, 0x205, none, none, none, none, none, none} << 0x207;
    // A command's CR LF goes out as written; the text's line break is reduced.
    QTest::newRow("crlf in a command, block writer")
        << rowsOf({{0, "{<ESC>LC<013><010>}a\r\nb"}, {1, "c"}}) << true
        << QList<int>{0x201, 0x20A, none, none, none, none, none, none} << 0x20C;
    QTest::newRow("commands decoded")
        << rowsOf({{0, "{<ESC>LL}Hi"}}) << false
        << QList<int>{0x201, none, none, none, none, none, none, none} << 0x201 + 5 + 1;
    QTest::newRow("out of range left out")
        << rowsOf({{200, "x"}, {-1, "y"}, {3, "z"}}) << false
        << QList<int>{none, none, none, 0x201, none, none, none, none} << 0x203;
}

void TstFesttexte::layout()
{
    QFETCH(FesttextRows, rows);
    QFETCH(bool, removeLF);
    QFETCH(QList<int>, starts);
    QFETCH(int, end);
    FesttextLayout l;
    QString error;
    QVERIFY2(LayoutFesttexte(rows, removeLF, l, &error), qPrintable(error));
    for (int n = 0; n < starts.size(); ++n)
        QCOMPARE(l.starts[static_cast<size_t>(n)], starts.at(n));
    for (int n = 8; n < kFesttextCount; ++n)
        QCOMPARE(l.starts[static_cast<size_t>(n)], kFesttextNone);
    QCOMPARE(l.endAddress, end);
}

void TstFesttexte::image()
{
    FesttextLayout l;
    QVERIFY(LayoutFesttexte({}, true, l, nullptr));
    QByteArray image = FesttextBlockImage(l);
    // 256 table bytes, the 0 of 0x0200, seven blanks: 33 blocks.
    QCOMPARE(image.size(), 264);
    QCOMPARE(image.mid(0, 2), QByteArray("\x02\x00", 2));
    QCOMPARE(image.at(256), '\0');
    QCOMPARE(image.mid(257), QByteArray(7, ' '));

    // A length already a multiple of 8 gets 8 blanks, not none: 257 + 6 + 1 = 264.
    QVERIFY(LayoutFesttexte(rowsOf({{0, "abcdef"}}), true, l, nullptr));
    image = FesttextBlockImage(l);
    QCOMPARE(image.size(), 272);
    QCOMPARE(image.mid(257, 7), QByteArray("abcdef\0", 7));
    QCOMPARE(image.right(8), QByteArray(8, ' '));
    QCOMPARE(FesttextAddressTable(l).left(4), QByteArray("\x02\x01\x02\x00", 4));
}

void TstFesttexte::badCode_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("no character") << QByteArray("<ESC><300>");
    // A 0 would end the text in the terminal: the rest would be lost on the next read.
    QTest::newRow("NUL by code") << QByteArray("{<ESC>KM<000>}a");
    QTest::newRow("NUL as such") << QByteArray("a\0b", 3);
}

void TstFesttexte::badCode()
{
    QFETCH(QByteArray, text);
    FesttextLayout l;
    QString error;
    QVERIFY(!LayoutFesttexte(FesttextRows{{0, "ok"}, {7, text}}, false, l, &error));
    QVERIFY2(error.startsWith(QStringLiteral("Festtext 7")), qPrintable(error));
}

void TstFesttexte::tablePlausible_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<int>("memory");
    QTest::addColumn<bool>("plausible");
    QByteArray empty;
    for (int n = 0; n < kFesttextCount; ++n)
        empty += QByteArray("\x02\x00", 2);
    QTest::newRow("all empty") << empty << 4096 << true;
    QTest::newRow("erased") << QByteArray(256, '\xFF') << 4096 << false;
    QTest::newRow("zeros") << QByteArray(256, '\0') << 4096 << false;
    QByteArray one = empty;
    one[10] = 0x02;
    one[11] = 0x01;
    QTest::newRow("one text") << one << 4096 << true;
    one[10] = 0x10; // 0x1001: beyond a 4 KB memory
    QTest::newRow("outside 4K") << one << 4096 << false;
    QTest::newRow("inside 8K") << one << 8192 << true;
    one[10] = 0x01; // 0x0101: inside the table itself
    QTest::newRow("below texts") << one << 4096 << false;
}

void TstFesttexte::tablePlausible()
{
    QFETCH(QByteArray, table);
    QFETCH(int, memory);
    QFETCH(bool, plausible);
    QCOMPARE(FesttextTablePlausible(FesttextStarts(table), memory), plausible);
}

// Text 0 at 0x1000, beyond the standard 4 KB: the memory size the terminal reports decides
// whether the table is trusted, and a size beyond the two-byte addresses is cut to them.
void TstFesttexte::readMemorySize_data()
{
    QTest::addColumn<qint32>("reported");
    QTest::addColumn<bool>("ended");
    QTest::addColumn<int>("memory");
    QTest::addColumn<int>("texts");
    QTest::newRow("no answer: stored order, none") << 0 << true << 4096 << 0;
    QTest::newRow("8 KB") << 8192 << true << 8192 << 1;
    QTest::newRow("irregular") << -8192 << true << 4096 << 0;
    QTest::newRow("huge") << qint32(0x7FFFFFFF) << true << 0x10000 << 1;
    QTest::newRow("huge, text without end") << qint32(0x7FFFFFFF) << false << 0x10000 << 0;
}

void TstFesttexte::readMemorySize()
{
    QFETCH(qint32, reported);
    QFETCH(bool, ended);
    QFETCH(int, memory);
    QFETCH(int, texts);
    QByteArray image(kEEPromAddressSpace, '\xFF');
    for (int n = 0; n < kFesttextCount; ++n)
        image.replace(kFesttextTable + 2 * n, 2,
                      n == 0 ? QByteArray("\x10\x00", 2) : QByteArray("\x02\x00", 2));
    image.replace(0x1000, 3, ended ? QByteArray("AB\0", 3) : QByteArray("AB\xFF"));
    int asked = 0;
    QList<QByteArray> got;
    FesttextCellReader reader;
    reader.cell = [&](int address, int& value) {
        ++asked;
        value = static_cast<uchar>(image.at(address));
        return true;
    };
    reader.memorySize = [&] { return std::optional<qint32>(reported); };
    reader.store = [&](int, const QByteArray& text) {
        got << text;
        return true;
    };
    reader.step = [] {};
    const FesttextReadResult result = ReadFesttexte(reader);
    QCOMPARE(result.ok, ended);
    QCOMPARE(result.unended, ended ? -1 : 0);
    QCOMPARE(result.memory, memory);
    QCOMPARE(got.size(), texts);
    if (texts > 0)
        QCOMPARE(got.first(), QByteArray("AB"));
    QVERIFY(asked <= 2 * kFesttextCount + memory);
}

void TstFesttexte::writerChoice_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("writer");
    QTest::newRow("2.6 asks") << "2.6" << -1;
    QTest::newRow("unknown asks") << "unbekannt" << -1;
    QTest::newRow("2.10 as text") << "2.10" << 0;
    QTest::newRow("2.5") << "2.5" << 0;
    QTest::newRow("2.7") << "2.7" << 1;
    QTest::newRow("3.0") << "3.0" << 1;
    QTest::newRow("2.60") << "2.60" << 1;
}

void TstFesttexte::writerChoice()
{
    QFETCH(QString, version);
    QFETCH(int, writer);
    QCOMPARE(FesttextWriterFor(version), writer);
}

void TstFesttexte::preview_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("command removed") << "{<ESC>LL}abcde" << 16 << 2 << QStringList{"abcde", ""};
    // Three lines on two rows: the third overwrites row 1.
    QTest::newRow("overwrite") << "one\r\ntwo\r\nthree" << 16 << 2 << QStringList{"three", "two"};
    QTest::newRow("wrap") << "abcdefghijklmn" << 4 << 3 << QStringList{"mn", "efgh", "ijkl"};
    // Exactly C characters and LF: the full row, then an empty one.
    QTest::newRow("full row and LF") << "abcd\nxy" << 4 << 4 << QStringList{"abcd", "", "xy", ""};
    QTest::newRow("every copy removed")
        << "{<ESC>LC1,1;}a{<ESC>LC1,1;}b{<ESC>LB1;}" << 8 << 1 << QStringList{"ab"};
    QTest::newRow("eight rows") << "1\n2\n3\n4\n5\n6\n7" << 10 << 8
                                << QStringList{"1", "2", "3", "4", "5", "6", "7", ""};
    QTest::newRow("no display") << "abc" << 0 << 2 << QStringList{};
}

void TstFesttexte::preview()
{
    QFETCH(QString, text);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(QStringList, expected);
    const auto out = FesttextVorschau(text, cols, rows);
    QVERIFY(out.has_value());
    QCOMPARE(*out, expected);
    QVERIFY(!FesttextVorschau(QStringLiteral("a{<ESC>LL"), 16, 2).has_value());
    QCOMPARE(FesttextVorschauText({"ab", ""}), QStringLiteral("ab\r\n\r\n"));
}

void TstFesttexte::displaytyp_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::newRow("16x2") << "16x2" << true << 16 << 2;
    QTest::newRow("40x4 blanks") << " 40 x 4" << true << 40 << 4;
    QTest::newRow("no x") << "20*4" << false << 0 << 0;
    QTest::newRow("huge") << "99999999999x2" << true << 1000 << 2;
}

void TstFesttexte::displaytyp()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, cols);
    QFETCH(int, rows);
    int c = 0;
    int r = 0;
    QCOMPARE(ParseDisplaytyp(text, &c, &r), ok);
    if (ok) {
        QCOMPARE(c, cols);
        QCOMPARE(r, rows);
    }
}

void TstFesttexte::rkImport_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("maxTexts");
    QTest::addColumn<QStringList>("texts");
    const QString ll = QStringLiteral("{<ESC>LL}");
    // 16 characters continue on the next row by themselves; 15 get a line break.
    QTest::newRow("16 and 15") << QByteArray("abcdefghijklmnop\r\nabcdefghijklmno\r\n") << 128
                               << QStringList{ll + "abcdefghijklmnopabcdefghijklmno"};
    QTest::newRow("short rows") << QByteArray("ab  \ncd\n") << 128 << QStringList{ll + "ab\r\ncd"};
    QTest::newRow("cut to C") << QByteArray("abcdefghijklmnopqrst\nx\n") << 128
                              << QStringList{ll + "abcdefghijklmnopx"};
    QTest::newRow("empty rows dropped") << QByteArray("a\n\n") << 128 << QStringList{ll + "a"};
    QTest::newRow("two texts ansi") << QByteArray("\xe4\n1\n2\n3\n") << 128
                                    << QStringList{ll + QStringLiteral("ä\r\n1"), ll + "2\r\n3"};
    // Import at 126: room for two texts only.
    QTest::newRow("limit") << QByteArray("a\nb\nc\nd\ne\nf\ng\nh\n") << 2
                           << QStringList{ll + "a\r\nb", ll + "c\r\nd"};
    QTest::newRow("incomplete last")
        << QByteArray("a\nb\nc") << 128 << QStringList{ll + "a\r\nb", ll + "c"};
}

void TstFesttexte::rkImport()
{
    QFETCH(QByteArray, file);
    QFETCH(int, maxTexts);
    QFETCH(QStringList, texts);
    QCOMPARE(ParseRkFesttexte(file, 2, 16, maxTexts), texts);
    QVERIFY(!IsVxFesttextFile(file));
}

void TstFesttexte::vxRoundTrip()
{
    QList<FesttextFileEntry> in;
    in.append({0, QStringLiteral("{<ESC>LL}Grüße\r\nzweite Zeile \\ mit Tab\t")});
    in.append({5, QString()});
    in.append({17, QStringLiteral("#5 lone\rCR and\nLF, ESC \x1b, <027>")});
    in.append({127, QStringLiteral("   leading and trailing   ")});
    const QByteArray file = WriteVxFesttexte(in);
    QVERIFY(IsVxFesttextFile(file));
    QList<FesttextFileEntry> out;
    QString error;
    QVERIFY2(ParseVxFesttexte(file, out, &error), qPrintable(error));
    QCOMPARE(out.size(), in.size());
    for (int i = 0; i < in.size(); ++i) {
        QCOMPARE(out.at(i).DisplayNr, in.at(i).DisplayNr);
        QCOMPARE(out.at(i).text, in.at(i).text);
    }
    // One line per text, whatever it holds.
    QCOMPARE(file.count('\n'), 2 + in.size());
}

void TstFesttexte::vxDamaged_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray head = "VX Festtextdatei 1\n";
    QTest::newRow("no header") << QByteArray("000\tabc\n");
    QTest::newRow("other version") << QByteArray("VX Festtextdatei 2\n000\tx\n");
    QTest::newRow("number 128") << head + "128\tx\n";
    QTest::newRow("twice") << head + "001\tx\n001\ty\n";
    QTest::newRow("no tab") << head + "001 x\n";
    QTest::newRow("bad escape") << head + "001\tx\\q\n";
    QTest::newRow("short hex") << head + "001\tx\\x4\n";
    QTest::newRow("hex with sign") << head + "001\tx\\x-1\n";
    QTest::newRow("hex with plus") << head + "001\tx\\x+f\n";
    QTest::newRow("hex with blank") << head + "001\tx\\x 1\n";
    QTest::newRow("NUL escape") << head + "001\tx\\x00y\n";
    QTest::newRow("invalid UTF-8") << head + "001\tGr\xfc\xdf"
                                             "e\n";
    QTest::newRow("omega") << head + "002\t\xce\xa9 Ohm\n";
    QTest::newRow("han") << head + "002\t\xe4\xb8\xad\n";
}

void TstFesttexte::vxDamaged()
{
    QFETCH(QByteArray, file);
    QList<FesttextFileEntry> out;
    QString error;
    QVERIFY(!ParseVxFesttexte(file, out, &error));
    QVERIFY(out.isEmpty());
    QVERIFY(error.startsWith(QStringLiteral("Zeile ")));
}

void TstFesttexte::recognise_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("kind");           // -1 refused
    QTest::addColumn<QByteArray>("content"); // the content after recognising, when accepted
    QTest::newRow("ELF binary") << QByteArray("\x7f"
                                              "ELF\x02\x01\x01\0\0\0",
                                              10)
                                << -1 << QByteArray();
    QTest::newRow("control bytes")
        << QByteArray("ab\x01\x02\x03\x04\ncd\x05\x06") << -1 << QByteArray();
    QTest::newRow("header typo") << QByteArray("VX Festextdatei 1\n000\tx\n") << -1 << QByteArray();
    QTest::newRow("header spelled otherwise")
        << QByteArray("vx-festtextdatei 1\n000\tx\n") << -1 << QByteArray();
    QTest::newRow("UTF-16 VX") << QByteArray(
                                      "\xff\xfeV\0X\0 \0F\0e\0s\0t\0t\0e\0x\0t\0d\0a\0t\0e\0i\0",
                                      34)
                               << 0 << QByteArray("VX Festtextdatei");
    QTest::newRow("UTF-16 RK") << QByteArray("\xff\xfe"
                                             "a\0\n\0",
                                             6)
                               << -1 << QByteArray();
    QTest::newRow("RK 8-bit") << QByteArray("Gr\xfc\xdf"
                                            "e\n")
                              << 1
                              << QByteArray("Gr\xfc\xdf"
                                            "e\n");
    QTest::newRow("RK UTF-8") << QByteArray("\xef\xbb\xbfGr\xc3\xbc\xc3\x9f"
                                            "e\n")
                              << 1
                              << QByteArray("Gr\xfc\xdf"
                                            "e\n");
    QTest::newRow("RK UTF-8 omega") << QByteArray("a\n\xce\xa9\n") << -1 << QByteArray();
}

void TstFesttexte::recognise()
{
    QFETCH(QByteArray, file);
    QFETCH(int, kind);
    QFETCH(QByteArray, content);
    FesttextFileKind found = FesttextFileKind::Rk;
    QString error;
    bool ok = RecogniseFesttextFile(file, found, &error);
    if (ok && found == FesttextFileKind::Rk)
        ok = RkFesttextBytes(file, &error);
    QCOMPARE(ok, kind >= 0);
    if (!ok) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QCOMPARE(static_cast<int>(found), kind);
    QCOMPARE(file, content);
}

void TstFesttexte::richText()
{
    const QString rtf = FesttextRichText(QStringLiteral("{<ESC>LL}a<b>&\r\nc"));
    QVERIFY(IsFesttextRichText(rtf));
    QVERIFY(rtf.contains(QStringLiteral("color:#008000")));
    QVERIFY(rtf.contains(QStringLiteral("{&lt;ESC&gt;LL}")));
    QVERIFY(!IsFesttextRichText(QStringLiteral("{\\rtf1\\ansi hello}")));
    QVERIFY(!IsFesttextRichText(QStringLiteral("plain")));
}

QTEST_GUILESS_MAIN(TstFesttexte)
#include "tst_festtexte.moc"
