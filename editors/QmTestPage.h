#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;
class QVBoxLayout;

namespace vemro {

// Page 8 "QM-Test": the serial speed used for the production test; the test list
// and log are placed into testLayout() by the production test. "setzen" asks for the
// chosen speed through programmingSpeedRequested; the interface settings apply it.
class QmTestPage : public QWidget
{
    Q_OBJECT
public:
    explicit QmTestPage(QWidget* parent = nullptr);

    [[nodiscard]] QComboBox* cboComSpeedProg() const { return m_speed; }
    [[nodiscard]] QPushButton* cmdSetSerComProg() const { return m_set; }
    [[nodiscard]] QVBoxLayout* testLayout() const { return m_testLayout; }
    // The speed chosen for programming and testing ("" when none is chosen).
    [[nodiscard]] QString programmingSpeed() const;
    // What "setzen" does: asks for the chosen speed to be set.
    void requestProgrammingSpeed();

    // The speeds to offer; the chosen one stays chosen when it is offered again.
    void setSpeeds(const QStringList& speeds);
    // Chooses `speed` (nothing chosen when it is not offered).
    void selectSpeed(const QString& speed);

signals:
    void programmingSpeedRequested(const QString& speed);

private:
    QComboBox* m_speed;
    QPushButton* m_set;
    QVBoxLayout* m_testLayout;
};

} // namespace vemro
