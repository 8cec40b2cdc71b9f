// Button and hotkey actions: the Event tree lookup, the default tree, the keyboard toggle
// and program starts. Runs on the message window's thread.
#pragma once

#include <cstdint>

// kind 1 = bezel button (WM_KEYWATCH wparam 2), 2 = hotkey (wparam 3); number 0..65535.
void RunButtonAction(int kind, std::uint32_t number);
