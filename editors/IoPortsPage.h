#pragma once

#include "editors/Page.h"

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace vemro {

class clsVX;

// The page "IO-Ports": read or write one digital port (through the main window's common read
// and send buttons) and read the analog input.
class IoPortsPage : public QWidget, public Page
{
    Q_OBJECT
public:
    static constexpr int kHighestPort = 8;

    explicit IoPortsPage(clsVX* terminal, QWidget* parent = nullptr);

    // "vom Terminal lesen" / "an Terminal senden" on this page.
    void GetIOPortWert();
    void SetIOPortWert();

    // Page
    [[nodiscard]] EditMode pageNumber() const override;
    [[nodiscard]] QList<Transfer> transfers() override;

    [[nodiscard]] QLineEdit* txtIOPortNummer() const { return m_txtIOPortNummer; }
    [[nodiscard]] QLineEdit* txtIOPortWert() const { return m_txtIOPortWert; }
    [[nodiscard]] QLineEdit* txtAnalogwert() const { return m_txtAnalogwert; }
    [[nodiscard]] QPushButton* cmdGetAnalogwert() const { return m_cmdGetAnalogwert; }

public slots:
    void cmdGetAnalogwert_Click();

private:
    // The port number, or -1 after the range message.
    [[nodiscard]] int portNumber() const;

    QPointer<clsVX> m_vx;
    QLineEdit* m_txtIOPortNummer;
    QLineEdit* m_txtIOPortWert;
    QLineEdit* m_txtAnalogwert;
    QPushButton* m_cmdGetAnalogwert;
};

} // namespace vemro
