#include "relaybird/thread.h"

#include <thread>

namespace relaybird {

TThreadLink TThread::Start() {
  std::promise<void> Done;
  TThreadLink Link(FStop, Done.get_future().share());
  // Nothing of the object may be touched once the thread runs: it may be
  // gone before the constructor of std::thread returns.
  std::thread(&TThread::Run, this, std::move(Done)).detach();
  return Link;
}

void TThread::Run(TThread* Self, std::promise<void> Done) {
  try {
    Self->Execute();
  } catch (...) {
    // The run is over either way; descendants report what they must.
  }
  delete Self;
  Done.set_value();
}

}  // namespace relaybird
