#pragma once

#include <QPointer>
#include <QWidget>

namespace vemro {

class VxTerminal;

// The terminal's LCD as it looks: its rows and columns of 5x8 character cells on the
// backlight colour, text strength following the contrast, user-defined characters drawn
// from their pixel rows.
class VxLcdWidget : public QWidget
{
    Q_OBJECT
public:
    explicit VxLcdWidget(VxTerminal* terminal, QWidget* parent = nullptr);
    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<VxTerminal> m_terminal;
};

} // namespace vemro
