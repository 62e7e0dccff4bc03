#include "editors/FesttextePage.h"

#include "commands/frmBefehle.h"
#include "config/FesttextFiles.h"
#include "config/FesttextPreview.h"
#include "config/FesttextTable.h"
#include "link/clsVX.h"
#include "platform/Globals.h"
#include "platform/LocalWait.h"
#include "platform/ProgressScope.h"
#include "platform/TextValue.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"
#include "project/Recordset.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace vemro {

namespace {

const QString kAskSave = QStringLiteral("Festtext wurde noch nicht gespeichert, jetzt speichern ?");
const QString kAskClearAll = QStringLiteral("Alle Festtexte löschen ?");
const QString kAskImport =
    QStringLiteral("Fest-Texte werden ab dem aktuell ausgewählten importiert und überschreiben "
                   "ggf. bereits vorhandenene Festtexte");
const QString kBadDisplaytyp = QStringLiteral("ungültiger Eintrag in Displayauswahlliste");
const QString kPreviewInit = QStringLiteral("1234567890123456789012345678901234567890\r\n");
constexpr int kImportProgressMax = 130;
// The preview box: 156 twips per column, 300 per row plus 30, at 15 twips per pixel.
constexpr double kColumnPx = 156.0 / 15.0;
constexpr int kRowPx = 300 / 15;
constexpr int kPreviewExtraPx = 30 / 15;

template <typename W> W* named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QString editorForm(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

} // namespace

FesttextePage::FesttextePage(clsVX* terminal, DataEnvironment& env, QWidget* parent)
    : QWidget(parent), m_vx(terminal), m_env(env), m_core(*terminal, env)
{
    setObjectName(QStringLiteral("FesttextePage"));
    m_txtNr = named(new QLineEdit(QStringLiteral("(bitte wählen)")), "txtFesttextNr");
    m_txtNr->setMaximumWidth(110);
    auto* upDown = named(new QWidget, "ctlFesttextNrUpDown");
    m_up = named(new QToolButton, "ctlFesttextNrUpDown_Up");
    m_up->setArrowType(Qt::UpArrow);
    m_down = named(new QToolButton, "ctlFesttextNrUpDown_Down");
    m_down->setArrowType(Qt::DownArrow);
    auto* ud = new QVBoxLayout(upDown);
    ud->setContentsMargins(0, 0, 0, 0);
    ud->setSpacing(0);
    ud->addWidget(m_up);
    ud->addWidget(m_down);
    m_autoincrement =
        named(new QCheckBox(QStringLiteral("auto-increment")), "ctlFesttextNrAutoincrement");
    m_cmdShow =
        named(new QPushButton(QStringLiteral("ausgewählten Festtext anzeigen")), "cmdShowFesttext");
    m_editor = named(new QTextEdit, "txtFesttext");
    m_editor->setAcceptRichText(false);
    m_cmdSave = named(new QPushButton(QStringLiteral("auf PC speichern")), "cmdSaveFesttextinDB");
    m_cmdBefehl =
        named(new QPushButton(QStringLiteral("Terminal-Befehl einfügen")), "cmdBefehlEinfuegen");
    m_cmdPreview =
        named(new QPushButton(QStringLiteral("Vorschau aktualisieren")), "cmdShowpreview");
    m_preview = named(new QPlainTextEdit(kPreviewInit), "txtFesttextVorschau");
    m_preview->setReadOnly(true);
    m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_preview->setFrameShape(QFrame::Box);
    m_preview->document()->setDocumentMargin(0);
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPixelSize(16);
    m_preview->setFont(courier);
    m_cmdClear = named(new QPushButton(QStringLiteral("löschen")), "cmdclearFesttext");
    m_deleteAll = named(new QCheckBox(QStringLiteral("alle")), "ctldeleteallFT");
    m_cmdImport = named(new QPushButton(QStringLiteral("importieren ...")), "cmdImportRKTexte");
    m_cmdExport = named(new QPushButton(QStringLiteral("exportieren...")), "cmdExportTexte");

    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(new QLabel(QStringLiteral("Festtext Nr. :")));
    numberRow->addWidget(m_txtNr);
    numberRow->addWidget(upDown);
    numberRow->addWidget(m_autoincrement);
    numberRow->addWidget(m_cmdShow);
    numberRow->addStretch(1);
    auto* editRow = new QHBoxLayout;
    editRow->addWidget(m_cmdSave);
    editRow->addWidget(m_cmdBefehl);
    editRow->addStretch(1);
    editRow->addWidget(m_cmdClear);
    editRow->addWidget(m_deleteAll);
    editRow->addSpacing(16);
    editRow->addWidget(m_cmdImport);
    editRow->addWidget(m_cmdExport);
    auto* right = new QVBoxLayout;
    right->addWidget(named(new QLabel(QStringLiteral("Vorschau")), "lblVorschau"));
    right->addWidget(
        named(new QLabel(QStringLiteral("nach Übertragung an Terminal :")), "lblVorschauTerminal"));
    right->addWidget(m_preview, 0, Qt::AlignLeft);
    right->addWidget(m_cmdPreview, 0, Qt::AlignLeft);
    right->addStretch(1);
    auto* middle = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(m_editor, 1);
    left->addLayout(editRow);
    middle->addLayout(left, 1);
    middle->addLayout(right);
    auto* note = named(new QLabel(QStringLiteral(
                           "Bitte bei der Erfassung der Texte beachten, dass ein Zeilenumbruch "
                           "automatisch erfolgt sobald die Spaltenanzahl des Displays erreicht "
                           "wird.")),
                       "lblHinweis");
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(numberRow);
    layout->addLayout(middle, 1);
    layout->addWidget(note);

    m_editor->installEventFilter(this);
    connect(m_txtNr, &QLineEdit::textChanged, this, &FesttextePage::txtFesttextNr_Change);
    connect(m_up, &QToolButton::clicked, this, &FesttextePage::ctlFesttextNrUpDown_UpClick);
    connect(m_down, &QToolButton::clicked, this, &FesttextePage::ctlFesttextNrUpDown_DownClick);
    connect(m_cmdShow, &QPushButton::clicked, this, &FesttextePage::cmdShowFesttext_Click);
    connect(m_cmdSave, &QPushButton::clicked, this, &FesttextePage::cmdSaveFesttextinDB_Click);
    connect(m_cmdPreview, &QPushButton::clicked, this, &FesttextePage::cmdShowpreview_Click);
    connect(m_cmdClear, &QPushButton::clicked, this, &FesttextePage::cmdclearFesttext_Click);
    connect(m_cmdImport, &QPushButton::clicked, this, &FesttextePage::cmdImportRKTexte_Click);
    connect(m_cmdExport, &QPushButton::clicked, this, &FesttextePage::cmdExportTexte_Click);
    connect(m_cmdBefehl, &QPushButton::clicked, this, &FesttextePage::cmdBefehlEinfuegen_Click);
    connect(m_editor, &QTextEdit::cursorPositionChanged, this, &FesttextePage::keepTypingPlain);
    connect(m_editor, &QTextEdit::textChanged, this, [this] {
        if (!m_loading && !globals().ControlsUpdating)
            m_unsaved = true;
    });
    if (m_vx) {
        connect(m_vx, &clsVX::festtexteLesenBeginnt, this, [this] { m_unsaved = false; });
        // The box follows the read without loading each number it shows: a read that does
        // not complete must not add rows.
        connect(m_vx, &clsVX::festtextGelesen, this, [this](int n) {
            const QSignalBlocker quiet(m_txtNr);
            m_txtNr->setText(QString::number(n));
        });
    }
    ResizeFesttextPreview(QStringLiteral("20x4"));
}

bool FesttextePage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor && event->type() == QEvent::FocusOut)
        txtFesttext_LostFocus();
    return QWidget::eventFilter(watched, event);
}

QString FesttextePage::plainText() const
{
    QString text = m_editor->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

int FesttextePage::boxNumber() const
{
    return static_cast<int>(
        qBound(qint64(-1), RoundHalfEven(TextValue(m_txtNr->text())), qint64(1000)));
}

QTextCharFormat FesttextePage::plainFormat()
{
    QTextCharFormat plain;
    plain.setForeground(Qt::black);
    plain.setFontWeight(QFont::Normal);
    return plain;
}

QTextCharFormat FesttextePage::commandFormat()
{
    QTextCharFormat command;
    command.setForeground(QColor(0, 128, 0)); // green of the basic 16-colour palette
    command.setFontWeight(QFont::Bold);
    return command;
}

void FesttextePage::setPlainStyle()
{
    m_editor->setCurrentCharFormat(plainFormat());
}

void FesttextePage::setCommandStyle()
{
    m_editor->setCurrentCharFormat(commandFormat());
}

void FesttextePage::keepTypingPlain()
{
    // Typing next to a command would take the command's style from the character before the
    // caret; what the user types is always plain.
    if (!m_inserting && !m_editor->textCursor().hasSelection())
        setPlainStyle();
}

void FesttextePage::applyStyles()
{
    // The style follows the text: embedded commands ("{<ESC>" to the next "}") in the
    // command style, everything else plain, whatever style the stored content carried.
    const QString text = m_editor->toPlainText();
    QTextDocument* doc = m_editor->document();
    // Part of loading, not an edit the user could undo.
    doc->setUndoRedoEnabled(false);
    QTextCursor c(doc);
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.mergeCharFormat(plainFormat());
    for (qsizetype a = text.indexOf(QStringLiteral("{<ESC>")); a >= 0;
         a = text.indexOf(QStringLiteral("{<ESC>"), a + 1)) {
        const qsizetype close = text.indexOf(QLatin1Char('}'), a);
        if (close < 0)
            break;
        c.setPosition(static_cast<int>(a));
        c.setPosition(static_cast<int>(close + 1), QTextCursor::KeepAnchor);
        c.mergeCharFormat(commandFormat());
        a = close;
    }
    c.endEditBlock();
    doc->setUndoRedoEnabled(true);
}

void FesttextePage::loadIntoEditor(const QString& text, const QString& rtf)
{
    m_loading = true;
    const QString plain = editorForm(text);
    // A plain text takes the insertion style of the caret: start from plain.
    setPlainStyle();
    // Our own rich text wins when it holds the same text; plain text or another program's
    // rich text shows as the plain text.
    if (IsFesttextRichText(rtf)) {
        m_editor->setHtml(rtf);
        if (m_editor->toPlainText() != plain)
            m_editor->setPlainText(plain);
    } else {
        m_editor->setPlainText(plain);
    }
    applyStyles();
    QTextCursor end = m_editor->textCursor();
    end.movePosition(QTextCursor::End);
    m_editor->setTextCursor(end);
    setPlainStyle();
    m_loading = false;
}

void FesttextePage::ShowFesttext(int n)
{
    FesttextTable table(m_env);
    QString error;
    if (!table.select(n, &error)) {
        ui().message(error, kProductName);
        return;
    }
    Recordset* rs = table.recordset(&error);
    m_current = n;
    loadIntoEditor(rs->value(QStringLiteral("text")).toString(),
                   rs->value(QStringLiteral("TextRTF")).toString());
    ShowFesttextvorschau();
    m_unsaved = false;
}

void FesttextePage::ShowFesttextvorschau()
{
    const int cols = m_vx ? m_vx->Cols : 20;
    const int rows = m_vx ? m_vx->Rows : 4;
    const auto preview = FesttextVorschau(m_editor->toPlainText(), cols, rows);
    if (preview)
        m_preview->setPlainText(FesttextVorschauText(*preview));
}

void FesttextePage::ResizeFesttextPreview(const QString& displaytyp)
{
    int cols = 0;
    int rows = 0;
    if (!ParseDisplaytyp(displaytyp, &cols, &rows)) {
        ui().message(kBadDisplaytyp, kProductName);
    } else if (m_vx) {
        m_vx->Cols = static_cast<qint16>(cols);
        m_vx->Rows = static_cast<qint16>(rows);
    }
    const int c = m_vx ? m_vx->Cols : cols;
    const int r = m_vx ? m_vx->Rows : rows;
    m_preview->setFixedSize(static_cast<int>(c * kColumnPx + 0.5) + kPreviewExtraPx,
                            r * kRowPx + kPreviewExtraPx);
}

void FesttextePage::pageShown()
{
    if (m_env.recordset(QStringLiteral("cmdFesttexte")).isOpen())
        return;
    projectLoaded();
}

void FesttextePage::projectLoaded()
{
    QString error;
    if (!m_env.isOpen(DataEnvironment::kProjekt) ||
        !m_env.ensureOpen(QStringLiteral("cmdFesttexte"), &error))
        return;
    ShowFesttext(0);
    m_unsaved = false;
}

bool FesttextePage::storeEditor(QString* error)
{
    FesttextTable table(m_env);
    QString text = plainText();
    // The editor makes every line break CR LF: a text it shows unchanged keeps its stored
    // form, so a lone CR or LF read from the terminal goes back as it came.
    if (table.select(m_current, nullptr)) {
        if (Recordset* rs = table.recordset(nullptr)) {
            const QString stored = rs->value(QStringLiteral("text")).toString();
            if (editorForm(stored) == m_editor->toPlainText())
                text = stored;
        }
    }
    return table.store(m_current, text, m_editor->toHtml(), error);
}

bool FesttextePage::saveToProject(QString* error)
{
    if (!m_unsaved || !m_env.recordset(QStringLiteral("cmdFesttexte")).isOpen())
        return true;
    if (!storeEditor(error))
        return false;
    m_unsaved = false;
    return true;
}

void FesttextePage::txtFesttextNr_Change()
{
    if (m_txtNr->text().size() != 3)
        return;
    const int n = boxNumber();
    if (n < 0 || n > 127)
        return; // the terminal has no such number
    m_txtNr->setEnabled(false);
    m_up->setEnabled(false);
    m_down->setEnabled(false);
    QPointer<FesttextePage> self(this);
    if (m_unsaved && ui().ask(kAskSave, UserInterface::Buttons::YesNo, kProductName) ==
                         UserInterface::Answer::Yes) {
        QString error;
        if (self && !storeEditor(&error))
            ui().message(error, kProductName);
    }
    if (!self)
        return;
    ShowFesttext(n);
    m_txtNr->setEnabled(true);
    m_up->setEnabled(true);
    m_down->setEnabled(true);
    m_unsaved = false;
}

void FesttextePage::ctlFesttextNrUpDown_UpClick()
{
    const int n = qMax(0, boxNumber());
    m_txtNr->setText(n < 127 ? QStringLiteral("%1").arg(n + 1, 3, 10, QLatin1Char('0'))
                             : QStringLiteral("000"));
}

void FesttextePage::ctlFesttextNrUpDown_DownClick()
{
    const int n = qMax(0, boxNumber());
    m_txtNr->setText(n > 0 && n <= 127 ? QStringLiteral("%1").arg(n - 1, 3, 10, QLatin1Char('0'))
                                       : QStringLiteral("127"));
}

void FesttextePage::cmdShowFesttext_Click()
{
    if (m_autoincrement->isChecked())
        ctlFesttextNrUpDown_UpClick();
    if (m_vx)
        m_vx->ShowFesttext(qBound(0, boxNumber(), 127));
}

void FesttextePage::cmdSaveFesttextinDB_Click()
{
    QString error;
    if (!storeEditor(&error)) {
        ui().message(error, kProductName);
        return;
    }
    m_unsaved = false;
    ShowFesttextvorschau();
}

void FesttextePage::txtFesttext_LostFocus()
{
    if (m_loading || !m_env.isOpen(DataEnvironment::kProjekt))
        return;
    QString error;
    if (!storeEditor(&error))
        ui().message(error, kProductName);
}

void FesttextePage::cmdclearFesttext_Click()
{
    QString error;
    if (m_deleteAll->isChecked()) {
        // Enter must not clear the whole table: "Nein" is preselected.
        if (ui().ask(kAskClearAll, UserInterface::Buttons::YesNo, kProductName,
                     UserInterface::Answer::No) == UserInterface::Answer::Yes) {
            if (!FesttextTable(m_env).clearAll(&error))
                ui().message(error, kProductName);
            m_unsaved = false;
            ShowFesttext(0);
        }
        m_txtNr->setText(QStringLiteral("000"));
    } else if (!storeEditor(&error)) {
        ui().message(error, kProductName);
    }
    m_editor->clear();
    setPlainStyle();
}

void FesttextePage::cmdImportRKTexte_Click()
{
    if (ui().ask(kAskImport, UserInterface::Buttons::OkCancel, kProductName) !=
        UserInterface::Answer::Ok)
        return;
    m_cmdImport->setEnabled(false);
    ui().setBusy(true);
    QPointer<FesttextePage> self(this);
    const QString file =
        ui().openFileName(QStringLiteral("RK-Festtextdatei öffnen"), globals().Projektverzeichnis,
                          QStringLiteral("RK Festtextdateien (*.txt);;VX Festtextdateien (*.txt)"));
    if (!self)
        return;
    if (!file.isEmpty()) {
        ProgressScope progress(m_progress, kImportProgressMax);
        QList<FesttextTable::Entry> existing;
        (void)FesttextTable(m_env).entries(existing, nullptr);
        const int start = existing.isEmpty() ? 0 : m_current;
        int count = 0;
        QString error;
        if (!m_core.importFile(file, start, m_vx ? m_vx->Rows : 4, m_vx ? m_vx->Cols : 20, &count,
                               &error))
            ui().message(error.isEmpty() ? QStringLiteral("Festtexte nicht importiert") : error,
                         kProductName);
        for (int i = 0; i < count; ++i)
            progress.step();
        if (!self)
            return;
        m_unsaved = false;
        ShowFesttext(0);
        m_txtNr->setText(QStringLiteral("000"));
    }
    m_cmdImport->setEnabled(true);
    ui().setBusy(false);
}

void FesttextePage::cmdExportTexte_Click()
{
    m_cmdExport->setEnabled(false);
    ui().setBusy(true);
    QPointer<FesttextePage> self(this);
    QString file = ui().saveFileName(QStringLiteral("VX-Festtextdatei exportieren"),
                                     globals().Projektverzeichnis,
                                     QStringLiteral("VX Festtextdateien (*.txt)"));
    if (!self)
        return;
    if (!file.isEmpty()) {
        if (!file.contains(QLatin1Char('.')))
            file += QStringLiteral(".txt");
        ProgressScope progress(m_progress, kImportProgressMax);
        QString error;
        if (m_unsaved && !storeEditor(&error)) {
            ui().message(error, kProductName);
        } else {
            m_unsaved = false;
            int count = 0;
            if (!m_core.exportFile(file, &count, &error))
                ui().message(error, kProductName);
            for (int i = 0; i < count; ++i)
                progress.step();
        }
    }
    m_cmdExport->setEnabled(true);
    ui().setBusy(false);
}

void FesttextePage::cmdBefehlEinfuegen_Click()
{
    if (!m_dialog)
        m_dialog = frmBefehle::shared(m_env, window());
    QPointer<FesttextePage> self(this);
    m_dialog->setCreatemode(m_vx ? m_vx->ParameterMode : 1);
    setCommandStyle();
    const QString befehl = m_dialog->GetBefehl();
    if (!self)
        return;
    if (!befehl.isEmpty()) {
        QTextCursor caret = m_editor->textCursor();
        m_inserting = true;
        caret.insertText(QLatin1Char('{') + befehl + QLatin1Char('}'), commandFormat());
        m_inserting = false;
        m_editor->setTextCursor(caret);
    }
    setPlainStyle();
    // Back to typing at the caret: Enter must not open the builder again.
    m_editor->setFocus(Qt::OtherFocusReason);
}

QList<Page::Transfer> FesttextePage::transfers()
{
    return {{EditMode::Festtexte, [this] { readFromTerminal(); }, [this] { sendToTerminal(); }}};
}

void FesttextePage::readFromTerminal()
{
    if (!m_vx)
        return;
    QPointer<FesttextePage> self(this);
    // What the editor holds: a read that stores nothing (refused, no answer, broken off)
    // gives it back, unsaved text included, instead of the table's older text.
    const int current = m_current;
    const QString number = m_txtNr->text();
    const QString html = m_editor->toHtml();
    const bool unsaved = m_unsaved;
    const bool stored = m_core.readFromTerminal();
    if (!self)
        return;
    if (!stored) {
        m_loading = true;
        {
            const QSignalBlocker quiet(m_txtNr);
            m_txtNr->setText(number);
        }
        m_current = current;
        if (m_editor->toHtml() != html)
            m_editor->setHtml(html);
        m_loading = false;
        m_unsaved = unsaved;
        return;
    }
    if (m_env.recordset(QStringLiteral("cmdFesttexte")).isOpen()) {
        ShowFesttext(m_current);
        const QSignalBlocker quiet(m_txtNr);
        m_txtNr->setText(QStringLiteral("%1").arg(m_current, 3, 10, QLatin1Char('0')));
    }
}

void FesttextePage::sendToTerminal()
{
    if (!m_vx)
        return;
    m_txtNr->setText(QStringLiteral("000"));
    (void)m_core.writeToTerminal();
}

} // namespace vemro
