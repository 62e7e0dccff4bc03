#include "editors/frmVXSuchen.h"

#include "link/TerminalSearch.h"
#include "link/clsVX.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vemro {

frmVXSuchen::frmVXSuchen(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmVXSuchen"));
    setWindowTitle(QStringLiteral("Terminal suchen"));
    setModal(false);
    m_report = new QTreeWidget(this);
    m_report->setObjectName(QStringLiteral("ctlReport"));
    m_report->setHeaderLabels({QStringLiteral("Port"), QStringLiteral("Ergebnis")});
    m_report->setRootIsDecorated(false);
    m_report->header()->setStretchLastSection(true);
    m_cancel = new QPushButton(QStringLiteral("abbrechen"), this);
    m_cancel->setObjectName(QStringLiteral("cmdAbbrechen"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_report);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    resize(420, 240);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_canceled = true;
        if (m_search)
            m_search->cancel();
    });
}

void frmVXSuchen::attach(TerminalSearch* search)
{
    m_search = search;
    m_canceled = false;
    m_report->clear();
    if (!search)
        return;
    connect(search, &TerminalSearch::rowAdded, this, &frmVXSuchen::showRow);
    connect(search, &TerminalSearch::rowChanged, this, &frmVXSuchen::showRow);
}

void frmVXSuchen::showRow(int row)
{
    if (!m_search || row < 0 || row >= m_search->rows().size())
        return;
    while (m_report->topLevelItemCount() <= row)
        m_report->addTopLevelItem(new QTreeWidgetItem(m_report));
    QTreeWidgetItem* item = m_report->topLevelItem(row);
    item->setText(0, m_search->rows().at(row).port);
    item->setText(1, m_search->rows().at(row).result);
    m_report->scrollToItem(item);
}

void frmVXSuchen::install(clsVX* terminal, QWidget* parent)
{
    if (!terminal)
        return;
    QPointer<frmVXSuchen> dialog = new frmVXSuchen(parent);
    QObject::connect(terminal, &clsVX::searchStarted, dialog, [dialog](TerminalSearch* search) {
        dialog->attach(search);
        dialog->show();
    });
    QObject::connect(terminal, &clsVX::searchFinished, dialog, [dialog] { dialog->hide(); });
}

} // namespace vemro
