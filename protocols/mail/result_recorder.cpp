#include "result_recorder.h"

#include <algorithm>
#include <cctype>

#include "relaybird/database_error.h"

namespace relaybird::mail {

namespace {

bool Same(const std::string& A, const char* B) {
  const std::string Other(B);
  return A.size() == Other.size() && std::equal(A.begin(), A.end(), Other.begin(), [](char X, char Y) {
           return std::toupper(static_cast<unsigned char>(X)) == std::toupper(static_cast<unsigned char>(Y));
         });
}

}  // namespace

TResultRecorder::TResultRecorder(const TSessionParams& Params, const std::string& Statement) {
  FSession.SetHomeName(Params.HomeName);
  FSession.SetServer(Params.Server);
  FSession.SetUsername(Params.Username);
  FSession.SetPassword(Params.Password);
  FSession.SetSchema(Params.Schema);
  FQuery.SetSession(&FSession);
  FQuery.SetSQL(Statement);
  for (const std::string& Name : FQuery.ParamNames()) {
    if (!Same(Name, "ID") && !Same(Name, "ID_TYPE") && !Same(Name, "OUTCOME") && !Same(Name, "ERROR_TEXT")) {
      throw EDatabaseError("The result statement has an unknown parameter :" + Name);
    }
  }
}

void TResultRecorder::Record(const std::string& Id, int IdType, const std::string& Outcome,
                             const std::string& Error) {
  if (!FSession.Connected()) {
    // A session found broken is closed before it connects again.
    if (FSession.Connection() != nullptr) {
      try {
        FSession.Disconnect();
      } catch (...) {
      }
    }
    FSession.Connect();
  }
  for (const std::string& Name : FQuery.ParamNames()) {
    if (Same(Name, "ID")) {
      FQuery.SetParam(Name, Id);
    } else if (Same(Name, "ID_TYPE")) {
      FQuery.SetParam(Name, IdType);
    } else if (Same(Name, "OUTCOME")) {
      FQuery.SetParam(Name, Outcome);
    } else {
      FQuery.SetParam(Name, Error.empty() ? TFieldValue::Null() : TFieldValue(Error));
    }
  }
  FQuery.ExecSQL();
}

}  // namespace relaybird::mail
