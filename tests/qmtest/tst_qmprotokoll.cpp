// The test log: column layouts, file lines, the log file's name, printing and the report.
#include "platform/ProgramInfo.h"
#include "qmtest/PdfTextWriter.h"
#include "qmtest/ProtokollView.h"
#include "qmtest/QMReport.h"
#include "qmtest/clsProtokoll.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace vemro;

namespace {

const QDateTime kWhen(QDate(2026, 12, 7), QTime(14, 5, 9));

class LinesPrinter : public ProtokollPrinter
{
public:
    QStringList lines;
    bool printLines(const QStringList& l, QString*) override
    {
        lines = l;
        return true;
    }
};

QStringList fileLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

class TstQmProtokoll : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void columns_data();
    void columns();
    void listEntries();
    void zones_data();
    void zones();
    void appendToReadOnlyFile();
    void missingFolderIsCreated();
    void unwritableFileSaidOnce();
    void fileName();
    void printing();
    void reportCsv();
    void reportPdf();
    void reportFileName();
    void reportVerdict_data();
    void reportVerdict();

private:
    QTemporaryDir m_dir;
};

void TstQmProtokoll::columns_data()
{
    QTest::addColumn<int>("aktiv");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("6: list with date and time") << 6 << QList<int>{800, 850, 3500};
    QTest::newRow("2: only the text, list width minus 100") << 2 << QList<int>{0, 0, 4900};
    QTest::newRow("0") << 0 << QList<int>{0, 0, 4900};
}

void TstQmProtokoll::columns()
{
    QFETCH(int, aktiv);
    QFETCH(QList<int>, widths);
    MemoryProtokollView view(5000);
    clsProtokoll log;
    log.setListView(&view);
    QCOMPARE(view.headers(), (QStringList{"Datum", "Zeit", "Text"}));
    QCOMPARE(view.fontSize(), 8);
    QCOMPARE(view.widths(), (QList<int>{800, 850, 3500}));
    log.setAktiv(static_cast<qint16>(aktiv));
    QCOMPARE(view.widths(), widths);
}

void TstQmProtokoll::listEntries()
{
    MemoryProtokollView view;
    clsProtokoll log;
    log.setClock([] { return kWhen; });
    log.setListView(&view);
    log.add("nichts"); // aktiv 0: nothing happens
    QCOMPARE(view.count(), 0);
    log.setDateiname(m_dir.filePath("nie.txt"));
    log.setAktiv(6);
    log.add("Eintrag");
    QCOMPARE(view.count(), 1);
    QCOMPARE(view.item(0), (QStringList{"07.12.26", "14:05:09", "Eintrag"}));
    QVERIFY(!QFile::exists(m_dir.filePath("nie.txt"))); // no file with aktiv 6
}

void TstQmProtokoll::zones_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("line");
    QTest::newRow("date time text") << QStringList{"07.12.2026", "14:05:09", "Text"}
                                    << QStringLiteral("07.12.2026    14:05:09      Text");
    QTest::newRow("item filling its zone moves on")
        << QStringList{"12345678901234", "x"} << QStringLiteral("12345678901234              x");
    QTest::newRow("empty items") << QStringList{"", "", "t"} << QString(28, ' ') + "t";
}

void TstQmProtokoll::zones()
{
    QFETCH(QStringList, items);
    QFETCH(QString, line);
    QCOMPARE(clsProtokoll::druckzonen(items), line);
    if (items.first() == QLatin1String("07.12.2026"))
        QCOMPARE(line.indexOf("Text"), 28); // column 29
}

void TstQmProtokoll::appendToReadOnlyFile()
{
    const QString path = m_dir.filePath("ro.txt");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("alt\r\n");
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    clsProtokoll log;
    log.setClock([] { return kWhen; });
    log.setDateiname(path);
    log.setAktiv(1);
    log.add("neu");
    QCOMPARE(fileLines(path), (QStringList{"alt", "07.12.2026    14:05:09      neu"}));
    QVERIFY(!(QFile::permissions(path) & QFileDevice::WriteOwner));
}

void TstQmProtokoll::missingFolderIsCreated()
{
    const QString path = m_dir.filePath("prog/QM/log.txt");
    clsProtokoll log;
    QSignalSpy failed(&log, &clsProtokoll::fileWriteFailed);
    log.setDateiname(path);
    log.setAktiv(1);
    log.add("erste Zeile");
    QCOMPARE(fileLines(path).size(), 1);
    QCOMPARE(failed.count(), 0);
}

void TstQmProtokoll::unwritableFileSaidOnce()
{
    // A directory where the file should be: no line can be written.
    const QString path = m_dir.filePath("ordner.txt");
    QVERIFY(QDir().mkpath(path));
    MemoryProtokollView view;
    clsProtokoll log;
    QSignalSpy failed(&log, &clsProtokoll::fileWriteFailed);
    log.setListView(&view);
    log.setDateiname(path);
    log.setAktiv(3);
    log.add("eins");
    log.add("zwei");
    QCOMPARE(failed.count(), 1);
    QCOMPARE(view.count(), 3); // the message once, then both entries
    QVERIFY(view.item(0).at(2).contains(path));
    QCOMPARE(view.item(1).at(2), QStringLiteral("eins"));
    QCOMPARE(view.item(2).at(2), QStringLiteral("zwei"));
    QCOMPARE(log.Eintraege().size(), 2);
}

void TstQmProtokoll::fileName()
{
    const QString name = clsProtokoll::protokollDateiname("/opt/vemro", kWhen);
    QCOMPARE(name, QStringLiteral("/opt/vemro/QM/QMTest_LogFile_07_12_14_05.txt"));
}

void TstQmProtokoll::printing()
{
    LinesPrinter printer;
    MemoryProtokollView view;
    clsProtokoll log;
    log.setClock([] { return kWhen; });
    log.setPrinter(&printer);
    log.setListView(&view);
    const QString path = m_dir.filePath("druck.txt");
    QFile::remove(path);
    log.setDateiname(path);
    log.setAktiv(1);
    log.add("Zeile A");
    QVERIFY(log.drucken());
    QCOMPARE(printer.lines,
             (QStringList{"", "LogFile-name :" + path, "", "07.12.2026    14:05:09      Zeile A"}));
    log.setAktiv(6);
    log.add("Zeile B");
    QVERIFY(log.drucken());
    QCOMPARE(printer.lines, (QStringList{"", "Protokoll von VemroVersion  1 . 3 . 8 ",
                                         "07.12.26      14:05:09      Zeile B"}));
    log.setAktiv(0);
    QVERIFY(log.drucken());
    QCOMPARE(printer.lines, QStringList{""});
    log.setPrinter(nullptr);
    QString error;
    QVERIFY(!log.drucken(&error));
    QVERIFY(!error.isEmpty());
}

namespace {

QList<clsProtokoll::Eintrag> runEntries()
{
    clsProtokoll log;
    QDateTime t = kWhen;
    log.setClock([&t] { return t; });
    log.setAktiv(2);
    log.beginSchritt("Interner Port 0");
    log.add("Port-Fehler, Soll : h55, Ist : 55");
    log.add("Text; mit \"Zeichen\"");
    log.endSchritt(false);
    t = t.addSecs(2);
    log.beginSchritt("Analogeingang");
    log.endSchritt(true);
    log.add("außerhalb");
    return log.Eintraege();
}

} // namespace

void TstQmProtokoll::reportCsv()
{
    const QMReport report(runEntries(), "004711", kWhen);
    const QString path = m_dir.filePath(QMReport::fileName("004711", kWhen, ".csv"));
    QString error;
    QVERIFY2(report.save(path, &error), qPrintable(error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(bytes.mid(3)).split("\r\n"),
             (QStringList{"Datum;Zeit;Schritt;Ergebnis;Text",
                          "07.12.2026;14:05:09;Interner Port 0;nicht bestanden;Port-Fehler, Soll : "
                          "h55, Ist : 55",
                          "07.12.2026;14:05:09;Interner Port 0;nicht bestanden;\"Text; mit "
                          "\"\"Zeichen\"\"\"",
                          "07.12.2026;14:05:11;Analogeingang;bestanden;",
                          "07.12.2026;14:05:11;;;außerhalb", ""}));
    QVERIFY(!report.save(m_dir.filePath("bericht.txt"), &error));
    // Cells a spreadsheet would take for a formula show as text.
    QList<clsProtokoll::Eintrag> hostile;
    for (const char* t : {"=HYPERLINK(\"x\")", "+1", "-2", "@SUM(A1)", "a=b"})
        hostile.append({kWhen, QString::fromLatin1(t), QStringLiteral("=Schritt"), 1});
    QCOMPARE(QString::fromUtf8(QMReport(hostile, "1", kWhen).csv().mid(3)).split("\r\n").mid(1, 5),
             (QStringList{"07.12.2026;14:05:09;\"'=Schritt\";bestanden;\"'=HYPERLINK(\"\"x\"\")\"",
                          "07.12.2026;14:05:09;\"'=Schritt\";bestanden;\"'+1\"",
                          "07.12.2026;14:05:09;\"'=Schritt\";bestanden;\"'-2\"",
                          "07.12.2026;14:05:09;\"'=Schritt\";bestanden;\"'@SUM(A1)\"",
                          "07.12.2026;14:05:09;\"'=Schritt\";bestanden;a=b"}));
}

void TstQmProtokoll::reportPdf()
{
    const QMReport report(runEntries(), "004711", kWhen);
    const QByteArray pdf = report.pdf();
    QVERIFY(pdf.startsWith("%PDF-1.4"));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
    // The cross-reference table points at the objects.
    const int start = pdf.lastIndexOf("startxref\n");
    const qsizetype xref = pdf.mid(start + 10).split('\n').first().toLongLong();
    QVERIFY(pdf.mid(xref).startsWith("xref"));
    const QList<QByteArray> xrefLines = pdf.mid(xref).split('\n');
    for (int i = 3; i < 3 + 4; ++i) {
        const qsizetype offset = xrefLines.at(i).left(10).toLongLong();
        QVERIFY2(pdf.mid(offset).startsWith(QByteArray::number(i - 2) + " 0 obj"),
                 xrefLines.at(i).constData());
    }
    QVERIFY(pdf.contains("(Port-Fehler, Soll : h55, Ist : 55) Tj"));
    QVERIFY(pdf.contains("(au\xDF"
                         "erhalb) Tj")); // Windows-1252
    QVERIFY(pdf.contains("(nicht bestanden) Tj"));
    QCOMPARE(PdfTextWriter::literal("a(b)\\c"), QByteArray("(a\\(b\\)\\\\c)"));

    // Where poppler's pdftotext is installed, the text must come back out of the file.
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        QSKIP("pdftotext not installed");
    const QString path = m_dir.filePath("bericht.pdf");
    QString error;
    QVERIFY(report.save(path, &error));
    QProcess p;
    p.start(pdftotext, {"-layout", path, "-"});
    QVERIFY(p.waitForFinished(20000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(text.contains("Seriennummer : 004711"), qPrintable(text));
    QVERIFY2(text.contains("außerhalb"), qPrintable(text));
    QVERIFY2(text.contains("Analogeingang"), qPrintable(text));
}

void TstQmProtokoll::reportFileName()
{
    QCOMPARE(QMReport::fileName("004711", kWhen, ".pdf"),
             QStringLiteral("QMTest_004711_2026-12-07_14-05-09.pdf"));
    QCOMPARE(QMReport::fileName("../x", kWhen, ".csv"),
             QStringLiteral("QMTest_x_2026-12-07_14-05-09.csv"));
    QCOMPARE(QMReport::fileName("", kWhen, ".csv"),
             QStringLiteral("QMTest_ohneSerNr_2026-12-07_14-05-09.csv"));
}

void TstQmProtokoll::reportVerdict_data()
{
    // Step results: 1 passed, 0 failed, -1 a step without a result of its own.
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("failed"); // the steps the report names, "" for none
    QTest::newRow("all passed") << QList<int>{1, -1, 1} << "004711"
                                << "bestanden (2 von 2 Schritten bestanden)"
                                << "";
    QTest::newRow("one failed") << QList<int>{1, 0, -1, 1} << ""
                                << "nicht bestanden (1 von 3 "
                                   "Schritten nicht bestanden)"
                                << "S1";
    QTest::newRow("nothing with a result") << QList<int>{-1} << ""
                                           << "nicht bestanden (0 von 0 Schritten nicht bestanden)"
                                           << "";
}

void TstQmProtokoll::reportVerdict()
{
    QFETCH(QList<int>, results);
    QFETCH(QString, serial);
    QFETCH(QString, verdict);
    QFETCH(QString, failed);
    QList<clsQMTest::Schritt> steps;
    for (int i = 0; i < results.size(); ++i)
        steps.append({QStringLiteral("S%1").arg(i), "P", results.at(i) == 1, results.at(i) < 0});
    QMReport report(runEntries(), serial, kWhen);
    report.setSchritte(steps);
    QCOMPARE(QMReport::verdict(steps), verdict);
    const QByteArray pdf = report.pdf();
    // The verdict is the last line; the serial number line is never empty.
    const QByteArray end = PdfTextWriter::literal("Ergebnis : " + verdict) + " Tj";
    const qsizetype at = pdf.lastIndexOf(end);
    QVERIFY(at >= 0);
    QCOMPARE(pdf.indexOf(" Tj", at + end.size()), qsizetype(-1));
    QVERIFY(pdf.contains(PdfTextWriter::literal(
        "Seriennummer : " + (serial.isEmpty() ? QStringLiteral("unbekannt") : serial))));
    QCOMPARE(pdf.contains("(Nicht bestandene Schritte :) Tj"), !failed.isEmpty());
    if (!failed.isEmpty())
        QVERIFY(pdf.contains(PdfTextWriter::literal(failed) + " Tj"));
}

QTEST_GUILESS_MAIN(TstQmProtokoll)
#include "tst_qmprotokoll.moc"
