#include "db/field_name.h"

#include "platform/text_encoding.h"

namespace relaybird {

namespace {

bool IsAscii(std::string_view Text) {
  for (char C : Text) {
    if (static_cast<unsigned char>(C) >= 0x80) return false;
  }
  return true;
}

char AsciiUpper(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }

}  // namespace

bool SameFieldName(std::string_view A, std::string_view B) {
  if (A == B) return true;
  if (!IsAscii(A) || !IsAscii(B)) return SameText(A, B);
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I) {
    if (AsciiUpper(A[I]) != AsciiUpper(B[I])) return false;
  }
  return true;
}

}  // namespace relaybird
