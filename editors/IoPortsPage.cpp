#include "editors/IoPortsPage.h"

#include "editors/EditMode.h"
#include "link/clsVX.h"
#include "platform/TextValue.h"
#include "platform/clsInfo.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vemro {

IoPortsPage::IoPortsPage(clsVX* terminal, QWidget* parent) : QWidget(parent), m_vx(terminal)
{
    setObjectName(QStringLiteral("IoPortsPage"));
    auto* frame = new QGroupBox(QStringLiteral("IO-Ports"), this);
    frame->setObjectName(QStringLiteral("frIOPorts"));
    m_txtIOPortNummer = new QLineEdit(QStringLiteral("0"), frame);
    m_txtIOPortNummer->setObjectName(QStringLiteral("txtIOPortNummer"));
    m_txtIOPortWert = new QLineEdit(QStringLiteral("0"), frame);
    m_txtIOPortWert->setObjectName(QStringLiteral("txtIOPortWert"));
    m_cmdGetAnalogwert = new QPushButton(QStringLiteral("Analogwert"), frame);
    m_cmdGetAnalogwert->setObjectName(QStringLiteral("cmdGetAnalogwert"));
    m_txtAnalogwert = new QLineEdit(QStringLiteral("-"), frame);
    m_txtAnalogwert->setObjectName(QStringLiteral("txtAnalogwert"));
    m_txtAnalogwert->setReadOnly(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Portnummer"), m_txtIOPortNummer);
    form->addRow(QStringLiteral("Wert"), m_txtIOPortWert);
    auto* analog = new QHBoxLayout;
    analog->addWidget(m_cmdGetAnalogwert);
    analog->addWidget(m_txtAnalogwert);
    form->addRow(analog);
    frame->setLayout(form);
    auto* page = new QVBoxLayout(this);
    page->addWidget(frame);
    page->addStretch(1);

    connect(m_cmdGetAnalogwert, &QPushButton::clicked, this, &IoPortsPage::cmdGetAnalogwert_Click);
}

EditMode IoPortsPage::pageNumber() const
{
    return EditMode::IoPorts;
}

QList<Page::Transfer> IoPortsPage::transfers()
{
    return {{EditMode::IoPorts, [this] { GetIOPortWert(); }, [this] { SetIOPortWert(); }}};
}

int IoPortsPage::portNumber() const
{
    // The range is checked on the number as typed: "8.4" is out of range, not port 8.
    const double typed = TextValue(m_txtIOPortNummer->text());
    const qint64 n = TextValueInt(m_txtIOPortNummer->text());
    if (typed < 0 || typed > kHighestPort) {
        Info().show(QStringLiteral("Portnummer muss zwischen 0 und %1 liegen").arg(kHighestPort),
                    0);
        return -1;
    }
    return static_cast<int>(n);
}

void IoPortsPage::GetIOPortWert()
{
    const int n = portNumber();
    if (n < 0 || !m_vx)
        return;
    QPointer<IoPortsPage> self(this);
    const qint32 value = m_vx->GetIOPort(n);
    if (self)
        m_txtIOPortWert->setText(QString::number(value));
}

void IoPortsPage::SetIOPortWert()
{
    const int n = portNumber();
    if (n < 0 || !m_vx)
        return;
    const double typed = TextValue(m_txtIOPortWert->text());
    const qint64 v = TextValueInt(m_txtIOPortWert->text());
    if (typed < 0 || typed > 255) {
        Info().show(QStringLiteral("Wert muss zwischen 0 und 255 liegen"), 0);
        return;
    }
    m_vx->SetIOPort(n, static_cast<int>(v));
}

void IoPortsPage::cmdGetAnalogwert_Click()
{
    if (!m_vx)
        return;
    QPointer<IoPortsPage> self(this);
    m_cmdGetAnalogwert->setEnabled(false);
    const qint16 value = m_vx->Analog();
    if (!self)
        return;
    m_txtAnalogwert->setText(QString::number(value));
    m_cmdGetAnalogwert->setEnabled(true);
}

} // namespace vemro
