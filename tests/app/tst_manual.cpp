// The user manual the build renders: it exists in the program folder, names every page
// and every menu item of the main window, and its screenshots are readable.
#include "app/frmhaupt.h"
#include "platform/ProgramInfo.h"
#include "platform/ScriptedUserInterface.h"

#include <QGroupBox>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace vemro;

class TstManual : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void namesWindowAndShowsPictures();
};

namespace {
QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Without blanks and line breaks; ligatures ("fi") as their letters.
QString squeezed(QString text)
{
    text = text.normalized(QString::NormalizationForm_KC);
    text.remove(QLatin1Char('&'));
    return text.remove(QRegularExpression(QStringLiteral("\\s+")));
}
} // namespace

void TstManual::namesWindowAndShowsPictures()
{
    const QString pdf = qEnvironmentVariable("VEMRO_PROGRAM_DIR") + QStringLiteral("/um_de.pdf");
    QVERIFY2(QFileInfo(pdf).size() > 0, qPrintable(pdf));
    const QString text = squeezed(run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    QVERIFY(!text.isEmpty());

    QTemporaryDir home;
    setProgramFolder(home.path());
    ScriptedUserInterface ui;
    setUi(&ui);
    QStringList names;
    {
        frmhaupt window;
        for (const QGroupBox* frame : window.findChildren<QGroupBox*>(
                 QRegularExpression(QStringLiteral("^frRegister_\\d+$")))) {
            if (!frame->title().startsWith(QLatin1Char('(')))
                names << frame->title();
        }
        for (const QAction* menu : window.menuBar()->actions()) {
            names << menu->text();
            for (const QAction* item : menu->menu()->actions()) {
                if (!item->isSeparator())
                    names << item->text();
            }
        }
    }
    setUi(nullptr);
    setProgramFolder(QString());
    QVERIFY(names.size() > 10);
    for (const QString& name : names)
        QVERIFY2(text.contains(squeezed(name)), qPrintable(name));

    // pdfimages -list: page num type width height ...
    const QStringList rows = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                 .mid(2);
    QVERIFY(rows.size() >= 9);
    for (const QString& row : rows) {
        const QStringList cols = row.simplified().split(QLatin1Char(' '));
        QVERIFY2(cols.size() > 4 && cols.at(3).toInt() >= 400, qPrintable(row));
    }
}

QTEST_MAIN(TstManual)
#include "tst_manual.moc"
