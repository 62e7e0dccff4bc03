#pragma once

#include "link/LinkTypes.h"

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
    [[nodiscard]] static QString outcomeText(LinkError code);
    // What the panel shows in `width` pixels: a long device path loses its leading folders
    // first, so the port's number, settings and the outcome stay readable.
    [[nodiscard]] QString shownText(int width) const;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void exchangeFinished(LinkError code);

    QPointer<clsVX> m_vx;
    QPointer<ComPort> m_port;
    QPointer<clsNetModul> m_net;
    QString m_outcome;
    // text() split around the device path (empty without one).
    QString m_before;
    QString m_path;
    QString m_after;
};

} // namespace vemro
