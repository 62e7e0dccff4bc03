#include "editors/frmVerify.h"

#include "link/clsVX.h"

#include <QBrush>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vemro {

namespace {

const QColor kDifferent(0xB0, 0x00, 0x00);
const QColor kDifferentBack(0xFF, 0xE0, 0xE0);

void mark(QTreeWidgetItem* item)
{
    for (int c = 0; c < item->columnCount(); ++c) {
        item->setForeground(c, QBrush(kDifferent));
        item->setBackground(c, QBrush(kDifferentBack));
    }
}

} // namespace

frmVerify::frmVerify(clsVX& vx, DataEnvironment& env, QWidget* parent)
    : QDialog(parent), m_vx(&vx), m_env(env)
{
    setObjectName(QStringLiteral("frmVerify"));
    setWindowTitle(QStringLiteral("Terminal mit Projekt vergleichen"));
    resize(640, 480);
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblErgebnis"));
    layout->addWidget(m_summary);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ctlVergleich"));
    m_list->setColumnCount(3);
    m_list->setHeaderLabels(
        {QStringLiteral("Bereich"), QStringLiteral("Projekt"), QStringLiteral("Terminal")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_again = new QPushButton(QStringLiteral("erneut vergleichen"), this);
    m_again->setObjectName(QStringLiteral("cmdVergleichen"));
    connect(m_again, &QPushButton::clicked, this, [this] { (void)vergleichen(); });
    buttons->addWidget(m_again);
    m_close = new QPushButton(QStringLiteral("Schließen"), this);
    m_close->setObjectName(QStringLiteral("cmdSchliessen"));
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
}

bool frmVerify::vergleichen()
{
    if (!m_vx)
        return false;
    m_list->clear();
    m_again->setEnabled(false);
    m_close->setEnabled(false);
    if (m_lock)
        m_lock(true);
    ProjectVerifyCore core(*m_vx, m_env);
    core.setAreaStarted([this](const QString& area) {
        m_summary->setText(QStringLiteral("lese %1 ...").arg(area));
    });
    QString error;
    VerifyResult result;
    const QPointer<frmVerify> self(this);
    const bool ok = core.verify(result, &error);
    if (!self)
        return false;
    if (m_lock)
        m_lock(false);
    m_again->setEnabled(true);
    m_close->setEnabled(true);
    m_result = result;
    if (!ok) {
        m_summary->setText(QStringLiteral("Vergleich abgebrochen: ") + error);
        return false;
    }
    showResult(result);
    return true;
}

void frmVerify::showResult(const VerifyResult& result)
{
    int different = 0;
    for (const VerifyArea& a : result.areas) {
        auto* item = new QTreeWidgetItem(m_list, {a.name, a.stateText()});
        if (a.state == VerifyArea::State::Different) {
            ++different;
            mark(item);
            for (const VerifyDifference& d : a.differences)
                mark(new QTreeWidgetItem(item, {d.item, d.projekt, d.terminal}));
            item->setExpanded(true);
        }
    }
    m_summary->setText(
        different == 0 ? QStringLiteral("Das Terminal enthält das Projekt: alle Bereiche gleich.")
                       : QStringLiteral("%1 Bereich(e) verschieden.").arg(different));
}

} // namespace vemro
