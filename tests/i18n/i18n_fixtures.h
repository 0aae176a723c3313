#pragma once
// Helpers shared by the localisation tests.
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_box.h"

namespace relaybird::test {

// The bytes of a UTF-16 LE file with its byte-order mark, built by hand so
// that the reader is checked against an independent encoder.
inline std::string Utf16LeFile(std::u16string_view Text) {
  std::string Bytes = "\xFF\xFE";
  for (char16_t Unit : Text) {
    Bytes += static_cast<char>(Unit & 0xFF);
    Bytes += static_cast<char>(Unit >> 8);
  }
  return Bytes;
}

struct TShownBox {
  TMessageKind Kind;
  std::string Caption;
  std::string Text;
};

// Collects the message boxes shown while it lives.
class TBoxCapture {
 public:
  TBoxCapture() {
    Shown().clear();
    SetMessageBoxHandler(&Collect);
  }
  ~TBoxCapture() { SetMessageBoxHandler(nullptr); }
  TBoxCapture(const TBoxCapture&) = delete;
  TBoxCapture& operator=(const TBoxCapture&) = delete;

  const std::vector<TShownBox>& Boxes() const { return Shown(); }

 private:
  static std::vector<TShownBox>& Shown() {
    static std::vector<TShownBox> Boxes;
    return Boxes;
  }
  static void Collect(TMessageKind Kind, const std::string& Caption, const std::string& Text) {
    Shown().push_back({Kind, Caption, Text});
  }
};

}  // namespace relaybird::test
