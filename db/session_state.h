#pragma once
// What a session shares with the statements prepared on it. Generation
// changes with every connect and disconnect: a statement allocated under an
// older generation belongs to a connection that is gone, together with the
// statement handle the driver freed with it.
#include <atomic>
#include <cstdint>

namespace relaybird {

struct TSessionState {
  std::atomic<std::uint64_t> Generation{0};
  std::atomic<bool> Connected{false};
  // A statement found the connection broken; the session reports itself
  // disconnected until it connects again.
  std::atomic<bool> Broken{false};
};

}  // namespace relaybird
