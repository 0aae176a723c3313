#include "relaybird/field_value.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "relaybird/database_error.h"

namespace relaybird {

namespace {

std::string FloatToText(double Value) {
  char Buffer[32];
  auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
  return std::string(Buffer, Result.ptr);
}

std::string_view TrimBlanks(std::string_view Text) {
  while (!Text.empty() && static_cast<unsigned char>(Text.front()) <= ' ') Text.remove_prefix(1);
  while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= ' ') Text.remove_suffix(1);
  if (Text.size() > 1 && Text.front() == '+') Text.remove_prefix(1);
  return Text;
}

// Decimal text as drivers deliver numbers: blanks around it, a sign, a
// fraction, an exponent.
bool TextToFloat(std::string_view Text, double& Value) {
  std::string_view Number = TrimBlanks(Text);
  if (Number.empty()) return false;
  auto Result = std::from_chars(Number.data(), Number.data() + Number.size(), Value);
  return Result.ec == std::errc() && Result.ptr == Number.data() + Number.size() &&
         std::isfinite(Value);
}

std::int64_t FloatToInteger(double Value, const std::string& Text) {
  double Rounded = std::nearbyint(Value);
  // 2^63 is exactly representable; anything at or beyond it does not fit.
  if (!(Rounded >= -9223372036854775808.0 && Rounded < 9223372036854775808.0)) {
    throw EDatabaseError("'" + Text + "' is not a valid integer value", 1426);
  }
  return static_cast<std::int64_t>(Rounded);
}

}  // namespace

void TFieldValue::AssignText(std::string_view Text) {
  if (auto* Held = std::get_if<std::string>(&FValue)) {
    Held->assign(Text);
  } else {
    FValue = std::string(Text);
  }
}

std::string TFieldValue::AsString() const {
  if (const auto* Text = std::get_if<std::string>(&FValue)) return *Text;
  if (const auto* Integer = std::get_if<std::int64_t>(&FValue)) return std::to_string(*Integer);
  if (const auto* Float = std::get_if<double>(&FValue)) return FloatToText(*Float);
  return std::string();
}

std::int64_t TFieldValue::AsInteger() const {
  if (const auto* Integer = std::get_if<std::int64_t>(&FValue)) return *Integer;
  if (const auto* Float = std::get_if<double>(&FValue)) return FloatToInteger(*Float, FloatToText(*Float));
  if (const auto* Text = std::get_if<std::string>(&FValue)) {
    std::string_view Number = TrimBlanks(*Text);
    std::int64_t Value = 0;
    auto Result = std::from_chars(Number.data(), Number.data() + Number.size(), Value);
    if (!Number.empty() && Result.ec == std::errc() && Result.ptr == Number.data() + Number.size()) {
      return Value;
    }
    double Float = 0;
    if (TextToFloat(*Text, Float)) return FloatToInteger(Float, *Text);
    throw EDatabaseError("'" + *Text + "' is not a valid integer value", 1722);
  }
  throw EDatabaseError("fetched column value is NULL", 1405);
}

double TFieldValue::AsFloat() const {
  if (const auto* Float = std::get_if<double>(&FValue)) return *Float;
  if (const auto* Integer = std::get_if<std::int64_t>(&FValue)) return static_cast<double>(*Integer);
  if (const auto* Text = std::get_if<std::string>(&FValue)) {
    double Value = 0;
    if (TextToFloat(*Text, Value)) return Value;
    throw EDatabaseError("'" + *Text + "' is not a valid floating point value", 1722);
  }
  throw EDatabaseError("fetched column value is NULL", 1405);
}

std::int64_t TField::AsInteger() const {
  try {
    return FValue.AsInteger();
  } catch (const EDatabaseError& E) {
    throw EDatabaseError("Field '" + FName + "': " + E.what(), E.ErrorCode());
  }
}

double TField::AsFloat() const {
  try {
    return FValue.AsFloat();
  } catch (const EDatabaseError& E) {
    throw EDatabaseError("Field '" + FName + "': " + E.what(), E.ErrorCode());
  }
}

}  // namespace relaybird
