// The keyboard-control library padlink, linked at load time by ordinal only (1 start,
// 2 stop). Neither call takes arguments and keywatch uses no result of either.
#pragma once

extern "C" {
void PadlinkStart();  // ordinal 1
void PadlinkStop();   // ordinal 2
}
