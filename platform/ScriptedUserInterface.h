#pragma once

#include "platform/UserInterface.h"

#include <QQueue>
#include <QStringList>

namespace vemro {

// For tests: answers come from queues, every text shown is recorded in order.
// An empty answer queue gives the "safe" answer (Cancel where offered, else No, else OK;
// inputs and file names are cancelled).
class ScriptedUserInterface : public UserInterface
{
public:
    struct Shown
    {
        QString kind; // "message", "ask", "input", "open", "save", "document"
        QString text;
        QString title;
    };

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

    void queueAnswer(Answer a) { m_answers.enqueue(a); }
    void queueInput(const std::optional<QString>& text) { m_inputs.enqueue(text); }
    void queueFileName(const QString& path) { m_files.enqueue(path); }
    void setOpenDocumentResult(bool ok) { m_openDocumentResult = ok; }

    [[nodiscard]] const QList<Shown>& shown() const { return m_shown; }
    // Only the texts of messages and questions, in order.
    [[nodiscard]] QStringList texts() const;
    // The preselected answer of every question asked, in order (nullopt: none given).
    [[nodiscard]] const QList<std::optional<Answer>>& preselections() const
    {
        return m_preselected;
    }
    [[nodiscard]] bool busy() const { return m_busy; }
    void clear()
    {
        m_shown.clear();
        m_preselected.clear();
    }

private:
    QList<Shown> m_shown;
    QList<std::optional<Answer>> m_preselected;
    QQueue<Answer> m_answers;
    QQueue<std::optional<QString>> m_inputs;
    QQueue<QString> m_files;
    bool m_busy = false;
    bool m_openDocumentResult = true;
};

} // namespace vemro
