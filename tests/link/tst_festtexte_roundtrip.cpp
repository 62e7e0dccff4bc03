// The fixed-text round trip against vxsim on its pty: generated texts as the editor holds
// them, written by each writer with the terminal in each parameter form, read back into a
// project and written again. The second write must leave the same EEPROM bytes, and the
// second read the same texts.
#include "../firmware/VxsimProcess.h"

#include "config/FesttextTable.h"
#include "config/FesttexteCore.h"
#include "link/ComPort.h"
#include "link/FesttextLayout.h"
#include "link/Notation.h"
#include "link/clsVX.h"
#include "platform/ScriptedUserInterface.h"
#include "project/DataEnvironment.h"
#include "project/clsProjekt.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace vemro;
using namespace vemro::test;

namespace {

constexpr int kTextsPerCase = 64;

QByteArray codeForm(int v)
{
    return '<' + QByteArray::number(v).rightJustified(3, '0') + '>';
}

// A byte value of a command: often one the editor cannot hold as a character.
int commandValue(QRandomGenerator& random)
{
    static const int awkward[] = {10, 13, 27, 123, 125, 60, 255, 1};
    return random.bounded(2) ? awkward[random.bounded(8)] : random.bounded(1, 256);
}

// A text as the editor holds it: characters of the code page, line breaks, commands in the
// decimal and in the byte form. Without a command the text is sent as it stands, so "<",
// "{" and "}" are characters then; beside a command they are code forms.
QByteArray editorText(QRandomGenerator& random)
{
    const bool commands = random.bounded(3) != 0;
    QByteArray t;
    const int pieces = random.bounded(7);
    for (int i = 0; i < pieces; ++i) {
        switch (random.bounded(commands ? 6 : 3)) {
        case 0:
        case 1:
            for (int n = random.bounded(1, 6); n > 0; --n) {
                const int c = random.bounded(32, 256);
                if (!FesttextHoldsCharacter(static_cast<uchar>(c)))
                    continue;
                if (commands && (c == '<' || c == '{' || c == '}'))
                    t += codeForm(c);
                else
                    t += static_cast<char>(c);
            }
            break;
        case 2:
            t += QList<QByteArray>{"\r", "\n", "\r\n"}.at(random.bounded(3));
            break;
        case 3:
            t += QList<QByteArray>{"{<ESC>LL}",
                                   "{<ESC>LC" + QByteArray::number(random.bounded(5)) + ',' +
                                       QByteArray::number(random.bounded(21)) + ";}",
                                   "{<ESC>LB" + QByteArray::number(random.bounded(256)) + ";}"}
                     .at(random.bounded(3));
            break;
        default:
            if (random.bounded(2))
                t += "{<ESC>KM" + codeForm(commandValue(random)) + '}';
            else
                t += "{<ESC>LC" + codeForm(commandValue(random)) + codeForm(commandValue(random)) +
                     '}';
            break;
        }
    }
    return t;
}

QByteArray eepromOf(Sim& sim)
{
    const QByteArray state = sim.control("dump");
    return state.mid(state.indexOf("[eeprom]"));
}

} // namespace

class TstFesttexteRoundTrip : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { setUi(nullptr); }
    void roundTrip_data();
    void roundTrip();

private:
    QTemporaryDir m_dir;
    ScriptedUserInterface m_ui;
};

void TstFesttexteRoundTrip::initTestCase()
{
    QVERIFY(m_dir.isValid());
    setUi(&m_ui);
}

void TstFesttexteRoundTrip::roundTrip_data()
{
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<int>("parameterMode");
    QTest::newRow("byte writer, decimal form") << "2.5" << 1;
    QTest::newRow("byte writer, byte form") << "2.5" << 0;
    QTest::newRow("block writer, decimal form") << "2.7" << 1;
    QTest::newRow("block writer, byte form") << "2.7" << 0;
}

void TstFesttexteRoundTrip::roundTrip()
{
    QFETCH(QString, firmware);
    QFETCH(int, parameterMode);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_');
    const QString line = m_dir.filePath(tag + QStringLiteral(".pty"));
    Sim sim({QStringLiteral("--pty-link"), line, QStringLiteral("--firmware"), firmware,
             QStringLiteral("--state"), m_dir.filePath(tag + QStringLiteral(".state"))},
            m_dir.filePath(tag + QStringLiteral(".ctl")));
    QVERIFY(sim.waitReady("Link"));
    ComPort port;
    port.setDeviceOverride(1, line);
    port.setCommPort(1);
    QVERIFY(port.setSettings(QStringLiteral("19200,n,8,1")));
    QVERIFY(port.open());
    clsVX vx;
    vx.setCtlcom(&port);

    DataEnvironment env;
    clsProjekt projekt(env);
    const QString file = m_dir.filePath(tag + QStringLiteral(".mdb"));
    QString error;
    QVERIFY(QFile::copy(qEnvironmentVariable("VEMRO_PROGRAM_DIR") +
                            QStringLiteral("/Hardware/vx_standard.mdb"),
                        file));
    QVERIFY2(projekt.connectFile(file, &error), qPrintable(error));
    FesttexteCore core(vx, env);

    QRandomGenerator random(1800 + 10 * parameterMode + (firmware == QLatin1String("2.7")));
    FesttextRows rows;
    for (int n = 0; n < kTextsPerCase; ++n)
        rows.append(FesttextRow{n, editorText(random)});

    auto write = [&](const FesttextRows& texts) {
        // The terminal in the form of this case; the writers switch it themselves.
        vx.GetMode();
        vx.ParameterMode = parameterMode;
        vx.SetMode();
        return vx.SaveFesttexte(texts);
    };
    auto read = [&] {
        m_ui.queueAnswer(UserInterface::Answer::Yes);
        QList<FesttextTable::Entry> entries;
        if (!core.readFromTerminal(&error) || !core.table().entries(entries, &error))
            qWarning() << error << m_ui.texts();
        return entries;
    };

    QVERIFY2(write(rows), qPrintable(m_ui.texts().join('|')));
    const QByteArray first = eepromOf(sim);
    QVERIFY(first.startsWith("[eeprom]"));
    const QList<FesttextTable::Entry> once = read();
    QCOMPARE(once.size(), kTextsPerCase);

    FesttextRows again;
    QVERIFY2(core.table().rows(again, &error), qPrintable(error));
    QVERIFY2(write(again), qPrintable(m_ui.texts().join('|')));
    QCOMPARE(eepromOf(sim), first);
    const QList<FesttextTable::Entry> twice = read();
    QCOMPARE(twice.size(), once.size());
    for (int i = 0; i < once.size(); ++i)
        QCOMPARE(twice.at(i).text, once.at(i).text);
    port.close();
}

QTEST_GUILESS_MAIN(TstFesttexteRoundTrip)
#include "tst_festtexte_roundtrip.moc"
