#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QVBoxLayout;

namespace vemro {

// Page 4 "Konfiguration": the frames "Terminal-Modus" and "Display" and the memory
// check. Only the controls; TerminalSettings moves their values.
class KonfigurationPage : public QWidget
{
    Q_OBJECT
public:
    explicit KonfigurationPage(QWidget* parent = nullptr);

    [[nodiscard]] QRadioButton* ctlParameterSendmode(int index) const;
    [[nodiscard]] QRadioButton* ctlTerminalAntwort(int index) const;
    [[nodiscard]] QButtonGroup* parameterSendmodeGroup() const { return m_parameterGroup; }
    [[nodiscard]] QButtonGroup* terminalAntwortGroup() const { return m_antwortGroup; }
    [[nodiscard]] QCheckBox* ctlTastaturEnable() const { return m_tastatur; }
    [[nodiscard]] QCheckBox* ctlIOPortsEnable() const { return m_ioPorts; }
    [[nodiscard]] QCheckBox* ctlEinschaltmeldungEnabled() const { return m_einschalt; }
    [[nodiscard]] QCheckBox* ctlFesttextmodusenabled() const { return m_festtext; }
    [[nodiscard]] QLineEdit* txtFesttextPort() const { return m_festtextPort; }
    [[nodiscard]] QComboBox* cboDisplayTyp() const { return m_displayTyp; }
    [[nodiscard]] QCheckBox* ctlDisplayBacklight() const { return m_backlight; }
    [[nodiscard]] QSlider* ctlDisplaykontrast() const { return m_kontrast; }
    [[nodiscard]] QPushButton* cmdCheckEEProm() const { return m_cmdCheckEEProm; }
    [[nodiscard]] QLineEdit* txtEEPromSize() const { return m_txtEEPromSize; }
    // Room for further tools of this page (firmware update).
    [[nodiscard]] QVBoxLayout* toolsLayout() const { return m_tools; }

private:
    QButtonGroup* m_parameterGroup;
    QButtonGroup* m_antwortGroup;
    QCheckBox* m_tastatur;
    QCheckBox* m_ioPorts;
    QCheckBox* m_einschalt;
    QCheckBox* m_festtext;
    QLineEdit* m_festtextPort;
    QComboBox* m_displayTyp;
    QCheckBox* m_backlight;
    QSlider* m_kontrast;
    QPushButton* m_cmdCheckEEProm;
    QLineEdit* m_txtEEPromSize;
    QVBoxLayout* m_tools;
};

} // namespace vemro
