// Saves a picture of every page of the main window (vemro-shoot OUTDIR [PROJECT [WxH]]).
#include "app/frmhaupt.h"
#include "editors/ProjektPage.h"
#include "editors/SelectComboEntry.h"
#include "platform/LocalWait.h"
#include "platform/ScriptedUserInterface.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTabBar>
#include <QTabWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    vemro::ScriptedUserInterface ui;
    vemro::setUi(&ui);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    int code = 0;
    {
        vemro::frmhaupt window;
        if (!window.Init())
            return 1;
        if (argc > 2)
            (void)vemro::SelectComboEntry(window.projektPage()->cboProjekte(),
                                          QString::fromLocal8Bit(argv[2]), true);
        // Optional size "WxH" (default: a 1366x768 screen).
        QSize size(1366, 740);
        if (argc > 3) {
            const QStringList wh = QString::fromLocal8Bit(argv[3]).split(QLatin1Char('x'));
            if (wh.size() == 2)
                size = QSize(wh.at(0).toInt(), wh.at(1).toInt());
        }
        window.resize(size);
        window.show();
        for (int i = 0; i < window.ctlRegister()->count(); ++i) {
            window.ctlRegister()->setCurrentIndex(i);
            const int nr = window.ctlRegister()->tabData(i).toInt();
            vemro::PauseMS(50);
            if (!window.grab().save(out + QStringLiteral("/page%1.png").arg(nr)))
                code = 1;
            if (nr == 1) {
                auto* sub =
                    window.findChild<QTabWidget*>(QStringLiteral("ctlRegisterSchnittstelle"));
                sub->setCurrentIndex(1);
                vemro::PauseMS(50);
                (void)window.grab().save(out + QStringLiteral("/page1_netz.png"));
                sub->setCurrentIndex(0);
            }
        }
        for (const QString& t : ui.texts())
            qWarning("%s", qPrintable(t));
    }
    vemro::setUi(nullptr);
    return code;
}
