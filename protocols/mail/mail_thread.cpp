#include "mail_thread.h"

#include <chrono>
#include <exception>

#include "relaybird/catalogue.h"
#include "mail_address.h"
#include "mime_message.h"
#include "smtp_client.h"
#include "relaybird/text_format.h"

namespace relaybird::mail {

namespace {

// Codes of the message-status table.
constexpr int StatusSended = 1;
constexpr int StatusStop = 2;
constexpr int StatusErrGate = 3;
constexpr int StatusFormatError = 6;

std::string Join(const std::vector<std::string>& Items) {
  std::string Text;
  for (const std::string& Item : Items) Text += (Text.empty() ? "" : ", ") + Item;
  return Text;
}

}  // namespace

struct TMailThread::TLetter {
  std::string Id;
  int IdType = 0;
  std::string Target;
  std::string Body;
  std::string Subject;
};

TMailThread::TMailThread(TMailBatch Batch, TMailSettings Mail, std::unique_ptr<TSessionParams> Connection,
                         TFailureRegistry& Failures, TOutcomeBacklog& Backlog)
    : FBatch(std::move(Batch)),
      FMail(std::move(Mail)),
      FConnection(std::move(Connection)),
      FFailures(Failures),
      FBacklog(Backlog) {
  const int IdColumn = [this] {
    for (std::size_t I = 0; I < FBatch.Fields.size(); ++I) {
      if (FBatch.Fields[I].Name == "id_mesg") return static_cast<int>(I);
    }
    return -1;
  }();
  if (IdColumn >= 0) {
    for (const auto& Row : FBatch.Rows) {
      if (!Row[IdColumn].AsString().empty()) FUnsettled.insert(Row[IdColumn].AsString());
    }
  }
  FFailures.Begin({FUnsettled.begin(), FUnsettled.end()});
}

TMailThread::~TMailThread() {
  // A letter the run never settled (it was stopped first, or ended by an
  // error) failed this time: it is reported, never lost.
  for (const std::string& Id : FUnsettled) FFailures.Fail(Id);
}

void TMailThread::LoadMessages() {
  for (const TFieldDef& Field : FBatch.Fields) Table.AddField(Field.Name, Field.DataType, Field.Size);
  Table.Open();
  for (const auto& Row : FBatch.Rows) Table.AppendRecord(Row);
}

std::string TMailThread::StatusName(int Code) const {
  for (const TMessageStatusRec& Status : Statuses) {
    if (Status.Code == Code) return Status.Name;
  }
  return std::to_string(Code);
}

void TMailThread::Detail(const std::string& Msg) {
  if (FMail.Logging) Log(Msg, false);
}

void TMailThread::ProcessMessages() {
  std::vector<TLetter> Letters;
  for (Table.First(); !Table.Eof(); Table.Next()) {
    TLetter& Letter = Letters.emplace_back();
    Letter.Id = Table.FieldByName("id_mesg").AsString();
    Letter.IdType = static_cast<int>(Table.FieldByName("id_type").AsInteger());
    Letter.Target = Table.FieldByName("totarget").AsString();
    Letter.Body = Table.FieldByName("mesg_body").AsString();
    Letter.Subject = Table.FieldByName("mesg_subject").AsString();
  }
  RecordBacklog();
  for (const TLetter& Letter : Letters) Deliver(Letter);
  // QUIT before the summary line.
  FClient.reset();
  RecordBacklog();
}

void TMailThread::Deliver(const TLetter& Letter) {
  if (Terminated()) {
    Failed(Letter, StatusName(StatusStop), nullptr);
    return;
  }
  if (!FConnectionError.empty()) {
    Failed(Letter, FConnectionError, nullptr);
    return;
  }
  std::vector<std::string> Valid;
  std::vector<std::string> Invalid;
  for (const std::string& Address : SplitAddresses(Letter.Target)) {
    (ValidAddress(Address) ? Valid : Invalid).push_back(Address);
  }
  for (const std::string& Address : Invalid) Log(Format(cstMailInvalidUserAdr, Address), false);
  if (Valid.empty()) {
    const std::string Error = Format(cstMailInvalidUserAdr, Letter.Target);
    if (Invalid.empty()) Log(Error, false);
    Failed(Letter, Error, StatusName(StatusFormatError).c_str());
    return;
  }

  if (!FClient) FClient = std::make_unique<TSmtpClient>(FMail, [this] { return Terminated(); });
  bool Accepted = false;
  std::string Error;
  for (const auto& Group : GroupAddresses(Valid, FMail.Broadcast)) {
    TMailLetter Mime{FMail.SenderAddress, FMail.SenderName, Group, Letter.Subject, Letter.Body, FMail.ReadReceipt};
    const TSmtpOutcome Outcome = FClient->Send(
        Group, BuildMimeMessage(Mime, std::chrono::system_clock::now(), NewMessageId(FMail.SenderAddress)));
    if (Outcome.Connected) Detail(Format(cstMailConnected, FMail.Host, FMail.Port));
    if (Outcome.Delivered) {
      Accepted = true;
      if (!Outcome.Refused.empty()) Log(Format(cstMailNotSended, Join(Outcome.Refused)), false);
      continue;
    }
    Error = Outcome.Error;
    if (Outcome.ConnectionFailed) {
      FConnectionError = Terminated() ? StatusName(StatusStop) : Error;
      Log(Format(cstMailConnectError, Error), !Terminated());
      break;
    }
    Log(Format(cstMailNotSended, Outcome.Refused.empty() ? Join(Group) + " (" + Error + ")"
                                                            : Join(Outcome.Refused)),
        false);
  }
  // A letter some recipients received is not sent again to them.
  if (Accepted) {
    Delivered(Letter);
  } else {
    Failed(Letter, Error, nullptr);
  }
}

void TMailThread::Delivered(const TLetter& Letter) {
  ++SentCount;
  FUnsettled.erase(Letter.Id);
  FFailures.Delivered(Letter.Id);
  RecordOutcome(Letter, StatusName(StatusSended), "");
}

void TMailThread::Failed(const TLetter& Letter, const std::string& Error, const char* GiveUpStatus) {
  ++Outcome1;
  if (!FConnectionError.empty()) Outcome2 = 1;
  if (Letter.Id.empty() || FUnsettled.erase(Letter.Id) == 0) return;
  if (FFailures.Fail(Letter.Id) == TFailureRegistry::GiveUpCount) {
    RecordOutcome(Letter, GiveUpStatus ? GiveUpStatus : StatusName(StatusErrGate), Error);
  }
}

void TMailThread::RecordOutcome(const TLetter& Letter, const std::string& Status, const std::string& Error) {
  if (FMail.ResultStatement.empty() || !FConnection) return;
  TLetterOutcome Outcome{Letter.Id, Letter.IdType, Status, Error};
  if (!Record(Outcome)) FBacklog.Keep(*FConnection, std::move(Outcome));
}

void TMailThread::RecordBacklog() {
  if (FMail.ResultStatement.empty() || !FConnection) return;
  std::vector<TLetterOutcome> Outcomes = FBacklog.Take(*FConnection);
  for (std::size_t I = 0; I < Outcomes.size(); ++I) {
    if (Record(Outcomes[I])) continue;
    // The database is still away: the rest waits too, without a line each.
    for (; I < Outcomes.size(); ++I) FBacklog.Keep(*FConnection, std::move(Outcomes[I]));
  }
}

bool TMailThread::Record(const TLetterOutcome& Outcome) {
  try {
    if (!FRecorder) FRecorder = std::make_unique<TResultRecorder>(*FConnection, FMail.ResultStatement);
    FRecorder->Record(Outcome.Id, Outcome.IdType, Outcome.Outcome, Outcome.Error);
    Detail(Format(cstMailStatusRefresh, Outcome.Id, Outcome.Outcome));
    return true;
  } catch (const std::exception& E) {
    Log(Format(cstMailStatusRefreshError, std::string(E.what())), true);
    return false;
  }
}

}  // namespace relaybird::mail
