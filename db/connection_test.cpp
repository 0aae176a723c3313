#include "db/connection_test.h"

#include "relaybird/database_error.h"
#include "db/ora_client_homes.h"
#include "relaybird/ora_query.h"
#include "relaybird/ora_session.h"
#include "db/sql_names.h"
#include "relaybird/catalogue.h"
#include "relaybird/text_format.h"

namespace relaybird {

namespace {

// The administrator's text for an error; Schema adds the message of a
// missing table.
std::string DescribeError(const std::exception& Error, bool Schema) {
  if (const auto* Database = dynamic_cast<const EDatabaseError*>(&Error)) {
    switch (Database->ErrorCode()) {
      case 1004:
        return cstConfigNoUserName;
      case 1005:
        return cstConfigCheckPass;
      case 1017:
        return cstConfigCheckLogin;
      case 942:
        if (Schema) return cstConfigCheckSchema;
        break;
      default:
        break;
    }
  }
  return Error.what();
}

}  // namespace

bool TestConnection(const TConnectionSettings& Settings, std::string& ErrorText) {
  ErrorText.clear();
  try {
    TOraSession Session;
    Session.SetUsername(Settings.OraUser);
    Session.SetPassword(Settings.OraPassword);
    const TOraClientHomes& Homes = OraClientHomes();
    if (Settings.OraHome >= 0 && Settings.OraHome < static_cast<int>(Homes.Names.size())) {
      Session.SetHomeName(Homes.Names[Settings.OraHome]);
    }
    Session.SetServer(Settings.OraServer);
    Session.SetSchema(Settings.OraSchema);
    try {
      Session.Connect();
    } catch (const std::exception& Error) {
      ErrorText = cstConfigConnectingError + DescribeError(Error, false);
    }
    if (Session.Connected()) {
      try {
        CheckSchemaName(Session.Schema());
        TOraQuery Query;
        Query.SetSession(&Session);
        Query.SetSQL("SELECT COUNT(*) as cnt FROM " + Session.Schema() + ".qx_commercial_settings");
        Query.Prepare();
        Query.Open();
        Query.Close();
      } catch (const std::exception& Error) {
        ErrorText = cstConfigConnectingError + DescribeError(Error, true);
      }
      Session.Disconnect();
    }
  } catch (const std::exception& Error) {
    if (ErrorText.empty()) ErrorText = cstConfigConnectingError + Error.what();
  } catch (...) {
    if (ErrorText.empty()) ErrorText = cstConfigConnectingError;
  }
  return ErrorText.empty();
}

std::string FormatOracleHome(int Index) {
  try {
    const TOraClientHomes& Homes = OraClientHomes();
    if (Index < 0 || Index >= static_cast<int>(Homes.Names.size())) return {};
    std::string Text = Format("[%d] %s", Index, Homes.Names[Index]);
    if (Index == Homes.DefaultIndex) Text += " (default)";
    return Text;
  } catch (...) {
    return {};
  }
}

}  // namespace relaybird
