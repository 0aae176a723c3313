#pragma once
// The binary form of TServiceSettings handed to modules: a 36-byte header
// (five 4-byte byte offsets from the block's start to zero-terminated UTF-16
// strings, AccessSysLog as one byte and three filler bytes, three 32-bit
// little-endian integers) followed by the strings in the same block.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "relaybird/settings.h"

namespace relaybird {

constexpr std::uint32_t SettingsBlockHeaderSize = 36;

std::vector<std::uint8_t> BuildSettingsBlock(const TServiceSettings& Settings);
// Reads a block built by BuildSettingsBlock; false (Settings untouched) when
// the block is shorter than the header, an offset points into the header or
// past the end, or a string does not end inside the block.
bool ReadSettingsBlock(const void* Data, std::size_t Size, TServiceSettings& Settings);

}  // namespace relaybird
