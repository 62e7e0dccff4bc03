// Round trip of whole random projects through vxsim: "project write --verify" must find the
// terminal equal, and a project read back must hold the same rows as the one written. One
// terminal per parameter form and one over UDP; the seed (new every run, printed, and
// repeated with VEMRO_ROUNDTRIP_SEED) makes the projects and decides which form gets which
// fixed-text writer and the key table.
//
// Normalisation where the terminal cannot keep a distinction: fixed texts compare as the
// bytes they put into the EEPROM (braces of a command, "ä" and "<228>", CR LF and the CR of
// the block writer are the same there); key codes as the bytes the keyboard holds ("ä" and
// "#4" are both 132); the answer channel CAN (4) reads back as none (0); the fixed-text port
// and the user characters cannot be read into a project and are checked by the verify only.
#include "ProjectTestHome.h"
#include "SimProcess.h"
#include "link/KeyCodeNotation.h"
#include "link/Notation.h"
#include "platform/Codepage.h"
#include "tests/common/CliRun.h"

#include <QLocalSocket>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using vemro::AnsiToString;
using vemro::StringToAnsi;

// Plain characters of a text: letters, digits, blanks, punctuation that is not notation,
// and characters of the code page.
const QString kPlain = QStringLiteral("abcxyzABCXYZ0123456789 .,;:-_!?äöüÄÖÜß€°µ");
// Pieces in command notation: embedded commands in braces, byte forms, line breaks.
const QStringList kPieces{QStringLiteral("{<ESC>LL}"),   QStringLiteral("{<ESC>LC2,1;}"),
                          QStringLiteral("<ESC>LC1,1;"), QStringLiteral("<027>LL"),
                          QStringLiteral("\r\n"),        QStringLiteral("<228>"),
                          QStringLiteral("{<ESC>FZ3;}")};

struct Case
{
    quint32 seed = 0;
    QString firmware;
    int parameterMode = 1;
    bool network = false;
    bool keys = true;
};

class Generator
{
public:
    explicit Generator(quint32 seed) : m_rng(seed) {}
    int between(int lo, int hi) { return lo + static_cast<int>(m_rng.bounded(hi - lo + 1)); }
    bool flag() { return m_rng.bounded(2) == 1; }

    QString text()
    {
        QString t;
        const int parts = between(0, 8);
        for (int i = 0; i < parts; ++i) {
            if (between(0, 3) == 0)
                t += kPieces.at(between(0, static_cast<int>(kPieces.size()) - 1));
            else
                t += kPlain.at(between(0, static_cast<int>(kPlain.size()) - 1));
        }
        return t;
    }

    QString keyCode(bool shifted)
    {
        switch (between(0, 3)) {
        case 0:
            return QString(QChar(between('!', '~')))
                .replace(QLatin1Char('#'), QLatin1Char('x'))
                .replace(QLatin1Char('$'), QLatin1Char('y'));
        case 1:
            return QStringLiteral("#%1").arg(between(0, shifted ? 127 : 200));
        case 2:
            return QStringLiteral("$%1").arg(between(1, 255), 2, 16, QLatin1Char('0')).toUpper();
        default:
            return QString(kPlain.at(between(31, static_cast<int>(kPlain.size()) - 1)));
        }
    }

private:
    QRandomGenerator m_rng;
};

QString quoted(const QString& s)
{
    QString t = s;
    return QLatin1Char('\'') + t.replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

QByteArray keyByte(const QString& notation, bool shifted)
{
    QByteArray b;
    return vemro::KeyCodeNotation::ToKeyByte(StringToAnsi(notation), shifted, &b) ? b : "?";
}

} // namespace

class TstRoundTrip : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void project_data();
    void project();

private:
    using Result = vemro::test::CliResult;
    Result run(const QStringList& args)
    {
        return vemro::test::RunCli(QStringLiteral(VEMRO_CLI), m_home->path(), args);
    }
    std::unique_ptr<ProjectTestHome> m_home;
};

// A new seed every run, so that the runs together try many projects; VEMRO_ROUNDTRIP_SEED
// repeats one. Every failure message begins with it.
quint32 runSeed()
{
    static const quint32 seed =
        qEnvironmentVariableIsSet("VEMRO_ROUNDTRIP_SEED")
            ? static_cast<quint32>(qEnvironmentVariableIntValue("VEMRO_ROUNDTRIP_SEED"))
            : QRandomGenerator::global()->bounded(1000000u);
    return seed;
}

void TstRoundTrip::initTestCase()
{
    m_home = std::make_unique<ProjectTestHome>();
    QVERIFY(m_home->installTemplates());
    qInfo("VEMRO_ROUNDTRIP_SEED=%u", runSeed());
}

void TstRoundTrip::project_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<int>("parameterMode");
    QTest::addColumn<bool>("network");
    QTest::addColumn<bool>("keys");
    // One terminal per parameter form, each with one of the two fixed-text writers (2.5
    // bytes, 2.7 blocks), and the key table (a byte-form write reads all 32 keys back,
    // 10 s) in one of them: which one the seed decides. One more terminal over UDP.
    const quint32 seed = runSeed();
    const bool blockDecimal = seed % 2 == 0;
    const bool keysDecimal = (seed / 2) % 2 == 0;
    const auto writer = [](bool block) { return block ? "2.7" : "2.5"; };
    QTest::newRow("dezimal") << seed << writer(blockDecimal) << 1 << false << keysDecimal;
    QTest::newRow("Byte") << seed + 1 << writer(!blockDecimal) << 0 << false << !keysDecimal;
    QTest::newRow("UDP") << seed + 2 << "2.7" << 1 << true << false;
}

void TstRoundTrip::project()
{
    QFETCH(quint32, seed);
    QFETCH(QString, firmware);
    QFETCH(int, parameterMode);
    QFETCH(bool, network);
    QFETCH(bool, keys);
    const QString where =
        QStringLiteral("VEMRO_ROUNDTRIP_SEED=%1 (Firmware %2): ").arg(runSeed()).arg(firmware);
    QTemporaryDir dir;
    const QString pty = dir.filePath(QStringLiteral("vx"));
    const QString address = QStringLiteral("127.0.78.%1").arg(seed % 100 + 10);
    const QString ctl = dir.filePath(QStringLiteral("vx.ctl"));
    QStringList simArgs{QStringLiteral("--firmware"), firmware, QStringLiteral("--control"), ctl};
    if (network)
        simArgs << QStringLiteral("--no-pty") << QStringLiteral("--udp") << address;
    else
        simArgs << QStringLiteral("--pty-link") << pty;
    SimProcess sim(simArgs);
    QVERIFY2(sim.waitFor(network ? QStringLiteral("Datenport") : pty), qPrintable(sim.output()));
    const QStringList link =
        network ? QStringList{QStringLiteral("--net"), address, QStringLiteral("--local"),
                              QStringLiteral("127.0.78.1")}
                : QStringList{QStringLiteral("--device"), pty};
    const QString source = QStringLiteral("Quelle%1").arg(seed);
    const QString copy = QStringLiteral("Kopie%1").arg(seed);
    for (const QString& name : {source, copy})
        QCOMPARE(
            run({QStringLiteral("project"), QStringLiteral("new"), name, QStringLiteral("--yes")})
                .code,
            0);

    // ---- A random valid project.
    Generator g(seed);
    QStringList sql;
    const int rows = g.between(1, 4);
    const int cols = g.between(8, 40);
    sql << QStringLiteral("UPDATE Terminaleinstellungen SET ParameterMode=%1, SendMode=%2, "
                          "Tastaturenabled=%3, IOPortsEnabled=%4, Einschaltmeldung=0, "
                          "Festtextmode=%5, FesttextPort=%6, Display_Zeilen=%7, "
                          "Display_Spalten=%8, Backlight=%9, Kontrast=%10")
               .arg(parameterMode)
               .arg(g.flag() ? 2 : 4)
               .arg(g.flag() ? 1 : 0)
               .arg(g.flag() ? 1 : 0)
               .arg(g.flag() ? 1 : 0)
               .arg(g.between(0, 8))
               .arg(rows)
               .arg(cols)
               .arg(g.flag() ? 1 : 0)
               .arg(g.between(0, 15));
    sql << QStringLiteral("DELETE FROM Festtexte");
    QMap<int, QString> texts;
    for (int n = 0; n < 128; ++n) {
        if (g.between(0, 7) > 2)
            continue; // a number without text (five in eight)
        texts.insert(n, g.text());
        sql << QStringLiteral(
                   "INSERT INTO Festtexte (DisplayNr, text, TextRTF) VALUES (%1, %2, %2)")
                   .arg(n)
                   .arg(quoted(texts.value(n)));
    }
    sql << QStringLiteral("DELETE FROM Userzeichen");
    for (int slot = 0; slot < 8; ++slot) {
        QStringList values{QString::number(slot)};
        for (int row = 0; row < 8; ++row)
            values << QString::number(g.between(0, 31));
        values << (g.flag() ? quoted(QString(kPlain.at(g.between(0, 20)))) : QStringLiteral("''"));
        sql << QStringLiteral("INSERT INTO Userzeichen VALUES (%1)").arg(values.join(','));
    }
    sql << QStringLiteral("UPDATE TastaturModus SET Mindestdauer=%1, Zeitbisrepeat=%2, "
                          "Wiederholrate=%3, Polling=%4, Repeatenabled=%5, Sendenbeiloslassen=%6, "
                          "Quittung_optisch=%7, Quittung_akustisch=%8, NrShifttaste=%9, "
                          "UseMatrix=%10")
               .arg(g.between(1, 255))
               .arg(g.between(1, 255))
               .arg(g.between(1, 255))
               .arg(g.flag() ? 1 : 0)
               .arg(g.flag() ? 1 : 0)
               .arg(g.flag() ? 1 : 0)
               .arg(g.flag() ? 1 : 0)
               .arg(g.flag() ? 1 : 0)
               .arg(g.between(0, 32))
               .arg(g.flag() ? 1 : 0);
    sql << QStringLiteral("DELETE FROM Tastencodes");
    QMap<int, QPair<QString, QString>> codes;
    // Eight keys of the 32 (each takes 200 ms to write): the others have no row and are
    // neither written nor compared.
    for (int key = 1; keys && codes.size() < 8; key = g.between(1, 32)) {
        if (codes.contains(key))
            continue;
        codes.insert(key, {g.keyCode(false), g.keyCode(true)});
        sql << QStringLiteral("INSERT INTO Tastencodes VALUES (%1, %2, %3)")
                   .arg(key)
                   .arg(quoted(codes.value(key).first), quoted(codes.value(key).second));
    }
    QVERIFY(ProjectTestHome::exec(m_home->projects() + source + QStringLiteral(".mdb"), sql));

    // ---- Written, and read back into the second project: the same settings.
    // The link must know the terminal's parameter form to take its replies apart: the
    // project read into starts in the form written.
    const bool byteForm = parameterMode == 0;
    Result r = run(QStringList{QStringLiteral("project"), QStringLiteral("write"), source,
                               QStringLiteral("--yes")} +
                   (byteForm ? QStringList{} : QStringList{QStringLiteral("--verify")}) + link);
    QVERIFY2(r.code == 0 || r.code == 1, qPrintable(where + r.out + QLatin1Char('\n') + r.err));
    Result written = r;
    const auto readSettingsBack = [&] {
        QVERIFY(ProjectTestHome::exec(m_home->projects() + copy + QStringLiteral(".mdb"),
                                      {QStringLiteral("UPDATE Terminaleinstellungen SET "
                                                      "ParameterMode=%1")
                                           .arg(parameterMode)}));
        r = run(QStringList{QStringLiteral("config"), QStringLiteral("read"), copy} + link);
        QVERIFY2(r.code == 0, qPrintable(where + r.err));
        const QString settings = QStringLiteral(
            "SELECT ParameterMode||'/'||(CASE SendMode WHEN 2 THEN 2 ELSE 0 END)||'/'||"
            "Tastaturenabled||IOPortsEnabled||Einschaltmeldung||Festtextmode||'/'||"
            "Display_Spalten||'x'||Display_Zeilen||'/'||(Backlight>0)||'/'||Kontrast FROM "
            "Terminaleinstellungen");
        const QString back = m_home->projectValue(copy, settings).toString();
        const QString want = m_home->projectValue(source, settings).toString();
        QVERIFY2(back == want, qPrintable(where + QStringLiteral("Einstellungen geschrieben %1, "
                                                                 "gelesen %2")
                                                      .arg(want, back)));
    };
    if (byteForm) {
        QVERIFY2(r.code == 0, qPrintable(where + r.out + QLatin1Char('\n') + r.err));
        readSettingsBack();
        if (QTest::currentTestFailed())
            return;
        // Byte-form replies end only by silence (200 ms each): the user characters and key
        // codes written in the byte form are compared in the decimal form, which the
        // terminal and both projects now take, with every other flag as written.
        const int flags =
            m_home
                ->projectValue(source,
                               QStringLiteral("SELECT 1 + 2*(SendMode=2) + 8*Tastaturenabled + "
                                              "16*IOPortsEnabled + 32*Einschaltmeldung + "
                                              "64*Festtextmode FROM Terminaleinstellungen"))
                .toInt();
        (void)run(QStringList{QStringLiteral("send"),
                              QStringLiteral("<ESC>KM<%1>").arg(flags, 3, 10, QLatin1Char('0'))} +
                  link);
        for (const QString& name : {source, copy})
            QVERIFY(ProjectTestHome::exec(
                m_home->projects() + name + QStringLiteral(".mdb"),
                {QStringLiteral("UPDATE Terminaleinstellungen SET ParameterMode=1")}));
        written = r =
            run(QStringList{QStringLiteral("project"), QStringLiteral("verify"), source} + link);
    }

    // ---- Found equal area by area.
    const QStringList lines = written.out.split(QLatin1Char('\n'));
    QStringList areas{QStringLiteral("Terminalmodus"),  QStringLiteral("Displaygeometrie"),
                      QStringLiteral("Beleuchtung"),    QStringLiteral("Kontrast"),
                      QStringLiteral("Schnittstelle"),  QStringLiteral("Festtexte"),
                      QStringLiteral("Userzeichen"),    QStringLiteral("Tastaturkonfiguration"),
                      QStringLiteral("Firmwareversion")};
    if (keys)
        areas << QStringLiteral("Tastencodes");
    if (network)
        areas.removeAll(QStringLiteral("Schnittstelle")); // not comparable there
    for (const QString& area : areas) {
        const qsizetype at = lines.indexOf(area + QStringLiteral(": gleich"));
        // The first difference named below the area's line.
        const qsizetype other = lines.indexOf(area + QStringLiteral(": verschieden"));
        const QString first = other >= 0 ? lines.value(other + 1) : written.out;
        QVERIFY2(at >= 0, qPrintable(where + area + QStringLiteral(" verschieden: ") + first));
    }
    QVERIFY2(written.code == 0, qPrintable(where + written.out));
    if (!byteForm)
        readSettingsBack();
    if (QTest::currentTestFailed())
        return;

    if (keys) {
        r = run(QStringList{QStringLiteral("keys"), QStringLiteral("read"), copy} + link);
        QVERIFY2(r.code == 0, qPrintable(where + r.err));
        for (auto it = codes.cbegin(); it != codes.cend(); ++it) {
            const QString q =
                QStringLiteral("SELECT Tastencode||char(9)||Tastencode_Shift FROM Tastencodes "
                               "WHERE TastenNr=%1")
                    .arg(it.key());
            const QStringList back =
                m_home->projectValue(copy, q).toString().split(QLatin1Char('\t'));
            QVERIFY2(back.size() == 2 && keyByte(back[0], false) == keyByte(it->first, false) &&
                         keyByte(back[1], true) == keyByte(it->second, true),
                     qPrintable(where + QStringLiteral("Taste %1: geschrieben %2 %3, gelesen %4")
                                            .arg(it.key())
                                            .arg(it->first, it->second, back.join(' '))));
        }
    }

    if (keys) {
        // One key changed behind the program's back: the verify names it and exits 1.
        QLocalSocket socket;
        socket.connectToServer(ctl);
        QVERIFY(socket.waitForConnected(5000));
        const int key = codes.firstKey();
        socket.write(
            QByteArrayLiteral("keycode %1 0x01 0x02\n").replace("%1", QByteArray::number(key)));
        QVERIFY(socket.waitForReadyRead(5000));
        r = run(QStringList{QStringLiteral("project"), QStringLiteral("verify"), source,
                            QStringLiteral("--only"), QStringLiteral("keys")} +
                link);
        QVERIFY2(r.code == 1, qPrintable(where + r.out));
        QVERIFY2(r.out.startsWith(
                     QStringLiteral("Tastencodes: verschieden\n  Taste %1: Projekt ").arg(key)),
                 qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral(", Terminal $01 ($01)")), qPrintable(r.out));
    }

    r = run(QStringList{QStringLiteral("texts"), QStringLiteral("read"), copy,
                        QStringLiteral("--yes")} +
            link);
    QVERIFY2(r.code == 0, qPrintable(where + r.err));
    const bool block = firmware >= QLatin1String("2.6");
    QString firstDifference;
    for (auto it = texts.cbegin(); it != texts.cend() && firstDifference.isEmpty(); ++it) {
        const QString back =
            m_home
                ->projectValue(
                    copy,
                    QStringLiteral("SELECT text FROM Festtexte WHERE DisplayNr=%1").arg(it.key()))
                .toString();
        const QByteArray want = vemro::FilterSteuerzeichen(StringToAnsi(it.value()), block);
        const QByteArray got = vemro::FilterSteuerzeichen(StringToAnsi(back), block);
        if (got != want)
            firstDifference = QStringLiteral("Festtext %1: geschrieben \"%2\", gelesen \"%3\"")
                                  .arg(it.key())
                                  .arg(it.value(), back);
    }
    QVERIFY2(firstDifference.isEmpty(), qPrintable(where + firstDifference));
}

QTEST_GUILESS_MAIN(TstRoundTrip)
#include "tst_roundtrip.moc"
