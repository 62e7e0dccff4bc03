#pragma once

#include "project/BefehlComposer.h"
#include "project/Befehlskatalog.h"

#include <QDialog>
#include <QList>

class QAbstractButton;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace vemro {

class DataEnvironment;

// "Befehle einfügen": the modal command builder. The tree lists the catalogue's groups and
// commands; choosing a command builds one row of controls per parameter; OK checks the
// numbers and composes the command (BefehlComposer), Cancel returns nothing.
class frmBefehle : public QDialog
{
    Q_OBJECT
public:
    explicit frmBefehle(DataEnvironment& env, QWidget* parent = nullptr);
    // The one dialog of the window, loaded on first use and kept (the fixed-text editor and
    // the console share it).
    [[nodiscard]] static frmBefehle* shared(DataEnvironment& env, QWidget* parent);

    // Parameter form of the next composition: 1 decimal text, 0 bytes.
    void setCreatemode(int mode) { m_createmode = mode; }
    [[nodiscard]] int Createmode() const { return m_createmode; }
    // Shows the dialog modally (the catalogue read again from the open project); the
    // composed command, or "" after Cancel.
    [[nodiscard]] QString GetBefehl();
    [[nodiscard]] QString result_() const { return m_result; }

    [[nodiscard]] QTreeWidget* ctlBefehlsliste() const { return m_tree; }
    [[nodiscard]] QPushButton* OKButton() const { return m_ok; }
    [[nodiscard]] QPushButton* CancelButton() const { return m_cancel; }
    // The controls of parameter row `index` (1-based), nullptr where the row has none.
    [[nodiscard]] QWidget* parameterControl(int index) const;
    [[nodiscard]] QLabel* parameterLabel(int index) const;

    // Reads the catalogue again (after another project was opened).
    void FillTreeview();
    // Chooses the tree node with this key ("G" + ID or "B" + ID), as a click does.
    bool selectNode(const QString& key);
    void OKButton_Click();
    void CancelButton_Click();

private:
    struct Row
    {
        QLabel* label = nullptr;
        QWidget* control = nullptr;
    };

    void nodeClicked(QTreeWidgetItem* item);
    void nodeDoubleClicked(QTreeWidgetItem* item);
    void CreateParametercontrols();
    void HideallParametercontrols();
    [[nodiscard]] QList<ParameterEingabe> entries() const;
    [[nodiscard]] bool CheckParameter();

    DataEnvironment& m_env;
    QList<Befehlsgruppe> m_groups;
    const Befehl* m_befehl = nullptr;
    int m_createmode = 1;
    QString m_result;
    QTreeWidget* m_tree;
    QWidget* m_rowsWidget;
    QGridLayout* m_rows;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QList<Row> m_controls;
    QObject* m_choices = nullptr; // the exclusive group of the option buttons
};

} // namespace vemro
