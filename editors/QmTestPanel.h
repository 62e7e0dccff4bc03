#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QPushButton;

namespace vemro {

class QmProtokollList;
class QmTestTreeWidget;
class QtProtokollPrinter;
class clsQMTest;

// The production test on page "QM-Test": the tree ctlQMTests with "alle", "keiner",
// "einzeln auswählen", "Start" and "Abbruch", the log list ctlQMProtokoll with "Drucken"
// and "Bericht speichern". The panel only shows clsQMTest and passes the tester's actions on.
class QmTestPanel : public QWidget
{
    Q_OBJECT
public:
    explicit QmTestPanel(clsQMTest& test, QWidget* parent = nullptr);
    ~QmTestPanel() override;

    // Before a run: applies the programming speed when it differs from the port's speed.
    void setPrepareRun(std::function<void()> prepare) { m_prepare = std::move(prepare); }
    // The serial number the report is named after (the terminal object's SerNr).
    void setSerialNumber(std::function<QString()> serial) { m_serial = std::move(serial); }
    // Where messages for the status bar go.
    void setStatusMessage(std::function<void(const QString&)> show) { m_status = std::move(show); }

    [[nodiscard]] QmTestTreeWidget* ctlQMTests() const { return m_tree; }
    [[nodiscard]] QmProtokollList* ctlQMProtokoll() const { return m_list; }
    [[nodiscard]] QPushButton* cmdQMTests_alle() const { return m_alle; }
    [[nodiscard]] QPushButton* cmdQMTests_keiner() const { return m_keiner; }
    [[nodiscard]] QCheckBox* ctlQMEinzelauswahl() const { return m_einzeln; }
    [[nodiscard]] QPushButton* cmdQMEinzeltest() const { return m_start; }
    [[nodiscard]] QPushButton* cmdQMAbbruch() const { return m_abbruch; }
    [[nodiscard]] QPushButton* cmdQMProtokolldrucken() const { return m_drucken; }
    [[nodiscard]] QPushButton* cmdQMBericht() const { return m_bericht; }

public Q_SLOTS:
    void cmdQMEinzeltest_Click();
    void cmdQMProtokolldrucken_Click();
    void cmdQMBericht_Click();
    void ctlQMEinzelauswahl_Click();

private:
    clsQMTest& m_test;
    std::unique_ptr<QtProtokollPrinter> m_printer;
    QmTestTreeWidget* m_tree;
    QmProtokollList* m_list;
    QPushButton* m_alle;
    QPushButton* m_keiner;
    QCheckBox* m_einzeln;
    QPushButton* m_start;
    QPushButton* m_abbruch;
    QPushButton* m_drucken;
    QPushButton* m_bericht;
    std::function<void()> m_prepare;
    std::function<QString()> m_serial;
    std::function<void(const QString&)> m_status;
};

} // namespace vemro
