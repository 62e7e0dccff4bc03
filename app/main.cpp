// vemro: the configuration and test program for Vobrix operator terminals.
#include "app/QtTranslations.h"
#include "app/QtUserInterface.h"
#include "app/StartupProbe.h"
#include "app/frmStart.h"
#include "app/frmhaupt.h"
#include "platform/UserInterface.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vemro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vemro"));
    (void)vemro::InstallQtTranslations(app);

    vemro::QtUserInterface ui;
    vemro::setUi(&ui);

    auto* start = new vemro::frmStart;
    start->setAttribute(Qt::WA_DeleteOnClose);
    start->show();

    std::unique_ptr<vemro::frmhaupt> main;
    int exitCode = 0;
    // Once the start window shows, load the main window; its initialisation reports
    // each step in the start window, which closes when the main window is ready.
    QTimer::singleShot(0, &app, [&] {
        start->setProgress(0);
        main = std::make_unique<vemro::frmhaupt>(start);
        ui.setParentWidget(main.get());
        if (!main->Init()) {
            exitCode = 1;
            QApplication::quit();
            return;
        }
        vemro::StartupProbe::attachIfAsked(main.get());
        main->show();
        if (start)
            start->close();
        // The window is usable at once; the terminal information follows.
        QTimer::singleShot(0, main.get(), &vemro::frmhaupt::readTerminalInfoAtStart);
    });
    const int code = app.exec();
    main.reset();
    vemro::setUi(nullptr);
    return exitCode != 0 ? exitCode : code;
}
