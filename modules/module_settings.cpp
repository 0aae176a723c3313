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

// The size passed with the block is the header's only. The texts behind it
// are looked for no further than a block the host can build reaches
// (MaxSettingsBlockSize), so a broken offset or a missing terminator is
// refused instead of read past.
bool ReadModuleSettings(const void* Data, std::int32_t Size, TServiceSettings& Settings) {
  if (!Data || Size < static_cast<std::int32_t>(SettingsBlockHeaderSize)) return false;
  const auto* Bytes = static_cast<const std::uint8_t*>(Data);
  std::size_t Extent = SettingsBlockHeaderSize;
  for (std::size_t Field = 0; Field < 5; ++Field) {
    std::size_t End = GetUInt32(Bytes + 4 * Field);
    if (End < SettingsBlockHeaderSize) return false;
    const std::size_t Limit = std::min<std::size_t>(
        MaxSettingsBlockSize, End + 2 * static_cast<std::size_t>(MaxSettingsTextUnits + 1));
    while (End + 1 < Limit && (Bytes[End] != 0 || Bytes[End + 1] != 0)) End += 2;
    if (End + 1 >= Limit) return false;
    Extent = std::max(Extent, End + 2);
  }
  return ReadSettingsBlock(Data, Extent, Settings);
}

}  // namespace relaybird
