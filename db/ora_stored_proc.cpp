#include "db/ora_stored_proc.h"

#include <limits>
#include <vector>

#include "relaybird/database_error.h"
#include "db/field_name.h"
#include "db/odbc_statement.h"
#include "relaybird/ora_session.h"
#include "db/sql_names.h"
#include "platform/text_encoding.h"

namespace relaybird {

namespace {

// The most bytes one character takes in UTF-8.
constexpr int MaxBytesPerCharacter = 4;

EDatabaseError BufferTooSmall(const TOraParam& Param, std::size_t Length) {
  return EDatabaseError("ORA-06502: PL/SQL: numeric or value error: character string buffer too small (" +
                            Param.Name() + ": " + std::to_string(Length) + " characters, at most " +
                            std::to_string(Param.Size()) + ")",
                        6502);
}

SQLSMALLINT InputOutputType(TParamDirection Direction) {
  switch (Direction) {
    case TParamDirection::pdInput:
      return SQL_PARAM_INPUT;
    case TParamDirection::pdOutput:
      return SQL_PARAM_OUTPUT;
    case TParamDirection::pdInputOutput:
      return SQL_PARAM_INPUT_OUTPUT;
  }
  return SQL_PARAM_INPUT;
}

bool Sends(TParamDirection Direction) { return Direction != TParamDirection::pdOutput; }
bool Receives(TParamDirection Direction) { return Direction != TParamDirection::pdInput; }

}  // namespace

// The driver reads and writes these buffers during SQLExecute; their
// addresses stay fixed from the binding on.
struct TOraStoredProc::TBindings {
  struct TBuffer {
    std::vector<char> Text;
    SQLINTEGER Integer = 0;
    double Float = 0;
    SQLLEN Indicator = 0;
  };
  std::deque<TBuffer> Buffers;
};

TOraStoredProc::TOraStoredProc()
    : FStatement(std::make_unique<TOdbcStatement>()), FBindings(std::make_unique<TBindings>()) {}

TOraStoredProc::~TOraStoredProc() = default;

void TOraStoredProc::SetSession(TOraSession* Session) {
  // The same session, or name, keeps the call prepared.
  if (Session == FSession) {
    Close();
    return;
  }
  Unprepare();
  FSession = Session;
}

void TOraStoredProc::SetStoredProcName(const std::string& Name) {
  if (Name == FName) {
    Close();
    return;
  }
  Unprepare();
  FName = Name;
}

TOraParam& TOraStoredProc::AddParam(const std::string& Name, TParamDirection Direction,
                                    TFieldType DataType, int Size) {
  if (DataType == TFieldType::ftString && Size <= 0) {
    throw EDatabaseError("Parameter '" + Name + "' needs a size");
  }
  Unprepare();
  return FParams.emplace_back(Name, Direction, DataType, DataType == TFieldType::ftString ? Size : 0);
}

TOraParam& TOraStoredProc::ParamByName(const std::string& Name) {
  for (auto& Param : FParams) {
    if (SameFieldName(Param.Name(), Name)) return Param;
  }
  throw EDatabaseError("Parameter '" + Name + "' not found");
}

TOraSession& TOraStoredProc::CheckSession() const {
  if (FSession == nullptr) throw EDatabaseError("The stored procedure call has no session");
  return *FSession;
}

void TOraStoredProc::Prepare() {
  TOraSession& Session = CheckSession();
  if (FPrepared && !FStatement->Acquire(Session)) return;
  FPrepared = false;
  CheckObjectName(FName);
  FStatement->Acquire(Session);
  // The ODBC escape is Oracle's form of a package procedure call and, for a
  // PostgreSQL function with OUT parameters, a SELECT from the function.
  std::string Call = "{call " + FName + "(";
  for (std::size_t I = 0; I < FParams.size(); ++I) Call += I == 0 ? "?" : ", ?";
  Call += ")}";
  if (!SQL_SUCCEEDED(SQLPrepare(FStatement->Handle(), reinterpret_cast<SQLCHAR*>(Call.data()),
                                static_cast<SQLINTEGER>(Call.size())))) {
    FStatement->Fail("Cannot prepare " + FName);
  }
  Bind();
  FPrepared = true;
}

void TOraStoredProc::Bind() {
  // The driver lets go of the old buffers before they are freed.
  SQLFreeStmt(FStatement->Handle(), SQL_RESET_PARAMS);
  FBindings->Buffers.clear();
  for (std::size_t I = 0; I < FParams.size(); ++I) {
    const TOraParam& Param = FParams[I];
    auto& Buffer = FBindings->Buffers.emplace_back();
    SQLSMALLINT CType = SQL_C_CHAR;
    SQLSMALLINT SqlType = SQL_VARCHAR;
    SQLULEN ColumnSize = 0;
    SQLPOINTER Data = nullptr;
    SQLLEN Length = 0;
    switch (Param.DataType()) {
      case TFieldType::ftString:
        Buffer.Text.assign(static_cast<std::size_t>(Param.Size()) * MaxBytesPerCharacter + 1, '\0');
        ColumnSize = static_cast<SQLULEN>(Param.Size());
        Data = Buffer.Text.data();
        Length = static_cast<SQLLEN>(Buffer.Text.size());
        break;
      case TFieldType::ftInteger:
        CType = SQL_C_SLONG;
        SqlType = SQL_INTEGER;
        Data = &Buffer.Integer;
        break;
      case TFieldType::ftFloat:
        CType = SQL_C_DOUBLE;
        SqlType = SQL_DOUBLE;
        Data = &Buffer.Float;
        break;
    }
    if (!SQL_SUCCEEDED(SQLBindParameter(FStatement->Handle(), static_cast<SQLUSMALLINT>(I + 1),
                                        InputOutputType(Param.Direction()), CType, SqlType, ColumnSize, 0,
                                        Data, Length, &Buffer.Indicator))) {
      FStatement->Fail("Cannot bind parameter '" + Param.Name() + "'");
    }
  }
}

void TOraStoredProc::Unprepare() {
  Close();
  FStatement->Release();
  FBindings->Buffers.clear();
  FPrepared = false;
}

void TOraStoredProc::PutInput(std::size_t Index) {
  TOraParam& Param = FParams[Index];
  auto& Buffer = FBindings->Buffers[Index];
  // An output of an earlier call must not pass for this call's.
  if (Receives(Param.Direction()) && !Sends(Param.Direction())) Param.SetValue(TFieldValue::Null());
  if (!Sends(Param.Direction())) {
    // A negative sentinel here makes some drivers ask for data at execution.
    Buffer.Indicator = 0;
    return;
  }
  if (Param.Value().IsNull()) {
    Buffer.Indicator = SQL_NULL_DATA;
    return;
  }
  TField Field = Param.AsField();
  switch (Param.DataType()) {
    case TFieldType::ftString: {
      std::string Text = Field.AsString();
      std::size_t Characters = Utf8Length(Text);
      if (Characters > static_cast<std::size_t>(Param.Size())) throw BufferTooSmall(Param, Characters);
      Text.copy(Buffer.Text.data(), Text.size());
      Buffer.Text[Text.size()] = '\0';
      Buffer.Indicator = static_cast<SQLLEN>(Text.size());
      break;
    }
    case TFieldType::ftInteger: {
      std::int64_t Value = Field.AsInteger();
      if (Value < std::numeric_limits<SQLINTEGER>::min() || Value > std::numeric_limits<SQLINTEGER>::max()) {
        throw EDatabaseError("ORA-01426: numeric overflow (" + Param.Name() + ")", 1426);
      }
      Buffer.Integer = static_cast<SQLINTEGER>(Value);
      Buffer.Indicator = 0;
      break;
    }
    case TFieldType::ftFloat:
      Buffer.Float = Field.AsFloat();
      Buffer.Indicator = 0;
      break;
  }
}

void TOraStoredProc::TakeOutput(std::size_t Index) {
  TOraParam& Param = FParams[Index];
  if (!Receives(Param.Direction())) return;
  const auto& Buffer = FBindings->Buffers[Index];
  if (Buffer.Indicator == SQL_NULL_DATA) {
    Param.SetValue(TFieldValue::Null());
    return;
  }
  switch (Param.DataType()) {
    case TFieldType::ftString: {
      if (Buffer.Indicator == SQL_NO_TOTAL || Buffer.Indicator < 0 ||
          static_cast<std::size_t>(Buffer.Indicator) >= Buffer.Text.size()) {
        throw BufferTooSmall(Param, Buffer.Indicator < 0 ? Buffer.Text.size()
                                                         : static_cast<std::size_t>(Buffer.Indicator));
      }
      std::string Text(Buffer.Text.data(), static_cast<std::size_t>(Buffer.Indicator));
      std::size_t Characters = Utf8Length(Text);
      if (Characters > static_cast<std::size_t>(Param.Size())) throw BufferTooSmall(Param, Characters);
      Param.SetValue(TFieldValue(std::move(Text)));
      break;
    }
    case TFieldType::ftInteger:
      Param.SetValue(TFieldValue(static_cast<std::int64_t>(Buffer.Integer)));
      break;
    case TFieldType::ftFloat:
      Param.SetValue(TFieldValue(Buffer.Float));
      break;
  }
}

void TOraStoredProc::ExecProc() {
  Prepare();
  for (std::size_t I = 0; I < FParams.size(); ++I) PutInput(I);
  try {
    SQLRETURN Rc = SQLExecute(FStatement->Handle());
    if (!SQL_SUCCEEDED(Rc)) FStatement->Fail("Cannot execute " + FName);
    for (std::size_t I = 0; I < FParams.size(); ++I) TakeOutput(I);
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void TOraStoredProc::Close() { FStatement->CloseCursor(); }

}  // namespace relaybird
