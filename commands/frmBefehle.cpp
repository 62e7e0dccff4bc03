#include "commands/frmBefehle.h"

#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vemro {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kNumberWidth = 1000 / kTwipsPerPixel;
constexpr int kTextWidth = 2000 / kTwipsPerPixel;
constexpr int kIndent = 200 / kTwipsPerPixel;
const char* const kIndexProperty = "Index";

template <typename W> W* named(W* w, const char* name, int index)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setProperty(kIndexProperty, index);
    return w;
}

} // namespace

frmBefehle::frmBefehle(DataEnvironment& env, QWidget* parent) : QDialog(parent), m_env(env)
{
    setObjectName(QStringLiteral("frmBefehle"));
    setWindowTitle(QStringLiteral("Befehle einfügen"));
    setModal(true);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("ctlBefehlsliste"));
    m_tree->setHeaderHidden(true);
    m_tree->setMinimumWidth(260);
    m_rowsWidget = new QWidget;
    m_rows = new QGridLayout(m_rowsWidget);
    m_rows->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    // No limit on the number of rows: a long command scrolls.
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_rowsWidget);
    scroll->setMinimumWidth(380);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));

    auto* right = new QVBoxLayout;
    right->addWidget(scroll, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addLayout(right, 1);
    resize(700, 440);

    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { nodeClicked(item); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { nodeDoubleClicked(item); });
    connect(m_ok, &QPushButton::clicked, this, &frmBefehle::OKButton_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmBefehle::CancelButton_Click);
    FillTreeview();
}

void frmBefehle::FillTreeview()
{
    HideallParametercontrols();
    m_befehl = nullptr;
    m_tree->clear();
    QString error;
    if (!Befehlskatalog::load(m_env, m_groups, &error)) {
        m_groups.clear();
        ui().message(QStringLiteral("Befehlskatalog nicht lesbar: ") + error, kProductName);
    }
    for (const Befehlsgruppe& g : m_groups) {
        auto* group = new QTreeWidgetItem(m_tree, {g.Bezeichnung});
        group->setData(0, Qt::UserRole, QStringLiteral("G%1").arg(g.ID));
        for (const Befehl& b : g.Befehle) {
            auto* item = new QTreeWidgetItem(group, {b.Bezeichnung});
            item->setData(0, Qt::UserRole, QStringLiteral("B%1").arg(b.ID));
        }
    }
    m_ok->setEnabled(false);
}

frmBefehle* frmBefehle::shared(DataEnvironment& env, QWidget* parent)
{
    static QPointer<frmBefehle> dialog;
    // A dialog of another data environment would read a catalogue that may be gone.
    if (dialog && &dialog->m_env != &env)
        delete dialog;
    if (!dialog)
        dialog = new frmBefehle(env, parent);
    return dialog;
}

QString frmBefehle::GetBefehl()
{
    m_result.clear();
    FillTreeview();
    exec();
    return m_result;
}

bool frmBefehle::selectNode(const QString& key)
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() == key) {
            m_tree->setCurrentItem(*it);
            nodeClicked(*it);
            return true;
        }
    }
    return false;
}

void frmBefehle::nodeClicked(QTreeWidgetItem* item)
{
    HideallParametercontrols();
    m_befehl = nullptr;
    const QString key = item ? item->data(0, Qt::UserRole).toString() : QString();
    if (!key.startsWith(QLatin1Char('B'))) {
        m_ok->setEnabled(false);
        return;
    }
    m_befehl = Befehlskatalog::find(m_groups, key.mid(1).toInt());
    if (!m_befehl) {
        m_ok->setEnabled(false);
        return;
    }
    CreateParametercontrols();
    m_ok->setEnabled(true);
}

void frmBefehle::nodeDoubleClicked(QTreeWidgetItem* item)
{
    nodeClicked(item);
    if (m_befehl)
        OKButton_Click();
}

void frmBefehle::HideallParametercontrols()
{
    for (const Row& r : m_controls) {
        delete r.label;
        delete r.control;
    }
    m_controls.clear();
    delete m_choices;
    m_choices = nullptr;
}

void frmBefehle::CreateParametercontrols()
{
    HideallParametercontrols();
    if (!m_befehl)
        return;
    const QList<ParameterEingabe> presets = BefehlComposer::Vorgaben(*m_befehl);
    auto* choices = new QButtonGroup(m_rowsWidget);
    choices->setExclusive(true);
    m_choices = choices;
    int line = 0;
    for (int i = 0; i < m_befehl->Parameter.size(); ++i) {
        const Befehlsparameter& p = m_befehl->Parameter.at(i);
        const int index = i + 1;
        Row row;
        if (p.Typ != ParameterTyp::GroupEnd && p.Typ != ParameterTyp::Button) {
            row.label = named(new QLabel(BefehlComposer::Label(p)), "lblParBezeichnung", index);
            if (p.Typ == ParameterTyp::Flag || p.Typ == ParameterTyp::Choice)
                row.label->setContentsMargins(kIndent, 0, 0, 0);
            m_rows->addWidget(row.label, line, 0);
        }
        switch (p.Typ.value_or(ParameterTyp::Button)) {
        case ParameterTyp::Number:
        case ParameterTyp::Text: {
            auto* box = named(new QLineEdit(presets.at(i).text), "txtParameter", index);
            box->setFixedWidth(p.Typ == ParameterTyp::Number ? kNumberWidth : kTextWidth);
            row.control = box;
            break;
        }
        case ParameterTyp::Flag: {
            auto* check = named(new QCheckBox, "ctlParameterCheckbox", index);
            check->setChecked(presets.at(i).checked);
            row.control = check;
            break;
        }
        case ParameterTyp::Button:
            // A row of a type the program does not know has its label only.
            if (p.Typ)
                row.control = named(new QPushButton(p.Bezeichnung.toString()), "cmdBefehl", index);
            break;
        case ParameterTyp::Choice: {
            auto* option = named(new QRadioButton, "ctlParameterOption", index);
            option->setChecked(presets.at(i).checked);
            choices->addButton(option);
            row.control = option;
            break;
        }
        case ParameterTyp::GroupStart:
        case ParameterTyp::GroupEnd:
            break;
        }
        if (row.control)
            m_rows->addWidget(row.control, line, 1, Qt::AlignLeft);
        if (p.Typ != ParameterTyp::GroupEnd)
            ++line;
        m_controls.append(row);
    }
}

QWidget* frmBefehle::parameterControl(int index) const
{
    return index >= 1 && index <= m_controls.size() ? m_controls.at(index - 1).control : nullptr;
}

QLabel* frmBefehle::parameterLabel(int index) const
{
    return index >= 1 && index <= m_controls.size() ? m_controls.at(index - 1).label : nullptr;
}

QList<ParameterEingabe> frmBefehle::entries() const
{
    QList<ParameterEingabe> out;
    for (const Row& r : m_controls) {
        ParameterEingabe e;
        if (auto* box = qobject_cast<QLineEdit*>(r.control))
            e.text = box->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(r.control))
            e.checked = button->isCheckable() && button->isChecked();
        out.append(e);
    }
    return out;
}

bool frmBefehle::CheckParameter()
{
    QList<bool> bad;
    const bool ok = BefehlComposer::CheckParameter(*m_befehl, entries(), m_createmode, &bad);
    for (int i = 0; i < m_controls.size() && i < bad.size(); ++i) {
        if (auto* box = qobject_cast<QLineEdit*>(m_controls.at(i).control)) {
            if (m_befehl->Parameter.at(i).Typ == ParameterTyp::Number)
                box->setStyleSheet(bad.at(i) ? QStringLiteral("background-color: #ff0000;")
                                             : QStringLiteral("background-color: #ffffff;"));
        }
    }
    return ok;
}

void frmBefehle::OKButton_Click()
{
    if (!m_befehl)
        return;
    if (!CheckParameter()) {
        ui().message(BefehlComposer::Meldung(*m_befehl, entries(), m_createmode), kProductName);
        return;
    }
    bool unknown = false;
    m_result = BefehlComposer::CreateBefehlstext(*m_befehl, entries(), m_createmode, &unknown);
    if (unknown)
        ui().message(BefehlComposer::kUnbekannterTyp, kProductName);
    accept();
}

void frmBefehle::CancelButton_Click()
{
    m_result.clear();
    reject();
}

} // namespace vemro
