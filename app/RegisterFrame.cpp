#include "app/RegisterFrame.h"

#include "project/DataEnvironment.h"

#include <QGroupBox>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace vemro {

namespace {

struct DesignPage
{
    int nr;
    const char* caption;
};

constexpr DesignPage kDesignPages[kPageCount] = {
    {0, "Projekt"},       {1, "Schnittstelle"},   {2, "(reserviert)"}, {3, "Tastatur"},
    {4, "Konfiguration"}, {5, "Festtexte"},       {6, "User-Zeichen"}, {7, "IO-Ports"},
    {8, "QM-Test"},       {9, "Demos/Beispiele"},
};

} // namespace

RegisterFrame::RegisterFrame(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frRegisterRahmen"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    m_register = new QTabBar(this);
    m_register->setObjectName(QStringLiteral("ctlRegister"));
    m_register->setExpanding(false);
    m_register->setDrawBase(true);
    layout->addWidget(m_register);

    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("frRegisterStapel"));
    for (const DesignPage& page : kDesignPages) {
        auto* frame = new QGroupBox(QString::fromUtf8(page.caption), m_stack);
        frame->setObjectName(QStringLiteral("frRegister_%1").arg(page.nr));
        auto* pageLayout = new QVBoxLayout(frame);
        pageLayout->setContentsMargins(10, 10, 10, 10);
        m_frames[static_cast<size_t>(page.nr)] = frame;
        m_pageLayouts[static_cast<size_t>(page.nr)] = pageLayout;
        m_stack->addWidget(frame);
    }
    layout->addWidget(m_stack, 1);

    // Shown while no tab is listed: the pages cannot be reached.
    auto* none = new QWidget(m_stack);
    none->setObjectName(QStringLiteral("frKeineSeite"));
    m_stack->addWidget(none);
    connect(m_register, &QTabBar::currentChanged, this, [this](int) { emit tabChosen(); });
}

void RegisterFrame::buildDesignTabs()
{
    const QSignalBlocker blocker(m_register);
    while (m_register->count() > 0)
        m_register->removeTab(0);
    for (const DesignPage& page : kDesignPages) {
        const int index = m_register->addTab(QString::fromUtf8(page.caption));
        m_register->setTabData(index, page.nr);
    }
    m_register->setCurrentIndex(0);
    showFrame(0);
}

bool RegisterFrame::FillRegisterTabs(DataEnvironment& env, QString* error)
{
    Recordset& rs = env.recordset(QStringLiteral("cmdProgRegister"));
    if (rs.isOpen())
        rs.close();
    if (!env.execute(QStringLiteral("cmdProgRegister"), {}, error))
        return false;
    const QSignalBlocker blocker(m_register);
    while (m_register->count() > 0)
        m_register->removeTab(0);
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const int nr = rs.value(QStringLiteral("FrameNr")).toInt();
        const int index =
            m_register->addTab(rs.value(QStringLiteral("FrameBezeichnung")).toString());
        m_register->setTabData(index, nr);
        if (nr < 0 || nr >= kPageCount)
            continue;
        // The tab names the page: its frame needs no border or caption of its own.
        auto* frame = qobject_cast<QGroupBox*>(m_frames[static_cast<size_t>(nr)]);
        frame->setTitle(QString());
        frame->setFlat(true);
        frame->setEnabled(rs.value(QStringLiteral("enabled")).toBool());
    }
    rs.close();
    m_register->setCurrentIndex(m_register->count() > 0 ? 0 : -1);
    showFrame(currentPage());
    return true;
}

void RegisterFrame::showFrame(int nr)
{
    if (nr >= 0 && nr < kPageCount)
        m_stack->setCurrentWidget(m_frames[static_cast<size_t>(nr)]);
    else
        m_stack->setCurrentIndex(kPageCount); // the empty page
}

int RegisterFrame::currentPage() const
{
    const int index = m_register->currentIndex();
    return index < 0 ? -1 : m_register->tabData(index).toInt();
}

int RegisterFrame::tabOf(int nr) const
{
    for (int i = 0; i < m_register->count(); ++i)
        if (m_register->tabData(i).toInt() == nr)
            return i;
    return -1;
}

void RegisterFrame::setPagesEnabled(bool enabled)
{
    m_register->setEnabled(enabled);
    for (QWidget* frame : m_frames)
        frame->setEnabled(enabled);
}

} // namespace vemro
