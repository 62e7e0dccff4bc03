#include "editors/QmTestPage.h"

#include "editors/SelectComboEntry.h"
#include "platform/Globals.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vemro {

QmTestPage::QmTestPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("QmTestPage"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QGroupBox(QStringLiteral("Schnittstelle für den Test"), this);
    frame->setObjectName(QStringLiteral("frComSpeedProg"));
    auto* row = new QHBoxLayout(frame);
    m_speed = new QComboBox(frame);
    m_speed->setObjectName(QStringLiteral("cboComSpeedProg"));
    m_speed->addItems({QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400")});
    m_speed->setCurrentIndex(-1);
    m_speed->setMinimumWidth(100);
    m_set = new QPushButton(QStringLiteral("setzen"), frame);
    m_set->setObjectName(QStringLiteral("cmdSetSerComProg"));
    row->addWidget(
        new QLabel(QStringLiteral("Schnittstellengeschwindigkeit für Programmierung"), frame));
    row->addWidget(m_speed);
    row->addWidget(m_set);
    row->addStretch(1);
    frame->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    layout->addWidget(frame);
    // The production test's list and log fill the rest of the page.
    auto* testArea = new QWidget(this);
    testArea->setObjectName(QStringLiteral("frQMTestBereich"));
    testArea->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    m_testLayout = new QVBoxLayout(testArea);
    m_testLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(testArea, 1);
    connect(m_set, &QPushButton::clicked, this, &QmTestPage::requestProgrammingSpeed);
}

QString QmTestPage::programmingSpeed() const
{
    return m_speed->currentText();
}

void QmTestPage::requestProgrammingSpeed()
{
    emit programmingSpeedRequested(programmingSpeed());
}

void QmTestPage::setSpeeds(const QStringList& speeds)
{
    ControlsUpdatingGuard guard;
    const QString chosen = m_speed->currentText();
    m_speed->clear();
    m_speed->addItems(speeds);
    m_speed->setCurrentIndex(m_speed->findText(chosen));
}

void QmTestPage::selectSpeed(const QString& speed)
{
    (void)SelectComboEntry(m_speed, speed);
}

} // namespace vemro
