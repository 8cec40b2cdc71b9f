// Display orientation control: firmware event 1, the four rotation requests and display
// changes. Runs on the message window's thread.
#pragma once

void ApplyOrientationBit();          // firmware event 1
void RotateDisplay(int target);      // target orientation 0..3 (DMDO_DEFAULT..DMDO_270)
void EnforceOrientationMask();       // WM_DISPLAYCHANGE
