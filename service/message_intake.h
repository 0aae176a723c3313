#pragma once
// The intake of one connection: the three source queries, the letter
// preparation procedure and the two message tables. ReadMessages leaves in
// vtMesg the batch of at most 20 letters, fresh ones first, then those a
// module reported as failed, most failures first.
//
// Not thread-safe: used on the send cycle's thread; each source is read under
// ServiceLock, the lock the modules take to read vtMesg.
#include <functional>
#include <string>

#include "db/ora_stored_proc.h"
#include "modules/failed_messages.h"
#include "relaybird/ora_query.h"
#include "relaybird/virtual_table.h"
#include "service/message_id_set.h"

namespace relaybird {

class TOraSession;

class TMessageIntake {
 public:
  static constexpr int BatchLimit = 20;
  static constexpr int FailureLimit = 5;
  static constexpr const char* ProcedureSuffix = ".orvanta5_bd.preparation_letter";

  // A log line, with or without its event-log copy.
  using TLogProc = std::function<void(const std::string& Text, bool ToEventLog)>;

  explicit TMessageIntake(TLogProc Log);

  // Prepares and opens both tables, empty.
  void OpenTables();
  void CloseTables();

  // Session may be null. ServiceName labels the error lines of connection
  // ConnIndex. Taken identifiers are added to Processed.
  void ReadMessages(TOraSession* Session, int ConnIndex, const std::string& ServiceName,
                    TMessageIdSet& Processed, const TFailedMessageList& Failed);

  TOraQuery oq_ecfil083;
  TOraQuery oq_qx_notice_emitent;
  TOraQuery oq_qx_mngr_notification;
  TOraStoredProc ospOpenMessages;
  TVirtualTable vtMesg;
  TVirtualTable vtFail;

 private:
  struct TReadContext;
  void ReadSource(TOraQuery& Query, TReadContext& Context);
  void TakeRow(TOraQuery& Query, TReadContext& Context);
  void AppendFailed(TMessageIdSet& Processed);
  void LogError(const TReadContext& Context, const std::string& Message);

  TLogProc FLog;
};

// The first reported failure count of Id, letter case ignored; 0 when the
// module did not report it.
int FailureCount(const TFailedMessageList& Failed, const std::string& Id);

// The columns of the message table the modules are handed (vtMesg), which
// they read by name.
void AddMessageFields(TVirtualTable& Table);

}  // namespace relaybird
