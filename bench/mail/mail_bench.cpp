// Delivery rate of the e-mail module's worker for 20-letter batches, against
// a plain libcurl program sending the same messages over one connection and
// against one connection per message, all to one local SMTP server (the
// tests' aiosmtpd keeper, started here).
//
//   mail_bench [batches of 20 letters per way, default 10]
//
// Compare figures of one run only: the machine's load moves them all.
#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "mail_service.h"
#include "mime_message.h"
#include "relaybird/catalogue.h"
#include "relaybird/ini_file.h"
#include "relaybird/module_abi.h"
#include "relaybird/process_log.h"
#include "relaybird/virtual_table.h"
#include "i18n/translator.h"
#include "smtp_peer.h"
#include "test_support.h"

namespace {

using namespace relaybird;

constexpr int BatchSize = 20;

struct TReader {
  const std::string* Message;
  std::size_t Sent = 0;
  static std::size_t Read(char* Buffer, std::size_t Size, std::size_t Count, void* User) {
    auto* Self = static_cast<TReader*>(User);
    const std::size_t Piece = std::min(Size * Count, Self->Message->size() - Self->Sent);
    std::memcpy(Buffer, Self->Message->data() + Self->Sent, Piece);
    Self->Sent += Piece;
    return Piece;
  }
};

std::string Recipient(int I) { return "reader" + std::to_string(I) + "@example.test"; }

std::string Message(int I) {
  mail::TMailLetter Letter{"bench@relaybird.test", "Relaybird", {Recipient(I)}, "Уведомление " + std::to_string(I),
                           "Уважаемый клиент! Пришло уведомление номер " + std::to_string(I) + ".", false};
  return mail::BuildMimeMessage(Letter, std::chrono::system_clock::now(), mail::NewMessageId(Letter.SenderAddress));
}

void Send(CURL* Handle, int Port, int I) {
  const std::string Text = Message(I);
  TReader Reader{&Text};
  curl_slist* Rcpt = curl_slist_append(nullptr, ("<" + Recipient(I) + ">").c_str());
  curl_easy_setopt(Handle, CURLOPT_URL, ("smtp://127.0.0.1:" + std::to_string(Port)).c_str());
  curl_easy_setopt(Handle, CURLOPT_MAIL_FROM, "<bench@relaybird.test>");
  curl_easy_setopt(Handle, CURLOPT_MAIL_RCPT, Rcpt);
  curl_easy_setopt(Handle, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(Handle, CURLOPT_READFUNCTION, &TReader::Read);
  curl_easy_setopt(Handle, CURLOPT_READDATA, &Reader);
  curl_easy_setopt(Handle, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(Text.size()));
  const CURLcode Code = curl_easy_perform(Handle);
  curl_slist_free_all(Rcpt);
  if (Code != CURLE_OK) {
    std::fprintf(stderr, "send failed: %s\n", curl_easy_strerror(Code));
    std::exit(1);
  }
}

void PlainOneConnection(int Port, int Batches) {
  for (int B = 0; B < Batches; ++B) {
    CURL* Handle = curl_easy_init();
    for (int I = 0; I < BatchSize; ++I) Send(Handle, Port, B * BatchSize + I);
    curl_easy_cleanup(Handle);
  }
}

void PlainConnectionPerMessage(int Port, int Batches) {
  for (int I = 0; I < Batches * BatchSize; ++I) {
    CURL* Handle = curl_easy_init();
    Send(Handle, Port, I);
    curl_easy_cleanup(Handle);
  }
}

void ModuleWorker(mail::TMailService& Service, int Batches) {
  std::recursive_mutex HostLock;
  TServiceSettings Settings;
  for (int B = 0; B < Batches; ++B) {
    TVirtualTable Messages;
    Messages.AddField("id_mesg", TFieldType::ftString, 50);
    Messages.AddField("id_type", TFieldType::ftInteger);
    Messages.AddField("totarget", TFieldType::ftString, 100);
    Messages.AddField("mesg_body", TFieldType::ftString, 4000);
    Messages.AddField("mesg_subject", TFieldType::ftString, 40);
    Messages.Open();
    for (int I = 0; I < BatchSize; ++I) {
      const int N = B * BatchSize + I;
      Messages.AppendRecord({"ID" + std::to_string(N), 0, Recipient(N),
                             "Уважаемый клиент! Пришло уведомление номер " + std::to_string(N) + ".",
                             "Уведомление " + std::to_string(N)});
    }
    const std::string ProcessID = "BENCH" + std::to_string(B);
    Service.Initialize(ProcessID);
    Service.SetData(mdkLock, ProcessID, &HostLock, 4);
    Service.SetData(mdkMessages, ProcessID, &Messages, 4);
    Service.Execute("MAIL", ProcessID);
    while (!Service.AccessNewProcess()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!Service.Failures().Report().empty()) {
    std::fprintf(stderr, "the worker failed letters:\n%s", Service.Failures().Report().c_str());
    std::exit(1);
  }
}

double Rate(const char* Name, int Letters, const std::function<void()>& Run) {
  const auto Start = std::chrono::steady_clock::now();
  Run();
  const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  const double PerSecond = Letters / Seconds;
  std::printf("%-40s %6d letters  %8.3f s  %8.1f letters/s\n", Name, Letters, Seconds, PerSecond);
  return PerSecond;
}

}  // namespace

int main(int Argc, char** Argv) {
  const int Batches = Argc > 1 ? std::max(1, std::atoi(Argv[1])) : 10;
  curl_global_init(CURL_GLOBAL_DEFAULT);
  CreateTransFormList();
  TranslateConstants();
  test::TTempDir Dir;
  test::TSmtpPeer Peer(Dir.Path() + "mails");
  Peer.Start();
  static std::recursive_mutex LogLock;
  SetLogLock(&LogLock);
  SettingsFileName = Dir.Path() + "Relaybird.ini";
  TIniFile Ini(SettingsFileName);
  Ini.WriteString("MAIL", "SmtpHost", "127.0.0.1");
  Ini.WriteInteger("MAIL", "SmtpPort", Peer.Port());
  Ini.WriteString("MAIL", "SenderAddress", "bench@relaybird.test");
  Ini.WriteInteger("MAIL", "Logging", 0);

  const int Letters = Batches * BatchSize;
  std::printf("SMTP server: aiosmtpd on 127.0.0.1:%d, %d batches of %d letters per way\n", Peer.Port(), Batches,
              BatchSize);
  // The server's first connections are slower: warm it up first.
  PlainOneConnection(Peer.Port(), 1);
  mail::TMailService Service;
  const double Worker = Rate("module worker, one connection per batch", Letters, [&] { ModuleWorker(Service, Batches); });
  const double OneConnection =
      Rate("plain libcurl, one connection per batch", Letters, [&] { PlainOneConnection(Peer.Port(), Batches); });
  const double PerMessage = Rate("plain libcurl, one connection per letter", Letters,
                                 [&] { PlainConnectionPerMessage(Peer.Port(), Batches); });
  std::printf("worker / plain one connection:  %.2f (goal >= 0.90)\n", Worker / OneConnection);
  std::printf("worker / connection per letter: %.2f (goal > 1)\n", Worker / PerMessage);
  if (!Peer.WaitFor(static_cast<std::size_t>(3 * Letters + BatchSize), 30)) {
    std::fprintf(stderr, "the server did not keep every letter\n");
    return 1;
  }
  return 0;
}
