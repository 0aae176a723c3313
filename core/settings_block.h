#pragma once
// The binary form of TServiceSettings handed to modules: a 36-byte header
// (five 4-byte byte offsets from the block's start to zero-terminated UTF-16
// strings, AccessSysLog as one byte and three filler bytes, three 32-bit
// little-endian integers) followed by the strings in the same block.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "relaybird/export.h"
#include "relaybird/settings.h"

namespace relaybird {

constexpr std::uint32_t SettingsBlockHeaderSize = 36;
// The longest text a block carries, in UTF-16 units: the longest value the
// settings file yields. A module reading a block may rely on it, since the
// size passed with the block covers only the header.
constexpr std::uint32_t MaxSettingsTextUnits = 2047;
constexpr std::uint32_t MaxSettingsBlockSize =
    SettingsBlockHeaderSize + 5 * 2 * (MaxSettingsTextUnits + 1);

// A longer text is cut at MaxSettingsTextUnits (never inside a character).
RELAYBIRD_API std::vector<std::uint8_t> BuildSettingsBlock(const TServiceSettings& Settings);
// Reads a block built by BuildSettingsBlock; false (Settings untouched) when
// the block is shorter than the header, an offset points into the header or
// past the end, or a string does not end inside the block.
bool ReadSettingsBlock(const void* Data, std::size_t Size, TServiceSettings& Settings);

}  // namespace relaybird
