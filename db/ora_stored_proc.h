#pragma once
// A stored-procedure call on a session: the name set at run time, named
// parameters with direction, type and size, prepare, execute, out values.
#include <deque>
#include <memory>
#include <string>

#include "relaybird/field_value.h"

#include "relaybird/export.h"

namespace relaybird {

class TOraSession;
class TOdbcStatement;

enum class TParamDirection { pdInput, pdOutput, pdInputOutput };

class RELAYBIRD_API TOraParam {
 public:
  TOraParam(std::string Name, TParamDirection Direction, TFieldType DataType, int Size)
      : FName(std::move(Name)), FDirection(Direction), FDataType(DataType), FSize(Size) {}

  const std::string& Name() const { return FName; }
  TParamDirection Direction() const { return FDirection; }
  TFieldType DataType() const { return FDataType; }
  // Characters, for ftString.
  int Size() const { return FSize; }

  void SetValue(TFieldValue Value) { FValue = std::move(Value); }
  const TFieldValue& Value() const { return FValue; }
  TField AsField() const { return TField(FName, FValue); }

 private:
  std::string FName;
  TParamDirection FDirection;
  TFieldType FDataType;
  int FSize;
  TFieldValue FValue;
};

class RELAYBIRD_API TOraStoredProc {
 public:
  TOraStoredProc();
  ~TOraStoredProc();
  TOraStoredProc(const TOraStoredProc&) = delete;
  TOraStoredProc& operator=(const TOraStoredProc&) = delete;

  // Changing the session, the name or the parameters unprepares the call;
  // the same session or name again only closes it.
  void SetSession(TOraSession* Session);
  TOraSession* Session() const { return FSession; }
  // Dotted plain identifiers ("kobaltix5.orvanta5_bd.preparation_letter");
  // anything else is refused when the call is prepared.
  void SetStoredProcName(const std::string& Name);
  const std::string& StoredProcName() const { return FName; }

  // Parameters are passed in the order they were added. A string parameter
  // needs a size.
  TOraParam& AddParam(const std::string& Name, TParamDirection Direction, TFieldType DataType,
                      int Size = 0);
  // Names compared without regard to case; raises EDatabaseError when unknown.
  TOraParam& ParamByName(const std::string& Name);
  const std::deque<TOraParam>& Params() const { return FParams; }

  // Raises EDatabaseError. ExecProc prepares when needed, and again after the
  // session reconnected.
  void Prepare();
  bool Prepared() const { return FPrepared; }
  void Unprepare();

  // Sends the input values and fills the output values. A value longer than
  // its parameter's size, either way, raises EDatabaseError (6502).
  void ExecProc();
  // Ends the call's cursor, if any. Values stay.
  void Close();

 private:
  struct TBindings;
  TOraSession& CheckSession() const;
  void Bind();
  void PutInput(std::size_t Index);
  void TakeOutput(std::size_t Index);

  TOraSession* FSession = nullptr;
  std::string FName;
  std::deque<TOraParam> FParams;
  std::unique_ptr<TOdbcStatement> FStatement;
  std::unique_ptr<TBindings> FBindings;
  bool FPrepared = false;
};

}  // namespace relaybird
