#include "editors/LinkActions.h"

#include "link/PortProbe.h"
#include "link/clsVX.h"
#include "platform/Globals.h"

#include <QComboBox>
#include <QPointer>
#include <QPushButton>

namespace vemro {

bool cmdConnect_Click(clsVX& terminal, QPushButton* cmdConnect)
{
    QPointer<QPushButton> button(cmdConnect);
    if (button)
        button->setEnabled(false);
    const bool found = terminal.Suchen();
    if (button)
        button->setEnabled(true);
    return found;
}

void FillComCombos(ComPort& port, QComboBox* cboComPort, QComboBox* cboSpeed,
                   QComboBox* cboComSpeedProg, const std::function<void(const QString&)>& detail)
{
    const ComCombos combos = FillComCombos(port, detail);
    ControlsUpdatingGuard quiet;
    for (QComboBox* box : {cboSpeed, cboComSpeedProg}) {
        if (!box)
            continue;
        box->clear();
        box->addItems(combos.speeds);
    }
    if (cboComPort) {
        cboComPort->clear();
        cboComPort->addItems(combos.ports);
    }
}

} // namespace vemro
