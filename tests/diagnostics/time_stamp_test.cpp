#include "diagnostics/time_stamp.h"

#include <gtest/gtest.h>

#include "local_time.h"

namespace relaybird {
namespace {

using test::LocalTime;

struct TStampCase {
  std::chrono::system_clock::time_point Time;
  const char* Stamp;
  const char* FileDate;
};

TEST(TimeStamp, FormatsLocalTimeWithZeroPaddedFields) {
  const TStampCase Cases[] = {
      {LocalTime(2011, 5, 3, 9, 7, 5, 42), "03.05.2011 09:07:05.042", "2011_05_03"},
      {LocalTime(1999, 12, 31, 23, 59, 59, 999), "31.12.1999 23:59:59.999", "1999_12_31"},
      {LocalTime(2024, 2, 29, 0, 0, 0, 0), "29.02.2024 00:00:00.000", "2024_02_29"},
      {LocalTime(2038, 1, 19, 14, 30, 8, 7), "19.01.2038 14:30:08.007", "2038_01_19"},
      // Before the epoch the milliseconds still count up from the second.
      {LocalTime(1969, 12, 31, 23, 59, 59, 500), "31.12.1969 23:59:59.500", "1969_12_31"},
  };
  for (const TStampCase& Case : Cases) {
    EXPECT_EQ(FormatLogTimeStamp(Case.Time), Case.Stamp);
    EXPECT_EQ(FormatLogFileDate(Case.Time), Case.FileDate);
  }
}

TEST(TimeStamp, DropsTimeBelowOneMillisecond) {
  const auto Time = LocalTime(2011, 5, 3, 23, 59, 59, 999) + std::chrono::microseconds(999);
  EXPECT_EQ(FormatLogTimeStamp(Time), "03.05.2011 23:59:59.999");
  EXPECT_EQ(FormatLogFileDate(Time), "2011_05_03");
}

}  // namespace
}  // namespace relaybird
