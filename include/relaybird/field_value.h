#pragma once
// One field value of a query row or an in-memory table row, read as text,
// number or integer.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "relaybird/export.h"

namespace relaybird {

enum class TFieldType { ftString, ftInteger, ftFloat };

class RELAYBIRD_API TFieldValue {
 public:
  TFieldValue() = default;
  TFieldValue(std::string Value) : FValue(std::move(Value)) {}
  TFieldValue(const char* Value) : FValue(std::string(Value)) {}
  TFieldValue(std::int64_t Value) : FValue(Value) {}
  TFieldValue(int Value) : FValue(static_cast<std::int64_t>(Value)) {}
  TFieldValue(double Value) : FValue(Value) {}

  static TFieldValue Null() { return TFieldValue(); }
  // Becomes the text, reusing the storage of a text it held before.
  void AssignText(std::string_view Text);

  bool IsNull() const { return std::holds_alternative<std::monostate>(FValue); }
  // A NULL reads as the empty text; numbers in their shortest decimal form.
  std::string AsString() const;
  // A NULL, or a text that is no number, raises EDatabaseError; a fraction is
  // rounded to the nearest integer, halves to the even one.
  std::int64_t AsInteger() const;
  double AsFloat() const;

  bool operator==(const TFieldValue&) const = default;

 private:
  std::variant<std::monostate, std::string, std::int64_t, double> FValue;
};

// A named field of the current row; valid until the row or the table changes.
// Conversion errors name the field.
class RELAYBIRD_API TField {
 public:
  TField(const std::string& Name, const TFieldValue& Value) : FName(Name), FValue(Value) {}
  const std::string& Name() const { return FName; }
  const TFieldValue& Value() const { return FValue; }
  bool IsNull() const { return FValue.IsNull(); }
  std::string AsString() const { return FValue.AsString(); }
  std::int64_t AsInteger() const;
  double AsFloat() const;

 private:
  const std::string& FName;
  const TFieldValue& FValue;
};

}  // namespace relaybird
