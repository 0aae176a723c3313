#pragma once
#include <chrono>
#include <string>

namespace relaybird {

// "dd.mm.yyyy hh:mm:ss.zzz" in local time.
std::string FormatLogTimeStamp(std::chrono::system_clock::time_point Time);
// "yyyy_mm_dd" in local time.
std::string FormatLogFileDate(std::chrono::system_clock::time_point Time);

}  // namespace relaybird
