#include "relaybird/virtual_table.h"

#include <algorithm>

#include "relaybird/database_error.h"
#include "db/field_name.h"
#include "platform/text_encoding.h"

namespace relaybird {

void TVirtualTable::AddField(const std::string& Name, TFieldType DataType, int Size) {
  if (FActive) throw EDatabaseError("Cannot add field '" + Name + "' to an open table");
  if (Name.empty() || FindField(Name) >= 0) {
    throw EDatabaseError("Field name '" + Name + "' is empty or duplicate");
  }
  if (DataType == TFieldType::ftString && Size <= 0) {
    throw EDatabaseError("Field '" + Name + "' needs a size");
  }
  FFieldDefs.push_back({Name, DataType, DataType == TFieldType::ftString ? Size : 0});
}

int TVirtualTable::FindField(const std::string& Name) const {
  for (std::size_t I = 0; I < FFieldDefs.size(); ++I) {
    if (SameFieldName(FFieldDefs[I].Name, Name)) return static_cast<int>(I);
  }
  return -1;
}

int TVirtualTable::FieldIndex(const std::string& Name) const {
  int Index = FindField(Name);
  if (Index < 0) throw EDatabaseError("Field '" + Name + "' not found");
  return Index;
}

void TVirtualTable::Open() { FActive = true; }

void TVirtualTable::Close() {
  Clear();
  FActive = false;
}

void TVirtualTable::CheckActive() const {
  if (!FActive) throw EDatabaseError("Cannot perform this operation on a closed table");
}

void TVirtualTable::SetIndexFieldNames(const std::string& FieldName) {
  FIndexField = FieldName.empty() ? -1 : FieldIndex(FieldName);
  FIndexFieldNames = FieldName;
  // Rows appended before the order was set are put in order now; a stable
  // sort keeps equal values in the order they came.
  if (FIndexField >= 0) {
    std::stable_sort(FRows.begin(), FRows.end(), [this](const TRow& A, const TRow& B) {
      return Less(A.Values[FIndexField], B.Values[FIndexField]);
    });
  }
  FCurrent = 0;
}

TFieldValue TVirtualTable::Coerce(const TFieldDef& Def, const TFieldValue& Value) const {
  if (Value.IsNull()) return Value;
  try {
    switch (Def.DataType) {
      case TFieldType::ftString: {
        std::string Text = Value.AsString();
        if (Utf8Length(Text) > static_cast<std::size_t>(Def.Size)) {
          throw EDatabaseError("value too large for column (actual: " +
                                   std::to_string(Utf8Length(Text)) +
                                   ", maximum: " + std::to_string(Def.Size) + ")",
                               12899);
        }
        return TFieldValue(std::move(Text));
      }
      case TFieldType::ftInteger:
        return TFieldValue(Value.AsInteger());
      case TFieldType::ftFloat:
        return TFieldValue(Value.AsFloat());
    }
  } catch (const EDatabaseError& E) {
    throw EDatabaseError("Field '" + Def.Name + "': " + E.what(), E.ErrorCode());
  }
  return Value;
}

bool TVirtualTable::Less(const TFieldValue& A, const TFieldValue& B) const {
  // NULL sorts first, as in an ascending index.
  if (A.IsNull() || B.IsNull()) return A.IsNull() && !B.IsNull();
  if (FFieldDefs[FIndexField].DataType == TFieldType::ftString) return A.AsString() < B.AsString();
  return A.AsFloat() < B.AsFloat();
}

void TVirtualTable::AppendRecord(const std::vector<TFieldValue>& Values) {
  CheckActive();
  if (Values.size() != FFieldDefs.size()) {
    throw EDatabaseError("Expected " + std::to_string(FFieldDefs.size()) + " values, got " +
                         std::to_string(Values.size()));
  }
  TRow Row;
  Row.Values.reserve(Values.size());
  for (std::size_t I = 0; I < Values.size(); ++I) Row.Values.push_back(Coerce(FFieldDefs[I], Values[I]));

  auto Position = FRows.end();
  if (FIndexField >= 0) {
    Position = std::upper_bound(FRows.begin(), FRows.end(), Row, [this](const TRow& A, const TRow& B) {
      return Less(A.Values[FIndexField], B.Values[FIndexField]);
    });
  }
  FCurrent = static_cast<std::size_t>(FRows.insert(Position, std::move(Row)) - FRows.begin());
}

void TVirtualTable::Clear() {
  FRows.clear();
  FCurrent = 0;
}

void TVirtualTable::First() { FCurrent = 0; }

void TVirtualTable::Next() {
  if (FCurrent < FRows.size()) ++FCurrent;
}

bool TVirtualTable::Eof() const { return FCurrent >= FRows.size(); }

int TVirtualTable::RecNo() const {
  if (FRows.empty()) return -1;
  return static_cast<int>(std::min(FCurrent, FRows.size() - 1));
}

TField TVirtualTable::FieldByName(const std::string& Name) const {
  int Index = FieldIndex(Name);
  if (FCurrent >= FRows.size()) throw EDatabaseError("No current record");
  return TField(FFieldDefs[Index].Name, FRows[FCurrent].Values[Index]);
}

}  // namespace relaybird
