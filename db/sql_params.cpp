#include "db/sql_params.h"

namespace relaybird {

namespace {

bool NameStart(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; }
bool NamePart(char C) { return NameStart(C) || (C >= '0' && C <= '9'); }

// Position just past the quoted part that begins at Start with Quote; a
// doubled quote stands for itself. An open quote runs to the end.
std::size_t SkipQuoted(const std::string& Sql, std::size_t Start, char Quote) {
  std::size_t I = Start + 1;
  while (I < Sql.size()) {
    if (Sql[I] == Quote) {
      if (I + 1 < Sql.size() && Sql[I + 1] == Quote) {
        I += 2;
        continue;
      }
      return I + 1;
    }
    ++I;
  }
  return Sql.size();
}

}  // namespace

TParamMarkers ParseParamMarkers(const std::string& Sql) {
  TParamMarkers Result;
  std::size_t I = 0;
  while (I < Sql.size()) {
    const char C = Sql[I];
    std::size_t Next = I + 1;
    if (C == '\'' || C == '"') {
      Next = SkipQuoted(Sql, I, C);
    } else if (C == '-' && I + 1 < Sql.size() && Sql[I + 1] == '-') {
      Next = Sql.find('\n', I);
      if (Next == std::string::npos) Next = Sql.size();
    } else if (C == '/' && I + 1 < Sql.size() && Sql[I + 1] == '*') {
      Next = Sql.find("*/", I + 2);
      Next = Next == std::string::npos ? Sql.size() : Next + 2;
    } else if (C == ':' && I + 1 < Sql.size() && Sql[I + 1] == ':') {
      Next = I + 2;
    } else if (C == ':' && I + 1 < Sql.size() && NameStart(Sql[I + 1])) {
      Next = I + 1;
      while (Next < Sql.size() && NamePart(Sql[Next])) ++Next;
      Result.Names.push_back(Sql.substr(I + 1, Next - I - 1));
      Result.Text += '?';
      I = Next;
      continue;
    }
    Result.Text.append(Sql, I, Next - I);
    I = Next;
  }
  return Result;
}

}  // namespace relaybird
