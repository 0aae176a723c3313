#pragma once
// The sessions of the connection list, behind one lock: every lookup,
// append, reconfiguration and removal happens while a TLockedList is held.
#include <memory>
#include <mutex>
#include <vector>

#include "relaybird/ora_session.h"

namespace relaybird {

class TOraSessionList {
 public:
  class TLockedList {
   public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // Null for a position outside the list.
    TOraSession* Get(int Index) const;
    // A new, unconnected session at the end.
    TOraSession& Add();
    // Disconnects the session and frees it; nothing for a position outside
    // the list. The session is removed even when disconnecting fails; the
    // failure is raised afterwards.
    void Delete(int Index);

   private:
    friend class TOraSessionList;
    TLockedList(std::mutex& Mutex, std::vector<std::unique_ptr<TOraSession>>& Items)
        : FLock(Mutex), FItems(Items) {}
    std::unique_lock<std::mutex> FLock;
    std::vector<std::unique_ptr<TOraSession>>& FItems;
  };

  TOraSessionList() = default;
  TOraSessionList(const TOraSessionList&) = delete;
  TOraSessionList& operator=(const TOraSessionList&) = delete;

  TLockedList LockList() { return TLockedList(FMutex, FItems); }

 private:
  std::mutex FMutex;
  std::vector<std::unique_ptr<TOraSession>> FItems;
};

}  // namespace relaybird
