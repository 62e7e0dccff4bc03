#pragma once

#include "platform/UserInterface.h"

#include <QPointer>
#include <QWidget>

class QMessageBox;

namespace vemro {

// The GUI's user interface: Qt message boxes and dialogs over the main window.
class QtUserInterface : public UserInterface
{
public:
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    void message(const QString& text, const QString& title) override;
    Answer ask(const QString& text, Buttons buttons, const QString& title,
               std::optional<Answer> preselected = std::nullopt) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString openFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    void setBusy(bool busy) override;
    bool openDocument(const QString& path) override;

    // Widens a message box so that its title shows in the title bar; a box sizes itself
    // by its text alone and would cut a longer title off.
    static void fitTitle(QMessageBox& box);

private:
    QPointer<QWidget> m_parent;
    int m_busyDepth = 0;
};

} // namespace vemro
