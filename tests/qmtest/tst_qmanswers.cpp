// The console answers of vemro-cli's production test: --answers in order, --serial for the
// serial-number box, standard input after that, the cautious answer at its end.
#include "cli/QmTestAnswers.h"
#include "platform/ScriptedUserInterface.h"

#include <QtTest>

#include <cstdio>

using namespace vemro;
using Answer = UserInterface::Answer;
using Buttons = UserInterface::Buttons;

class TstQmAnswers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void yesNo_data();
    void yesNo();
    void order();
};

void TstQmAnswers::yesNo_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("value"); // 1 yes, 0 no, -1 neither
    QTest::newRow("ja") << "ja" << 1;
    QTest::newRow("Yes") << " Yes " << 1;
    QTest::newRow("j") << "j" << 1;
    QTest::newRow("nein") << "NEIN" << 0;
    QTest::newRow("n") << "n" << 0;
    QTest::newRow("vielleicht") << "vielleicht" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TstQmAnswers::yesNo()
{
    QFETCH(QString, word);
    QFETCH(int, value);
    const std::optional<bool> r = QmTestAnswers::yesNo(word);
    QCOMPARE(r.has_value() ? int(*r) : -1, value);
}

void TstQmAnswers::order()
{
    ScriptedUserInterface console;
    FILE* echo = std::tmpfile();
    FILE* in = std::tmpfile();
    std::fputs("nein\n2000\n\n", in);
    std::rewind(in);
    QmTestAnswers answers(console, {"ja", "egal", "nein"}, "4242", echo, in);
    QCOMPARE(answers.ask("Frage 1", Buttons::YesNo, "t"), Answer::Yes);
    // A word that is neither is asked again; the next answer counts.
    QCOMPARE(answers.ask("Frage 2", Buttons::YesNo, "t"), Answer::No);
    QCOMPARE(answers.input("SerNr eingeben :", "SerNr", "004711"), std::optional<QString>("4242"));
    // From standard input once the list is used up.
    QCOMPARE(answers.ask("Frage 3", Buttons::YesNo, "t"), Answer::No);
    QCOMPARE(answers.input("Startadresse", "t", "1000"), std::optional<QString>("2000"));
    // Enter takes the default shown.
    QCOMPARE(answers.input("Endadresse", "t", "2010"), std::optional<QString>("2010"));
    // The serial number answers only the first serial-number box.
    QCOMPARE(answers.input("SerNr eingeben :", "SerNr", "4242"), std::nullopt);
    QCOMPARE(answers.ask("Frage 4", Buttons::YesNo, "t"), Answer::No);
    answers.message("Hinweis", "t");
    QCOMPARE(console.texts(), QStringList{"Hinweis"});
    std::rewind(echo);
    char buffer[2048] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, echo);
    const QString shown = QString::fromLocal8Bit(buffer, static_cast<int>(n));
    QVERIFY2(shown.contains("Frage 2 [ja/nein] egal\nBitte ja oder nein antworten."),
             qPrintable(shown));
    std::fclose(echo);
    std::fclose(in);
}

QTEST_GUILESS_MAIN(TstQmAnswers)
#include "tst_qmanswers.moc"
