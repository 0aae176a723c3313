#pragma once
// The worker that delivers one batch of letters over one SMTP connection.
// Its own members are touched only on its thread; the failure registry and
// the outcome backlog it shares with the module are thread-safe.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "relaybird/base_thread.h"
#include "failure_registry.h"
#include "mail_settings.h"
#include "outcome_backlog.h"
#include "result_recorder.h"

namespace relaybird::mail {

class TSmtpClient;

// The batch as the host handed it: its columns and rows.
struct TMailBatch {
  std::vector<TFieldDef> Fields;
  std::vector<std::vector<TFieldValue>> Rows;
};

class TMailThread : public TBaseThread {
 public:
  // Connection may be null: no result statement can run then.
  TMailThread(TMailBatch Batch, TMailSettings Mail, std::unique_ptr<TSessionParams> Connection,
              TFailureRegistry& Failures, TOutcomeBacklog& Backlog);
  ~TMailThread() override;
  void ExtraStep() override {}

 protected:
  void LoadMessages() override;
  void ProcessMessages() override;

 private:
  struct TLetter;
  void Deliver(const TLetter& Letter);
  void Delivered(const TLetter& Letter);
  void Failed(const TLetter& Letter, const std::string& Error, const char* GiveUpStatus);
  void RecordOutcome(const TLetter& Letter, const std::string& Status, const std::string& Error);
  // Records the outcomes an earlier run could not; those that fail again
  // stay kept.
  void RecordBacklog();
  // Whether the result statement recorded Outcome; a failure is logged.
  bool Record(const TLetterOutcome& Outcome);
  std::string StatusName(int Code) const;
  // Informational lines only when the settings ask for process logging.
  void Detail(const std::string& Msg);

  TMailBatch FBatch;
  TMailSettings FMail;
  std::unique_ptr<TSessionParams> FConnection;
  TFailureRegistry& FFailures;
  TOutcomeBacklog& FBacklog;
  std::unique_ptr<TSmtpClient> FClient;
  std::unique_ptr<TResultRecorder> FRecorder;
  // Ids handed over and not yet delivered or counted as failed.
  std::set<std::string> FUnsettled;
  // Set once the connection failed: the letters left are not tried.
  std::string FConnectionError;
};

}  // namespace relaybird::mail
