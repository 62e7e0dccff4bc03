// Page "Festtexte" and the command builder under offscreen widgets, against a project file
// and the virtual terminal in process.
#include "../link/LinkFixture.h"

#include "commands/frmBefehle.h"
#include "config/FesttextFiles.h"
#include "config/FesttextTable.h"
#include "editors/ConsoleFrame.h"
#include "editors/FesttextePage.h"
#include "link/FesttextLayout.h"
#include "platform/Codepage.h"
#include "platform/ProgressIndicator.h"
#include "project/DataEnvironment.h"
#include "project/clsProjekt.h"
#include "sim/VxTerminal.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <QTreeWidget>
#include <functional>

using namespace vemro;
using namespace vemro::test;

namespace {

struct Rig
{
    MemoryLink link;
    VxTerminal term;
    NullProgress progress;
    QTemporaryDir dir;
    DataEnvironment env;
    clsProjekt projekt{env};
    std::unique_ptr<FesttextePage> page;

    Rig()
    {
        link.attach(&term, &VxTerminal::receive, &VxTerminal::transmit);
        const QString file = dir.filePath(QStringLiteral("p.mdb"));
        QFile::copy(qEnvironmentVariable("VEMRO_PROGRAM_DIR") +
                        QStringLiteral("/Hardware/vx_standard.mdb"),
                    file);
        QString error;
        if (!projekt.connectFile(file, &error))
            qWarning() << error;
        page = std::make_unique<FesttextePage>(&link.vx, env);
        page->setProgress(&progress);
        page->ResizeFesttextPreview(QStringLiteral("16x2"));
        page->pageShown();
    }
    QString stored(int n)
    {
        QList<FesttextTable::Entry> list;
        (void)FesttextTable(env).entries(list, nullptr);
        for (const auto& e : list) {
            if (e.DisplayNr == n)
                return e.text;
        }
        return QStringLiteral("(keine Zeile)");
    }
    QList<int> numbers()
    {
        QList<FesttextTable::Entry> list;
        (void)FesttextTable(env).entries(list, nullptr);
        QList<int> out;
        for (const auto& e : list)
            out << e.DisplayNr;
        return out;
    }
};

} // namespace

class TstFesttextPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controls();
    void upDown_data();
    void upDown();
    void numberBox();
    void unsavedQuestion();
    void failedReadKeepsEditor_data();
    void failedReadKeepsEditor();
    void readShowsTyped();
    void storeAndRichText();
    void foreignRtfShowsPlain();
    void preview();
    void resize();
    void clearOneAndAll();
    void importAt126();
    void exportImportRoundTrip();
    void showOnTerminal();
    void insertCommand_data();
    void insertCommand();
    void plainTextShowsPlain();
    void consoleInsertsCommand_data();
    void consoleInsertsCommand();
    void builderDialog();
};

void TstFesttextPage::controls()
{
    Rig rig;
    const QList<std::pair<const char*, const char*>> named{
        {"cmdShowFesttext", "ausgewählten Festtext anzeigen"},
        {"cmdSaveFesttextinDB", "auf PC speichern"},
        {"cmdShowpreview", "Vorschau aktualisieren"},
        {"cmdclearFesttext", "löschen"},
        {"cmdImportRKTexte", "importieren ..."},
        {"cmdExportTexte", "exportieren..."},
        {"cmdBefehlEinfuegen", "Terminal-Befehl einfügen"}};
    for (const auto& [name, caption] : named) {
        auto* b = rig.page->findChild<QPushButton*>(QString::fromLatin1(name));
        QVERIFY2(b, name);
        QCOMPARE(b->text(), QString::fromUtf8(caption));
    }
    QCOMPARE(rig.page->findChild<QCheckBox*>("ctlFesttextNrAutoincrement")->text(),
             QStringLiteral("auto-increment"));
    QCOMPARE(rig.page->findChild<QCheckBox*>("ctldeleteallFT")->text(), QStringLiteral("alle"));
    QVERIFY(rig.page->findChild<QWidget*>("ctlFesttextNrUpDown"));
    QVERIFY(rig.page->findChild<QTextEdit*>("txtFesttext"));
    QCOMPARE(rig.page->txtFesttextNr()->text(), QStringLiteral("(bitte wählen)"));
    QVERIFY(rig.page->txtFesttextVorschau()->font().family().contains(QStringLiteral("Courier")));
}

void TstFesttextPage::upDown_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("to");
    QTest::newRow("up wraps") << "127" << true << "000";
    QTest::newRow("down wraps") << "000" << false << "127";
    QTest::newRow("up") << "041" << true << "042";
    QTest::newRow("initial up") << "(bitte wählen)" << true << "001";
    QTest::newRow("initial down") << "(bitte wählen)" << false << "127";
}

void TstFesttextPage::upDown()
{
    QFETCH(QString, from);
    QFETCH(bool, up);
    QFETCH(QString, to);
    Rig rig;
    rig.page->txtFesttextNr()->setText(from);
    if (up)
        rig.page->ctlFesttextNrUp()->click();
    else
        rig.page->ctlFesttextNrDown()->click();
    QCOMPARE(rig.page->txtFesttextNr()->text(), to);
    QCOMPARE(rig.page->currentNumber(), to.toInt());
}

void TstFesttextPage::numberBox()
{
    Rig rig;
    QString error;
    QVERIFY(FesttextTable(rig.env).store(5, QStringLiteral("fünf"), QString(), &error));
    rig.page->txtFesttextNr()->setText(QStringLiteral("5"));
    QCOMPARE(rig.page->currentNumber(), 0); // one digit: nothing happens
    rig.page->txtFesttextNr()->setText(QStringLiteral("005"));
    QCOMPARE(rig.page->currentNumber(), 5);
    QCOMPARE(rig.page->txtFesttext()->toPlainText(), QStringLiteral("fünf"));
    // A number without a row gets one.
    QVERIFY(!rig.numbers().contains(77));
    rig.page->txtFesttextNr()->setText(QStringLiteral("077"));
    QVERIFY(rig.numbers().contains(77));
    QVERIFY(rig.page->txtFesttextNr()->isEnabled());
}

void TstFesttextPage::unsavedQuestion()
{
    Rig rig;
    rig.page->txtFesttextNr()->setText(QStringLiteral("010"));
    rig.page->txtFesttext()->setPlainText(QStringLiteral("neu\nzwei"));
    QVERIFY(rig.page->unsaved());
    rig.link.ui.queueAnswer(UserInterface::Answer::Yes);
    rig.page->txtFesttextNr()->setText(QStringLiteral("011"));
    QCOMPARE(rig.link.ui.texts(), QStringList{QStringLiteral(
                                      "Festtext wurde noch nicht gespeichert, jetzt speichern ?")});
    QCOMPARE(rig.stored(10), QStringLiteral("neu\r\nzwei"));
    QVERIFY(!rig.page->unsaved());
    // No keeps the table as it was.
    rig.page->txtFesttext()->setPlainText(QStringLiteral("verworfen"));
    rig.link.ui.queueAnswer(UserInterface::Answer::No);
    rig.page->txtFesttextNr()->setText(QStringLiteral("012"));
    QCOMPARE(rig.stored(11), QString());
}

void TstFesttextPage::failedReadKeepsEditor_data()
{
    QTest::addColumn<bool>("agree");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("breakAfter"); // the terminal falls silent after this text
    QTest::newRow("overwrite refused") << false << false << -1;
    QTest::newRow("terminal silent") << true << true << -1;
    // The number box shows 100, 101, 102 as they come: no row may be added for them.
    QTest::newRow("broken off at 102") << true << false << 102;
}

// A read that stores nothing leaves the editor as the user left it, unsaved text included.
void TstFesttextPage::failedReadKeepsEditor()
{
    QFETCH(bool, agree);
    QFETCH(bool, silent);
    QFETCH(int, breakAfter);
    Rig rig;
    if (breakAfter >= 0) {
        FesttextRows texts;
        for (int n = 0; n < 110; ++n)
            texts.append(FesttextRow{n, "t" + QByteArray::number(n)});
        QVERIFY(rig.link.vx.SaveFesttexteBlockweise(texts));
        connect(&rig.link.vx, &clsVX::festtextGelesen, &rig.term, [&rig, breakAfter](int n) {
            if (n == breakAfter)
                rig.term.setFault(VxTerminal::Fault::Silent);
        });
    }
    rig.page->txtFesttextNr()->setText(QStringLiteral("010"));
    const QList<int> rows = rig.numbers();
    rig.page->txtFesttext()->setPlainText(QStringLiteral("noch nicht gespeichert"));
    QVERIFY(rig.page->unsaved());
    if (silent)
        rig.term.setFault(VxTerminal::Fault::Silent);
    rig.link.vx.tmrTimeout()->setInterval(50);
    rig.link.ui.queueAnswer(agree ? UserInterface::Answer::Yes : UserInterface::Answer::No);
    rig.page->transfers().first().read();
    QCOMPARE(rig.page->txtFesttext()->toPlainText(), QStringLiteral("noch nicht gespeichert"));
    QCOMPARE(rig.page->txtFesttextNr()->text(), QStringLiteral("010"));
    QVERIFY(rig.page->unsaved());
    QCOMPARE(rig.stored(10), QString());
    QCOMPARE(rig.numbers(), rows);
}

// A read shows the texts as typed, on their lines, and the preview as the terminal shows it.
void TstFesttextPage::readShowsTyped()
{
    Rig rig;
    QVERIFY(rig.link.vx.SaveFesttexteBlockweise(FesttextRows{{0, "{<ESC>LL}St\xf6rung\r\nPumpe 2"},
                                                             {1, "Gr\xfc\xdf"
                                                                 "e 100%"}}));
    rig.link.ui.queueAnswer(UserInterface::Answer::Yes);
    rig.page->transfers().first().read();
    QCOMPARE(rig.page->txtFesttextNr()->text(), QStringLiteral("000"));
    QCOMPARE(rig.page->txtFesttext()->toPlainText(), QStringLiteral("{<ESC>LL}Störung\nPumpe 2"));
    QCOMPARE(rig.page->txtFesttextVorschau()->toPlainText(), QStringLiteral("Störung\nPumpe 2\n"));
    rig.link.vx.ShowFesttext(0);
    QTRY_COMPARE(rig.term.displayLine(0).trimmed(), QStringLiteral("Störung"));
    QCOMPARE(rig.term.displayLine(1).trimmed(), QStringLiteral("Pumpe 2"));
    rig.page->txtFesttextNr()->setText(QStringLiteral("001"));
    QCOMPARE(rig.page->txtFesttext()->toPlainText(), QStringLiteral("Grüße 100%"));
    // Shown and left unchanged, the lone CR the block writer left stays as it came.
    rig.page->txtFesttextNr()->setText(QStringLiteral("000"));
    rig.page->txtFesttext_LostFocus();
    QCOMPARE(rig.stored(0), QStringLiteral("{<ESC>LL}Störung\rPumpe 2"));
}

void TstFesttextPage::storeAndRichText()
{
    Rig rig;
    rig.page->txtFesttextNr()->setText(QStringLiteral("003"));
    rig.page->txtFesttext()->setPlainText(QStringLiteral("{<ESC>LL}Hallo"));
    rig.page->cmdSaveFesttextinDB()->click();
    QVERIFY(!rig.page->unsaved());
    QCOMPARE(rig.stored(3), QStringLiteral("{<ESC>LL}Hallo"));
    QList<FesttextTable::Entry> list;
    QVERIFY(FesttextTable(rig.env).entries(list, nullptr));
    for (const auto& e : list) {
        if (e.DisplayNr == 3)
            QVERIFY(IsFesttextRichText(e.TextRTF));
    }
    rig.page->txtFesttextNr()->setText(QStringLiteral("000"));
    rig.page->txtFesttextNr()->setText(QStringLiteral("003"));
    QCOMPARE(rig.page->txtFesttext()->toPlainText(), QStringLiteral("{<ESC>LL}Hallo"));

    // Focus loss stores but keeps the mark.
    rig.page->txtFesttext()->setPlainText(QStringLiteral("fokus"));
    rig.page->txtFesttext_LostFocus();
    QCOMPARE(rig.stored(3), QStringLiteral("fokus"));
    QVERIFY(rig.page->unsaved());
}

void TstFesttextPage::foreignRtfShowsPlain()
{
    Rig rig;
    QString error;
    QVERIFY(FesttextTable(rig.env).store(4, QStringLiteral("eigener\r\nText"),
                                         QStringLiteral("{\\rtf1\\ansi fremd}"), &error));
    QVERIFY(FesttextTable(rig.env).store(6, QStringLiteral("neu"),
                                         FesttextRichText(QStringLiteral("alt")), &error));
    rig.page->txtFesttextNr()->setText(QStringLiteral("004"));
    QCOMPARE(rig.page->txtFesttext()->toPlainText(), QStringLiteral("eigener\nText"));
    // Rich text that no longer matches the text: the text wins.
    rig.page->txtFesttextNr()->setText(QStringLiteral("006"));
    QCOMPARE(rig.page->txtFesttext()->toPlainText(), QStringLiteral("neu"));
}

void TstFesttextPage::preview()
{
    Rig rig;
    rig.page->txtFesttext()->setPlainText(QStringLiteral("{<ESC>LL}abcde"));
    rig.page->cmdShowpreview()->click();
    QCOMPARE(rig.page->txtFesttextVorschau()->toPlainText(), QStringLiteral("abcde\n\n"));
    // An open command keeps the previous preview.
    rig.page->txtFesttext()->setPlainText(QStringLiteral("{<ESC>LL"));
    rig.page->cmdShowpreview()->click();
    QCOMPARE(rig.page->txtFesttextVorschau()->toPlainText(), QStringLiteral("abcde\n\n"));
}

void TstFesttextPage::resize()
{
    Rig rig;
    QCOMPARE(rig.page->txtFesttextVorschau()->size(), QSize(168, 42));
    rig.page->ResizeFesttextPreview(QStringLiteral("20 mal 4"));
    QCOMPARE(rig.link.ui.texts(),
             QStringList{QStringLiteral("ungültiger Eintrag in Displayauswahlliste")});
    QCOMPARE(rig.link.vx.Cols, qint16(16));
    rig.page->ResizeFesttextPreview(QStringLiteral("40x8"));
    QCOMPARE(rig.page->txtFesttextVorschau()->size(), QSize(418, 162));
}

void TstFesttextPage::clearOneAndAll()
{
    Rig rig;
    rig.page->txtFesttextNr()->setText(QStringLiteral("002"));
    rig.page->txtFesttext()->setPlainText(QStringLiteral("weg"));
    rig.page->cmdclearFesttext()->click();
    QCOMPARE(rig.stored(2), QStringLiteral("weg")); // stored first, emptied in the editor
    QVERIFY(rig.page->txtFesttext()->toPlainText().isEmpty());

    rig.page->ctldeleteallFT()->setChecked(true);
    rig.link.ui.clear();
    rig.link.ui.queueAnswer(UserInterface::Answer::No);
    rig.page->cmdclearFesttext()->click();
    QVERIFY(rig.numbers().size() > 1);
    // Enter answers "Nein": the question is asked with it preselected.
    QCOMPARE(rig.link.ui.texts().value(0), QStringLiteral("Alle Festtexte löschen ?"));
    QVERIFY(rig.link.ui.preselections().value(0) == UserInterface::Answer::No);
    rig.link.ui.queueAnswer(UserInterface::Answer::Yes);
    rig.page->cmdclearFesttext()->click();
    QCOMPARE(rig.numbers(), QList<int>{0});
    QCOMPARE(rig.page->txtFesttextNr()->text(), QStringLiteral("000"));
}

void TstFesttextPage::importAt126()
{
    Rig rig;
    const QString file = rig.dir.filePath(QStringLiteral("rk.txt"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("eins\nzeile\nzwei\n\ndrei\n\nvier\n\n");
    f.close();
    rig.page->txtFesttextNr()->setText(QStringLiteral("126"));
    rig.link.ui.queueAnswer(UserInterface::Answer::Ok);
    rig.link.ui.queueFileName(file);
    rig.page->cmdImportRKTexte()->click();
    QCOMPARE(rig.stored(126), QStringLiteral("{<ESC>LL}eins\r\nzeile"));
    QCOMPARE(rig.stored(127), QStringLiteral("{<ESC>LL}zwei"));
    QVERIFY(!rig.numbers().contains(128));
    QVERIFY(!rig.progress.visible());
    QVERIFY(rig.page->cmdImportRKTexte()->isEnabled());
    // The template's texts 0 to 4 are untouched.
    QVERIFY(rig.stored(1).startsWith(QStringLiteral("{<ESC>LL}")));
}

void TstFesttextPage::exportImportRoundTrip()
{
    Rig rig;
    QString error;
    QVERIFY(FesttextTable(rig.env).store(9, QStringLiteral("{<ESC>LC2,1;}neun\r\n  \\x"), QString(),
                                         &error));
    QList<FesttextTable::Entry> before;
    QVERIFY(FesttextTable(rig.env).entries(before, nullptr));
    const QString file = rig.dir.filePath(QStringLiteral("export"));
    rig.link.ui.queueFileName(file);
    rig.page->cmdExportTexte()->click();
    QVERIFY(QFile::exists(file + QStringLiteral(".txt")));
    QVERIFY(!rig.progress.visible());

    // Into an empty project.
    rig.page->ctldeleteallFT()->setChecked(true);
    rig.link.ui.queueAnswer(UserInterface::Answer::Yes);
    rig.page->cmdclearFesttext()->click();
    QVERIFY(FesttextTable(rig.env).clearAll(&error));
    rig.link.ui.queueAnswer(UserInterface::Answer::Ok);
    rig.link.ui.queueFileName(file + QStringLiteral(".txt"));
    rig.page->cmdImportRKTexte()->click();
    QList<FesttextTable::Entry> after;
    QVERIFY(FesttextTable(rig.env).entries(after, nullptr));
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        QCOMPARE(after.at(i).DisplayNr, before.at(i).DisplayNr);
        QCOMPARE(after.at(i).text, before.at(i).text);
    }
}

void TstFesttextPage::showOnTerminal()
{
    Rig rig;
    QVERIFY(rig.link.vx.SaveFesttexteBlockweise({{0, "null"}, {1, "eins"}, {2, "zwei"}}));
    rig.page->txtFesttextNr()->setText(QStringLiteral("000"));
    rig.page->ctlFesttextNrAutoincrement()->setChecked(true);
    rig.page->cmdShowFesttext()->click();
    QCOMPARE(rig.page->txtFesttextNr()->text(), QStringLiteral("001"));
    QTRY_VERIFY(rig.term.displayLine(0).startsWith(QStringLiteral("eins")));
}

namespace {

// Answers the command builder once it is shown: `answer` gets the dialog.
void answerBuilder(QObject* context, std::function<void(frmBefehle*)> answer)
{
    QTimer::singleShot(0, context, [answer] {
        frmBefehle* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<frmBefehle*>(w); d && d->isVisible())
                dialog = d;
        }
        QVERIFY(dialog);
        answer(dialog);
    });
}

// "Terminalmodus setzen" with the given flags ticked (rows 2..7: 1, 2, 8, 16, 32, 64), OK.
std::function<void(frmBefehle*)> chooseMode(const QList<bool>& flags)
{
    return [flags](frmBefehle* dialog) {
        QVERIFY(dialog->selectNode(QStringLiteral("B701")));
        for (int i = 0; i < flags.size(); ++i) {
            auto* box = qobject_cast<QCheckBox*>(dialog->parameterControl(i + 2));
            QVERIFY(box);
            box->setChecked(flags.at(i));
        }
        QTest::mouseClick(dialog->OKButton(), Qt::LeftButton);
    };
}

bool plainFrom(const QTextEdit* editor, int from)
{
    QTextCursor c(editor->document());
    for (int pos = from + 1; pos <= editor->document()->characterCount() - 1; ++pos) {
        c.setPosition(pos);
        const QTextCharFormat f = c.charFormat();
        if (f.foreground().color() != QColor(Qt::black) || f.fontWeight() != QFont::Normal)
            return false;
    }
    return true;
}

} // namespace

void TstFesttextPage::insertCommand_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<QList<bool>>("flags");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("clear display") << "B101" << QList<bool>{} << "<ESC>LL" << QByteArray("\x1bLL");
    // Keyboard and serial answers: the flag byte is 10, a line feed.
    QTest::newRow("mode 10") << "B701" << QList<bool>{false, true, true, false, false, false}
                             << "<ESC>KM<010>" << QByteArray("\x1bKM\x0a");
    // A flag byte 27 is a value, shown as a read back shows it, not as a second command.
    QTest::newRow("mode 27") << "B701" << QList<bool>{true, true, true, true, false, false}
                             << "<ESC>KM<027>" << QByteArray("\x1bKM\x1b");
    QTest::newRow("mode 123") << "B701" << QList<bool>{true, true, true, true, true, true}
                              << "<ESC>KM<123>" << QByteArray("\x1bKM{");
}

void TstFesttextPage::insertCommand()
{
    QFETCH(QString, node);
    QFETCH(QList<bool>, flags);
    QFETCH(QString, command);
    QFETCH(QByteArray, bytes);
    Rig rig;
    rig.page->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.page.get()));
    QTextEdit* editor = rig.page->txtFesttext();
    rig.page->txtFesttextNr()->setText(QStringLiteral("009"));
    editor->setPlainText(QStringLiteral("ab"));
    editor->moveCursor(QTextCursor::End);
    if (node == QLatin1String("B701")) {
        answerBuilder(this, chooseMode(flags));
    } else {
        answerBuilder(this, [node](frmBefehle* dialog) {
            QVERIFY(dialog->selectNode(node));
            QTest::mouseClick(dialog->OKButton(), Qt::LeftButton);
        });
    }
    QTest::mouseClick(rig.page->cmdBefehlEinfuegen(), Qt::LeftButton);
    const QString inserted = QStringLiteral("ab{") + command + QLatin1Char('}');
    QCOMPARE(editor->toPlainText(), inserted);
    QVERIFY(editor->toHtml().contains(QStringLiteral("#008000")));
    // Typing goes on in the editor at the caret, in the plain style.
    QCOMPARE(rig.page->focusWidget(), editor);
    QTest::keyClicks(rig.page->focusWidget(), QStringLiteral("xy"));
    QCOMPARE(editor->toPlainText(), inserted + QStringLiteral("xy"));
    QVERIFY(plainFrom(editor, static_cast<int>(inserted.size())));
    // Back to the end of the command by moving there: still plain.
    editor->moveCursor(QTextCursor::Start);
    editor->moveCursor(QTextCursor::End);
    editor->moveCursor(QTextCursor::Left);
    editor->moveCursor(QTextCursor::Left);
    QTest::keyClicks(editor, QStringLiteral("z"));
    QVERIFY(plainFrom(editor, static_cast<int>(inserted.size())));
    QCOMPARE(editor->toPlainText(), inserted + QStringLiteral("zxy"));

    QTest::mouseClick(rig.page->cmdSaveFesttextinDB(), Qt::LeftButton);
    QCOMPARE(rig.stored(9), inserted + QStringLiteral("zxy"));
    const QByteArray sent = QByteArray("ab") + bytes + "zxy";
    for (bool removeLF : {false, true}) {
        FesttextLayout layout;
        QVERIFY(LayoutFesttexte({{9, StringToAnsi(rig.stored(9))}}, removeLF, layout, nullptr));
        QCOMPARE(layout.bytes.value(0), sent);
    }
}

void TstFesttextPage::plainTextShowsPlain()
{
    Rig rig;
    QString error;
    QVERIFY(FesttextTable(rig.env).store(1, QStringLiteral("nur Text"), QString(), &error));
    // Rich text stored with the command style running on into the plain text after it.
    QString rtf = FesttextRichText(QStringLiteral("{<ESC>LL}abc"));
    rtf.replace(QStringLiteral("</span>"), QString());
    rtf.replace(QStringLiteral("</p>"), QStringLiteral("</span></p>"));
    QVERIFY(FesttextTable(rig.env).store(2, QStringLiteral("{<ESC>LL}abc"), rtf, &error));
    QTextEdit* editor = rig.page->txtFesttext();
    rig.page->txtFesttextNr()->setText(QStringLiteral("002"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("{<ESC>LL}abc"));
    QVERIFY(plainFrom(editor, 9));
    QVERIFY(!plainFrom(editor, 0));
    // The caret after the command (its style) does not colour the next text loaded.
    editor->moveCursor(QTextCursor::Start);
    editor->moveCursor(QTextCursor::End);
    editor->moveCursor(QTextCursor::Left);
    editor->moveCursor(QTextCursor::Left);
    editor->moveCursor(QTextCursor::Left);
    rig.page->txtFesttextNr()->setText(QStringLiteral("001"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("nur Text"));
    QVERIFY(plainFrom(editor, 0));
}

void TstFesttextPage::consoleInsertsCommand_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("mode");
    QTest::newRow("mode 10") << false << "<ESC>KM<010>" << 10;
    QTest::newRow("cancel empties the line") << true << "" << 59;
}

void TstFesttextPage::consoleInsertsCommand()
{
    QFETCH(bool, cancel);
    QFETCH(QString, line);
    QFETCH(int, mode);
    Rig rig;
    ConsoleFrame console(&rig.link.vx);
    console.setBefehlskatalog(&rig.env);
    console.show();
    QVERIFY(QTest::qWaitForWindowExposed(&console));
    QVERIFY(console.cmdBefehleinfuegen_B()->isEnabled());
    if (cancel) {
        answerBuilder(this, [](frmBefehle* dialog) {
            QVERIFY(dialog->selectNode(QStringLiteral("B701")));
            QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
        });
    } else {
        answerBuilder(this, chooseMode({false, true, true, false, false, false}));
    }
    QTest::mouseClick(console.cmdBefehleinfuegen_B(), Qt::LeftButton);
    QCOMPARE(console.txtBefehl()->text(), line);
    QCOMPARE(console.focusWidget(), console.txtBefehl());
    const int before = rig.term.modeFlags();
    QTest::mouseClick(console.cmdSenden(), Qt::LeftButton);
    QCOMPARE(rig.term.modeFlags(), cancel ? before : mode);
}

void TstFesttextPage::builderDialog()
{
    Rig rig;
    frmBefehle dialog(rig.env);
    QVERIFY(dialog.ctlBefehlsliste()->topLevelItemCount() >= 7);
    QVERIFY(dialog.selectNode(QStringLiteral("G1")));
    QVERIFY(!dialog.OKButton()->isEnabled());
    // "Cursor positionieren": row 1 out of range turns red and keeps the dialog open.
    QVERIFY(dialog.selectNode(QStringLiteral("B102")));
    QVERIFY(dialog.OKButton()->isEnabled());
    auto* zeile = qobject_cast<QLineEdit*>(dialog.parameterControl(1));
    QVERIFY(zeile);
    QCOMPARE(dialog.parameterLabel(1)->text(), QStringLiteral("Zeile"));
    zeile->setText(QStringLiteral("9"));
    dialog.setCreatemode(1);
    dialog.OKButton_Click();
    QCOMPARE(rig.link.ui.texts(),
             QStringList{QStringLiteral("einige Angaben sind nicht zulässig, bitte prüfen\n"
                                        "Zeile: \"9\" ist nicht zulässig, erlaubt ist 1 bis 4")});
    QVERIFY(zeile->styleSheet().contains(QStringLiteral("#ff0000")));
    zeile->setText(QStringLiteral("2"));
    dialog.OKButton_Click();
    QCOMPARE(dialog.result_(), QStringLiteral("<ESC>LC2,1;"));
    QVERIFY(zeile->styleSheet().contains(QStringLiteral("#ffffff")));
    // Byte form refuses what one character cannot carry.
    QVERIFY(dialog.selectNode(QStringLiteral("B201")));
    qobject_cast<QLineEdit*>(dialog.parameterControl(2))->setText(QStringLiteral("300"));
    dialog.setCreatemode(0);
    rig.link.ui.clear();
    dialog.OKButton_Click();
    QCOMPARE(rig.link.ui.texts().size(), 1);
}

QTEST_MAIN(TstFesttextPage)
#include "tst_festtextpage.moc"
