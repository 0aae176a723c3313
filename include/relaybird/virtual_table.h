#pragma once
// An in-memory table: typed columns, rows appended in order, a cursor with
// first/next/end, and optionally an ascending order on one column.
// Not thread-safe: the table handed to a module (mdkMessages) is guarded by
// the lock handed with it (mdkLock); any other table belongs to one thread.
#include <cstdint>
#include <string>
#include <vector>

#include "relaybird/field_value.h"

#include "relaybird/export.h"

namespace relaybird {

struct TFieldDef {
  std::string Name;
  TFieldType DataType = TFieldType::ftString;
  // Characters, for ftString.
  int Size = 0;
};

class RELAYBIRD_API TVirtualTable {
 public:
  TVirtualTable() = default;
  TVirtualTable(const TVirtualTable&) = delete;
  TVirtualTable& operator=(const TVirtualTable&) = delete;

  // Columns are defined while the table is closed. Raises EDatabaseError.
  void AddField(const std::string& Name, TFieldType DataType, int Size = 0);
  const std::vector<TFieldDef>& FieldDefs() const { return FFieldDefs; }
  // -1 when there is no such column (names compared without regard to case).
  int FindField(const std::string& Name) const;

  void Open();
  // Drops the rows.
  void Close();
  bool Active() const { return FActive; }

  // The column whose values order the rows, ascending; rows with equal values
  // keep the order in which they were appended. "" is the order of appending.
  // Raises EDatabaseError for an unknown column.
  void SetIndexFieldNames(const std::string& FieldName);
  const std::string& IndexFieldNames() const { return FIndexFieldNames; }

  // One value per column, in column order; the new row becomes current.
  // Raises EDatabaseError on a closed table, a wrong number of values, a text
  // longer than its column or a value that does not fit the column's type.
  void AppendRecord(const std::vector<TFieldValue>& Values);
  void Clear();
  int RecordCount() const { return static_cast<int>(FRows.size()); }

  void First();
  void Next();
  bool Eof() const;
  // 0-based position of the current row in the table's order, -1 when empty.
  int RecNo() const;

  // The value of the current row; raises EDatabaseError for an unknown column
  // or when there is no current row.
  TField FieldByName(const std::string& Name) const;

 private:
  struct TRow {
    std::vector<TFieldValue> Values;
  };
  int FieldIndex(const std::string& Name) const;
  bool Less(const TFieldValue& A, const TFieldValue& B) const;
  TFieldValue Coerce(const TFieldDef& Def, const TFieldValue& Value) const;
  void CheckActive() const;

  std::vector<TFieldDef> FFieldDefs;
  std::string FIndexFieldNames;
  int FIndexField = -1;
  bool FActive = false;
  // Kept in the table's order.
  std::vector<TRow> FRows;
  std::size_t FCurrent = 0;
};

}  // namespace relaybird
