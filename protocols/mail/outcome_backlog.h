#pragma once
// Final outcomes the result statement could not record (the database was
// away), kept per connection until a later run of a worker records them: a
// delivered letter left unmarked would be sent again after a restart.
// Thread-safe: every member takes FLock.
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "result_recorder.h"

namespace relaybird::mail {

struct TLetterOutcome {
  std::string Id;
  int IdType = 0;
  std::string Outcome;
  std::string Error;
};

class TOutcomeBacklog {
 public:
  void Keep(const TSessionParams& Connection, TLetterOutcome Outcome);
  // Takes out, oldest first, the outcomes kept for Connection.
  std::vector<TLetterOutcome> Take(const TSessionParams& Connection);

 private:
  static std::string Key(const TSessionParams& Connection);

  std::mutex FLock;
  std::map<std::string, std::vector<TLetterOutcome>> FOutcomes;
};

}  // namespace relaybird::mail
