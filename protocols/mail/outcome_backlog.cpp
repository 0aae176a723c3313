#include "outcome_backlog.h"

namespace relaybird::mail {

std::string TOutcomeBacklog::Key(const TSessionParams& Connection) {
  // The password is left out: a changed password still reaches the same rows.
  return Connection.HomeName + '\n' + Connection.Server + '\n' + Connection.Username + '\n' + Connection.Schema;
}

void TOutcomeBacklog::Keep(const TSessionParams& Connection, TLetterOutcome Outcome) {
  std::lock_guard<std::mutex> Guard(FLock);
  FOutcomes[Key(Connection)].push_back(std::move(Outcome));
}

std::vector<TLetterOutcome> TOutcomeBacklog::Take(const TSessionParams& Connection) {
  std::lock_guard<std::mutex> Guard(FLock);
  const auto Found = FOutcomes.find(Key(Connection));
  if (Found == FOutcomes.end()) return {};
  std::vector<TLetterOutcome> Outcomes = std::move(Found->second);
  FOutcomes.erase(Found);
  return Outcomes;
}

}  // namespace relaybird::mail
