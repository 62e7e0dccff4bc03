#pragma once

#include <QDialog>

class QTimer;

namespace vemro {

// The about box: product name and version; closes after five seconds, on a click on
// the box or its logo, or when something is dropped on it.
class About : public QDialog
{
    Q_OBJECT
public:
    explicit About(QWidget* parent = nullptr);
    static constexpr int kCloseAfterMs = 5000;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer* m_closeTimer;
};

} // namespace vemro
