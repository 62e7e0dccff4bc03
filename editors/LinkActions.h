#pragma once

#include <functional>

class QComboBox;
class QPushButton;
class QString;

namespace vemro {

class ComPort;
class clsVX;

// "suchen" (cmdConnect): the button stays disabled while the search runs.
bool cmdConnect_Click(clsVX& terminal, QPushButton* cmdConnect);

// "neu prüfen" (ctlCheckComPOrts) and start-up: probes the ports and fills cboComPort,
// cboSpeed and cboComSpeedProg (each may be null); `detail` gets the start window's line.
void FillComCombos(ComPort& port, QComboBox* cboComPort, QComboBox* cboSpeed,
                   QComboBox* cboComSpeedProg,
                   const std::function<void(const QString&)>& detail = {});

} // namespace vemro
