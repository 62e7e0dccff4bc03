#pragma once

#include <QObject>
#include <QString>

#include <array>

namespace vemro {

// The state of the keyboard test dialog frmQMTestKeyboard: one mark per key of the module
// under test and the cancel flag. The dialog (or the console) only shows it.
class QMKeyboardTest : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTasten = 8;
    static inline const QString kCaption = QStringLiteral("Test Tastaturmodul");
    static inline const QString kAnweisung =
        QStringLiteral("Bitte alle Tasten des Moduls betätigen :");
    static inline const QString kTastatur = QStringLiteral("Tastatur :");

    explicit QMKeyboardTest(QObject* parent = nullptr) : QObject(parent) {}

    // Marks key 1..8 as pressed.
    void markKey(int key)
    {
        if (key < 1 || key > kTasten || m_pressed[static_cast<size_t>(key - 1)])
            return;
        m_pressed[static_cast<size_t>(key - 1)] = true;
        emit keyMarked(key);
    }
    [[nodiscard]] bool pressed(int key) const
    {
        return key >= 1 && key <= kTasten && m_pressed[static_cast<size_t>(key - 1)];
    }
    // True when every key has been pressed; "OK" is enabled exactly then.
    bool CheckTasten()
    {
        bool all = true;
        for (bool p : m_pressed)
            all = all && p;
        emit okEnabledChanged(all);
        return all;
    }
    [[nodiscard]] bool bCancel() const { return m_cancel; }
    void cancel()
    {
        m_cancel = true;
        emit cancelled();
    }

signals:
    void keyMarked(int key);
    void okEnabledChanged(bool enabled);
    void cancelled();

private:
    std::array<bool, kTasten> m_pressed{};
    bool m_cancel = false;
};

} // namespace vemro
