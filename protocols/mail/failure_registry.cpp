#include "failure_registry.h"

namespace relaybird::mail {

namespace {

void Take(std::multiset<std::string>& Set, const std::string& Id) {
  const auto Found = Set.find(Id);
  if (Found != Set.end()) Set.erase(Found);
}

}  // namespace

void TFailureRegistry::Begin(const std::vector<std::string>& Ids) {
  std::lock_guard<std::mutex> Guard(FLock);
  for (const std::string& Id : Ids) {
    if (!Id.empty()) FInFlight.insert(Id);
  }
}

int TFailureRegistry::Fail(const std::string& Id) {
  std::lock_guard<std::mutex> Guard(FLock);
  Take(FInFlight, Id);
  return ++FCounts[Id];
}

void TFailureRegistry::Delivered(const std::string& Id) {
  std::lock_guard<std::mutex> Guard(FLock);
  Take(FInFlight, Id);
  FCounts.erase(Id);
}

void TFailureRegistry::End(const std::string& Id) {
  std::lock_guard<std::mutex> Guard(FLock);
  Take(FInFlight, Id);
}

int TFailureRegistry::Count(const std::string& Id) const {
  std::lock_guard<std::mutex> Guard(FLock);
  const auto Found = FCounts.find(Id);
  return Found == FCounts.end() ? 0 : Found->second;
}

std::string TFailureRegistry::Report() const {
  std::lock_guard<std::mutex> Guard(FLock);
  std::string Text;
  for (const auto& [Id, Count] : FCounts) {
    if (!Id.empty() && FInFlight.count(Id) == 0) Text += Id + "\r\n" + std::to_string(Count) + "\r\n";
  }
  return Text;
}

}  // namespace relaybird::mail
