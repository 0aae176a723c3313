#pragma once
// Runs the configured result statement once per letter whose outcome is
// final, on a session of its own, with the letter's values bound to the
// parameters :ID, :ID_TYPE, :OUTCOME and :ERROR_TEXT (any of them may be
// left out of the statement). Not thread-safe: one worker owns it.
#include <memory>
#include <string>

#include "relaybird/ora_query.h"
#include "relaybird/ora_session.h"

namespace relaybird::mail {

// How to reach the database the letters came from.
struct TSessionParams {
  std::string HomeName;
  std::string Server;
  std::string Username;
  std::string Password;
  std::string Schema;
};

class TResultRecorder {
 public:
  // Raises EDatabaseError for a parameter of another name.
  TResultRecorder(const TSessionParams& Params, const std::string& Statement);
  // Connects when needed, then runs the statement and commits it (the
  // session commits each statement). Raises EDatabaseError.
  void Record(const std::string& Id, int IdType, const std::string& Outcome, const std::string& Error);

 private:
  TOraSession FSession;
  TOraQuery FQuery;
};

}  // namespace relaybird::mail
