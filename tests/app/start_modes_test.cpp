#include "app/start_modes.h"

#include <gtest/gtest.h>

namespace relaybird {
namespace {

struct TModesCase {
  std::vector<std::string> Args;
  bool Config;
  bool Monitor;
};

TEST(StartModes, SwitchWordsMatchWholeArgumentsInAnyCase) {
  const TModesCase Cases[] = {
      {{}, false, false},
      {{"/CONFIG"}, true, false},
      {{"-config"}, true, false},
      {{"/Config"}, true, false},
      {{"-Monitor"}, false, true},
      {{"/MONITOR"}, false, true},
      {{"/CONFIG", "/MONITOR"}, true, true},
      {{"other", "-MONITOR", "x"}, false, true},
      {{"/CONFIG=1"}, false, false},
      {{"--CONFIG"}, false, false},
      {{"CONFIG"}, false, false},
      {{" /CONFIG"}, false, false},
      {{"/install", "/silent"}, false, false},
  };
  for (const TModesCase& Case : Cases) {
    const TStartModes Modes = ParseStartModes(Case.Args);
    std::string Label;
    for (const std::string& Arg : Case.Args) Label += "[" + Arg + "]";
    EXPECT_EQ(Modes.Contains(smConfig), Case.Config) << Label;
    EXPECT_EQ(Modes.Contains(smMonitor), Case.Monitor) << Label;
    EXPECT_EQ(Modes.Empty(), !Case.Config && !Case.Monitor) << Label;
  }
}

TEST(StartModes, FlagValues) {
  TStartModes Modes;
  Modes.Include(smMonitor);
  EXPECT_EQ(Modes.Bits(), 1u);
  Modes.Include(smConfig);
  EXPECT_EQ(Modes.Bits(), 3u);
}

}  // namespace
}  // namespace relaybird
