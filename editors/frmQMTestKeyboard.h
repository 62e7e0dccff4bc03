#pragma once

#include <QDialog>
#include <QPointer>

#include <array>

class QFrame;
class QLabel;
class QPushButton;

namespace vemro {

class QMKeyboardTest;

// "Test Tastaturmodul": one mark per key of the module under test; a pressed key's mark
// turns green. "OK" is enabled only when every key was pressed; "Abbrechen" cancels the test.
// Not modal: the test reads the terminal's keys while it is open. It closes with the test.
class frmQMTestKeyboard : public QDialog
{
    Q_OBJECT
public:
    explicit frmQMTestKeyboard(QMKeyboardTest& test, QWidget* parent = nullptr);

    [[nodiscard]] QFrame* ctlTaste(int index) const
    {
        return m_marks.at(static_cast<size_t>(index));
    }
    [[nodiscard]] QPushButton* OKButton() const { return m_ok; }
    [[nodiscard]] QPushButton* CancelButton() const { return m_cancel; }

protected:
    void reject() override;

private:
    void mark(int key);

    QPointer<QMKeyboardTest> m_test;
    std::array<QFrame*, 8> m_marks{};
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace vemro
