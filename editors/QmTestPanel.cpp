#include "editors/QmTestPanel.h"

#include "editors/QmProtokollList.h"
#include "editors/QmTestTreeWidget.h"
#include "editors/QtProtokollPrinter.h"
#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"
#include "qmtest/QMReport.h"
#include "qmtest/clsQMTest.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace vemro {

namespace {

QPushButton* button(const QString& caption, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

QmTestPanel::QmTestPanel(clsQMTest& test, QWidget* parent)
    : QWidget(parent), m_test(test), m_printer(std::make_unique<QtProtokollPrinter>(this))
{
    setObjectName(QStringLiteral("QmTestPanel"));
    m_tree = new QmTestTreeWidget(test.QMListe(), this);
    m_list = new QmProtokollList(this);
    m_alle = button(QStringLiteral("alle"), QStringLiteral("cmdQMTests_alle"), this);
    m_keiner = button(QStringLiteral("keiner"), QStringLiteral("cmdQMTests_keiner"), this);
    m_einzeln = new QCheckBox(QStringLiteral("einzeln auswählen"), this);
    m_einzeln->setObjectName(QStringLiteral("ctlQMEinzelauswahl"));
    m_start = button(QStringLiteral("Start"), QStringLiteral("cmdQMEinzeltest"), this);
    m_abbruch = button(QStringLiteral("Abbruch"), QStringLiteral("cmdQMAbbruch"), this);
    m_abbruch->setEnabled(false);
    m_drucken = button(QStringLiteral("Drucken"), QStringLiteral("cmdQMProtokolldrucken"), this);
    m_bericht = button(QStringLiteral("Bericht speichern"), QStringLiteral("cmdQMBericht"), this);
    m_bericht->setToolTip(QStringLiteral("Protokoll des letzten Laufs als PDF oder CSV"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Ablauf"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Protokoll"), this), 0, 1);
    grid->addWidget(m_tree, 1, 0);
    grid->addWidget(m_list, 1, 1);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    grid->setRowStretch(1, 1);
    auto* left = new QHBoxLayout;
    left->addWidget(m_alle);
    left->addWidget(m_keiner);
    left->addWidget(m_einzeln);
    left->addStretch(1);
    left->addWidget(m_start);
    left->addWidget(m_abbruch);
    grid->addLayout(left, 2, 0);
    auto* right = new QHBoxLayout;
    right->addStretch(1);
    right->addWidget(m_bericht);
    right->addWidget(m_drucken);
    grid->addLayout(right, 2, 1);

    clsProtokoll& log = test.QMProtokoll();
    log.setListView(m_list);
    log.setPrinter(m_printer.get());
    connect(&log, &clsProtokoll::fileWriteFailed, this, [this](const QString& message) {
        if (m_status)
            m_status(message);
    });
    connect(m_alle, &QPushButton::clicked, this, [this] { m_test.QMListe().setAllChecked(true); });
    connect(m_keiner, &QPushButton::clicked, this,
            [this] { m_test.QMListe().setAllChecked(false); });
    connect(m_einzeln, &QCheckBox::clicked, this, &QmTestPanel::ctlQMEinzelauswahl_Click);
    connect(m_start, &QPushButton::clicked, this, &QmTestPanel::cmdQMEinzeltest_Click);
    connect(m_abbruch, &QPushButton::clicked, this, [this] { m_test.Abbruch(); });
    connect(m_drucken, &QPushButton::clicked, this, &QmTestPanel::cmdQMProtokolldrucken_Click);
    connect(m_bericht, &QPushButton::clicked, this, &QmTestPanel::cmdQMBericht_Click);
    ctlQMEinzelauswahl_Click();
}

QmTestPanel::~QmTestPanel()
{
    // The log outlives the panel: it must not keep the list or the printer.
    m_test.QMProtokoll().setListView(nullptr);
    m_test.QMProtokoll().setPrinter(nullptr);
}

void QmTestPanel::ctlQMEinzelauswahl_Click()
{
    m_test.QMListe().setCheckboxes(m_einzeln->isChecked());
}

void QmTestPanel::cmdQMEinzeltest_Click()
{
    if (m_test.running())
        return;
    QPointer<QmTestPanel> self(this);
    m_abbruch->setEnabled(true);
    m_start->setEnabled(false);
    m_bericht->setEnabled(false);
    if (m_prepare)
        m_prepare();
    if (self)
        m_test.Start();
    if (!self)
        return;
    m_start->setEnabled(true);
    m_abbruch->setEnabled(false);
    m_bericht->setEnabled(true);
}

void QmTestPanel::cmdQMProtokolldrucken_Click()
{
    QString error;
    if (!m_test.QMProtokoll().drucken(&error) && error != QLatin1String("abgebrochen"))
        ui().message(QStringLiteral("Protokoll nicht gedruckt : ") + error, kProductName);
}

void QmTestPanel::cmdQMBericht_Click()
{
    const QDateTime when = m_test.QMProtokoll().Eintraege().isEmpty()
                               ? QDateTime::currentDateTime()
                               : m_test.QMProtokoll().Eintraege().first().zeit;
    const QString serial = m_serial ? m_serial() : QString();
    const QString folder = QDir(ProgramFolder()).filePath(QStringLiteral("QM"));
    QDir().mkpath(folder);
    const QString path = ui().saveFileName(
        QStringLiteral("Prüfbericht speichern"),
        QDir(folder).filePath(QMReport::fileName(serial, when, QStringLiteral(".pdf"))),
        QStringLiteral("PDF-Dateien (*.pdf);;CSV-Dateien (*.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    QMReport report(m_test.QMProtokoll().Eintraege(), serial, when);
    report.setSchritte(m_test.Schritte());
    if (!report.save(path, &error))
        ui().message(error, kProductName);
    else if (m_status)
        m_status(QStringLiteral("Bericht gespeichert : ") + path);
}

} // namespace vemro
