#include "app/About.h"

#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace vemro {

namespace {

// The logo: a small terminal with its display, drawn rather than shipped as a file.
QPixmap logo()
{
    QPixmap pm(72, 72);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x2b, 0x3a, 0x4a));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(4, 8, 64, 56, 8, 8);
    p.setBrush(QColor(0x9c, 0xd8, 0x4a));
    p.drawRect(12, 16, 48, 20);
    p.setBrush(QColor(0xd0, 0xd6, 0xdc));
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(18 + i * 12, 50), 4, 4);
    p.setPen(QColor(0x20, 0x40, 0x10));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(13);
    p.setFont(f);
    p.drawText(QRect(12, 16, 48, 20), Qt::AlignCenter, QStringLiteral("VX"));
    return pm;
}

} // namespace

About::About(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("Über Vemro"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    setModal(false);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frAbout"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* outer = new QGridLayout(this);
    outer->addWidget(frame);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(18, 18, 18, 18);
    grid->setHorizontalSpacing(18);

    auto* pic = new QLabel(frame);
    pic->setObjectName(QStringLiteral("picLogo"));
    pic->setPixmap(logo());
    pic->installEventFilter(this);
    grid->addWidget(pic, 0, 0, 3, 1, Qt::AlignTop);

    auto* name = new QLabel(kProductName, frame);
    name->setObjectName(QStringLiteral("lbl_progname"));
    QFont f = name->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    name->setFont(f);
    grid->addWidget(name, 0, 1, 1, 2);

    auto* fixed = new QLabel(QStringLiteral("Version "), frame);
    fixed->setObjectName(QStringLiteral("lblVersionText"));
    grid->addWidget(fixed, 1, 1);
    auto* version = new QLabel(ProgramVersionText(), frame);
    version->setObjectName(QStringLiteral("lbl_version"));
    grid->addWidget(version, 1, 2);

    auto* what =
        new QLabel(QStringLiteral("Konfiguration und Prüfung von Vobrix-Bedienterminals"), frame);
    what->setObjectName(QStringLiteral("lblBeschreibung"));
    grid->addWidget(what, 2, 1, 1, 2);
    grid->setColumnStretch(2, 1);

    m_closeTimer = new QTimer(this);
    m_closeTimer->setObjectName(QStringLiteral("tmrClose"));
    m_closeTimer->setSingleShot(true);
    m_closeTimer->setInterval(kCloseAfterMs);
    connect(m_closeTimer, &QTimer::timeout, this, &QDialog::close);
    m_closeTimer->start();
}

void About::mousePressEvent(QMouseEvent* event)
{
    QDialog::mousePressEvent(event);
    close();
}

bool About::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void About::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

void About::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    close();
}

} // namespace vemro
