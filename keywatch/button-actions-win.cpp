// Not built yet: button actions arrive with the next piece of work. Until then a press is
// routed here and does nothing.
#include "keywatch/button-actions.h"

void RunButtonAction(int, std::uint32_t) {}
