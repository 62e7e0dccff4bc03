#include "app/QtUserInterface.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace vemro {

namespace {
// Room the title bar takes beside the title: icon, buttons and margins.
constexpr int kTitleBarExtraPx = 140;

QMessageBox::StandardButton standardButton(UserInterface::Answer answer)
{
    switch (answer) {
    case UserInterface::Answer::Ok:
        return QMessageBox::Ok;
    case UserInterface::Answer::Cancel:
        return QMessageBox::Cancel;
    case UserInterface::Answer::Yes:
        return QMessageBox::Yes;
    case UserInterface::Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}
} // namespace

void QtUserInterface::fitTitle(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int width =
        QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarExtraPx;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void QtUserInterface::message(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Information, title.isEmpty() ? kProductName : title, text,
                    QMessageBox::Ok, m_parent);
    fitTitle(box);
    box.exec();
}

UserInterface::Answer QtUserInterface::ask(const QString& text, Buttons buttons,
                                           const QString& title, std::optional<Answer> preselected)
{
    QMessageBox::StandardButtons std;
    switch (buttons) {
    case Buttons::Ok:
        std = QMessageBox::Ok;
        break;
    case Buttons::OkCancel:
        std = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case Buttons::YesNo:
        std = QMessageBox::Yes | QMessageBox::No;
        break;
    case Buttons::YesNoCancel:
        std = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    }
    QMessageBox box(QMessageBox::Question, title.isEmpty() ? kProductName : title, text, std,
                    m_parent);
    // Enter presses this button; one the box does not have leaves Qt's choice.
    if (preselected)
        box.setDefaultButton(standardButton(*preselected));
    fitTitle(box);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

std::optional<QString> QtUserInterface::input(const QString& prompt, const QString& title,
                                              const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title.isEmpty() ? kProductName : title,
                                               prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtUserInterface::openFileName(const QString& caption, const QString& folder,
                                      const QString& filter)
{
    return QFileDialog::getOpenFileName(m_parent, caption, folder, filter);
}

QString QtUserInterface::saveFileName(const QString& caption, const QString& folder,
                                      const QString& filter)
{
    return QFileDialog::getSaveFileName(m_parent, caption, folder, filter);
}

void QtUserInterface::setBusy(bool busy)
{
    if (busy) {
        ++m_busyDepth;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0) {
        --m_busyDepth;
        QApplication::restoreOverrideCursor();
    }
}

bool QtUserInterface::openDocument(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace vemro
