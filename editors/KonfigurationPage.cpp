#include "editors/KonfigurationPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace vemro {

namespace {

QButtonGroup* optionPair(QWidget* owner, const QString& name, const QString& first,
                         const QString& second, QWidget** container)
{
    auto* box = new QWidget(owner);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* group = new QButtonGroup(owner);
    const QString captions[] = {first, second};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(captions[i], box);
        b->setObjectName(QStringLiteral("%1_%2").arg(name).arg(i));
        group->addButton(b, i);
        layout->addWidget(b);
    }
    *container = box;
    return group;
}

QCheckBox* activeBox(QWidget* owner, const QString& name)
{
    auto* box = new QCheckBox(QStringLiteral("aktiv"), owner);
    box->setObjectName(name);
    return box;
}

} // namespace

KonfigurationPage::KonfigurationPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("KonfigurationPage"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(12);
    outer->addLayout(columns);

    auto* modus = new QGroupBox(QStringLiteral("Terminal-Modus"), this);
    modus->setObjectName(QStringLiteral("frTerminalModus"));
    auto* mf = new QFormLayout(modus);
    QWidget* box = nullptr;
    m_parameterGroup =
        optionPair(modus, QStringLiteral("ctlParameterSendmode"), QStringLiteral("Byte"),
                   QStringLiteral("Dezimal, kommasepariert"), &box);
    mf->addRow(QStringLiteral("Parameter übertragen als"), box);
    m_antwortGroup = optionPair(modus, QStringLiteral("ctlTerminalAntwort"),
                                QStringLiteral("seriell"), QStringLiteral("CAN"), &box);
    mf->addRow(QStringLiteral("Terminalantwort senden via"), box);
    m_tastatur = activeBox(modus, QStringLiteral("ctlTastaturEnable"));
    mf->addRow(QStringLiteral("Tastatur"), m_tastatur);
    m_ioPorts = activeBox(modus, QStringLiteral("ctlIOPortsEnable"));
    mf->addRow(QStringLiteral("IO-Ports"), m_ioPorts);
    m_einschalt = activeBox(modus, QStringLiteral("ctlEinschaltmeldungEnabled"));
    mf->addRow(QStringLiteral("Einschaltmeldung"), m_einschalt);
    m_festtext = activeBox(modus, QStringLiteral("ctlFesttextmodusenabled"));
    mf->addRow(QStringLiteral("Festtextmodus"), m_festtext);
    m_festtextPort = new QLineEdit(QStringLiteral("0"), modus);
    m_festtextPort->setObjectName(QStringLiteral("txtFesttextPort"));
    m_festtextPort->setMaximumWidth(80);
    mf->addRow(QStringLiteral("Port für Festtextabruf :"), m_festtextPort);
    columns->addWidget(modus, 1);

    auto* display = new QGroupBox(QStringLiteral("Display"), this);
    display->setObjectName(QStringLiteral("frDisplay"));
    auto* df = new QFormLayout(display);
    m_displayTyp = new QComboBox(display);
    m_displayTyp->setObjectName(QStringLiteral("cboDisplayTyp"));
    m_displayTyp->setMinimumWidth(120);
    m_displayTyp->setMaximumWidth(160);
    df->addRow(QStringLiteral("Anzeige :"), m_displayTyp);
    m_backlight = new QCheckBox(QStringLiteral("ein"), display);
    m_backlight->setObjectName(QStringLiteral("ctlDisplayBacklight"));
    df->addRow(QStringLiteral("Beleuchtung"), m_backlight);
    m_kontrast = new QSlider(Qt::Horizontal, display);
    m_kontrast->setObjectName(QStringLiteral("ctlDisplaykontrast"));
    m_kontrast->setRange(0, 15);
    m_kontrast->setSingleStep(1);
    m_kontrast->setPageStep(1);
    m_kontrast->setTickPosition(QSlider::TicksBelow);
    m_kontrast->setTickInterval(1);
    m_kontrast->setMinimumWidth(180);
    auto* kontrastRow = new QHBoxLayout;
    kontrastRow->addWidget(m_kontrast, 1);
    auto* kontrastWert = new QLabel(QStringLiteral("0"), display);
    kontrastWert->setObjectName(QStringLiteral("lblKontrastWert"));
    kontrastWert->setMinimumWidth(24);
    connect(m_kontrast, &QSlider::valueChanged, kontrastWert,
            [kontrastWert](int v) { kontrastWert->setNum(v); });
    kontrastRow->addWidget(kontrastWert);
    df->addRow(QStringLiteral("Kontrast"), kontrastRow);
    columns->addWidget(display, 1);

    auto* speicher = new QGroupBox(QStringLiteral("Terminal"), this);
    speicher->setObjectName(QStringLiteral("frTerminalWerkzeuge"));
    m_tools = new QVBoxLayout(speicher);
    auto* row = new QHBoxLayout;
    m_cmdCheckEEProm = new QPushButton(QStringLiteral("EEProm prüfen"), speicher);
    m_cmdCheckEEProm->setObjectName(QStringLiteral("cmdCheckEEProm"));
    m_txtEEPromSize = new QLineEdit(speicher);
    m_txtEEPromSize->setObjectName(QStringLiteral("txtEEPromSize"));
    m_txtEEPromSize->setReadOnly(true);
    m_txtEEPromSize->setMaximumWidth(120);
    row->addWidget(m_cmdCheckEEProm);
    row->addWidget(new QLabel(QStringLiteral("Größe (Byte) :"), speicher));
    row->addWidget(m_txtEEPromSize);
    row->addStretch(1);
    m_tools->addLayout(row);
    outer->addWidget(speicher);
    outer->addStretch(1);
}

QRadioButton* KonfigurationPage::ctlParameterSendmode(int index) const
{
    return qobject_cast<QRadioButton*>(m_parameterGroup->button(index));
}

QRadioButton* KonfigurationPage::ctlTerminalAntwort(int index) const
{
    return qobject_cast<QRadioButton*>(m_antwortGroup->button(index));
}

} // namespace vemro
