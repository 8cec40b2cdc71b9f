// The recording stand-in for slidecard.dll: adaptalert's tests put it beside a copy of
// adaptalert.exe, and each ShowToasterPopUp call appends one line to kSlidecardCallsLog:
//   "<title>\t<message>\t<icon path>\t<program path>"
#pragma once

namespace orvosim {

inline constexpr wchar_t kSlidecardCallsLog[] = L"C:\\OrvoSim\\slidecard-calls.log";

}  // namespace orvosim
