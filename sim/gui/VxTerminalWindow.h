#pragma once

#include <QHash>
#include <QLabel>
#include <QList>
#include <QPointer>
#include <QWidget>

class QPushButton;
class QSlider;

namespace vemro {

class VxTerminal;
class VxLcdWidget;

// The window of vxsim: the LCD, the keypad with its key LEDs (buttons send the configured
// key codes), the analog input and a line of status (speed, interface, mode, ports).
// It only shows the terminal and forwards clicks and typed characters; all behaviour is in
// VxTerminal.
class VxTerminalWindow : public QWidget
{
    Q_OBJECT
public:
    explicit VxTerminalWindow(VxTerminal* terminal, QWidget* parent = nullptr);
    void setLinkText(const QString& text);

protected:
    // Typing a character presses the key whose code it is (keys 1..32, unshifted codes).
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void refresh();

    QPointer<VxTerminal> m_terminal;
    VxLcdWidget* m_lcd = nullptr;
    QList<QPushButton*> m_keys;
    QList<QLabel*> m_leds;
    QSlider* m_analog = nullptr;
    QLabel* m_analogText = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_ports = nullptr;
    QLabel* m_link = nullptr;
    QHash<int, int> m_typed; // Qt key -> terminal key held down by the PC keyboard
};

} // namespace vemro
