#include "editors/ConsoleFrame.h"

#include "commands/frmBefehle.h"
#include "link/clsVX.h"
#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vemro {

ConsoleFrame::ConsoleFrame(clsVX* terminal, QWidget* parent)
    : QGroupBox(QStringLiteral("Direktbefehle"), parent), m_vx(terminal)
{
    setObjectName(QStringLiteral("frDirektbefehle"));
    m_txtBefehl = new QLineEdit(QStringLiteral("<ESC>?V"), this);
    m_txtBefehl->setObjectName(QStringLiteral("txtBefehl"));
    m_cmdSenden = new QPushButton(QStringLiteral("senden"), this);
    m_cmdSenden->setObjectName(QStringLiteral("cmdSenden"));
    m_txtTerminalAntwort = new QLineEdit(this);
    m_txtTerminalAntwort->setObjectName(QStringLiteral("txtTerminalAntwort"));
    m_txtTerminalAntwort->setReadOnly(true);
    m_cmdBefehleinfuegen = new QPushButton(QStringLiteral("Befehl einfügen"), this);
    m_cmdBefehleinfuegen->setObjectName(QStringLiteral("cmdBefehleinfuegen_B"));
    // Without a catalogue there is nothing to choose from.
    m_cmdBefehleinfuegen->setEnabled(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_txtBefehl, 0, 0);
    grid->addWidget(m_cmdSenden, 0, 1);
    grid->addWidget(m_txtTerminalAntwort, 1, 0);
    grid->addWidget(m_cmdBefehleinfuegen, 1, 1);
    grid->setColumnStretch(0, 1);

    connect(m_cmdSenden, &QPushButton::clicked, this, &ConsoleFrame::cmdSenden_Click);
    connect(m_cmdBefehleinfuegen, &QPushButton::clicked, this,
            &ConsoleFrame::cmdBefehleinfuegen_B_Click);
}

void ConsoleFrame::setBefehlskatalog(DataEnvironment* env)
{
    m_env = env;
    m_cmdBefehleinfuegen->setEnabled(env != nullptr);
}

void ConsoleFrame::cmdBefehleinfuegen_B_Click()
{
    if (!m_env)
        return;
    QPointer<ConsoleFrame> self(this);
    frmBefehle* dialog = frmBefehle::shared(*m_env, window());
    dialog->setCreatemode(m_vx ? m_vx->ParameterMode : 1);
    const QString befehl = dialog->GetBefehl();
    if (!self)
        return;
    m_txtBefehl->setText(befehl);
    m_txtBefehl->setFocus(Qt::OtherFocusReason);
}

void ConsoleFrame::setBefehl(const QString& text)
{
    m_txtBefehl->setText(text);
}

QString ConsoleFrame::ReplyText(const QByteArray& reply, LinkError lastError)
{
    if (lastError == LinkError::Timeout)
        return {};
    if (reply.size() == 1) {
        const auto code = static_cast<uchar>(reply.at(0));
        return AnsiToString(reply) + QStringLiteral(" dez %1, hex : %2")
                                         .arg(code)
                                         .arg(QString::number(code, 16).toUpper());
    }
    return AnsiToString(reply);
}

void ConsoleFrame::cmdSenden_Click()
{
    if (!m_vx)
        return;
    QPointer<ConsoleFrame> self(this);
    QPointer<clsVX> vx = m_vx;
    m_cmdSenden->setEnabled(false);
    m_txtTerminalAntwort->clear();
    PauseMS(1);
    if (!self || !vx)
        return;
    globals().CommandBuffer = StringToAnsi(m_txtBefehl->text());
    vx->Send(globals().CommandBuffer, false, false);
    QByteArray reply;
    if (vx)
        vx->Receive(reply, QByteArray());
    if (!self || !vx)
        return;
    m_txtTerminalAntwort->setText(ReplyText(reply, vx->lastError()));
    m_cmdSenden->setEnabled(true);
}

} // namespace vemro
