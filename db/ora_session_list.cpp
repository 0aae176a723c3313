#include "db/ora_session_list.h"

namespace relaybird {

TOraSession* TOraSessionList::TLockedList::Get(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return FItems[static_cast<std::size_t>(Index)].get();
}

TOraSession& TOraSessionList::TLockedList::Add() {
  return *FItems.emplace_back(std::make_unique<TOraSession>());
}

void TOraSessionList::TLockedList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) return;
  std::unique_ptr<TOraSession> Session = std::move(FItems[static_cast<std::size_t>(Index)]);
  FItems.erase(FItems.begin() + Index);
  Session->Disconnect();
}

}  // namespace relaybird
