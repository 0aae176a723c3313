#pragma once
// A registry that finds workers by name. It holds its entries, not the
// workers: a worker must be removed before it destroys itself (from its
// OnFinish, under the lock that guards the registry, which has none of its
// own).
#include <string>
#include <vector>

#include "relaybird/export.h"

namespace relaybird {

class TBaseThread;

struct TThreadEntry {
  TBaseThread* Thread = nullptr;
};

class RELAYBIRD_API TThreadsManager {
 public:
  // Null is ignored.
  void Add(TBaseThread* Thread);
  // The first entry whose worker's ThreadName equals Name without regard to
  // case; -1 when none does.
  int IndexOf(const std::string& Name) const;
  // Drops the entry IndexOf finds; the worker is not touched.
  void Remove(const std::string& Name);
  int Count() const { return static_cast<int>(FThreads.size()); }
  // Null when Index is out of range.
  TBaseThread* Items(int Index) const;

 private:
  std::vector<TThreadEntry> FThreads;
};

// The process's registry, for modules that look their workers up by name;
// null until CreateThreadsManager at process start.
extern RELAYBIRD_API TThreadsManager* ThreadsManager;
RELAYBIRD_API void CreateThreadsManager();
RELAYBIRD_API void FreeThreadsManager();

}  // namespace relaybird
