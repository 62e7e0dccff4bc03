#include "platform/Globals.h"

namespace vemro {

Globals& globals()
{
    static Globals g;
    return g;
}

} // namespace vemro
