#include "editors/UserZeichenPage.h"

#include "editors/EditMode.h"

#include "config/UserCharacters.h"
#include "link/clsVX.h"
#include "platform/Codepage.h"
#include "platform/DataSide.h"
#include "platform/Globals.h"
#include "platform/TextValue.h"
#include "platform/UserInterface.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vemro {

namespace {

constexpr int kPixelPx = 28;
const char* const kBlack = "background-color: black; border: 1px solid gray;";
const char* const kWhite = "background-color: white; border: 1px solid gray;";

QToolButton* arrow(const QString& name, Qt::ArrowType type, const QString& hint, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setArrowType(type);
    b->setToolTip(hint);
    return b;
}

} // namespace

UserZeichenPage::UserZeichenPage(clsVX* terminal, DataEnvironment& env, QWidget* parent)
    : QWidget(parent), m_vx(terminal), m_env(env), m_core(*terminal, env)
{
    setObjectName(QStringLiteral("UserZeichenPage"));
    auto* outer = new QHBoxLayout(this);

    // The matrix with its row codes and the matrix tools.
    auto* matrixBox = new QGroupBox(QStringLiteral("Eingabematrix"), this);
    auto* ml = new QGridLayout(matrixBox);
    ml->setSpacing(1);
    for (int i = 0; i < UserCharPattern::kPixels; ++i) {
        auto* b = new QPushButton(matrixBox);
        b->setObjectName(QStringLiteral("cmdPixel_%1").arg(i));
        b->setFixedSize(kPixelPx, kPixelPx);
        b->setFlat(true);
        b->setAutoFillBackground(true);
        b->setStyleSheet(QString::fromLatin1(kWhite));
        connect(b, &QPushButton::clicked, this, [this, i] { cmdPixel_Click(i); });
        ml->addWidget(b, i / UserCharPattern::kCols, i % UserCharPattern::kCols);
        m_pixels[static_cast<size_t>(i)] = b;
    }
    for (int r = 0; r < UserCharPattern::kRows; ++r) {
        auto* l = new QLabel(QStringLiteral("&H00"), matrixBox);
        l->setObjectName(QStringLiteral("lblHexCode_%1").arg(r));
        l->setMinimumWidth(48);
        ml->addWidget(l, r, UserCharPattern::kCols + 1);
        m_hex[static_cast<size_t>(r)] = l;
    }
    const QString horizontal =
        QStringLiteral("Klicken Sie hier, um die Matrix horizontal zu rotieren.");
    const QString vertical =
        QStringLiteral("Klicken Sie hier, um die Matrix vertikal zu rotieren.");
    auto* leftRight = new QWidget(matrixBox);
    leftRight->setObjectName(QStringLiteral("CGLeftRight"));
    leftRight->setToolTip(horizontal);
    auto* lrl = new QHBoxLayout(leftRight);
    lrl->setContentsMargins(0, 0, 0, 0);
    auto* left = arrow(QStringLiteral("CGLeftRight_0"), Qt::LeftArrow, horizontal, leftRight);
    auto* right = arrow(QStringLiteral("CGLeftRight_1"), Qt::RightArrow, horizontal, leftRight);
    lrl->addWidget(left);
    lrl->addWidget(right);
    ml->addWidget(leftRight, UserCharPattern::kRows, 0, 1, UserCharPattern::kCols);
    auto* upDown = new QWidget(matrixBox);
    upDown->setObjectName(QStringLiteral("CGUpDown"));
    upDown->setToolTip(vertical);
    auto* udl = new QVBoxLayout(upDown);
    udl->setContentsMargins(0, 0, 0, 0);
    auto* up = arrow(QStringLiteral("CGUpDown_1"), Qt::UpArrow, vertical, upDown);
    auto* down = arrow(QStringLiteral("CGUpDown_0"), Qt::DownArrow, vertical, upDown);
    udl->addWidget(up);
    udl->addWidget(down);
    ml->addWidget(upDown, 0, UserCharPattern::kCols + 2, UserCharPattern::kRows, 1);
    connect(left, &QToolButton::clicked, this, [this] { CGLeftRight_Change(0); });
    connect(right, &QToolButton::clicked, this, [this] { CGLeftRight_Change(1); });
    connect(up, &QToolButton::clicked, this, [this] { CGUpDown_Change(1); });
    connect(down, &QToolButton::clicked, this, [this] { CGUpDown_Change(0); });

    auto* tools = new QVBoxLayout;
    auto* clear = new QPushButton(QStringLiteral("Eingabematrix löschen"), matrixBox);
    clear->setObjectName(QStringLiteral("cmdCGclear"));
    auto* invert = new QPushButton(QStringLiteral("Eingabematrix invertieren"), matrixBox);
    invert->setObjectName(QStringLiteral("cmdCGinvert"));
    auto* store = new QPushButton(QStringLiteral("Zeichen speichern"), matrixBox);
    store->setObjectName(QStringLiteral("cmdUserZeichenSpeichern"));
    auto* direct =
        new QPushButton(QStringLiteral("ausgewähltes Zeichen auf Display anzeigen"), matrixBox);
    direct->setObjectName(QStringLiteral("cmdSaveUserzeichendirekt"));
    m_showNow = new QCheckBox(QStringLiteral("gleich anzeigen"), matrixBox);
    m_showNow->setObjectName(QStringLiteral("ctlUserzeichenanzeigen"));
    for (QWidget* w : std::initializer_list<QWidget*>{clear, invert, store, direct, m_showNow})
        tools->addWidget(w);
    tools->addStretch(1);
    ml->addLayout(tools, 0, UserCharPattern::kCols + 3, UserCharPattern::kRows + 1, 1);
    connect(clear, &QPushButton::clicked, this, &UserZeichenPage::cmdCGclear_Click);
    connect(invert, &QPushButton::clicked, this, &UserZeichenPage::cmdCGinvert_Click);
    connect(store, &QPushButton::clicked, this, [this] { SaveUserzeichen(DataSide::Projekt); });
    connect(direct, &QPushButton::clicked, this, &UserZeichenPage::cmdSaveUserzeichendirekt_Click);
    outer->addWidget(matrixBox);

    // The eight slots with their swap characters.
    auto* slotBox = new QGroupBox(QStringLiteral("Zeichen / Tauschzeichen"), this);
    auto* sl = new QGridLayout(slotBox);
    sl->addWidget(new QLabel(QStringLiteral("Zeichen")), 0, 1);
    sl->addWidget(new QLabel(QStringLiteral("ASCII")), 0, 2);
    for (int k = 0; k < kSlots; ++k) {
        auto* option = new QRadioButton(QStringLiteral("Zeichen %1").arg(k), slotBox);
        option->setObjectName(QStringLiteral("ctlUserZeichenAuswahl_%1").arg(k));
        auto* swap = new QLineEdit(slotBox);
        swap->setObjectName(QStringLiteral("txtUserZeichenTauschcode_%1").arg(k));
        swap->setMaximumWidth(40);
        auto* code = new QLineEdit(QStringLiteral("0"), slotBox);
        code->setObjectName(QStringLiteral("txtUserZeichenTauschcodeASCII_%1").arg(k));
        code->setMaximumWidth(60);
        sl->addWidget(option, k + 1, 0);
        sl->addWidget(swap, k + 1, 1);
        sl->addWidget(code, k + 1, 2);
        m_slots[static_cast<size_t>(k)] = option;
        m_swap[static_cast<size_t>(k)] = swap;
        m_swapCode[static_cast<size_t>(k)] = code;
        swap->installEventFilter(this);
        code->installEventFilter(this);
        connect(option, &QRadioButton::clicked, this, [this, k] {
            if (!globals().ControlsUpdating)
                ChangeUserzeichen(k);
        });
        connect(swap, &QLineEdit::textChanged, this, [this, k] { swapTextChanged(k); });
        connect(code, &QLineEdit::textChanged, this, [this, k] { swapCodeChanged(k); });
    }
    m_slots[0]->setChecked(true);
    sl->setRowStretch(kSlots + 1, 1);
    outer->addWidget(slotBox);
    outer->addStretch(1);
    for (int r = 0; r < UserCharPattern::kRows; ++r)
        UpdateHexCode(r);
}

bool UserZeichenPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        for (int k = 0; k < kSlots; ++k) {
            if ((watched == m_swap[static_cast<size_t>(k)] ||
                 watched == m_swapCode[static_cast<size_t>(k)]) &&
                k != m_slot) {
                m_slots[static_cast<size_t>(k)]->click();
                break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UserZeichenPage::SetPixel(int index, bool set)
{
    m_pattern.setPixel(index, set);
    if (index >= 0 && index < UserCharPattern::kPixels)
        m_pixels[static_cast<size_t>(index)]->setStyleSheet(
            QString::fromLatin1(set ? kBlack : kWhite));
    UpdateHexCode(index / UserCharPattern::kCols);
}

void UserZeichenPage::UpdateHexCode(int row)
{
    if (row < 0 || row >= UserCharPattern::kRows)
        return;
    m_hex[static_cast<size_t>(row)]->setText(UserCharPattern::rowCodeText(m_pattern.rowCode(row)));
}

void UserZeichenPage::showPattern()
{
    const UserCharPattern p = m_pattern;
    for (int i = 0; i < UserCharPattern::kPixels; ++i)
        SetPixel(i, p.pixel(i));
}

void UserZeichenPage::cmdPixel_Click(int index)
{
    SetPixel(index, !m_pattern.pixel(index));
    m_changed = true;
}

void UserZeichenPage::cmdCGclear_Click()
{
    m_pattern.clear();
    showPattern();
    m_changed = true;
}

void UserZeichenPage::cmdCGinvert_Click()
{
    m_pattern.invert();
    showPattern();
    m_changed = true;
}

void UserZeichenPage::CGLeftRight_Change(int value)
{
    if (value != 0)
        m_pattern.rotateRight();
    else
        m_pattern.rotateLeft();
    showPattern();
    m_changed = true;
}

void UserZeichenPage::CGUpDown_Change(int value)
{
    if (value != 0)
        m_pattern.rotateUp();
    else
        m_pattern.rotateDown();
    showPattern();
    m_changed = true;
}

void UserZeichenPage::ShowUserzeichen(int slot)
{
    if (slot < 0 || slot >= kSlots)
        return;
    m_slot = slot;
    {
        ControlsUpdatingGuard guard;
        m_slots[static_cast<size_t>(slot)]->setChecked(true);
    }
    m_pattern = UserCharPattern::fromRows(m_chars[static_cast<size_t>(slot)].rows);
    showPattern();
}

void UserZeichenPage::ShowUserZeichenTauschcodes()
{
    QString error;
    UserCharSet chars;
    if (!m_core.loadFromProject(chars, &error)) {
        ui().message(error, kProductName);
        return;
    }
    m_chars = chars;
    for (int k = 0; k < kSlots; ++k)
        setSwapText(k, m_chars[static_cast<size_t>(k)].Tauschzeichen);
}

void UserZeichenPage::ChangeUserzeichen(int slot)
{
    if (m_changed) {
        if (ui().ask(QStringLiteral("geändertes Zeichen in Projekt speichern ?"),
                     UserInterface::Buttons::YesNo, kProductName) == UserInterface::Answer::Yes)
            SaveUserzeichen(DataSide::Projekt);
        else // the edit is discarded: the swap box shows the stored character again
            setSwapText(m_slot, m_chars[static_cast<size_t>(m_slot)].Tauschzeichen);
    }
    m_changed = false;
    ShowUserzeichen(slot);
}

void UserZeichenPage::swapTextChanged(int k)
{
    if (globals().ControlsUpdating)
        return;
    ControlsUpdatingGuard guard;
    QLineEdit* box = m_swap[static_cast<size_t>(k)];
    const QString kept = UserCharPattern::swapCharKept(box->text());
    if (kept != box->text())
        box->setText(kept);
    m_swapCode[static_cast<size_t>(k)]->setText(UserCharPattern::swapCodeForChar(kept));
    swapEdited(k);
}

void UserZeichenPage::swapCodeChanged(int k)
{
    if (globals().ControlsUpdating)
        return;
    ControlsUpdatingGuard guard;
    QLineEdit* box = m_swapCode[static_cast<size_t>(k)];
    const qint64 raw = TextValueInt(box->text());
    const int v = UserCharPattern::swapCodeValue(box->text());
    if (raw < 0 || raw > 255)
        box->setText(QStringLiteral("0"));
    m_swap[static_cast<size_t>(k)]->setText(UserCharPattern::swapCharForCode(v));
    swapEdited(k);
}

void UserZeichenPage::swapEdited(int k)
{
    if (m_filling)
        return;
    // Typing into a slot's box selects that slot first; a box changed without that (dropped
    // text) is stored with its slot's stored pattern.
    if (k == m_slot)
        m_changed = true;
    else
        m_swapChanged[static_cast<size_t>(k)] = true;
}

void UserZeichenPage::setSwapText(int k, const QString& text)
{
    const bool filling = m_filling;
    m_filling = true;
    m_swap[static_cast<size_t>(k)]->setText(text); // the code box follows by the mirror
    m_filling = filling;
    m_swapChanged[static_cast<size_t>(k)] = false;
}

bool UserZeichenPage::changed() const
{
    return m_changed ||
           std::any_of(m_swapChanged.begin(), m_swapChanged.end(), [](bool c) { return c; });
}

EditMode UserZeichenPage::pageNumber() const
{
    return EditMode::Userzeichen;
}

QList<Page::Transfer> UserZeichenPage::transfers()
{
    return {
        {EditMode::Userzeichen, [this] { ReadUserzeichenfromRK(); }, [this] { sendToTerminal(); }}};
}

bool UserZeichenPage::SaveUserzeichen(DataSide Ziel)
{
    if (!checkDataSide(Ziel))
        return false;
    if (Ziel == DataSide::Projekt) {
        UserChar c;
        c.present = true;
        for (int r = 0; r < UserCharPattern::kRows; ++r)
            c.rows[static_cast<size_t>(r)] =
                static_cast<int>(TextValueInt(m_hex[static_cast<size_t>(r)]->text()));
        c.Tauschzeichen = m_swap[static_cast<size_t>(m_slot)]->text();
        QString error;
        if (!m_core.storeSlot(m_slot, c, &error)) {
            ui().message(error, kProductName);
            return false;
        }
        m_chars[static_cast<size_t>(m_slot)] = c;
        m_changed = false;
        m_swapChanged[static_cast<size_t>(m_slot)] = false;
        return true;
    }
    if (!m_vx)
        return false;
    QString error;
    UserCharSet chars;
    if (!m_core.loadFromProject(chars, &error)) {
        ui().message(error, kProductName);
        return false;
    }
    // The terminal object shows what went wrong; the reset runs in every case.
    return m_core.writeToTerminal(&error);
}

void UserZeichenPage::ReadUserzeichenfromRK()
{
    ui().message(QStringLiteral("noch nicht implementiert"), kProductName);
}

void UserZeichenPage::sendToTerminal()
{
    if (SaveUserzeichen(DataSide::Projekt))
        SaveUserzeichen(DataSide::Terminal);
}

void UserZeichenPage::loadFromProject()
{
    ShowUserZeichenTauschcodes();
    m_changed = false;
    ShowUserzeichen(m_slot);
}

bool UserZeichenPage::saveToProject(QString* error)
{
    for (int k = 0; k < kSlots; ++k) {
        const bool current = k == m_slot;
        if (!m_swapChanged[static_cast<size_t>(k)] && !(current && m_changed))
            continue;
        UserChar c = m_chars[static_cast<size_t>(k)];
        c.present = true;
        if (current)
            c.rows = m_pattern.rows();
        c.Tauschzeichen = m_swap[static_cast<size_t>(k)]->text();
        if (!m_core.storeSlot(k, c, error))
            return false;
        m_chars[static_cast<size_t>(k)] = c;
        m_swapChanged[static_cast<size_t>(k)] = false;
        if (current)
            m_changed = false;
    }
    return true;
}

void UserZeichenPage::cmdSaveUserzeichendirekt_Click()
{
    if (!m_vx)
        return;
    QByteArray command;
    QString error;
    if (!UserCharPattern::directLoadCommand(m_slot, m_swap[static_cast<size_t>(m_slot)]->text(),
                                            m_swapCode[static_cast<size_t>(m_slot)]->text(),
                                            m_pattern.rows(), m_vx->ParameterMode != 0, &command,
                                            &error)) {
        ui().message(error, kProductName);
        return;
    }
    globals().CommandBuffer = command;
    m_vx->Send(globals().CommandBuffer, false, true);
    if (m_showNow->isChecked() && m_vx) {
        globals().CommandBuffer = StringToAnsi(m_swap[static_cast<size_t>(m_slot)]->text());
        m_vx->Send(globals().CommandBuffer, false, true);
    }
}

} // namespace vemro
