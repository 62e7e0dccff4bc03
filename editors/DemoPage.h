#pragma once

#include "config/DisplayDemo.h"
#include "editors/Page.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;

namespace vemro {

class clsVX;

// The frame "Demos/Beispiele": four live demonstrations on the terminal, driven by the main
// window's 100 ms timer tmrDemo once started. Choosing another demo stops the running one.
class DemoPage : public QWidget, public Page
{
    Q_OBJECT
public:
    static constexpr int kOptions = 4;
    static constexpr int kTickMs = 100;

    DemoPage(clsVX* terminal, QTimer* tmrDemo, QWidget* parent = nullptr);

    [[nodiscard]] QRadioButton* ctlAuswahlDemo(int i) const
    {
        return m_options.at(static_cast<size_t>(i));
    }
    [[nodiscard]] QSlider* ctlPortDemo() const { return m_slider; }
    [[nodiscard]] QPushButton* cmdStartDemo() const { return m_start; }
    [[nodiscard]] QPushButton* cmdStopDemo() const { return m_stop; }
    [[nodiscard]] int selectedOption() const;

    // Page
    [[nodiscard]] EditMode pageNumber() const override;
    // The demo has no read or send: the frame "aktuelles Projekt" is hidden.
    void pageShown() override;

public slots:
    void cmdStartDemo_Click();
    void cmdStopDemo_Click();
    void tmrDemo_Timer();

private:
    DisplayDemo m_demo;
    QPointer<QTimer> m_timer;
    std::array<QRadioButton*, kOptions> m_options{};
    QSlider* m_slider;
    QPushButton* m_start;
    QPushButton* m_stop;
};

} // namespace vemro
