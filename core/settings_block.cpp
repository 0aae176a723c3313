#include "core/settings_block.h"

#include <array>

#include "platform/text_encoding.h"

namespace relaybird {

namespace {

constexpr std::size_t StringCount = 5;
constexpr std::size_t AccessSysLogOffset = 20;
constexpr std::size_t TimeoutConnectOffset = 24;
constexpr std::size_t TimeoutDelayOffset = 28;
constexpr std::size_t TimeoutReconnectOffset = 32;

void PutUInt32(std::vector<std::uint8_t>& Block, std::size_t Offset, std::uint32_t Value) {
  for (std::size_t i = 0; i < 4; ++i) Block[Offset + i] = static_cast<std::uint8_t>(Value >> (8 * i));
}

std::uint32_t GetUInt32(const std::uint8_t* Bytes, std::size_t Offset) {
  std::uint32_t Value = 0;
  for (std::size_t i = 0; i < 4; ++i) Value |= static_cast<std::uint32_t>(Bytes[Offset + i]) << (8 * i);
  return Value;
}

// The zero-terminated UTF-16 LE string at Offset; false when it does not end
// inside the block.
bool GetString(const std::uint8_t* Bytes, std::size_t Size, std::uint32_t Offset, std::string& Text) {
  if (Offset < SettingsBlockHeaderSize || Offset >= Size) return false;
  std::u16string Units;
  for (std::size_t i = Offset; i + 1 < Size; i += 2) {
    const auto Unit = static_cast<char16_t>(Bytes[i] | Bytes[i + 1] << 8);
    if (Unit == 0) {
      Text = Utf16ToUtf8(Units);
      return true;
    }
    Units += Unit;
  }
  return false;
}

}  // namespace

std::vector<std::uint8_t> BuildSettingsBlock(const TServiceSettings& Settings) {
  const std::array<const std::string*, StringCount> Strings = {
      &Settings.WinAccount, &Settings.WinPassword, &Settings.WinVersion, &Settings.AccessLogPath,
      &Settings.TempDir};
  std::vector<std::uint8_t> Block(SettingsBlockHeaderSize, 0);
  for (std::size_t i = 0; i < StringCount; ++i) {
    PutUInt32(Block, 4 * i, static_cast<std::uint32_t>(Block.size()));
    std::u16string Units = Utf8ToUtf16(*Strings[i]);
    if (Units.size() > MaxSettingsTextUnits) {
      Units.resize(MaxSettingsTextUnits);
      if (Units.back() >= 0xD800 && Units.back() <= 0xDBFF) Units.pop_back();
    }
    for (const char16_t Unit : Units) {
      Block.push_back(static_cast<std::uint8_t>(Unit & 0xFF));
      Block.push_back(static_cast<std::uint8_t>(Unit >> 8));
    }
    Block.push_back(0);
    Block.push_back(0);
  }
  Block[AccessSysLogOffset] = Settings.AccessSysLog ? 1 : 0;
  PutUInt32(Block, TimeoutConnectOffset, static_cast<std::uint32_t>(Settings.TimeoutConnect));
  PutUInt32(Block, TimeoutDelayOffset, static_cast<std::uint32_t>(Settings.TimeoutDelay));
  PutUInt32(Block, TimeoutReconnectOffset, static_cast<std::uint32_t>(Settings.TimeoutReconnect));
  return Block;
}

bool ReadSettingsBlock(const void* Data, std::size_t Size, TServiceSettings& Settings) {
  if (!Data || Size < SettingsBlockHeaderSize) return false;
  const auto* Bytes = static_cast<const std::uint8_t*>(Data);
  TServiceSettings Read;
  const std::array<std::string*, StringCount> Strings = {&Read.WinAccount, &Read.WinPassword, &Read.WinVersion,
                                                         &Read.AccessLogPath, &Read.TempDir};
  for (std::size_t i = 0; i < StringCount; ++i) {
    if (!GetString(Bytes, Size, GetUInt32(Bytes, 4 * i), *Strings[i])) return false;
  }
  Read.AccessSysLog = Bytes[AccessSysLogOffset] != 0;
  Read.TimeoutConnect = static_cast<std::int32_t>(GetUInt32(Bytes, TimeoutConnectOffset));
  Read.TimeoutDelay = static_cast<std::int32_t>(GetUInt32(Bytes, TimeoutDelayOffset));
  Read.TimeoutReconnect = static_cast<std::int32_t>(GetUInt32(Bytes, TimeoutReconnectOffset));
  Settings = Read;
  return true;
}

}  // namespace relaybird
