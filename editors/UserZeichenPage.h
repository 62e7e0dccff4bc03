#pragma once

#include "config/UserCharPattern.h"
#include "config/UserCharacters.h"
#include "editors/Page.h"
#include "link/UserCharSet.h"
#include "platform/DataSide.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace vemro {

class DataEnvironment;
class clsVX;

// The page "User-Zeichen" (edit mode 6): the 5 x 8 pixel matrix of the chosen slot with its
// row codes, the eight slots with their swap characters, storing into the project, loading
// into the display and writing all eight into the terminal's EEPROM. The matrix logic is
// UserCharPattern, the transfers UserCharacters and clsVX::SaveUserzeichen.
class UserZeichenPage : public QWidget, public Page
{
    Q_OBJECT
public:
    static constexpr int kSlots = 8;

    UserZeichenPage(clsVX* terminal, DataEnvironment& env, QWidget* parent = nullptr);

    void SetPixel(int index, bool set);
    void UpdateHexCode(int row);
    void ShowUserzeichen(int slot);
    void ShowUserZeichenTauschcodes();
    void ChangeUserzeichen(int slot);
    // 0: all characters into the terminal, then its reset; 1: the edited one into the project.
    bool SaveUserzeichen(DataSide Ziel);
    void ReadUserzeichenfromRK();
    // "an Terminal senden" on this page: into the project, then into the terminal.
    void sendToTerminal();

    // Page
    [[nodiscard]] EditMode pageNumber() const override;
    [[nodiscard]] QList<Transfer> transfers() override;
    [[nodiscard]] int loadRank() const override { return ProjectOrder::kLoadUserzeichen; }
    void loadFromProject() override;
    [[nodiscard]] int saveRank() const override { return ProjectOrder::kSaveUserzeichen; }
    // An edited, not yet stored character (its pattern or its swap character) goes into the
    // project with it.
    [[nodiscard]] bool saveToProject(QString* error) override;

    [[nodiscard]] int currentSlot() const { return m_slot; }
    // A pattern or a swap character differs from the project.
    [[nodiscard]] bool changed() const;
    [[nodiscard]] const UserCharPattern& pattern() const { return m_pattern; }
    [[nodiscard]] QPushButton* cmdPixel(int i) const { return m_pixels.at(static_cast<size_t>(i)); }
    [[nodiscard]] QLabel* lblHexCode(int row) const { return m_hex.at(static_cast<size_t>(row)); }
    [[nodiscard]] QRadioButton* ctlUserZeichenAuswahl(int k) const
    {
        return m_slots.at(static_cast<size_t>(k));
    }
    [[nodiscard]] QLineEdit* txtUserZeichenTauschcode(int k) const
    {
        return m_swap.at(static_cast<size_t>(k));
    }
    [[nodiscard]] QLineEdit* txtUserZeichenTauschcodeASCII(int k) const
    {
        return m_swapCode.at(static_cast<size_t>(k));
    }
    [[nodiscard]] QCheckBox* ctlUserzeichenanzeigen() const { return m_showNow; }

public slots:
    void cmdPixel_Click(int index);
    void cmdCGclear_Click();
    void cmdCGinvert_Click();
    void CGLeftRight_Change(int value);
    void CGUpDown_Change(int value);
    void cmdSaveUserzeichendirekt_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPattern();
    void swapTextChanged(int k);
    void swapCodeChanged(int k);
    // A swap box of slot k was edited by the user.
    void swapEdited(int k);
    // Fills both swap boxes of slot k without counting it as an edit.
    void setSwapText(int k, const QString& text);

    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
    UserCharacters m_core;
    UserCharPattern m_pattern;
    UserCharSet m_chars;
    int m_slot = 0;
    bool m_changed = false;                   // the edited slot's pattern or swap character
    std::array<bool, kSlots> m_swapChanged{}; // swap characters of the other slots
    bool m_filling = false;
    std::array<QPushButton*, UserCharPattern::kPixels> m_pixels{};
    std::array<QLabel*, UserCharPattern::kRows> m_hex{};
    std::array<QRadioButton*, kSlots> m_slots{};
    std::array<QLineEdit*, kSlots> m_swap{};
    std::array<QLineEdit*, kSlots> m_swapCode{};
    QCheckBox* m_showNow = nullptr;
    QPushButton* m_sendButton = nullptr;
};

} // namespace vemro
