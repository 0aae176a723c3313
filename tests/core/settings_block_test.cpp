#include "core/settings_block.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace relaybird {
namespace {

TServiceSettings SampleSettings() {
  TServiceSettings Settings;
  Settings.WinAccount = "host\\relay";
  Settings.WinPassword = "Пароль";
  Settings.WinVersion = "Linux 6.1.0";
  Settings.AccessLogPath = "/opt/relaybird/bin/Log/";
  Settings.TempDir = "";
  Settings.AccessSysLog = true;
  Settings.TimeoutConnect = 1;
  Settings.TimeoutDelay = 0x01020304;
  Settings.TimeoutReconnect = -3;
  return Settings;
}

std::uint32_t UInt32At(const std::vector<std::uint8_t>& Block, std::size_t Offset) {
  return Block[Offset] | Block[Offset + 1] << 8 | Block[Offset + 2] << 16 |
         static_cast<std::uint32_t>(Block[Offset + 3]) << 24;
}

std::u16string Utf16At(const std::vector<std::uint8_t>& Block, std::size_t Offset) {
  std::u16string Text;
  for (std::size_t i = Offset; Block[i] != 0 || Block[i + 1] != 0; i += 2) {
    Text += static_cast<char16_t>(Block[i] | Block[i + 1] << 8);
  }
  return Text;
}

TEST(SettingsBlockTest, HeaderLayout) {
  const std::vector<std::uint8_t> Block = BuildSettingsBlock(SampleSettings());
  ASSERT_GE(Block.size(), SettingsBlockHeaderSize);

  const std::u16string Expected[] = {u"host\\relay", u"Пароль", u"Linux 6.1.0", u"/opt/relaybird/bin/Log/", u""};
  std::size_t NextOffset = SettingsBlockHeaderSize;
  for (std::size_t i = 0; i < 5; ++i) {
    // The strings follow the header back to back, in field order.
    EXPECT_EQ(UInt32At(Block, 4 * i), NextOffset) << "string " << i;
    EXPECT_EQ(Utf16At(Block, UInt32At(Block, 4 * i)), Expected[i]) << "string " << i;
    NextOffset += 2 * (Expected[i].size() + 1);
  }
  EXPECT_EQ(Block.size(), NextOffset);

  EXPECT_EQ(Block[20], 1);
  EXPECT_EQ(Block[21], 0);
  EXPECT_EQ(Block[22], 0);
  EXPECT_EQ(Block[23], 0);
  const std::vector<std::uint8_t> Integers(Block.begin() + 24, Block.begin() + 36);
  const std::vector<std::uint8_t> ExpectedIntegers = {1, 0, 0, 0, 4, 3, 2, 1, 0xFD, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(Integers, ExpectedIntegers);
}

TEST(SettingsBlockTest, RoundTrip) {
  for (bool SysLog : {false, true}) {
    TServiceSettings Settings = SampleSettings();
    Settings.AccessSysLog = SysLog;
    const std::vector<std::uint8_t> Block = BuildSettingsBlock(Settings);
    TServiceSettings Read;
    ASSERT_TRUE(ReadSettingsBlock(Block.data(), Block.size(), Read));
    EXPECT_EQ(Read, Settings);
  }
}

TEST(SettingsBlockTest, RejectsBadBlocks) {
  const std::vector<std::uint8_t> Good = BuildSettingsBlock(SampleSettings());
  struct TCase {
    const char* Name;
    std::vector<std::uint8_t> Block;
  };
  std::vector<TCase> Cases;
  Cases.push_back({"shorter than the header", std::vector<std::uint8_t>(Good.begin(), Good.begin() + 35)});
  Cases.push_back({"header only", std::vector<std::uint8_t>(Good.begin(), Good.begin() + 36)});
  Cases.push_back({"last terminator cut", std::vector<std::uint8_t>(Good.begin(), Good.end() - 1)});
  {
    std::vector<std::uint8_t> Block = Good;
    Block[8] = 0xFF;
    Block[9] = 0xFF;
    Cases.push_back({"offset past the end", Block});
  }
  {
    std::vector<std::uint8_t> Block = Good;
    Block[4] = 8;
    Block[5] = 0;
    Cases.push_back({"offset into the header", Block});
  }
  {
    // The last string loses its terminator but keeps an odd trailing byte.
    std::vector<std::uint8_t> Block = Good;
    Block[Block.size() - 2] = 'x';
    Block.back() = 0;
    Block.push_back(0);
    Cases.push_back({"no terminator inside the block", Block});
  }

  for (const TCase& Case : Cases) {
    TServiceSettings Read = SampleSettings();
    Read.WinAccount = "unchanged";
    const TServiceSettings Before = Read;
    EXPECT_FALSE(ReadSettingsBlock(Case.Block.data(), Case.Block.size(), Read)) << Case.Name;
    EXPECT_EQ(Read, Before) << Case.Name;
  }
  TServiceSettings Read;
  EXPECT_FALSE(ReadSettingsBlock(nullptr, Good.size(), Read));
}

}  // namespace
}  // namespace relaybird
