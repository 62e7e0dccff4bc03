#include "editors/TastaturPage.h"

#include "editors/EditMode.h"
#include "editors/PageHost.h"

#include "config/KeyboardSettings.h"
#include "link/KeyCodeNotation.h"
#include "link/clsVX.h"
#include "platform/Codepage.h"
#include "platform/DataSide.h"
#include "platform/Globals.h"
#include "platform/TextValue.h"
#include "platform/UserInterface.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vemro {

namespace {

constexpr int kSliderMin = 1;
constexpr int kSliderMax = 255;

QSlider* makeSlider(const QString& name, QWidget* parent)
{
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(kSliderMin, kSliderMax);
    s->setSingleStep(1);
    s->setPageStep(10);
    return s;
}

QCheckBox* makeCheck(const QString& name, const QString& caption, QWidget* parent)
{
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    return c;
}

// One slider with its label, caption and end labels.
void addSliderRow(QGridLayout* grid, int row, const QString& label, QSlider* slider,
                  const QString& low, const QString& high)
{
    grid->addWidget(new QLabel(label), row * 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("Zeit  (x 10ms)")), row * 2, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel(low), row * 2 + 1, 1);
    grid->addWidget(slider, row * 2 + 1, 2);
    grid->addWidget(new QLabel(high), row * 2 + 1, 3);
}

} // namespace

TastaturPage::TastaturPage(clsVX* terminal, DataEnvironment& env, QWidget* parent)
    : QWidget(parent), m_vx(terminal), m_env(env), m_core(*terminal, env)
{
    setObjectName(QStringLiteral("TastaturPage"));
    auto* outer = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("ctlRegisterTastatur"));
    outer->addWidget(m_tabs);

    // Sub-tab "Allgemein".
    auto* general = new QWidget(m_tabs);
    auto* gl = new QVBoxLayout(general);
    auto* sliders = new QGridLayout;
    m_minPress = makeSlider(QStringLiteral("ctlTastaturMinPress"), general);
    m_untilRepeat = makeSlider(QStringLiteral("ctlTastaturTimeuntilRepeat"), general);
    m_betweenRepeat = makeSlider(QStringLiteral("ctlTastaturTimebetweenRepeat"), general);
    addSliderRow(sliders, 0, QStringLiteral("Mindestdauer"), m_minPress, QStringLiteral("(kurz)"),
                 QStringLiteral("(lang)"));
    addSliderRow(sliders, 1, QStringLiteral("Zeit bis Repeat"), m_untilRepeat,
                 QStringLiteral("(kurz)"), QStringLiteral("(lang)"));
    addSliderRow(sliders, 2, QStringLiteral("Wiederholrate"), m_betweenRepeat,
                 QStringLiteral("(schnell)"), QStringLiteral("(langsam)"));
    gl->addLayout(sliders);

    auto* checks = new QHBoxLayout;
    auto* modes = new QVBoxLayout;
    m_polling = makeCheck(QStringLiteral("ctlTastaturPolling"), QStringLiteral("Polling"), general);
    m_repeat = makeCheck(QStringLiteral("ctlTastaturRepeat"), QStringLiteral("Repeat"), general);
    m_sendUp = makeCheck(QStringLiteral("ctlTastaturSendUp"),
                         QStringLiteral("Senden auch beim Loslassen"), general);
    m_matrix = makeCheck(QStringLiteral("ctlTastaturUseMatrix"), QStringLiteral("Matrix an Port 0"),
                         general);
    for (QCheckBox* c : {m_polling, m_repeat, m_sendUp, m_matrix})
        modes->addWidget(c);
    checks->addLayout(modes);
    auto* ack = new QGroupBox(QStringLiteral("Tastenquittung"), general);
    auto* al = new QVBoxLayout(ack);
    m_led = makeCheck(QStringLiteral("ctlTastaturTastenLed"), QStringLiteral("optisch"), ack);
    m_beep = makeCheck(QStringLiteral("ctlTastaturTastenHupe"), QStringLiteral("akustisch"), ack);
    al->addWidget(m_led);
    al->addWidget(m_beep);
    checks->addWidget(ack);
    auto* shift = new QVBoxLayout;
    shift->addWidget(new QLabel(QStringLiteral("Nr der Shift-Taste; 0=keine")));
    m_shiftKey = new QLineEdit(QStringLiteral("0"), general);
    m_shiftKey->setObjectName(QStringLiteral("txtTastaturNrShifttaste"));
    m_shiftKey->setMaximumWidth(60);
    shift->addWidget(m_shiftKey);
    shift->addStretch(1);
    checks->addLayout(shift);
    gl->addLayout(checks);

    auto* test = new QGroupBox(general);
    auto* tl = new QGridLayout(test);
    tl->addWidget(new QLabel(QStringLiteral("Test:")), 0, 0);
    m_test = new QLineEdit(test);
    m_test->setObjectName(QStringLiteral("txtTastaturTest"));
    tl->addWidget(m_test, 0, 1);
    m_getLastKey = new QPushButton(QStringLiteral("letzter Tastencode"), test);
    m_getLastKey->setObjectName(QStringLiteral("cmdGetLastKey"));
    tl->addWidget(m_getLastKey, 0, 2);
    m_hex = makeCheck(QStringLiteral("ctlshowTastencodeHex"),
                      QStringLiteral("als HexCode anzeigen"), test);
    tl->addWidget(m_hex, 1, 1);
    auto* hint = new QLabel(QStringLiteral("Vor einem fortlaufenden Tastentest einmal auf "
                                           "\"letzter Tastencode\" klicken, damit die "
                                           "Schnittstelle geöffnet wird."),
                            test);
    hint->setWordWrap(true);
    tl->addWidget(hint, 2, 0, 1, 3);
    gl->addWidget(test);
    gl->addStretch(1);
    m_tabs->addTab(general, QStringLiteral("Allgemein"));

    // Sub-tab "Tastencodes".
    auto* codes = new QWidget(m_tabs);
    auto* cl = new QHBoxLayout(codes);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("aktuelle Belegung")));
    m_grid = new QTableWidget(0, 3, codes);
    m_grid->setObjectName(QStringLiteral("ctlListeTastencodes"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("TastenNr"), QStringLiteral("Tastencode"),
                                       QStringLiteral("Tastencode_Shift")});
    m_grid->verticalHeader()->setVisible(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    left->addWidget(m_grid);
    cl->addLayout(left, 2);
    auto* right = new QVBoxLayout;
    m_standard = new QPushButton(QStringLiteral("Standardbelegung"), codes);
    m_standard->setObjectName(QStringLiteral("cmdTastaturStandard"));
    right->addWidget(m_standard);
    auto* help = new QLabel(QStringLiteral(
        "Ein Festtext wird einer Taste zugeordnet, indem als Code '#Festtextnr' angegeben "
        "wird,\r\nz.B. #15 für Festtext 15.\r\n\r\nHexadezimale Codes werden mit "
        "vorangestelltem $ eingegeben,\r\nz.B. $41 = dezimal 65 = Buchstabe A.\r\n\r\nAb "
        "Terminalversion 2.5 liefern auch die Matrixtasten die definierten Shift-Codes."));
    help->setObjectName(QStringLiteral("lblTastencodeHilfe"));
    help->setWordWrap(true);
    right->addWidget(help);
    right->addStretch(1);
    cl->addLayout(right, 1);
    m_tabs->addTab(codes, QStringLiteral("Tastencodes"));

    connect(m_tabs, &QTabWidget::currentChanged, this, &TastaturPage::ctlRegisterTastatur_Click);
    connect(m_standard, &QPushButton::clicked, this, &TastaturPage::cmdTastaturStandard_Click);
    connect(m_getLastKey, &QPushButton::clicked, this, &TastaturPage::cmdGetLastKey_Click);
    connect(m_grid, &QTableWidget::cellChanged, this, &TastaturPage::gridEdited);
    // Queued: the event comes from inside the port's readyRead handler, where the port
    // reports no further data, so the "?T" query of the hex test would wait in vain there.
    if (m_vx && m_vx->ctlcom())
        connect(m_vx->ctlcom(), &ComPort::receiveEvent, this, &TastaturPage::ctlcom_OnComm,
                Qt::QueuedConnection);
}

QCheckBox* TastaturPage::check(const char* name) const
{
    return findChild<QCheckBox*>(QString::fromLatin1(name));
}

bool TastaturPage::validSide(DataSide side) const
{
    return checkDataSide(side) && m_vx != nullptr;
}

EditMode TastaturPage::currentEditMode() const
{
    return m_tabs->currentIndex() == 1 ? EditMode::Tastencodes : EditMode::TastaturAllgemein;
}

EditMode TastaturPage::pageNumber() const
{
    return EditMode::Tastatur;
}

QList<Page::Transfer> TastaturPage::transfers()
{
    return {
        {EditMode::TastaturAllgemein, [this] { GetTastaturConfig(DataSide::Terminal); },
         [this] { SetTastaturConfig(DataSide::Terminal); }},
        {EditMode::Tastencodes,
         [this] {
             if (GetTastaturcodes(DataSide::Terminal))
                 GetTastaturConfig(DataSide::Terminal);
         },
         [this] { SetTastaturcodes(DataSide::Terminal); }},
    };
}

void TastaturPage::pageShown()
{
    if (host())
        host()->setEditMode(currentEditMode());
}

void TastaturPage::ctlRegisterTastatur_Click(int index)
{
    if (index != 0 && index != 1) {
        ui().message(QStringLiteral("Bearbeitungsmodus unbekannt"), kProductName);
        return;
    }
    if (host())
        host()->setEditMode(index == 0 ? EditMode::TastaturAllgemein : EditMode::Tastencodes);
}

void TastaturPage::controlsFromKeyboard()
{
    ControlsUpdatingGuard guard;
    const clsVXKeyboard& k = *m_vx->Keyboard();
    m_minPress->setValue(k.MinPress);
    m_untilRepeat->setValue(k.TimeUntilRepeat);
    m_betweenRepeat->setValue(k.TimeBetweenRepeat);
    m_polling->setChecked(k.Polling);
    m_repeat->setChecked(k.Repeat);
    m_sendUp->setChecked(k.SendKeyUp);
    m_led->setChecked(k.Key_LED);
    m_beep->setChecked(k.Key_Beep);
    m_matrix->setChecked(k.UseMatrix);
    m_shiftKey->setText(QString::number(k.ShiftKey));
}

bool TastaturPage::keyboardFromControls(QString* error)
{
    const qint64 shift = TextValueInt(m_shiftKey->text());
    if (shift < 0 || shift > clsVXKeyboard::kKeys) {
        *error = QStringLiteral("Nr der Shift-Taste muss zwischen 0 und 32 liegen");
        return false;
    }
    clsVXKeyboard& k = *m_vx->Keyboard();
    k.MinPress = static_cast<qint16>(m_minPress->value());
    k.TimeUntilRepeat = static_cast<qint16>(m_untilRepeat->value());
    k.TimeBetweenRepeat = static_cast<qint16>(m_betweenRepeat->value());
    k.Polling = m_polling->isChecked();
    k.Repeat = m_repeat->isChecked();
    k.SendKeyUp = m_sendUp->isChecked();
    k.Key_LED = m_led->isChecked();
    k.Key_Beep = m_beep->isChecked();
    k.UseMatrix = m_matrix->isChecked();
    k.ShiftKey = static_cast<qint16>(shift);
    return true;
}

bool TastaturPage::GetTastaturConfig(DataSide Quelle)
{
    if (!validSide(Quelle))
        return false;
    QString error;
    const bool ok =
        Quelle == DataSide::Terminal ? m_core.readConfig(&error) : m_core.loadConfig(&error);
    if (!ok) {
        ui().message(error, kProductName);
        return false;
    }
    controlsFromKeyboard();
    m_test->clear();
    return true;
}

bool TastaturPage::SetTastaturConfig(DataSide Ziel)
{
    if (!validSide(Ziel))
        return false;
    // The page's values count, also when they go into the project.
    QString error;
    if (!keyboardFromControls(&error)) {
        ui().message(error, kProductName);
        return false;
    }
    if (Ziel == DataSide::Terminal) {
        if (!m_core.writeConfig(&error)) {
            ui().message(error, kProductName);
            return false;
        }
        m_test->clear();
        return true;
    }
    if (!m_core.storeConfig(&error)) {
        ui().message(error, kProductName);
        return false;
    }
    return true;
}

bool TastaturPage::GetTastaturcodes(DataSide Quelle)
{
    if (!validSide(Quelle))
        return false;
    QString error;
    if (Quelle == DataSide::Terminal && !m_core.readCodesIntoProject(&error)) {
        ui().message(error, kProductName);
        return false;
    }
    KeyCodeTable table;
    if (!m_core.loadCodesFromProject(table, &error)) {
        ui().message(error, kProductName);
        return false;
    }
    fillGrid(table);
    return true;
}

bool TastaturPage::SetTastaturcodes(DataSide Ziel)
{
    if (!validSide(Ziel))
        return false;
    QString error;
    const bool ok = Ziel == DataSide::Terminal ? m_core.writeCodes(gridTable(), &error)
                                               : m_core.storeCodesToProject(gridTable(), &error);
    if (!ok)
        ui().message(error, kProductName);
    return ok;
}

void TastaturPage::loadFromProject()
{
    GetTastaturcodes(DataSide::Projekt);
    GetTastaturConfig(DataSide::Projekt);
}

bool TastaturPage::saveToProject(QString* error)
{
    return keyboardFromControls(error) && m_core.storeConfig(error) &&
           m_core.storeCodesToProject(gridTable(), error);
}

void TastaturPage::fillGrid(const KeyCodeTable& table)
{
    ControlsUpdatingGuard guard;
    QSignalBlocker block(m_grid);
    m_grid->setRowCount(static_cast<int>(table.size()));
    for (int r = 0; r < table.size(); ++r) {
        const KeyCodeRow& row = table.at(r);
        auto* nr = new QTableWidgetItem(QString::number(row.TastenNr));
        nr->setFlags(nr->flags() & ~Qt::ItemIsEditable);
        m_grid->setItem(r, 0, nr);
        m_grid->setItem(r, 1, new QTableWidgetItem(row.Tastencode));
        m_grid->setItem(r, 2, new QTableWidgetItem(row.Tastencode_Shift));
    }
    m_shown = table;
}

KeyCodeTable TastaturPage::gridTable() const
{
    return m_shown;
}

void TastaturPage::gridEdited(int row, int column)
{
    if (row < 0 || row >= m_shown.size() || column < 1)
        return;
    QTableWidgetItem* item = m_grid->item(row, column);
    const QString text = item ? item->text() : QString();
    KeyCodeRow& r = m_shown[row];
    QString& stored = column == 1 ? r.Tastencode : r.Tastencode_Shift;
    QString error;
    if (!KeyCodeNotation::Check(text, column == 2, &error)) {
        ui().message(error, kProductName);
        QSignalBlocker block(m_grid);
        if (item)
            item->setText(stored);
        return;
    }
    const QString previous = stored;
    stored = text;
    if (!m_core.storeCodesToProject(m_shown, &error)) {
        stored = previous;
        ui().message(error, kProductName);
        QSignalBlocker block(m_grid);
        if (item)
            item->setText(previous);
    }
}

void TastaturPage::cmdTastaturStandard_Click()
{
    m_standard->setEnabled(false);
    QString error;
    const KeyCodeTable table = KeyboardSettings::standardTable();
    if (m_core.storeCodesToProject(table, &error))
        fillGrid(table);
    else
        ui().message(error, kProductName);
    m_standard->setEnabled(true);
}

void TastaturPage::appendHex(const QByteArray& code)
{
    if (code.isEmpty())
        return;
    const QString hex = QString::number(static_cast<uchar>(code.at(0)), 16).toUpper();
    m_test->setText(m_test->text() + QLatin1Char('$') + hex.rightJustified(2, QLatin1Char('0')));
}

void TastaturPage::cmdGetLastKey_Click()
{
    if (!m_vx || m_vx->busy())
        return;
    if (m_hex->isChecked())
        appendHex(m_vx->Keyboard()->LastKeyCode());
    else
        m_test->setText(AnsiToString(m_vx->Keyboard()->LastKeyCode()));
}

void TastaturPage::ctlcom_OnComm()
{
    if (!m_vx || m_vx->busy() || !host() || host()->editMode() != EditMode::TastaturAllgemein)
        return;
    if (m_hex->isChecked()) {
        appendHex(m_vx->Keyboard()->LastKeyCode());
        return;
    }
    if (ComPort* port = m_vx->ctlcom())
        m_test->setText(m_test->text() + AnsiToString(port->read()));
}

} // namespace vemro
