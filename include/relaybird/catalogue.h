#pragma once
// The message catalogue: every text the program shows or logs, filled from
// the "WORDS" section of the language file over built-in Russian defaults.
// The texts are filled once at program start, before any other thread runs,
// and then only read, from any thread. (The window refills them on a change
// of language: its process runs no other thread that reads them.)
#include <span>
#include <string>

#include "relaybird/export.h"

namespace relaybird {

// Never translated.
extern RELAYBIRD_API const char* const ServiceTitle;
extern RELAYBIRD_API const char* const ServiceSysName;
extern RELAYBIRD_API const char* const ServiceLogonRight;

// Empty until the first TranslateConstants; keys are the variable names.
extern RELAYBIRD_API std::string cstServiceDesc;
extern RELAYBIRD_API std::string cstServiceInstallError;
extern RELAYBIRD_API std::string sctServiceStop;
extern RELAYBIRD_API std::string cstServiceRegNotExist;
extern RELAYBIRD_API std::string cstServerErrorErrorParams;
extern RELAYBIRD_API std::string cstServiceLogCreateError;
extern RELAYBIRD_API std::string cstSendedMessages;
extern RELAYBIRD_API std::string cstSendedUserMessage;
extern RELAYBIRD_API std::string cstNotSendedUserMessage;
extern RELAYBIRD_API std::string cstNotSendedMessage;
extern RELAYBIRD_API std::string cstErrorStr;
extern RELAYBIRD_API std::string cstInformationStr;
extern RELAYBIRD_API std::string cstWraningStr;
extern RELAYBIRD_API std::string cstSuccessStr;
extern RELAYBIRD_API std::string cstStopStr;
extern RELAYBIRD_API std::string cstLoadedStr;
extern RELAYBIRD_API std::string cstErrorFormat;
extern RELAYBIRD_API std::string cstCursorEmpty;
extern RELAYBIRD_API std::string cstDeleteTempFiles;
extern RELAYBIRD_API std::string cstOpenDataError;
extern RELAYBIRD_API std::string cstCursorError;
extern RELAYBIRD_API std::string cstGetMessages;
extern RELAYBIRD_API std::string cstConfigYes;
extern RELAYBIRD_API std::string cstConfigNo;
extern RELAYBIRD_API std::string cstMessagesCount;
extern RELAYBIRD_API std::string cstRebootMessage;
extern RELAYBIRD_API std::string cstServiceWaitModule;
extern RELAYBIRD_API std::string cstServiceNonModules;
extern RELAYBIRD_API std::string cstMailServiceCaption;
extern RELAYBIRD_API std::string cstMailAttachError;
extern RELAYBIRD_API std::string cstMailAttachFillError;
extern RELAYBIRD_API std::string cstMailStatusRefreshError;
extern RELAYBIRD_API std::string cstMailStatusRefresh;
extern RELAYBIRD_API std::string cstMailNotSended;
extern RELAYBIRD_API std::string cstMailAttachOverflow;
extern RELAYBIRD_API std::string cstMailConnectError;
extern RELAYBIRD_API std::string cstMailConnected;
extern RELAYBIRD_API std::string cstMailAchrPrepareError;
extern RELAYBIRD_API std::string cstMailAchrCompressError;
extern RELAYBIRD_API std::string cstMailInvalidUserAdr;
extern RELAYBIRD_API std::string cstMailSaveAttachs;
extern RELAYBIRD_API std::string cstMailAttachsCreated;
extern RELAYBIRD_API std::string cstMailConnectionError;
extern RELAYBIRD_API std::string cstMailMessageError;
extern RELAYBIRD_API std::string cstOraIsConnectError;
extern RELAYBIRD_API std::string cstOraTimesConnectLimit;
extern RELAYBIRD_API std::string cstOraNotConnect;
extern RELAYBIRD_API std::string cstOraConnected;
extern RELAYBIRD_API std::string cstOraConnectingServer;
extern RELAYBIRD_API std::string cstOraConnectingSchema;
extern RELAYBIRD_API std::string cstOraConnectingUser;
extern RELAYBIRD_API std::string cstMinute;
extern RELAYBIRD_API std::string cstSecond;
extern RELAYBIRD_API std::string cstMinuteSort;
extern RELAYBIRD_API std::string cstSecondSort;
extern RELAYBIRD_API std::string cstLogerErrorOfFileName;
extern RELAYBIRD_API std::string cstSettingsConnectTimeout;
extern RELAYBIRD_API std::string cstSettingsSendTimeout;
extern RELAYBIRD_API std::string cstSettingsLogDir;
extern RELAYBIRD_API std::string cstSettingsNumOfAttempts;
extern RELAYBIRD_API std::string cstSettingsRepeatDelay;
extern RELAYBIRD_API std::string cstSettingsWaitTimeout;
extern RELAYBIRD_API std::string cstSettingsTempDir;
extern RELAYBIRD_API std::string cstSettingsSysLogAccess;
extern RELAYBIRD_API std::string cstSettingsWindowsVersion;
extern RELAYBIRD_API std::string cstSettingsWinAccount;
extern RELAYBIRD_API std::string cstSettingsLogAccess;
extern RELAYBIRD_API std::string cstSettingsConfirmAccess;
extern RELAYBIRD_API std::string cstConfigConnectingError;
extern RELAYBIRD_API std::string cstConfigCheckLogin;
extern RELAYBIRD_API std::string cstConfigNoUserName;
extern RELAYBIRD_API std::string cstConfigCheckPass;
extern RELAYBIRD_API std::string cstConfigConnectTrue;
extern RELAYBIRD_API std::string cstConfigCheckSchema;
extern RELAYBIRD_API std::string cstConfigEmptyParam;
extern RELAYBIRD_API std::string cstConfigEmptyServer;
extern RELAYBIRD_API std::string cstConfigEmptyHomes;
extern RELAYBIRD_API std::string cstConfigEmptySchema;
extern RELAYBIRD_API std::string cstConfigEmptyUser;
extern RELAYBIRD_API std::string cstConfigEmptyPassword;
extern RELAYBIRD_API std::string cstConfigParamLoadError;
extern RELAYBIRD_API std::string cstConfigCaption;
extern RELAYBIRD_API std::string cstConfigRightsError;
extern RELAYBIRD_API std::string cstConfigRightsAccessError;
extern RELAYBIRD_API std::string cstConfigRightsFormat;
extern RELAYBIRD_API std::string cstConfigRightsFrmError;
extern RELAYBIRD_API std::string cstConfigRightsLogError;
extern RELAYBIRD_API std::string cstConfigSaveConfirm;
extern RELAYBIRD_API std::string cstConfigSaveError;
extern RELAYBIRD_API std::string cstHintConfStatusBar;
extern RELAYBIRD_API std::string cstHintConfConnected;
extern RELAYBIRD_API std::string cstHintConfSave;
extern RELAYBIRD_API std::string cstHintConfExit;
extern RELAYBIRD_API std::string cstHintConfHide;
extern RELAYBIRD_API std::string cstHintConfShow;
extern RELAYBIRD_API std::string cstHintConfInstall;
extern RELAYBIRD_API std::string cstHintConfUninstall;
extern RELAYBIRD_API std::string cstHintConfStart;
extern RELAYBIRD_API std::string cstHintConfPause;
extern RELAYBIRD_API std::string cstHintConfStop;
extern RELAYBIRD_API std::string cstHintConfRefresh;
extern RELAYBIRD_API std::string cstHintConfLoad;
extern RELAYBIRD_API std::string cstHintConfUnload;
extern RELAYBIRD_API std::string cstHintConfRightsPass;
extern RELAYBIRD_API std::string cstHintConfSelLogDir;
extern RELAYBIRD_API std::string cstHintConfSelTempDir;
extern RELAYBIRD_API std::string cstHintConfMailLog;
extern RELAYBIRD_API std::string cstHintConfMailConfirm;
extern RELAYBIRD_API std::string cstHintConfMailPeriod;
extern RELAYBIRD_API std::string cstHintConfMailBroadcast;
extern RELAYBIRD_API std::string cstHintConfMailTypePeriod;
extern RELAYBIRD_API std::string cstArchveComment;
extern RELAYBIRD_API std::string cstLangMenuCreateError;
extern RELAYBIRD_API std::string cstMailParamsError;
extern RELAYBIRD_API std::string cstMailEmptyParams;
extern RELAYBIRD_API std::string cstMailServiceDesc;
extern RELAYBIRD_API std::string cstLang;
extern RELAYBIRD_API std::string cstModeAdd;
extern RELAYBIRD_API std::string cstModeEdit;

struct TCatalogueEntry {
  const char* Key;
  std::string* Text;
};

// All entries in fill order.
RELAYBIRD_API std::span<const TCatalogueEntry> CatalogueEntries();

// Fills every entry in order through TranslatePhrase. A failing lookup ends
// the fill at its row (later rows keep their texts) and reaches the caller.
RELAYBIRD_API void TranslateConstants();

}  // namespace relaybird
