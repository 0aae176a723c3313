#include <algorithm>

#include "core/settings_block.h"
#include "relaybird/module_abi.h"

namespace relaybird {

namespace {

std::uint32_t GetUInt32(const std::uint8_t* Bytes) {
  return static_cast<std::uint32_t>(Bytes[0]) | static_cast<std::uint32_t>(Bytes[1]) << 8 |
         static_cast<std::uint32_t>(Bytes[2]) << 16 | static_cast<std::uint32_t>(Bytes[3]) << 24;
}

}  // namespace

// The size passed with the block is the header's only; the extent of the
// texts behind it comes from their offsets and terminators, which the host
// wrote.
bool ReadModuleSettings(const void* Data, std::int32_t Size, TServiceSettings& Settings) {
  if (!Data || Size < static_cast<std::int32_t>(SettingsBlockHeaderSize)) return false;
  const auto* Bytes = static_cast<const std::uint8_t*>(Data);
  std::size_t Extent = SettingsBlockHeaderSize;
  for (std::size_t Field = 0; Field < 5; ++Field) {
    std::size_t End = GetUInt32(Bytes + 4 * Field);
    if (End < SettingsBlockHeaderSize) return false;
    while (Bytes[End] != 0 || Bytes[End + 1] != 0) End += 2;
    Extent = std::max(Extent, End + 2);
  }
  return ReadSettingsBlock(Data, Extent, Settings);
}

}  // namespace relaybird
