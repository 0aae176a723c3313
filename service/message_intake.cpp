#include "service/message_intake.h"

#include <exception>
#include <mutex>

#include "platform/text_encoding.h"
#include "relaybird/text_format.h"
#include "relaybird/catalogue.h"
#include "relaybird/ora_session.h"
#include "service/service_lock.h"

namespace relaybird {

namespace {

const char* const Ecfil083Sql =
    "select t.trn_guid,\n"
    "       0 as flag,\n"
    "       t.id_prinadl,\n"
    "       t.id_klienta,\n"
    "       t.notice_type,\n"
    "       t.notice_email\n"
    "from   ecfil083 t\n"
    "where  t.flag_activnosti = 0\n"
    "and    t.notice_automatically = 1\n"
    "and    t.notice_send_email = 1";

const char* const NoticeEmitentSql =
    "select w.trn_guid,\n"
    "       1 as flag,\n"
    "       -1 as id_prinadl,\n"
    "       w.emitent_id as id_klienta,\n"
    "       w.notice_type,\n"
    "       w.notice_email\n"
    "from   qx_notice_emitent w\n"
    "where  w.notice_state = 0\n"
    "and    w.notice_automatically = 1\n"
    "and    w.notice_send_email = 1";

const char* const MngrNotificationSql =
    "select mnn.notification_guid as trn_guid,\n"
    "       2 as flag,\n"
    "       -1 as id_prinadl,\n"
    "       mn.manager_id as id_klienta,\n"
    "       mnn.notification_type as notice_type,\n"
    "       per.e_mail as notice_email\n"
    "from   qx_mngr_notification mnn,\n"
    "       qx_managers mn,\n"
    "       ecfil025 per\n"
    "where  mn.client_id = mnn.client_id\n"
    "and    mn.client_type = mnn.client_type\n"
    "and    mn.notification = 1\n"
    "and    per.id_cheloveka = mn.manager_id\n"
    "and    per.send_by_mail = 1\n"
    "and    not exists (select 1\n"
    "                   from   qx_mngr_notification_state mns\n"
    "                   where  mns.notification_guid = mnn.notification_guid\n"
    "                   and    mns.manager_id = mn.manager_id)";

const char* const MessageColumns[] = {"id_mesg",      "id_type",     "totarget",  "mesg_body",
                                      "mesg_subject", "notice_type", "client_id", "client_type"};

}  // namespace

void AddMessageFields(TVirtualTable& Table) {
  Table.AddField("id_mesg", TFieldType::ftString, 50);
  Table.AddField("id_type", TFieldType::ftInteger);
  Table.AddField("totarget", TFieldType::ftString, 100);
  Table.AddField("mesg_body", TFieldType::ftString, 4000);
  Table.AddField("mesg_subject", TFieldType::ftString, 40);
  Table.AddField("notice_type", TFieldType::ftInteger);
  Table.AddField("client_id", TFieldType::ftInteger);
  Table.AddField("client_type", TFieldType::ftInteger);
}

int FailureCount(const TFailedMessageList& Failed, const std::string& Id) {
  for (const TFailedMessage& Message : Failed) {
    if (SameText(Message.ID, Id)) return Message.Count;
  }
  return 0;
}

struct TMessageIntake::TReadContext {
  TOraSession& Session;
  int ConnIndex;
  const std::string& ServiceName;
  TMessageIdSet& Processed;
  const TFailedMessageList& Failed;
};

TMessageIntake::TMessageIntake(TLogProc Log) : FLog(std::move(Log)) {
  oq_ecfil083.SetSQL(Ecfil083Sql);
  oq_qx_notice_emitent.SetSQL(NoticeEmitentSql);
  oq_qx_mngr_notification.SetSQL(MngrNotificationSql);
  ospOpenMessages.SetStoredProcName("orvanta5_bd.preparation_letter");
  ospOpenMessages.AddParam("P_NOTICE_GUID", TParamDirection::pdInput, TFieldType::ftString, 32);
  ospOpenMessages.AddParam("P_NOTICE_TYPE", TParamDirection::pdInput, TFieldType::ftInteger);
  ospOpenMessages.AddParam("P_LETTER_TEMPLATE", TParamDirection::pdOutput, TFieldType::ftString, 4000);
  ospOpenMessages.AddParam("P_LETTER_TYPLE", TParamDirection::pdOutput, TFieldType::ftString, 40);
  AddMessageFields(vtMesg);
  AddMessageFields(vtFail);
  vtFail.AddField("fcount", TFieldType::ftInteger);
  vtFail.SetIndexFieldNames("fcount");
}

void TMessageIntake::OpenTables() {
  for (TVirtualTable* Table : {&vtMesg, &vtFail}) {
    Table->Close();
    Table->Open();
  }
}

void TMessageIntake::CloseTables() {
  for (TVirtualTable* Table : {&vtMesg, &vtFail}) {
    Table->Clear();
    Table->Close();
  }
}

void TMessageIntake::ReadMessages(TOraSession* Session, int ConnIndex, const std::string& ServiceName,
                                  TMessageIdSet& Processed, const TFailedMessageList& Failed) {
  vtMesg.Clear();
  vtFail.Clear();
  if (!Session || !Session->Connected()) return;
  TReadContext Context{*Session, ConnIndex, ServiceName, Processed, Failed};
  ReadSource(oq_ecfil083, Context);
  if (vtMesg.RecordCount() < BatchLimit) ReadSource(oq_qx_notice_emitent, Context);
  if (vtMesg.RecordCount() < BatchLimit) ReadSource(oq_qx_mngr_notification, Context);
  if (vtMesg.RecordCount() < BatchLimit && vtFail.RecordCount() > 0) AppendFailed(Processed);
  vtFail.Clear();
}

void TMessageIntake::AppendFailed(TMessageIdSet& Processed) {
  for (vtFail.First(); !vtFail.Eof() && vtMesg.RecordCount() < BatchLimit; vtFail.Next()) {
    std::vector<TFieldValue> Row;
    for (const char* Column : MessageColumns) Row.push_back(vtFail.FieldByName(Column).Value());
    vtMesg.AppendRecord(Row);
    Processed.Add(vtFail.FieldByName("id_mesg").AsString());
  }
}

void TMessageIntake::LogError(const TReadContext& Context, const std::string& Message) {
  FLog(Format("[#%d] %s. %s", Context.ConnIndex, Context.ServiceName, Format(cstCursorError, Message)), true);
}

void TMessageIntake::ReadSource(TOraQuery& Query, TReadContext& Context) {
  std::lock_guard<std::recursive_mutex> Guard(ServiceLock);
  Query.Close();
  try {
    Query.SetSession(&Context.Session);
    Query.Open();
    if (!Query.Eof()) {
      ospOpenMessages.SetSession(&Context.Session);
      ospOpenMessages.SetStoredProcName(Context.Session.Schema() + ProcedureSuffix);
      ospOpenMessages.Prepare();
      while (!Query.Eof() && vtMesg.RecordCount() < BatchLimit) {
        TakeRow(Query, Context);
        Query.Next();
      }
    }
  } catch (const std::exception& Error) {
    LogError(Context, Error.what());
  }
  Query.Close();
  ospOpenMessages.Close();
}

void TMessageIntake::TakeRow(TOraQuery& Query, TReadContext& Context) {
  const std::string Id = AnsiUpperCase(Trim(Query.FieldByName("trn_guid").AsString()));
  int Count = 0;
  if (!Id.empty()) {
    Count = FailureCount(Context.Failed, Id);
    if (Count >= FailureLimit) return;
    if (Count == 0 && Context.Processed.Contains(Id)) return;
  }
  try {
    const std::int64_t Flag = Query.FieldByName("flag").AsInteger();
    ospOpenMessages.Close();
    ospOpenMessages.ParamByName("P_NOTICE_GUID").SetValue(Id);
    ospOpenMessages.ParamByName("P_NOTICE_TYPE").SetValue(Flag);
    ospOpenMessages.ExecProc();
    std::vector<TFieldValue> Row{Id,
                                 Flag,
                                 Query.FieldByName("notice_email").Value(),
                                 ospOpenMessages.ParamByName("P_LETTER_TEMPLATE").Value(),
                                 ospOpenMessages.ParamByName("P_LETTER_TYPLE").Value(),
                                 Query.FieldByName("notice_type").Value(),
                                 Query.FieldByName("id_klienta").Value(),
                                 Query.FieldByName("id_prinadl").Value()};
    if (Count == 0) {
      vtMesg.AppendRecord(Row);
    } else {
      Row.emplace_back(FailureLimit - Count);
      vtFail.AppendRecord(Row);
    }
    Context.Processed.Add(Id);
  } catch (const std::exception& Error) {
    LogError(Context, Error.what());
  }
}

}  // namespace relaybird
