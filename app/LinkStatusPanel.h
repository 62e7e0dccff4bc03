#pragma once

#include <QLabel>
#include <QPointer>
#include <QTime>

namespace vemro {

class ComPort;
class clsNetModul;
class clsVX;

// The status-bar panel of the link: which port (its device and settings, open or closed)
// or which network module the program talks to, and how the last exchange ended.
class LinkStatusPanel : public QLabel
{
    Q_OBJECT
public:
    LinkStatusPanel(clsVX& vx, ComPort& port, clsNetModul* net, QWidget* parent = nullptr);

    // Shows the link as it is now (after a change of the interface kind, for example).
    void refresh();
    [[nodiscard]] static QString outcomeText(int code);

private:
    void exchangeFinished(int code);

    QPointer<clsVX> m_vx;
    QPointer<ComPort> m_port;
    QPointer<clsNetModul> m_net;
    QString m_outcome;
};

} // namespace vemro
