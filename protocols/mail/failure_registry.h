#pragma once
// The module's failure counts per letter id, reported to the host through
// GetFailedMessages. Thread-safe: every member takes FLock.
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace relaybird::mail {

class TFailureRegistry {
 public:
  // At this count the host gives the letter up; the id stays reported.
  static constexpr int GiveUpCount = 5;

  // The ids of a batch a worker is delivering now. While in flight an id is
  // left out of the report: reporting it would make the host prepare it
  // again while it is still under way.
  void Begin(const std::vector<std::string>& Ids);
  // One more failure for Id, which is no longer in flight; the new count.
  int Fail(const std::string& Id);
  // Id was delivered: it leaves the report.
  void Delivered(const std::string& Id);
  // Id is no longer in flight, its count unchanged.
  void End(const std::string& Id);

  int Count(const std::string& Id) const;
  // "id" CR LF "count" CR LF per failed id that is not in flight.
  std::string Report() const;

 private:
  mutable std::mutex FLock;
  std::map<std::string, int> FCounts;
  std::multiset<std::string> FInFlight;
};

}  // namespace relaybird::mail
