#include "editors/BarePage.h"

#include "editors/PageHost.h"

namespace vemro {

void BarePage::pageShown()
{
    if (!host())
        return;
    host()->setEditMode(m_mode);
    if (!m_projectFrame)
        host()->setProjectFrameVisible(false);
}

} // namespace vemro
