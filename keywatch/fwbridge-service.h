// Service control of fwbridge: whether it runs, and delivery of one control code. Each call
// opens and closes its own manager and service handles.
#pragma once

#include <cstdint>

#include "keywatch/creation-sequence.h"

ServiceProbe ProbeFwbridge();
// True only when fwbridge was running and ControlService accepted the code.
bool DeliverFwbridgeCode(std::uint32_t code);
