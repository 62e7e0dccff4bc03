#pragma once

#include "config/KeyboardSettings.h"
#include "editors/Page.h"
#include "link/KeyCodeTable.h"
#include "platform/DataSide.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSlider;
class QTableWidget;
class QTabWidget;

namespace vemro {

class DataEnvironment;
class clsVX;

// The page "Tastatur": the keypad configuration (sub-tab "Allgemein", edit mode 31) with the
// key test, and the key code table (sub-tab "Tastencodes", edit mode 32). The four transfer
// operations take a data side: 0 = terminal, 1 = project. The moving itself is done by
// KeyboardSettings; the page only maps between its controls and the keyboard object.
class TastaturPage : public QWidget, public Page
{
    Q_OBJECT
public:
    TastaturPage(clsVX* terminal, DataEnvironment& env, QWidget* parent = nullptr);

    bool GetTastaturConfig(DataSide Quelle);
    bool SetTastaturConfig(DataSide Ziel);
    bool GetTastaturcodes(DataSide Quelle);
    bool SetTastaturcodes(DataSide Ziel);
    // Edit mode of the sub-tab shown.
    [[nodiscard]] EditMode currentEditMode() const;

    // Page
    [[nodiscard]] EditMode pageNumber() const override;
    [[nodiscard]] QList<Transfer> transfers() override;
    void pageShown() override;
    [[nodiscard]] int loadRank() const override { return ProjectOrder::kLoadTastatur; }
    // Opening: the key table, then the configuration.
    void loadFromProject() override;
    [[nodiscard]] int saveRank() const override { return ProjectOrder::kSaveTastatur; }
    // Saving: the page's configuration (through the keyboard object), then the key table.
    [[nodiscard]] bool saveToProject(QString* error) override;

    [[nodiscard]] QTabWidget* ctlRegisterTastatur() const { return m_tabs; }
    [[nodiscard]] QSlider* ctlTastaturMinPress() const { return m_minPress; }
    [[nodiscard]] QSlider* ctlTastaturTimeuntilRepeat() const { return m_untilRepeat; }
    [[nodiscard]] QSlider* ctlTastaturTimebetweenRepeat() const { return m_betweenRepeat; }
    [[nodiscard]] QLineEdit* txtTastaturNrShifttaste() const { return m_shiftKey; }
    [[nodiscard]] QLineEdit* txtTastaturTest() const { return m_test; }
    [[nodiscard]] QCheckBox* ctlshowTastencodeHex() const { return m_hex; }
    [[nodiscard]] QPushButton* cmdGetLastKey() const { return m_getLastKey; }
    [[nodiscard]] QPushButton* cmdTastaturStandard() const { return m_standard; }
    [[nodiscard]] QTableWidget* ctlListeTastencodes() const { return m_grid; }
    [[nodiscard]] QCheckBox* check(const char* name) const;
    [[nodiscard]] KeyCodeTable gridTable() const;

public slots:
    void cmdTastaturStandard_Click();
    void cmdGetLastKey_Click();
    void ctlRegisterTastatur_Click(int index);
    // The serial port's receive event (key test while edit mode 31 is on).
    void ctlcom_OnComm();

private:
    [[nodiscard]] bool validSide(DataSide side) const;
    void controlsFromKeyboard();
    bool keyboardFromControls(QString* error);
    void fillGrid(const KeyCodeTable& table);
    void gridEdited(int row, int column);
    void appendHex(const QByteArray& code);

    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
    KeyboardSettings m_core;
    QTabWidget* m_tabs;
    QSlider* m_minPress;
    QSlider* m_untilRepeat;
    QSlider* m_betweenRepeat;
    QCheckBox* m_polling;
    QCheckBox* m_repeat;
    QCheckBox* m_sendUp;
    QCheckBox* m_led;
    QCheckBox* m_beep;
    QCheckBox* m_matrix;
    QLineEdit* m_shiftKey;
    QLineEdit* m_test;
    QCheckBox* m_hex;
    QPushButton* m_getLastKey;
    QPushButton* m_standard;
    QTableWidget* m_grid;
    KeyCodeTable m_shown; // the grid's rows as last accepted
};

} // namespace vemro
