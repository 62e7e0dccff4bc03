#include "editors/DemoPage.h"

#include "editors/EditMode.h"
#include "editors/PageHost.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace vemro {

DemoPage::DemoPage(clsVX* terminal, QTimer* tmrDemo, QWidget* parent)
    : QWidget(parent), m_demo(terminal), m_timer(tmrDemo)
{
    setObjectName(QStringLiteral("DemoPage"));
    auto* outer = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Demos/Beispiele"), this);
    auto* grid = new QGridLayout(box);
    const char* const captions[kOptions] = {"Analogwert als Balken an Port 0",
                                            "Analogbalken auf Port0+1", "umdefinierte Zeichen 1",
                                            "Analogwert als Balken auf Display "};
    for (int i = 0; i < kOptions; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(captions[i]), box);
        option->setObjectName(QStringLiteral("ctlAuswahlDemo_%1").arg(i));
        grid->addWidget(option, i, 0);
        connect(option, &QRadioButton::clicked, this, &DemoPage::cmdStopDemo_Click);
        m_options[static_cast<size_t>(i)] = option;
    }
    m_options[0]->setChecked(true);
    m_slider = new QSlider(Qt::Horizontal, box);
    m_slider->setObjectName(QStringLiteral("ctlPortDemo"));
    m_slider->setRange(0, 16);
    grid->addWidget(m_slider, 1, 1);
    m_start = new QPushButton(QStringLiteral("Demo starten"), box);
    m_start->setObjectName(QStringLiteral("cmdStartDemo"));
    m_stop = new QPushButton(QStringLiteral("Demo stoppen"), box);
    m_stop->setObjectName(QStringLiteral("cmdStopDemo"));
    m_stop->setEnabled(false);
    grid->addWidget(m_start, kOptions, 0);
    grid->addWidget(m_stop, kOptions, 1);
    outer->addWidget(box);
    outer->addStretch(1);
    connect(m_start, &QPushButton::clicked, this, &DemoPage::cmdStartDemo_Click);
    connect(m_stop, &QPushButton::clicked, this, &DemoPage::cmdStopDemo_Click);
    if (m_timer) {
        m_timer->setInterval(kTickMs);
        connect(m_timer, &QTimer::timeout, this, &DemoPage::tmrDemo_Timer);
    }
}

EditMode DemoPage::pageNumber() const
{
    return EditMode::Demo;
}

void DemoPage::pageShown()
{
    if (host())
        host()->setProjectFrameVisible(false);
}

int DemoPage::selectedOption() const
{
    for (int i = 0; i < kOptions; ++i) {
        if (m_options[static_cast<size_t>(i)]->isChecked())
            return i;
    }
    return -1;
}

void DemoPage::cmdStartDemo_Click()
{
    m_start->setEnabled(false);
    m_stop->setEnabled(true);
    m_demo.start(selectedOption());
    // Stopped while the introduction paused: the timer stays off.
    if (m_timer && m_stop->isEnabled())
        m_timer->start();
}

void DemoPage::cmdStopDemo_Click()
{
    if (m_timer)
        m_timer->stop();
    m_start->setEnabled(true);
    m_stop->setEnabled(false);
}

void DemoPage::tmrDemo_Timer()
{
    m_demo.tick(selectedOption(), m_slider->value());
}

} // namespace vemro
