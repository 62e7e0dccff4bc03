#include "sim/gui/VxTerminalWindow.h"

#include "sim/VxTerminal.h"
#include "sim/gui/VxLcdWidget.h"

#include "platform/Codepage.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace vemro {

namespace {

constexpr int kKeyColumns = 8;

QString keyCaption(const VxTerminal& t, int key)
{
    const uchar code = t.keyCode(key);
    QString shown;
    if (code >= 128)
        shown = QStringLiteral("#%1").arg(code - 128);
    else if (code > 32)
        shown = QString(OemToAnsi(code) ? AnsiChar(OemToAnsi(code)) : QChar('?'));
    else if (code != 0)
        shown = QStringLiteral("$%1").arg(code, 2, 16, QLatin1Char('0'));
    return QStringLiteral("%1\n%2").arg(key).arg(shown);
}

} // namespace

VxTerminalWindow::VxTerminalWindow(VxTerminal* terminal, QWidget* parent)
    : QWidget(parent), m_terminal(terminal)
{
    setObjectName(QStringLiteral("frmVxsim"));
    setWindowTitle(QStringLiteral("vxsim – Vobrix-Terminal"));
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);

    m_lcd = new VxLcdWidget(terminal, this);
    layout->addWidget(m_lcd, 0, Qt::AlignHCenter);

    auto* keypad = new QGridLayout;
    keypad->setSpacing(4);
    for (int k = 1; k <= VxTerminal::kKeys; ++k) {
        const int row = (k - 1) / kKeyColumns;
        const int col = (k - 1) % kKeyColumns;
        auto* led = new QLabel(this);
        led->setObjectName(QStringLiteral("ctlKeyLed%1").arg(k));
        led->setFixedSize(10, 10);
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("cmdKey%1").arg(k));
        button->setFixedSize(52, 40);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::pressed, this, [this, k] {
            if (m_terminal)
                m_terminal->pressKey(k);
        });
        connect(button, &QPushButton::released, this, [this, k] {
            if (m_terminal)
                m_terminal->releaseKey(k);
        });
        keypad->addWidget(led, row * 2, col, Qt::AlignHCenter);
        keypad->addWidget(button, row * 2 + 1, col);
        m_keys << button;
        m_leds << led;
    }
    layout->addLayout(keypad);

    auto* analogRow = new QHBoxLayout;
    analogRow->addWidget(new QLabel(QStringLiteral("Analogeingang:"), this));
    m_analog = new QSlider(Qt::Horizontal, this);
    m_analog->setObjectName(QStringLiteral("ctlAnalog"));
    m_analog->setRange(0, 1023);
    m_analog->setValue(terminal->analogValue());
    connect(m_analog, &QSlider::valueChanged, this, [this](int v) {
        if (m_terminal)
            m_terminal->setAnalog(v);
    });
    analogRow->addWidget(m_analog, 1);
    m_analogText = new QLabel(this);
    m_analogText->setMinimumWidth(40);
    analogRow->addWidget(m_analogText);
    layout->addLayout(analogRow);

    m_ports = new QLabel(this);
    m_ports->setObjectName(QStringLiteral("lblPorts"));
    m_ports->setFont(QFont(QStringLiteral("monospace")));
    layout->addWidget(m_ports);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    layout->addWidget(m_status);
    m_link = new QLabel(this);
    m_link->setObjectName(QStringLiteral("lblLink"));
    m_link->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_link);

    connect(terminal, &VxTerminal::changed, this, &VxTerminalWindow::refresh);
    connect(terminal, &VxTerminal::beep, this, [] { QApplication::beep(); });
    refresh();
}

void VxTerminalWindow::keyPressEvent(QKeyEvent* event)
{
    const QByteArray ansi = StringToAnsi(event->text());
    if (!m_terminal || event->isAutoRepeat() || ansi.size() != 1 ||
        m_typed.contains(event->key())) {
        QWidget::keyPressEvent(event);
        return;
    }
    const uchar oem = AnsiToOem(static_cast<uchar>(ansi.at(0)));
    for (int k = 1; k <= VxTerminal::kKeys; ++k) {
        if (m_terminal->keyCode(k) == oem) {
            m_typed.insert(event->key(), k);
            m_terminal->pressKey(k);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void VxTerminalWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat() || !m_typed.contains(event->key())) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    const int k = m_typed.take(event->key());
    if (m_terminal)
        m_terminal->releaseKey(k);
}

void VxTerminalWindow::setLinkText(const QString& text)
{
    m_link->setText(text);
}

void VxTerminalWindow::refresh()
{
    if (!m_terminal)
        return;
    const VxTerminal& t = *m_terminal;
    // Only what changed is touched: style sheets are costly and this runs for every chunk.
    for (int k = 1; k <= VxTerminal::kKeys; ++k) {
        const QString caption = keyCaption(t, k);
        if (m_keys[k - 1]->text() != caption)
            m_keys[k - 1]->setText(caption);
        const QString style = t.keyLed(k) ? QStringLiteral("background:#f03020;border-radius:5px;")
                                          : QStringLiteral("background:#502020;border-radius:5px;");
        if (m_leds[k - 1]->styleSheet() != style)
            m_leds[k - 1]->setStyleSheet(style);
    }
    m_analogText->setText(QString::number(t.analogValue()));
    if (!t.testPlugs() && m_analog->value() != t.analogValue()) {
        const QSignalBlocker block(m_analog);
        m_analog->setValue(t.analogValue());
    }
    m_analog->setEnabled(!t.testPlugs());
    QString ports;
    for (int p = 0; p < VxTerminal::kPorts; ++p)
        ports += QStringLiteral("P%1=%2 ").arg(p).arg(t.portValue(p), 2, 16, QLatin1Char('0'));
    m_ports->setText(ports.toUpper());
    m_status->setText(
        QStringLiteral("%1 Baud %2 · Modus %3 (%4) · Kontrast %5 · Beleuchtung %6%7%8")
            .arg(t.baudRate())
            .arg(t.rs485() ? QStringLiteral("RS485/422") : QStringLiteral("RS232"))
            .arg(t.modeFlags())
            .arg(t.decimalForm() ? QStringLiteral("dezimal") : QStringLiteral("Byte"))
            .arg(t.contrast())
            .arg(t.backlight() ? QStringLiteral("ein") : QStringLiteral("aus"))
            .arg(t.bootloaderActive() ? QStringLiteral(" · Bootloader") : QString())
            .arg(t.shiftActive() ? QStringLiteral(" · Shift") : QString()));
}

} // namespace vemro
