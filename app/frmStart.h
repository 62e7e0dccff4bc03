#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace vemro {

// The start window shown while the program loads: a fixed line, the current step
// and a progress bar.
class frmStart : public QWidget
{
    Q_OBJECT
public:
    explicit frmStart(QWidget* parent = nullptr);

    void setDetail(const QString& text);
    // Advances the progress bar by `steps`.
    void advance(int steps = 1);
    void setProgress(int value);
    void finish();

    [[nodiscard]] QString detail() const;
    [[nodiscard]] int progress() const;
    [[nodiscard]] int progressMaximum() const;

private:
    QLabel* m_detail;
    QProgressBar* m_bar;
};

} // namespace vemro
