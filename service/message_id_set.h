#pragma once
// The identifiers of the messages already taken into a batch: an unsorted
// list whose look-ups ignore letter case and whose entries may repeat, kept
// compact because a long run collects millions of them.
//
// Not thread-safe: used on the send cycle's thread only.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace relaybird {

class TMessageIdSet {
 public:
  TMessageIdSet() = default;
  TMessageIdSet(const TMessageIdSet&) = delete;
  TMessageIdSet& operator=(const TMessageIdSet&) = delete;

  void Add(std::string_view Id);
  bool Contains(std::string_view Id) const;
  // Removes one occurrence; false when there was none.
  bool Delete(std::string_view Id);
  // Occurrences, repeats included.
  std::size_t Count() const { return FCount; }
  void Clear();
  // Bytes held for the identifiers and their index.
  std::size_t MemoryUsed() const;

 private:
  static constexpr std::uint32_t NoKey = 0xFFFFFFFF;
  struct TSlot {
    // Where the key lies: chunk index << 16 | offset; NoKey for a free slot.
    std::uint32_t Key = NoKey;
    // 0 also for a key whose occurrences were all deleted (the slot stays).
    std::uint32_t Occurrences = 0;
    bool Used() const { return Key != NoKey; }
  };
  // -1 when Folded is not held; otherwise the slot's position.
  std::ptrdiff_t Find(std::string_view Folded, std::uint64_t Hash) const;
  std::string_view KeyAt(std::uint32_t Key) const;
  std::uint32_t StoreKey(std::string_view Folded);
  void Grow();

  std::vector<std::unique_ptr<char[]>> FChunks;
  std::vector<std::size_t> FChunkSizes;
  std::size_t FChunkUsed = 0;
  std::vector<TSlot> FSlots;
  std::size_t FKeys = 0;
  std::size_t FCount = 0;
};

}  // namespace relaybird
