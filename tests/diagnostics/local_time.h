#pragma once
// Instants given as local calendar time, so expectations hold in any zone.
#include <chrono>
#include <ctime>
#include <regex>
#include <string>

namespace relaybird::test {

inline std::chrono::system_clock::time_point LocalTime(int Year, int Month, int Day, int Hour,
                                                       int Minute, int Second, int Millisecond) {
  std::tm Fields{};
  Fields.tm_year = Year - 1900;
  Fields.tm_mon = Month - 1;
  Fields.tm_mday = Day;
  Fields.tm_hour = Hour;
  Fields.tm_min = Minute;
  Fields.tm_sec = Second;
  Fields.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&Fields)) +
         std::chrono::milliseconds(Millisecond);
}

// Every "[dd.mm.yyyy hh:mm:ss.zzz]" becomes "[STAMP]", for texts written at
// the real time.
inline std::string MaskTimeStamps(const std::string& Text) {
  static const std::regex Stamp(R"(\[\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d\.\d{3}\])");
  return std::regex_replace(Text, Stamp, "[STAMP]");
}

}  // namespace relaybird::test
