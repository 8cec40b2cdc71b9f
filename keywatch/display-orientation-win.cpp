// Not built yet: display orientation arrives with the next piece of work. Until then the
// requests are routed here and do nothing.
#include "keywatch/display-orientation.h"

void ApplyOrientationBit() {}
void RotateDisplay(int) {}
void EnforceOrientationMask() {}
