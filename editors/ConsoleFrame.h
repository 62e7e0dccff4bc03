#pragma once

#include "link/LinkTypes.h"

#include <QByteArray>
#include <QGroupBox>
#include <QPointer>

class QLineEdit;
class QPushButton;

namespace vemro {

class DataEnvironment;
class clsVX;

// The frame "Direktbefehle": a command line in notation, its sending and the terminal's reply.
class ConsoleFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit ConsoleFrame(clsVX* terminal, QWidget* parent = nullptr);

    // The reply as the console shows it: a single character with its decimal and hexadecimal
    // code, anything else as received; nothing when the terminal stayed silent.
    [[nodiscard]] static QString ReplyText(const QByteArray& reply, LinkError lastError);

    [[nodiscard]] QLineEdit* txtBefehl() const { return m_txtBefehl; }
    [[nodiscard]] QLineEdit* txtTerminalAntwort() const { return m_txtTerminalAntwort; }
    [[nodiscard]] QPushButton* cmdSenden() const { return m_cmdSenden; }
    [[nodiscard]] QPushButton* cmdBefehleinfuegen_B() const { return m_cmdBefehleinfuegen; }

    // The data environment whose open project holds the command catalogue; from then on
    // "Befehl einfügen" is enabled and opens the command builder.
    void setBefehlskatalog(DataEnvironment* env);
    // Replaces the command line (the command builder's result).
    void setBefehl(const QString& text);

public slots:
    void cmdSenden_Click();
    // The command builder in the terminal's parameter form; its result, also an empty one
    // after "Abbrechen", replaces the command line.
    void cmdBefehleinfuegen_B_Click();

private:
    QPointer<clsVX> m_vx;
    DataEnvironment* m_env = nullptr;
    QLineEdit* m_txtBefehl;
    QLineEdit* m_txtTerminalAntwort;
    QPushButton* m_cmdSenden;
    QPushButton* m_cmdBefehleinfuegen;
};

} // namespace vemro
