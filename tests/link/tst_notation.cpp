#include "link/Notation.h"
#include "link/ReplyParser.h"

#include <QRandomGenerator>
#include <QTest>

using namespace vemro;

namespace {
QByteArray esc(const char* rest)
{
    return QByteArray(1, '\x1b') + rest;
}
QByteArray bytes(std::initializer_list<int> codes)
{
    QByteArray b;
    for (int c : codes)
        b.append(static_cast<char>(c));
    return b;
}
} // namespace

class tst_Notation : public QObject
{
    Q_OBJECT
private slots:
    void filter_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("removeLF");
        QTest::addColumn<QByteArray>("raw");
        QTest::newRow("version query") << QByteArray("<ESC>?V") << false << esc("?V");
        QTest::newRow("braces dropped")
            << QByteArray("<ESC>LZ0,{Hallo}") << false << esc("LZ0,Hallo");
        QTest::newRow("no ESC keeps code forms")
            << QByteArray("A<065>B") << false << QByteArray("A<065>B");
        QTest::newRow("no ESC keeps braces")
            << QByteArray("{x}<ESc>") << false << QByteArray("{x}<ESc>");
        QTest::newRow("code form decoded") << QByteArray("<ESC>A<065>B") << false << esc("AAB");
        QTest::newRow("not a code form") << QByteArray("<ESC><12>x") << false << esc("<12>x");
        QTest::newRow("short tail kept") << QByteArray("<ESC>x<06") << false << esc("x<06");
        QTest::newRow("lenient code") << QByteArray("<ESC><abc>") << false << esc("") + bytes({0});
        QTest::newRow("hex code") << QByteArray("<ESC><&HF>") << false << esc("") + bytes({15});
        QTest::newRow("half to even") << QByteArray("<ESC><2.5>") << false << esc("") + bytes({2});
        QTest::newRow("ansi 228") << QByteArray("<ESC><228>") << false << esc("") + bytes({228});
        QTest::newRow("lower-case esc is text")
            << QByteArray("<esc>") << false << QByteArray("<esc>");
        QTest::newRow("CR LF reduced") << QByteArray("a\r\nb") << true << QByteArray("a\rb");
        QTest::newRow("LF alone stays") << QByteArray("a\nb") << true << QByteArray("a\nb");
        QTest::newRow("CR LF kept without flag")
            << QByteArray("a\r\nb") << false << QByteArray("a\r\nb");
        QTest::newRow("two ESC") << QByteArray("<ESC>LL<ESC>LC") << false << esc("LL") + esc("LC");
    }
    void filter()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, removeLF);
        QFETCH(QByteArray, raw);
        const QByteArray before = text;
        QCOMPARE(FilterSteuerzeichen(text, removeLF), raw);
        QCOMPARE(text, before);
    }

    void filterRejectsCodes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("300") << QByteArray("<ESC><300>");
        QTest::newRow("negative") << QByteArray("<ESC><-12>");
        QTest::newRow("256") << QByteArray("<ESC>A<256>");
    }
    void filterRejectsCodes()
    {
        QFETCH(QByteArray, text);
        bool thrown = false;
        try {
            (void)FilterSteuerzeichen(text, false);
        } catch (const NotationError& e) {
            thrown = true;
            QVERIFY(!e.description().isEmpty());
        }
        QVERIFY(thrown);
    }

    void toText_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("ESC") << bytes({27}) << QByteArray("<ESC>");
        QTest::newRow("zero") << bytes({0}) << QByteArray("<000>");
        QTest::newRow("127 itself") << bytes({127}) << QByteArray("\x7f");
        QTest::newRow("128") << bytes({128}) << QByteArray("<128>");
        QTest::newRow("ae") << bytes({228}) << QByteArray("<228>");
        QTest::newRow("escaped 3") << bytes({1, '3'}) << QByteArray("<003>");
        QTest::newRow("escaped 0") << bytes({1, '0'}) << QByteArray("<000>");
        QTest::newRow("escaped A") << bytes({1, 'A'}) << QByteArray("<017>");
        // Below "0" the pair has no value form: both characters are shown as they are.
        QTest::newRow("escaped below 48") << bytes({1, ' '}) << QByteArray("<001> ");
        QTest::newRow("escaped 0 byte") << bytes({1, 0}) << QByteArray("<001><000>");
        QTest::newRow("escaped ESC") << bytes({1, 27, 'x'}) << QByteArray("<001><ESC>x");
        QTest::newRow("escaped slash") << bytes({1, '/'}) << QByteArray("<001>/");
        QTest::newRow("escaped ESC form") << bytes({1, 'K'}) << QByteArray("<ESC>");
        QTest::newRow("trailing 1") << bytes({'a', 1}) << QByteArray("a<001>");
        QTest::newRow("text") << QByteArray("V:1.30") << QByteArray("V:1.30");
        QTest::newRow("CR LF") << QByteArray("a\r\n") << QByteArray("a<013><010>");
    }
    void toText()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QByteArray, text);
        QCOMPARE(SteuerzeichenToText(raw), text);
    }

    // A raw text with an ESC and without "<", braces and code 1 survives the round trip.
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::newRow("command") << esc("LZ0,Hallo");
        QTest::newRow("controls") << esc("") + bytes({0, 2, 13, 10, 31, 200, 255, 127, '>'});
        QByteArray all = esc("");
        for (int c = 0; c < 256; ++c) {
            if (c != '<' && c != '{' && c != '}' && c != 1)
                all.append(static_cast<char>(c));
        }
        QTest::newRow("every code") << all;
    }
    void roundTrip()
    {
        QFETCH(QByteArray, raw);
        QCOMPARE(FilterSteuerzeichen(SteuerzeichenToText(raw), false), raw);
    }

    // Whatever a terminal sends shows in a form that can be sent again: a text read
    // from a terminal never becomes unsendable as a whole.
    void codeOnePairsStaySendable()
    {
        for (int c = 0; c < 256; ++c) {
            const QByteArray raw = esc("LZ0,") + bytes({1, c}) + "x";
            const QByteArray text = SteuerzeichenToText(raw);
            QByteArray back;
            try {
                back = FilterSteuerzeichen(text, false);
            } catch (const vemro::NotationError& e) {
                QFAIL(qPrintable(QStringLiteral("%1: %2").arg(c).arg(e.description())));
            }
            if (c < '0')
                QCOMPARE(back, raw);
            else
                QCOMPARE(back, esc("LZ0,") + bytes({c - '0'}) + "x");
        }
    }

    // Bytes of a fixed text read back -> the editor's form, which the writer turns back
    // into the same bytes.
    void festtextForm_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QByteArray>("form");
        QTest::newRow("line break as such")
            << QByteArray("Hallo\r\nWelt") << QByteArray("Hallo\r\nWelt");
        QTest::newRow("umlauts as such") << QByteArray("Gr\xfc\xdf"
                                                       "e 100%")
                                         << QByteArray("Gr\xfc\xdf"
                                                       "e 100%");
        QTest::newRow("no ESC: notation as typed")
            << QByteArray("a<065>{b}") << QByteArray("a<065>{b}");
        QTest::newRow("command in braces")
            << esc("LLSt\xf6rung\rPumpe 2") << QByteArray("{<ESC>LL}St\xf6rung\rPumpe 2");
        QTest::newRow("decimal parameters") << esc("LC2,1;x") << QByteArray("{<ESC>LC2,1;}x");
        QTest::newRow("byte value 13")
            << esc("KM") + bytes({13}) + "a" << QByteArray("{<ESC>KM<013>}a");
        QTest::newRow("byte values 27 123 125")
            << esc("LC") + bytes({27, 123}) + esc("LB") + bytes({125})
            << QByteArray("{<ESC>LC<027><123>}{<ESC>LB<125>}");
        QTest::newRow("special characters beside a command")
            << esc("LL") + "<{}>" << QByteArray("{<ESC>LL}<060><123><125>>");
        QTest::newRow("control bytes in braces") << esc("LL") + bytes({7, 8}) + "x" + bytes({127})
                                                 << QByteArray("{<ESC>LL}{<007><008>}x{<127>}");
        QTest::newRow("unknown command") << esc("XYZab") << QByteArray("{<ESC>XYZ}ab");
        QTest::newRow("255 is a character")
            << esc("LL") + bytes({255}) << QByteArray("{<ESC>LL}\xff");
    }
    void festtextForm()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QByteArray, form);
        QCOMPARE(FesttextFromBytes(raw), form);
        QCOMPARE(FesttextToBytes(form, false), raw);
    }

    // Any bytes without 0 come back from their form; a NUL is refused before sending.
    void festtextFormInverse()
    {
        QRandomGenerator random(18);
        for (int i = 0; i < 2000; ++i) {
            QByteArray raw;
            const int size = random.bounded(1, 24);
            for (int k = 0; k < size; ++k) {
                const int pick = random.bounded(10);
                raw.append(static_cast<char>(pick == 0   ? 27
                                             : pick == 1 ? random.bounded(1, 32)
                                                         : random.bounded(1, 256)));
            }
            if (!raw.contains('\x1b') && raw.contains("<ESC>"))
                continue; // only a terminal of another program holds that
            const QByteArray form = FesttextFromBytes(raw);
            QCOMPARE(FesttextToBytes(form, false), raw);
            if (!raw.contains("\r\n"))
                QCOMPARE(FesttextToBytes(form, true), raw);
        }
        QVERIFY_THROWS_EXCEPTION(NotationError, (void)FesttextToBytes("{<ESC>KM<000>}", false));
        QCOMPARE(FesttextCommandForm(esc("KM") + bytes({10})), QByteArray("{<ESC>KM<010>}"));
        // A parameter byte's form (command builder and fixed-text form alike) sends that byte.
        for (int c = 0; c < 256; ++c) {
            const QByteArray form = ByteToNotation(static_cast<uchar>(c));
            QCOMPARE(FilterSteuerzeichen("<ESC>LK" + form, false), esc("LK") + bytes({c}));
            QCOMPARE(FesttextCommandForm(esc("LK") + bytes({c})), "{<ESC>LK" + form + '}');
            QCOMPARE(form.size() == 1, FesttextHoldsCharacter(static_cast<uchar>(c)) && c != '<' &&
                                           c != '{' && c != '}');
        }
        QCOMPARE(FesttextToBytes("a\r\r\n\nb", true), QByteArray("a\r\rb"));
    }
    void decimalReply_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QList<QByteArray>>("items");
        QTest::newRow("version") << QByteArray("V:1.23,000123")
                                 << QList<QByteArray>{"1.23", "000123"};
        QTest::newRow("rest after ;") << QByteArray("A:12,3;xyz") << QList<QByteArray>{"12", "3"};
        QTest::newRow("no colon") << QByteArray("hello") << QList<QByteArray>{"hello"};
        QTest::newRow("empty item") << QByteArray("K:") << QList<QByteArray>{""};
        QTest::newRow("empty middle") << QByteArray("X:1,,3;") << QList<QByteArray>{"1", "", "3"};
        QTest::newRow("empty") << QByteArray() << QList<QByteArray>{""};
        QTest::newRow("second colon is text") << QByteArray("T:a:b;") << QList<QByteArray>{"a:b"};
    }
    void decimalReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QList<QByteArray>, items);
        QCOMPARE(ParseDecimalReply(reply).items, items);
    }

    void byteReply_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QList<QByteArray>>("items");
        QTest::newRow("two bytes")
            << QByteArray("M:") + bytes({65, 7}) << QList<QByteArray>{"65", "7"};
        QTest::newRow("empty after colon") << QByteArray("M:") << QList<QByteArray>{};
        QTest::newRow("high and colon bytes")
            << QByteArray("E:") + bytes({255, ':', 0}) << QList<QByteArray>{"255", "58", "0"};
        QTest::newRow("no colon") << QByteArray("abc") << QList<QByteArray>{"abc"};
    }
    void byteReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QList<QByteArray>, items);
        QCOMPARE(ParseByteReply(reply).items, items);
    }
};

QTEST_GUILESS_MAIN(tst_Notation)
#include "tst_notation.moc"
