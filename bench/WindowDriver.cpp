// vemro-window-bench: one transfer of the main window, started by the window's own button,
// for the benchmarks of the window (bench/benchmarks.txt rows "window ..."). Runs offscreen
// on the program folder of --home, opens the project, chooses the page, clicks and exits
// when the transfer has ended: 0 when it reported no failure.
//
//   vemro-window-bench --home DIR texts-write|keys-write|chars-write|verify NAME
//   vemro-window-bench --home DIR firmware-update NAME FILE
#include "app/frmhaupt.h"
#include "editors/ProjektPage.h"
#include "editors/SelectComboEntry.h"
#include "editors/frmVerify.h"
#include "link/ComPort.h"
#include "platform/UserInterface.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>

#include <cstdio>

namespace {

using vemro::UserInterface;

// Yes to every question, the given file for the file dialog; messages are printed.
class BenchUi : public UserInterface
{
public:
    explicit BenchUi(QString file) : m_file(std::move(file)) {}
    void message(const QString& text, const QString&) override
    {
        std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData());
        m_messages << text;
    }
    Answer ask(const QString&, Buttons b, const QString&, std::optional<Answer>) override
    {
        return b == Buttons::Ok || b == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    std::optional<QString> input(const QString&, const QString&, const QString& d) override
    {
        return d;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return m_file; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    void setBusy(bool) override {}
    bool openDocument(const QString&) override { return false; }
    [[nodiscard]] const QStringList& messages() const { return m_messages; }

private:
    QString m_file;
    QStringList m_messages;
};

bool failureShown(const QStringList& messages)
{
    for (const QString& m : messages)
        if (m.contains(QLatin1String("Fehler")) || m.contains(QLatin1String("Verbindung")) ||
            m.contains(QLatin1String("nicht")))
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() >= 2 && args.first() == QLatin1String("--home")) {
        qputenv("VEMRO_HOME", args.at(1).toLocal8Bit());
        args = args.mid(2);
    }
    const QString action = args.value(0);
    const QString project = args.value(1);
    if (project.isEmpty() || (action == QLatin1String("firmware-update") && args.size() != 3)) {
        std::fprintf(stderr, "Aufruf: vemro-window-bench --home DIR AKTION PROJEKT [DATEI]\n");
        return 2;
    }
    BenchUi ui(args.value(2));
    vemro::setUi(&ui);
    int code = 1;
    {
        vemro::frmhaupt window;
        if (!window.Init())
            return 1;
        window.ctlcom()->setCommPort(1);
        (void)vemro::SelectComboEntry(window.projektPage()->cboProjekte(), project, true);
        const auto button = [&window](const char* name) {
            return window.findChild<QPushButton*>(QLatin1String(name));
        };
        if (action == QLatin1String("texts-write")) {
            window.showPage(5);
            button("cmdSaveinTerminal")->click();
            code = failureShown(ui.messages()) ? 1 : 0;
        } else if (action == QLatin1String("keys-write")) {
            window.showPage(3);
            window.findChild<QTabWidget*>(QStringLiteral("ctlRegisterTastatur"))
                ->setCurrentIndex(1);
            button("cmdSaveinTerminal")->click();
            code = failureShown(ui.messages()) ? 1 : 0;
        } else if (action == QLatin1String("chars-write")) {
            window.showPage(6);
            button("cmdSaveinTerminal")->click();
            code = failureShown(ui.messages()) ? 1 : 0;
        } else if (action == QLatin1String("firmware-update")) {
            window.showPage(4);
            button("cmdFirmwareupdate")->click();
            code = ui.messages().contains(QStringLiteral("   Firmwareupdate abgeschlossen      "))
                       ? 0
                       : 1;
        } else if (action == QLatin1String("verify")) {
            window.findChild<QAction*>(QStringLiteral("mnuTerminalVergleichen"))->trigger();
            auto* dialog = window.findChild<vemro::frmVerify*>();
            code = dialog && !dialog->result().areas.isEmpty() && dialog->result().equal() ? 0 : 1;
            if (dialog)
                for (const QString& line : dialog->result().lines())
                    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
        } else {
            std::fprintf(stderr, "unbekannte Aktion %s\n", action.toLocal8Bit().constData());
            code = 2;
        }
        std::fflush(stdout);
    }
    vemro::setUi(nullptr);
    return code;
}
