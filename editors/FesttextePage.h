#pragma once

#include "commands/frmBefehle.h"
#include "config/FesttexteCore.h"
#include "editors/EditMode.h"
#include "editors/Page.h"

#include <QPointer>
#include <QTextCharFormat>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;
class QToolButton;

namespace vemro {

class DataEnvironment;
class ProgressIndicator;
class clsVX;

// Page 5 "Festtexte": one fixed text at a time in a rich-text editor, its preview as the
// display shows it, number selection, import, export, showing and clearing. The texts live
// in table Festtexte (FesttextTable); the transfer to and from the terminal is clsVX's.
class FesttextePage : public QWidget, public Page
{
    Q_OBJECT
public:
    // Saved after the terminal settings: an unsaved editor text goes into the table.
    static constexpr int kSaveRank = ProjectOrder::kSaveKonfiguration + 5;

    FesttextePage(clsVX* terminal, DataEnvironment& env, QWidget* parent = nullptr);

    void setProgress(ProgressIndicator* progress) { m_progress = progress; }
    // The command builder shared with the console (created on first use when not set).
    void setBefehlsDialog(frmBefehle* dialog) { m_dialog = dialog; }

    [[nodiscard]] QLineEdit* txtFesttextNr() const { return m_txtNr; }
    [[nodiscard]] QToolButton* ctlFesttextNrUp() const { return m_up; }
    [[nodiscard]] QToolButton* ctlFesttextNrDown() const { return m_down; }
    [[nodiscard]] QCheckBox* ctlFesttextNrAutoincrement() const { return m_autoincrement; }
    [[nodiscard]] QPushButton* cmdShowFesttext() const { return m_cmdShow; }
    [[nodiscard]] QTextEdit* txtFesttext() const { return m_editor; }
    [[nodiscard]] QPushButton* cmdSaveFesttextinDB() const { return m_cmdSave; }
    [[nodiscard]] QPushButton* cmdShowpreview() const { return m_cmdPreview; }
    [[nodiscard]] QPlainTextEdit* txtFesttextVorschau() const { return m_preview; }
    [[nodiscard]] QPushButton* cmdclearFesttext() const { return m_cmdClear; }
    [[nodiscard]] QCheckBox* ctldeleteallFT() const { return m_deleteAll; }
    [[nodiscard]] QPushButton* cmdImportRKTexte() const { return m_cmdImport; }
    [[nodiscard]] QPushButton* cmdExportTexte() const { return m_cmdExport; }
    [[nodiscard]] QPushButton* cmdBefehlEinfuegen() const { return m_cmdBefehl; }

    [[nodiscard]] bool unsaved() const { return m_unsaved; }
    void clearUnsaved() { m_unsaved = false; }
    [[nodiscard]] int currentNumber() const { return m_current; }
    // The editor's plain text as stored: line breaks as CR LF.
    [[nodiscard]] QString plainText() const;

    void ShowFesttext(int n);
    void ShowFesttextvorschau();
    // Geometry from a display type text such as "16x2".
    void ResizeFesttextPreview(const QString& displaytyp);
    // Page
    [[nodiscard]] EditMode pageNumber() const override { return EditMode::Festtexte; }
    [[nodiscard]] QList<Transfer> transfers() override;
    // The page is shown: open the texts on first use.
    void pageShown() override;
    [[nodiscard]] int saveRank() const override { return kSaveRank; }
    // Project saved: an unsaved editor goes into the table first.
    [[nodiscard]] bool saveToProject(QString* error) override;
    // Project opened: the recordset is new, show text 0.
    void projectLoaded();
    // "vom Terminal lesen" / "an Terminal senden" in edit mode 5.
    void readFromTerminal();
    void sendToTerminal();

public slots:
    void txtFesttextNr_Change();
    void ctlFesttextNrUpDown_UpClick();
    void ctlFesttextNrUpDown_DownClick();
    void cmdShowFesttext_Click();
    void cmdShowpreview_Click() { ShowFesttextvorschau(); }
    void cmdSaveFesttextinDB_Click();
    void txtFesttext_LostFocus();
    void cmdclearFesttext_Click();
    void cmdImportRKTexte_Click();
    void cmdExportTexte_Click();
    void cmdBefehlEinfuegen_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] int boxNumber() const;
    [[nodiscard]] bool storeEditor(QString* error);
    [[nodiscard]] static QTextCharFormat plainFormat();
    [[nodiscard]] static QTextCharFormat commandFormat();
    void setPlainStyle();
    void setCommandStyle();
    void keepTypingPlain();
    void applyStyles();
    void loadIntoEditor(const QString& text, const QString& rtf);

    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
    FesttexteCore m_core;
    ProgressIndicator* m_progress = nullptr;
    QPointer<frmBefehle> m_dialog;
    bool m_unsaved = false;
    bool m_loading = false;
    bool m_inserting = false;
    int m_current = 0;

    QLineEdit* m_txtNr;
    QToolButton* m_up;
    QToolButton* m_down;
    QCheckBox* m_autoincrement;
    QPushButton* m_cmdShow;
    QTextEdit* m_editor;
    QPushButton* m_cmdSave;
    QPushButton* m_cmdPreview;
    QPlainTextEdit* m_preview;
    QPushButton* m_cmdClear;
    QCheckBox* m_deleteAll;
    QPushButton* m_cmdImport;
    QPushButton* m_cmdExport;
    QPushButton* m_cmdBefehl;
};

} // namespace vemro
