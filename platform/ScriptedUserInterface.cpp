#include "platform/ScriptedUserInterface.h"

namespace vemro {

void ScriptedUserInterface::message(const QString& text, const QString& title)
{
    m_shown.append({QStringLiteral("message"), text, title});
}

UserInterface::Answer ScriptedUserInterface::ask(const QString& text, Buttons buttons,
                                                 const QString& title,
                                                 std::optional<Answer> preselected)
{
    m_shown.append({QStringLiteral("ask"), text, title});
    m_preselected.append(preselected);
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
        break;
    }
    return Answer::Cancel;
}

std::optional<QString> ScriptedUserInterface::input(const QString& prompt, const QString& title,
                                                    const QString& defaultText)
{
    Q_UNUSED(defaultText);
    m_shown.append({QStringLiteral("input"), prompt, title});
    if (!m_inputs.isEmpty())
        return m_inputs.dequeue();
    return std::nullopt;
}

QString ScriptedUserInterface::openFileName(const QString& caption, const QString& folder,
                                            const QString& filter)
{
    Q_UNUSED(folder);
    Q_UNUSED(filter);
    m_shown.append({QStringLiteral("open"), caption, QString()});
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QString ScriptedUserInterface::saveFileName(const QString& caption, const QString& folder,
                                            const QString& filter)
{
    Q_UNUSED(folder);
    Q_UNUSED(filter);
    m_shown.append({QStringLiteral("save"), caption, QString()});
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

void ScriptedUserInterface::setBusy(bool busy)
{
    m_busy = busy;
}

bool ScriptedUserInterface::openDocument(const QString& path)
{
    m_shown.append({QStringLiteral("document"), path, QString()});
    return m_openDocumentResult;
}

QStringList ScriptedUserInterface::texts() const
{
    QStringList out;
    for (const Shown& s : m_shown) {
        if (s.kind == QLatin1String("message") || s.kind == QLatin1String("ask"))
            out.append(s.text);
    }
    return out;
}

} // namespace vemro
