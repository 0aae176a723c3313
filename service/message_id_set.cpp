#include "service/message_id_set.h"

#include <cstring>
#include <stdexcept>

#include "platform/text_encoding.h"

namespace relaybird {

namespace {

constexpr std::size_t ChunkSize = 1 << 16;
// The last chunk would let a key reference read as a free slot.
constexpr std::size_t MaxChunks = (1 << 16) - 1;

std::uint64_t HashOf(std::string_view Text) {
  std::uint64_t Hash = 1469598103934665603ULL;
  for (unsigned char C : Text) {
    Hash ^= C;
    Hash *= 1099511628211ULL;
  }
  return Hash;
}

// A key is stored as its length (7 bits a byte, low bits first) and its bytes.
std::size_t LengthBytes(std::size_t Length) {
  std::size_t Bytes = 1;
  while (Length >= 0x80) {
    Length >>= 7;
    ++Bytes;
  }
  return Bytes;
}

}  // namespace

std::string_view TMessageIdSet::KeyAt(std::uint32_t Key) const {
  const char* P = FChunks[Key >> 16].get() + (Key & 0xFFFF);
  std::size_t Length = 0;
  int Shift = 0;
  unsigned char Byte = 0;
  do {
    Byte = static_cast<unsigned char>(*P++);
    Length |= static_cast<std::size_t>(Byte & 0x7F) << Shift;
    Shift += 7;
  } while (Byte & 0x80);
  return {P, Length};
}

std::uint32_t TMessageIdSet::StoreKey(std::string_view Folded) {
  const std::size_t Need = LengthBytes(Folded.size()) + Folded.size();
  if (FChunks.empty() || FChunkUsed + Need > FChunkSizes.back()) {
    if (FChunks.size() >= MaxChunks) throw std::length_error("Too many message identifiers");
    // A key longer than a chunk gets a chunk of its own.
    const std::size_t Size = Need > ChunkSize ? Need : ChunkSize;
    FChunks.push_back(std::make_unique<char[]>(Size));
    FChunkSizes.push_back(Size);
    FChunkUsed = 0;
  }
  const auto Key = static_cast<std::uint32_t>(((FChunks.size() - 1) << 16) | FChunkUsed);
  char* P = FChunks.back().get() + FChunkUsed;
  std::size_t Length = Folded.size();
  do {
    auto Byte = static_cast<unsigned char>(Length & 0x7F);
    Length >>= 7;
    if (Length) Byte |= 0x80;
    *P++ = static_cast<char>(Byte);
  } while (Length);
  std::memcpy(P, Folded.data(), Folded.size());
  // A big key fills its chunk: the next key opens a new one.
  FChunkUsed += Need;
  return Key;
}

std::ptrdiff_t TMessageIdSet::Find(std::string_view Folded, std::uint64_t Hash) const {
  if (FSlots.empty()) return -1;
  const std::size_t Mask = FSlots.size() - 1;
  for (std::size_t I = Hash & Mask;; I = (I + 1) & Mask) {
    const TSlot& Slot = FSlots[I];
    if (!Slot.Used()) return -1;
    if (KeyAt(Slot.Key) == Folded) return static_cast<std::ptrdiff_t>(I);
  }
}

void TMessageIdSet::Grow() {
  std::vector<TSlot> Old = std::move(FSlots);
  FSlots.assign(Old.empty() ? 64 : Old.size() * 2, TSlot{});
  const std::size_t Mask = FSlots.size() - 1;
  for (const TSlot& Slot : Old) {
    if (!Slot.Used()) continue;
    std::size_t I = HashOf(KeyAt(Slot.Key)) & Mask;
    while (FSlots[I].Used()) I = (I + 1) & Mask;
    FSlots[I] = Slot;
  }
}

void TMessageIdSet::Add(std::string_view Id) {
  const std::string Folded = AnsiUpperCase(Id);
  const std::uint64_t Hash = HashOf(Folded);
  std::ptrdiff_t Position = Find(Folded, Hash);
  if (Position < 0) {
    // At most three quarters of the slots are used.
    if ((FKeys + 1) * 4 > FSlots.size() * 3) Grow();
    const std::size_t Mask = FSlots.size() - 1;
    std::size_t I = Hash & Mask;
    while (FSlots[I].Used()) I = (I + 1) & Mask;
    FSlots[I] = TSlot{StoreKey(Folded), 0};
    ++FKeys;
    Position = static_cast<std::ptrdiff_t>(I);
  }
  ++FSlots[static_cast<std::size_t>(Position)].Occurrences;
  ++FCount;
}

bool TMessageIdSet::Contains(std::string_view Id) const {
  const std::string Folded = AnsiUpperCase(Id);
  const std::ptrdiff_t Position = Find(Folded, HashOf(Folded));
  return Position >= 0 && FSlots[static_cast<std::size_t>(Position)].Occurrences > 0;
}

bool TMessageIdSet::Delete(std::string_view Id) {
  const std::string Folded = AnsiUpperCase(Id);
  const std::ptrdiff_t Position = Find(Folded, HashOf(Folded));
  if (Position < 0 || FSlots[static_cast<std::size_t>(Position)].Occurrences == 0) return false;
  --FSlots[static_cast<std::size_t>(Position)].Occurrences;
  --FCount;
  return true;
}

void TMessageIdSet::Clear() {
  FChunks.clear();
  FChunkSizes.clear();
  FChunkUsed = 0;
  FSlots.clear();
  FKeys = 0;
  FCount = 0;
}

std::size_t TMessageIdSet::MemoryUsed() const {
  std::size_t Bytes = FSlots.capacity() * sizeof(TSlot) + FChunks.capacity() * sizeof(FChunks[0]) +
                      FChunkSizes.capacity() * sizeof(std::size_t);
  for (std::size_t Size : FChunkSizes) Bytes += Size;
  return Bytes;
}

}  // namespace relaybird
