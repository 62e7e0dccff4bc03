// vemro-cli's questions at an interactive terminal (a pseudo-terminal as standard input):
// the preselected answer is shown in capitals and an empty line takes it.
#include "platform/ConsoleUserInterface.h"

#include <QTest>

#include <cstdio>
#include <pty.h>
#include <unistd.h>

using namespace vemro;

class TstConsoleUi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void preselected_data();
    void preselected();
};

void TstConsoleUi::preselected_data()
{
    using B = UserInterface::Buttons;
    using A = UserInterface::Answer;
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("preselected"); // -1: none
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("empty takes Nein")
        << int(B::YesNo) << int(A::No) << QByteArray("\n") << int(A::No) << "[j/N]";
    QTest::newRow("empty takes Ja")
        << int(B::YesNo) << int(A::Yes) << QByteArray("\n") << int(A::Yes) << "[J/n]";
    QTest::newRow("typed answer wins")
        << int(B::YesNo) << int(A::No) << QByteArray("j\n") << int(A::Yes) << "[j/N]";
    QTest::newRow("without one empty asks again")
        << int(B::YesNo) << -1 << QByteArray("\nn\n") << int(A::No) << "[j/n]";
    QTest::newRow("Abbrechen of three")
        << int(B::YesNoCancel) << int(A::Cancel) << QByteArray("\n") << int(A::Cancel) << "[j/n/A]";
    QTest::newRow("answer not offered counts as none")
        << int(B::YesNo) << int(A::Cancel) << QByteArray("\nj\n") << int(A::Yes) << "[j/n]";
}

void TstConsoleUi::preselected()
{
    QFETCH(int, buttons);
    QFETCH(int, preselected);
    QFETCH(QByteArray, typed);
    QFETCH(int, answer);
    QFETCH(QString, prompt);
    int master = -1;
    int slave = -1;
    QVERIFY(::openpty(&master, &slave, nullptr, nullptr, nullptr) == 0);
    FILE* in = ::fdopen(slave, "r");
    FILE* out = std::tmpfile();
    QVERIFY(in && out);
    // The whole input is in the line before the question reads it.
    QCOMPARE(::write(master, typed.constData(), static_cast<size_t>(typed.size())),
             static_cast<ssize_t>(typed.size()));
    ConsoleUserInterface console(out, in);
    std::optional<UserInterface::Answer> pre;
    if (preselected >= 0)
        pre = UserInterface::Answer(preselected);
    const UserInterface::Answer got = console.ask(QStringLiteral("Alle Festtexte löschen ?"),
                                                  UserInterface::Buttons(buttons), {}, pre);
    std::rewind(out);
    QByteArray shown;
    char buf[256];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, out)) > 0)
        shown.append(buf, static_cast<qsizetype>(n));
    std::fclose(out);
    std::fclose(in);
    ::close(master);
    QCOMPARE(int(got), answer);
    QVERIFY2(QString::fromLocal8Bit(shown).contains(QStringLiteral("Alle Festtexte löschen ? ") +
                                                    prompt),
             shown.constData());
}

QTEST_GUILESS_MAIN(TstConsoleUi)
#include "tst_consoleui.moc"
