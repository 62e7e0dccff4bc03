#include "app/frmStart.h"

#include "platform/LocalWait.h"

#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace vemro {

namespace {
constexpr int kSteps = 10; // steps of the start-up sequence shown in the bar
}

frmStart::frmStart(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmStart"));
    setWindowTitle(QStringLiteral("Programm wird geladen"));
    setFixedSize(420, 196);
    setAutoFillBackground(true);

    // A splash window has no frame of its own: draw one.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(1);
    outer->addWidget(frame);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    frameLayout->setSpacing(0);
    // Without a title bar the caption would show nowhere: it heads the window instead.
    auto* caption = new QLabel(windowTitle(), frame);
    caption->setObjectName(QStringLiteral("lblCaption"));
    caption->setAutoFillBackground(true);
    caption->setBackgroundRole(QPalette::Highlight);
    caption->setForegroundRole(QPalette::HighlightedText);
    caption->setContentsMargins(10, 4, 10, 4);
    QFont captionFont = caption->font();
    captionFont.setBold(true);
    caption->setFont(captionFont);
    frameLayout->addWidget(caption);
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(24, 12, 24, 18);
    frameLayout->addLayout(layout);

    auto* title = new QLabel(QStringLiteral("Vemro"), this);
    title->setObjectName(QStringLiteral("lblTitel"));
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 8);
    f.setBold(true);
    title->setFont(f);
    layout->addWidget(title);

    auto* wait = new QLabel(QStringLiteral("Moment bitte ..."), this);
    wait->setObjectName(QStringLiteral("lblMoment"));
    layout->addWidget(wait);

    m_detail = new QLabel(this);
    m_detail->setObjectName(QStringLiteral("lblDetail"));
    m_detail->setMinimumWidth(360);
    layout->addWidget(m_detail);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ctlFortschritt"));
    m_bar->setRange(0, kSteps);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    layout->addWidget(m_bar);
}

void frmStart::setDetail(const QString& text)
{
    m_detail->setText(m_detail->fontMetrics().elidedText(text, Qt::ElideMiddle, m_detail->width()));
    m_detail->setToolTip(text);
    m_detail->setProperty("fullText", text);
    m_detail->repaint();
}

void frmStart::advance(int steps)
{
    m_bar->setValue(qMin(m_bar->maximum(), m_bar->value() + steps));
}

void frmStart::setProgress(int value)
{
    m_bar->setValue(value);
}

void frmStart::finish()
{
    m_bar->setValue(m_bar->maximum());
}

QString frmStart::detail() const
{
    return m_detail->property("fullText").toString();
}

int frmStart::progress() const
{
    return m_bar->value();
}

int frmStart::progressMaximum() const
{
    return m_bar->maximum();
}

} // namespace vemro
