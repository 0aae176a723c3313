#include "mime_message.h"

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

namespace relaybird::mail {

namespace {

const char* const Base64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char* const Replacement = "\xEF\xBF\xBD";

// Length of the UTF-8 sequence starting at I, 0 when it is not one.
std::size_t SequenceLength(const std::string& Bytes, std::size_t I) {
  const auto Lead = static_cast<unsigned char>(Bytes[I]);
  std::size_t Length = 0;
  unsigned Min = 0;
  if (Lead < 0x80) return 1;
  if (Lead >= 0xC2 && Lead <= 0xDF) {
    Length = 2;
    Min = 0x80;
  } else if (Lead >= 0xE0 && Lead <= 0xEF) {
    Length = 3;
    Min = 0x800;
  } else if (Lead >= 0xF0 && Lead <= 0xF4) {
    Length = 4;
    Min = 0x10000;
  } else {
    return 0;
  }
  if (I + Length > Bytes.size()) return 0;
  unsigned Code = Lead & (0xFF >> (Length + 1));
  for (std::size_t K = 1; K < Length; ++K) {
    const auto Next = static_cast<unsigned char>(Bytes[I + K]);
    if ((Next & 0xC0) != 0x80) return 0;
    Code = (Code << 6) | (Next & 0x3F);
  }
  if (Code < Min || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF)) return 0;
  return Length;
}

bool PlainAscii(const std::string& Text) {
  for (char Character : Text) {
    const auto C = static_cast<unsigned char>(Character);
    if (C < 0x20 || C >= 0x7F) return false;
  }
  return Text.find("=?") == std::string::npos;
}

// Line breaks and other controls would end or forge a header line.
std::string WithoutControls(const std::string& Text) {
  std::string Clean;
  for (char Character : Text) {
    const auto C = static_cast<unsigned char>(Character);
    Clean += C < 0x20 || C == 0x7F ? ' ' : Character;
  }
  return Clean;
}

std::string QuotedName(const std::string& Name) {
  std::string Quoted = "\"";
  for (char C : Name) {
    if (C == '"' || C == '\\') Quoted += '\\';
    Quoted += C;
  }
  return Quoted + "\"";
}

std::string NormalizeLineBreaks(const std::string& Text) {
  std::string Lines;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == '\r') {
      Lines += "\r\n";
      if (I + 1 < Text.size() && Text[I + 1] == '\n') ++I;
    } else if (Text[I] == '\n') {
      Lines += "\r\n";
    } else {
      Lines += Text[I];
    }
  }
  return Lines;
}

std::string LowerCase(std::string Text) {
  for (char& C : Text) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  return Text;
}

}  // namespace

std::string ValidUtf8(const std::string& Bytes) {
  std::string Text;
  Text.reserve(Bytes.size());
  std::size_t I = 0;
  while (I < Bytes.size()) {
    const std::size_t Length = SequenceLength(Bytes, I);
    if (Length == 0) {
      Text += Replacement;
      ++I;
    } else {
      Text.append(Bytes, I, Length);
      I += Length;
    }
  }
  return Text;
}

std::string EncodeBase64(const std::string& Bytes) {
  std::string Encoded;
  Encoded.reserve((Bytes.size() + 2) / 3 * 4);
  std::size_t I = 0;
  for (; I + 2 < Bytes.size(); I += 3) {
    const unsigned Triple = (static_cast<unsigned char>(Bytes[I]) << 16) |
                            (static_cast<unsigned char>(Bytes[I + 1]) << 8) | static_cast<unsigned char>(Bytes[I + 2]);
    for (int Shift = 18; Shift >= 0; Shift -= 6) Encoded += Base64Alphabet[(Triple >> Shift) & 0x3F];
  }
  if (I < Bytes.size()) {
    unsigned Triple = static_cast<unsigned char>(Bytes[I]) << 16;
    if (I + 1 < Bytes.size()) Triple |= static_cast<unsigned char>(Bytes[I + 1]) << 8;
    Encoded += Base64Alphabet[(Triple >> 18) & 0x3F];
    Encoded += Base64Alphabet[(Triple >> 12) & 0x3F];
    Encoded += I + 1 < Bytes.size() ? Base64Alphabet[(Triple >> 6) & 0x3F] : '=';
    Encoded += '=';
  }
  return Encoded;
}

std::string EncodeHeaderText(const std::string& Text) {
  const std::string Clean = WithoutControls(ValidUtf8(Text));
  if (PlainAscii(Clean)) return Clean;
  // An encoded word holds at most 75 characters: 45 bytes of text each,
  // never cutting a character in two.
  constexpr std::size_t WordBytes = 45;
  std::string Encoded;
  std::size_t I = 0;
  while (I < Clean.size()) {
    std::size_t End = I;
    while (End < Clean.size()) {
      const std::size_t Length = SequenceLength(Clean, End);
      if (End + Length - I > WordBytes) break;
      End += Length;
    }
    if (!Encoded.empty()) Encoded += "\r\n ";
    Encoded += "=?UTF-8?B?" + EncodeBase64(Clean.substr(I, End - I)) + "?=";
    I = End;
  }
  return Encoded;
}

bool LooksLikeHtml(const std::string& Body) {
  const std::string Text = LowerCase(Body);
  for (const char* Tag : {"<html", "<body", "<!doctype html", "<br", "<p>", "<div", "<table", "</"}) {
    if (Text.find(Tag) != std::string::npos) return true;
  }
  return false;
}

std::string RfcDate(std::chrono::system_clock::time_point Time) {
  static const char* const Days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t Seconds = std::chrono::system_clock::to_time_t(Time);
  std::tm Local{};
  localtime_r(&Seconds, &Local);
  const long Offset = Local.tm_gmtoff / 60;
  char Text[64];
  std::snprintf(Text, sizeof Text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", Days[Local.tm_wday],
                Local.tm_mday, Months[Local.tm_mon], Local.tm_year + 1900, Local.tm_hour, Local.tm_min,
                Local.tm_sec, Offset < 0 ? '-' : '+', std::labs(Offset) / 60, std::labs(Offset) % 60);
  return Text;
}

std::string NewMessageId(const std::string& SenderAddress) {
  static std::atomic<unsigned long> Counter{0};
  static const unsigned long long Seed = std::random_device{}() * 4294967296ULL + std::random_device{}();
  const std::size_t At = SenderAddress.rfind('@');
  const std::string Domain = At == std::string::npos || At + 1 == SenderAddress.size()
                                 ? std::string("localhost")
                                 : SenderAddress.substr(At + 1);
  char Unique[64];
  std::snprintf(Unique, sizeof Unique, "%llx.%lx.%llx", Seed,
                static_cast<unsigned long>(Counter.fetch_add(1) + 1),
                static_cast<unsigned long long>(std::chrono::system_clock::now().time_since_epoch().count()));
  return "<" + std::string(Unique) + "@" + Domain + ">";
}

std::string BuildMimeMessage(const TMailLetter& Letter, std::chrono::system_clock::time_point Time,
                             const std::string& MessageId) {
  const std::string Sender = "<" + WithoutControls(Letter.SenderAddress) + ">";
  std::string Name = EncodeHeaderText(Letter.SenderName);
  if (!Name.empty() && Name.rfind("=?", 0) != 0) Name = QuotedName(Name);
  std::string Message;
  Message += "Date: " + RfcDate(Time) + "\r\n";
  Message += "From: " + (Name.empty() ? Sender : Name + " " + Sender) + "\r\n";
  Message += "To: ";
  for (std::size_t I = 0; I < Letter.Recipients.size(); ++I) {
    Message += (I == 0 ? "<" : ",\r\n <") + WithoutControls(Letter.Recipients[I]) + ">";
  }
  Message += "\r\n";
  Message += "Subject: " + EncodeHeaderText(Letter.Subject) + "\r\n";
  Message += "Message-ID: " + MessageId + "\r\n";
  if (Letter.ReadReceipt) Message += "Disposition-Notification-To: " + Sender + "\r\n";
  Message += "MIME-Version: 1.0\r\n";
  const std::string Body = ValidUtf8(Letter.Body);
  Message += std::string("Content-Type: ") + (LooksLikeHtml(Body) ? "text/html" : "text/plain") +
             "; charset=UTF-8\r\n";
  Message += "Content-Transfer-Encoding: base64\r\n\r\n";
  const std::string Encoded = EncodeBase64(NormalizeLineBreaks(Body));
  for (std::size_t I = 0; I < Encoded.size(); I += 76) Message += Encoded.substr(I, 76) + "\r\n";
  return Message;
}

}  // namespace relaybird::mail
