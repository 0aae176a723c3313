#include "threads/threads_manager.h"

#include "platform/text_encoding.h"
#include "relaybird/base_thread.h"

namespace relaybird {

void TThreadsManager::Add(TBaseThread* Thread) {
  if (Thread) FThreads.push_back({Thread});
}

int TThreadsManager::IndexOf(const std::string& Name) const {
  for (std::size_t i = 0; i < FThreads.size(); ++i) {
    if (SameText(FThreads[i].Thread->ThreadName, Name)) return static_cast<int>(i);
  }
  return -1;
}

void TThreadsManager::Remove(const std::string& Name) {
  const int Index = IndexOf(Name);
  if (Index >= 0) FThreads.erase(FThreads.begin() + Index);
}

TBaseThread* TThreadsManager::Items(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return FThreads[static_cast<std::size_t>(Index)].Thread;
}

TThreadsManager* ThreadsManager = nullptr;

void CreateThreadsManager() {
  if (!ThreadsManager) ThreadsManager = new TThreadsManager;
}

void FreeThreadsManager() {
  delete ThreadsManager;
  ThreadsManager = nullptr;
}

}  // namespace relaybird
