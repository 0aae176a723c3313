#include "diagnostics/time_stamp.h"

#include <cstdio>
#include <ctime>

namespace relaybird {

namespace {

struct TLocalTime {
  std::tm Fields{};
  int Milliseconds = 0;
};

TLocalTime ToLocalTime(std::chrono::system_clock::time_point Time) {
  // floor keeps the milliseconds in 0..999 for instants before the epoch too
  const auto Seconds = std::chrono::floor<std::chrono::seconds>(Time);
  TLocalTime Result;
  Result.Milliseconds = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Time - Seconds).count());
  const std::time_t Raw = std::chrono::system_clock::to_time_t(Seconds);
  localtime_r(&Raw, &Result.Fields);
  return Result;
}

}  // namespace

std::string FormatLogTimeStamp(std::chrono::system_clock::time_point Time) {
  const TLocalTime T = ToLocalTime(Time);
  char Buffer[64];
  std::snprintf(Buffer, sizeof Buffer, "%02d.%02d.%04d %02d:%02d:%02d.%03d", T.Fields.tm_mday,
                T.Fields.tm_mon + 1, T.Fields.tm_year + 1900, T.Fields.tm_hour, T.Fields.tm_min,
                T.Fields.tm_sec, T.Milliseconds);
  return Buffer;
}

std::string FormatLogFileDate(std::chrono::system_clock::time_point Time) {
  const TLocalTime T = ToLocalTime(Time);
  char Buffer[32];
  std::snprintf(Buffer, sizeof Buffer, "%04d_%02d_%02d", T.Fields.tm_year + 1900,
                T.Fields.tm_mon + 1, T.Fields.tm_mday);
  return Buffer;
}

}  // namespace relaybird
