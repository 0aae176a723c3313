#include "smtp_client.h"

#include <curl/curl.h>
#include <sys/socket.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <stdexcept>

namespace relaybird::mail {

namespace {

struct TSlist {
  curl_slist* List = nullptr;
  ~TSlist() { curl_slist_free_all(List); }
  void Append(const std::string& Text) {
    curl_slist* Longer = curl_slist_append(List, Text.c_str());
    if (Longer == nullptr) throw std::bad_alloc();
    List = Longer;
  }
};

bool ConnectionError(CURLcode Code, long Reply) {
  switch (Code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_USE_SSL_FAILED:
    case CURLE_LOGIN_DENIED:
    case CURLE_AUTH_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_ABORTED_BY_CALLBACK:
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return true;
    default:
      // A reply the server gave keeps the connection usable, except that
      // 421 closes it; no reply at all means it broke.
      return Reply < 400 || Reply == 421;
  }
}

std::string UrlOf(const TMailSettings& Settings) {
  const bool Literal6 = Settings.Host.find(':') != std::string::npos;
  return std::string(Settings.Security == TMailSecurity::msTls ? "smtps://" : "smtp://") +
         (Literal6 ? "[" + Settings.Host + "]" : Settings.Host) + ":" + std::to_string(Settings.Port);
}

constexpr std::chrono::seconds StopGrace{5};

}  // namespace

struct TSmtpClient::TState {
  CURL* Handle = nullptr;
  TMailSettings Settings;
  std::function<bool()> Stopped;
  char ErrorText[CURL_ERROR_SIZE] = {0};
  // What one message is sending.
  const std::string* Message = nullptr;
  std::size_t Sent = 0;
  std::string PendingRecipient;
  std::string LastReply;
  std::vector<std::string> Refused;
  // The connection failed: no QUIT is waited for at the end.
  bool Broken = false;
  // When a stop was first seen while a message awaited its reply.
  std::chrono::steady_clock::time_point StopSeen{};

  static std::size_t Read(char* Buffer, std::size_t Size, std::size_t Count, void* User) {
    auto* State = static_cast<TState*>(User);
    const std::size_t Room = Size * Count;
    const std::size_t Left = State->Message->size() - State->Sent;
    const std::size_t Piece = Left < Room ? Left : Room;
    std::memcpy(Buffer, State->Message->data() + State->Sent, Piece);
    State->Sent += Piece;
    return Piece;
  }

  static int Progress(void* User, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* State = static_cast<TState*>(User);
    if (!State->Stopped || !State->Stopped()) return 0;
    // A message handed over whole may already be the server's: its reply is
    // awaited a little, so that a stop does not make it go out twice.
    if (State->Message != nullptr && State->Sent == State->Message->size()) {
      const auto Now = std::chrono::steady_clock::now();
      if (State->StopSeen == std::chrono::steady_clock::time_point{}) State->StopSeen = Now;
      if (Now - State->StopSeen < StopGrace) return 0;
    }
    return 1;
  }

  // Follows the dialogue to learn which recipient the server refused.
  static int Debug(CURL*, curl_infotype Type, char* Data, std::size_t Size, void* User) {
    auto* State = static_cast<TState*>(User);
    std::string Line(Data, Size);
    while (!Line.empty() && (Line.back() == '\n' || Line.back() == '\r')) Line.pop_back();
    if (Type == CURLINFO_HEADER_OUT) {
      State->PendingRecipient.clear();
      if (Line.rfind("RCPT TO:", 0) == 0) {
        State->PendingRecipient = Line.substr(8);
        if (State->PendingRecipient.size() >= 2 && State->PendingRecipient.front() == '<') {
          State->PendingRecipient = State->PendingRecipient.substr(1, State->PendingRecipient.find('>') - 1);
        }
      }
    } else if (Type == CURLINFO_HEADER_IN) {
      State->LastReply = Line;
      if (!State->PendingRecipient.empty() && !Line.empty() && Line[0] >= '4') {
        State->Refused.push_back(State->PendingRecipient + " (" + Line + ")");
      }
      State->PendingRecipient.clear();
    }
    return 0;
  }
};

void InitSmtpLibrary() {
  static std::once_flag Once;
  std::call_once(Once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

TSmtpClient::TSmtpClient(const TMailSettings& Settings, std::function<bool()> Stopped)
    : FState(std::make_unique<TState>()) {
  InitSmtpLibrary();
  FState->Settings = Settings;
  FState->Stopped = std::move(Stopped);
  FState->Handle = curl_easy_init();
  if (FState->Handle == nullptr) throw std::runtime_error("libcurl cannot make a handle");
  CURL* H = FState->Handle;
  curl_easy_setopt(H, CURLOPT_URL, UrlOf(Settings).c_str());
  curl_easy_setopt(H, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(H, CURLOPT_ERRORBUFFER, FState->ErrorText);
  curl_easy_setopt(H, CURLOPT_CONNECTTIMEOUT, static_cast<long>(Settings.ConnectTimeout));
  curl_easy_setopt(H, CURLOPT_TIMEOUT, static_cast<long>(Settings.ConnectTimeout + Settings.CommandTimeout));
  if (Settings.Security == TMailSecurity::msStartTls) curl_easy_setopt(H, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
  curl_easy_setopt(H, CURLOPT_SSL_VERIFYPEER, Settings.VerifyCertificate ? 1L : 0L);
  curl_easy_setopt(H, CURLOPT_SSL_VERIFYHOST, Settings.VerifyCertificate ? 2L : 0L);
  if (!Settings.CaFile.empty()) curl_easy_setopt(H, CURLOPT_CAINFO, Settings.CaFile.c_str());
  if (!Settings.User.empty()) {
    curl_easy_setopt(H, CURLOPT_USERNAME, Settings.User.c_str());
    curl_easy_setopt(H, CURLOPT_PASSWORD, Settings.Password.c_str());
  }
  curl_easy_setopt(H, CURLOPT_MAIL_FROM, ("<" + Settings.SenderAddress + ">").c_str());
#if LIBCURL_VERSION_NUM >= 0x080200
  curl_easy_setopt(H, CURLOPT_MAIL_RCPT_ALLOWFAILS, 1L);
#else
  curl_easy_setopt(H, CURLOPT_MAIL_RCPT_ALLLOWFAILS, 1L);
#endif
  curl_easy_setopt(H, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(H, CURLOPT_READFUNCTION, &TState::Read);
  curl_easy_setopt(H, CURLOPT_READDATA, FState.get());
  curl_easy_setopt(H, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(H, CURLOPT_XFERINFOFUNCTION, &TState::Progress);
  curl_easy_setopt(H, CURLOPT_XFERINFODATA, FState.get());
  curl_easy_setopt(H, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(H, CURLOPT_DEBUGFUNCTION, &TState::Debug);
  curl_easy_setopt(H, CURLOPT_DEBUGDATA, FState.get());
}

TSmtpClient::~TSmtpClient() {
  if (FState->Broken) {
    // A server that stopped answering would hold the QUIT of the clean-up
    // for a whole timeout; a shut socket makes it fail at once.
    curl_socket_t Socket = CURL_SOCKET_BAD;
    if (curl_easy_getinfo(FState->Handle, CURLINFO_ACTIVESOCKET, &Socket) == CURLE_OK &&
        Socket != CURL_SOCKET_BAD) {
      shutdown(Socket, SHUT_RDWR);
    }
  }
  curl_easy_cleanup(FState->Handle);
}

TSmtpOutcome TSmtpClient::Send(const std::vector<std::string>& Recipients, const std::string& Message) {
  TState& State = *FState;
  TSlist List;
  for (const std::string& Recipient : Recipients) List.Append("<" + Recipient + ">");
  State.Message = &Message;
  State.Sent = 0;
  State.PendingRecipient.clear();
  State.LastReply.clear();
  State.Refused.clear();
  State.ErrorText[0] = '\0';
  curl_easy_setopt(State.Handle, CURLOPT_MAIL_RCPT, List.List);
  curl_easy_setopt(State.Handle, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(Message.size()));
  const CURLcode Code = curl_easy_perform(State.Handle);
  curl_easy_setopt(State.Handle, CURLOPT_MAIL_RCPT, nullptr);

  TSmtpOutcome Outcome;
  long Reply = 0;
  curl_easy_getinfo(State.Handle, CURLINFO_RESPONSE_CODE, &Reply);
  long NewConnections = 0;
  curl_easy_getinfo(State.Handle, CURLINFO_NUM_CONNECTS, &NewConnections);
  Outcome.Connected = NewConnections > 0 && (Code == CURLE_OK || Reply >= 200);
  Outcome.Refused = State.Refused;
  if (Code == CURLE_OK) {
    Outcome.Delivered = true;
    return Outcome;
  }
  Outcome.ConnectionFailed = ConnectionError(Code, Reply);
  State.Broken = State.Broken || Outcome.ConnectionFailed;
  Outcome.Error = State.ErrorText[0] != '\0' ? State.ErrorText : curl_easy_strerror(Code);
  if (!State.LastReply.empty() && Outcome.Error.find(State.LastReply) == std::string::npos) {
    Outcome.Error += " (" + State.LastReply + ")";
  }
  return Outcome;
}

}  // namespace relaybird::mail
