#include "smtp_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "test_support.h"

extern char** environ;

namespace relaybird::test {

namespace {

sockaddr_in Loopback(int Port) {
  sockaddr_in Address{};
  Address.sin_family = AF_INET;
  Address.sin_port = htons(static_cast<std::uint16_t>(Port));
  Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return Address;
}

bool Accepts(int Port) {
  const int Socket = socket(AF_INET, SOCK_STREAM, 0);
  if (Socket < 0) return false;
  sockaddr_in Address = Loopback(Port);
  const bool Connected = connect(Socket, reinterpret_cast<sockaddr*>(&Address), sizeof Address) == 0;
  close(Socket);
  return Connected;
}

void Run(const std::string& Command) {
  if (std::system(Command.c_str()) != 0) throw std::runtime_error("Failed: " + Command);
}

}  // namespace

std::string TReceivedMail::Header(const std::string& Key) const {
  const auto Found = Headers.find(Key);
  return Found == Headers.end() ? "" : Found->second;
}

int FreePort() {
  const int Socket = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in Address = Loopback(0);
  bind(Socket, reinterpret_cast<sockaddr*>(&Address), sizeof Address);
  socklen_t Length = sizeof Address;
  getsockname(Socket, reinterpret_cast<sockaddr*>(&Address), &Length);
  close(Socket);
  return ntohs(Address.sin_port);
}

const TTestCertificates& TestCertificates() {
  static TTempDir Folder;
  static const TTestCertificates Certificates = [] {
    const std::string D = Folder.Path();
    WriteFileBytes(D + "server.ext",
                   "subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n");
    const std::string Quiet = " >/dev/null 2>&1";
    Run("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Relaybird Test CA' -keyout " + D +
        "ca.key -out " + D + "ca.crt" + Quiet);
    Run("openssl req -newkey rsa:2048 -nodes -subj '/CN=127.0.0.1' -keyout " + D + "server.key -out " + D +
        "server.csr" + Quiet);
    Run("openssl x509 -req -days 2 -in " + D + "server.csr -CA " + D + "ca.crt -CAkey " + D +
        "ca.key -CAcreateserial -extfile " + D + "server.ext -out " + D + "server.crt" + Quiet);
    return TTestCertificates{D + "ca.crt", D + "server.crt", D + "server.key"};
  }();
  return Certificates;
}

TSmtpPeer::TSmtpPeer(std::string Folder) : FFolder(std::move(Folder)) {
  std::filesystem::create_directories(FFolder);
}

TSmtpPeer::~TSmtpPeer() { Stop(); }

void TSmtpPeer::Start(TPeerTls Tls, const std::vector<std::string>& Options, int Port) {
  Stop();
  FPort = Port == 0 ? FreePort() : Port;
  std::vector<std::string> Args = {"/usr/bin/python3", "-m", "aiosmtpd", "-n", "-l",
                                   "127.0.0.1:" + std::to_string(FPort)};
  if (Tls == TPeerTls::ptStartTls) {
    Args.insert(Args.end(), {"--tlscert", TestCertificates().CertFile, "--tlskey", TestCertificates().KeyFile});
  } else if (Tls == TPeerTls::ptTls) {
    Args.insert(Args.end(),
                {"--smtpscert", TestCertificates().CertFile, "--smtpskey", TestCertificates().KeyFile});
  }
  Args.insert(Args.end(), {"-c", "smtp_keeper.Keeper", FFolder});
  Args.insert(Args.end(), Options.begin(), Options.end());
  std::vector<char*> Argv;
  for (std::string& Arg : Args) Argv.push_back(Arg.data());
  Argv.push_back(nullptr);
  setenv("PYTHONPATH", RB_SMTP_KEEPER_DIR, 1);
  if (posix_spawn(&FPid, Argv[0], nullptr, nullptr, Argv.data(), environ) != 0) {
    FPid = -1;
    throw std::runtime_error("Cannot start the SMTP peer");
  }
  for (int Try = 0; Try < 200; ++Try) {
    if (Accepts(FPort)) return;
    int Status = 0;
    if (waitpid(FPid, &Status, WNOHANG) == FPid) {
      FPid = -1;
      throw std::runtime_error("The SMTP peer ended at its start");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  Stop();
  throw std::runtime_error("The SMTP peer does not take connections");
}

void TSmtpPeer::Stop() {
  if (FPid <= 0) return;
  kill(FPid, SIGTERM);
  int Status = 0;
  waitpid(FPid, &Status, 0);
  FPid = -1;
}

std::vector<TReceivedMail> TSmtpPeer::Received() const {
  std::vector<std::string> Names;
  for (const auto& Entry : std::filesystem::directory_iterator(FFolder)) {
    if (Entry.path().extension() == ".txt") Names.push_back(Entry.path().string());
  }
  std::sort(Names.begin(), Names.end());
  std::vector<TReceivedMail> Mails;
  for (const std::string& Name : Names) {
    std::istringstream In(ReadFileBytes(Name));
    TReceivedMail& Mail = Mails.emplace_back();
    std::string Line;
    while (std::getline(In, Line) && !Line.empty()) {
      const std::size_t Colon = Line.find(": ");
      if (Colon != std::string::npos) Mail.Headers[Line.substr(0, Colon)] = Line.substr(Colon + 2);
      else if (!Line.empty() && Line.back() == ':') Mail.Headers[Line.substr(0, Line.size() - 1)] = "";
    }
    Mail.Body.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  }
  return Mails;
}

bool TSmtpPeer::WaitFor(std::size_t Count, int Seconds) const {
  const auto Until = std::chrono::steady_clock::now() + std::chrono::seconds(Seconds);
  while (Received().size() < Count) {
    if (std::chrono::steady_clock::now() > Until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

}  // namespace relaybird::test
