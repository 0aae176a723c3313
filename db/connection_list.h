#pragma once
// The configured database connections, loaded from and saved to section
// "Connection" of the settings file; with sessions, every item is paired by
// position with one session and one attempt counter.
//
// Not thread-safe: a list belongs to one thread (the service's timers and
// start/stop, or the window). The sessions live in the list: a pointer from
// Sessions stays valid until its item is deleted or the list is cleared or
// freed; the service hands such a pointer to modules and frees the list only
// after it has released every module.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "relaybird/settings.h"
#include "relaybird/ora_session.h"

#include "relaybird/export.h"

namespace relaybird {

class TOraSessionList;

// A connection whose fields the section's format cannot hold.
class RELAYBIRD_API EConnectionListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class RELAYBIRD_API TConnectionList {
 public:
  explicit TConnectionList(bool WithSessions);
  // Removes every item; a failure to disconnect a session is dropped here.
  ~TConnectionList();
  TConnectionList(const TConnectionList&) = delete;
  TConnectionList& operator=(const TConnectionList&) = delete;

  bool WithSessions() const { return FWithSessions; }

  // Replaces the content with the connections of section "Connection".
  void LoadConnections();
  // Rewrites section "Connection". A server, user or schema holding "#" or a
  // line break raises EConnectionListError before the section is touched.
  void SaveConnections() const;

  int Add(const TConnectionSettings& Settings);
  // Nothing for a position outside the list.
  void Update(int Index, const TConnectionSettings& Settings);
  // A position outside the list raises std::out_of_range. The session of the
  // item is disconnected and freed; a failure to disconnect is raised after
  // the item and its session are gone.
  void Delete(int Index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // -1 when the record is not in the list.
  int IndexOf(const TConnectionSettings* Item) const;
  // The stored record; its address stays the same while it is in the list.
  // A position outside the list raises std::out_of_range.
  TConnectionSettings* Items(int Index) const;

  // Null without sessions or outside the list.
  TOraSession* Sessions(int Index) const;
  // 0 without sessions or outside the list.
  std::int32_t Attempts(int Index) const;
  void IncAttempts(int Index);
  void ResetAttempts();
  // Every counter at 5 or more; also for an empty list.
  bool AttemptsExhausted() const;
  // Disconnects the position's session and configures it from its item; the
  // counter goes back to 0. Nothing without sessions or outside the list.
  void ApplySettings(int Index);

 private:
  bool InRange(int Index) const { return Index >= 0 && Index < Count(); }
  // Removes the item at Index with its session and counter.
  void Remove(int Index);

  bool FWithSessions;
  std::vector<std::unique_ptr<TConnectionSettings>> FItems;
  std::unique_ptr<TOraSessionList> FSessions;
  std::vector<std::int32_t> FAttempts;
};

}  // namespace relaybird
