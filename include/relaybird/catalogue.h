#pragma once
// The message catalogue: every text the program shows or logs, filled from
// the "WORDS" section of the language file over built-in Russian defaults.
#include <span>
#include <string>

namespace relaybird {

// Never translated.
extern const char* const ServiceTitle;
extern const char* const ServiceSysName;
extern const char* const ServiceLogonRight;

// Empty until the first TranslateConstants; keys are the variable names.
extern std::string cstServiceDesc;
extern std::string cstServiceInstallError;
extern std::string sctServiceStop;
extern std::string cstServiceRegNotExist;
extern std::string cstServerErrorErrorParams;
extern std::string cstServiceLogCreateError;
extern std::string cstSendedMessages;
extern std::string cstSendedUserMessage;
extern std::string cstNotSendedUserMessage;
extern std::string cstNotSendedMessage;
extern std::string cstErrorStr;
extern std::string cstInformationStr;
extern std::string cstWraningStr;
extern std::string cstSuccessStr;
extern std::string cstStopStr;
extern std::string cstLoadedStr;
extern std::string cstErrorFormat;
extern std::string cstCursorEmpty;
extern std::string cstDeleteTempFiles;
extern std::string cstOpenDataError;
extern std::string cstCursorError;
extern std::string cstGetMessages;
extern std::string cstConfigYes;
extern std::string cstConfigNo;
extern std::string cstMessagesCount;
extern std::string cstRebootMessage;
extern std::string cstServiceWaitModule;
extern std::string cstServiceNonModules;
extern std::string cstMailServiceCaption;
extern std::string cstMailAttachError;
extern std::string cstMailAttachFillError;
extern std::string cstMailStatusRefreshError;
extern std::string cstMailStatusRefresh;
extern std::string cstMailNotSended;
extern std::string cstMailAttachOverflow;
extern std::string cstMailConnectError;
extern std::string cstMailConnected;
extern std::string cstMailAchrPrepareError;
extern std::string cstMailAchrCompressError;
extern std::string cstMailInvalidUserAdr;
extern std::string cstMailSaveAttachs;
extern std::string cstMailAttachsCreated;
extern std::string cstMailConnectionError;
extern std::string cstMailMessageError;
extern std::string cstOraIsConnectError;
extern std::string cstOraTimesConnectLimit;
extern std::string cstOraNotConnect;
extern std::string cstOraConnected;
extern std::string cstOraConnectingServer;
extern std::string cstOraConnectingSchema;
extern std::string cstOraConnectingUser;
extern std::string cstMinute;
extern std::string cstSecond;
extern std::string cstMinuteSort;
extern std::string cstSecondSort;
extern std::string cstLogerErrorOfFileName;
extern std::string cstSettingsConnectTimeout;
extern std::string cstSettingsSendTimeout;
extern std::string cstSettingsLogDir;
extern std::string cstSettingsNumOfAttempts;
extern std::string cstSettingsRepeatDelay;
extern std::string cstSettingsWaitTimeout;
extern std::string cstSettingsTempDir;
extern std::string cstSettingsSysLogAccess;
extern std::string cstSettingsWindowsVersion;
extern std::string cstSettingsWinAccount;
extern std::string cstSettingsLogAccess;
extern std::string cstSettingsConfirmAccess;
extern std::string cstConfigConnectingError;
extern std::string cstConfigCheckLogin;
extern std::string cstConfigNoUserName;
extern std::string cstConfigCheckPass;
extern std::string cstConfigConnectTrue;
extern std::string cstConfigCheckSchema;
extern std::string cstConfigEmptyParam;
extern std::string cstConfigEmptyServer;
extern std::string cstConfigEmptyHomes;
extern std::string cstConfigEmptySchema;
extern std::string cstConfigEmptyUser;
extern std::string cstConfigEmptyPassword;
extern std::string cstConfigParamLoadError;
extern std::string cstConfigCaption;
extern std::string cstConfigRightsError;
extern std::string cstConfigRightsAccessError;
extern std::string cstConfigRightsFormat;
extern std::string cstConfigRightsFrmError;
extern std::string cstConfigRightsLogError;
extern std::string cstConfigSaveConfirm;
extern std::string cstConfigSaveError;
extern std::string cstHintConfStatusBar;
extern std::string cstHintConfConnected;
extern std::string cstHintConfSave;
extern std::string cstHintConfExit;
extern std::string cstHintConfHide;
extern std::string cstHintConfShow;
extern std::string cstHintConfInstall;
extern std::string cstHintConfUninstall;
extern std::string cstHintConfStart;
extern std::string cstHintConfPause;
extern std::string cstHintConfStop;
extern std::string cstHintConfRefresh;
extern std::string cstHintConfLoad;
extern std::string cstHintConfUnload;
extern std::string cstHintConfRightsPass;
extern std::string cstHintConfSelLogDir;
extern std::string cstHintConfSelTempDir;
extern std::string cstHintConfMailLog;
extern std::string cstHintConfMailConfirm;
extern std::string cstHintConfMailPeriod;
extern std::string cstHintConfMailBroadcast;
extern std::string cstHintConfMailTypePeriod;
extern std::string cstArchveComment;
extern std::string cstLangMenuCreateError;
extern std::string cstMailParamsError;
extern std::string cstMailEmptyParams;
extern std::string cstMailServiceDesc;
extern std::string cstLang;
extern std::string cstModeAdd;
extern std::string cstModeEdit;

struct TCatalogueEntry {
  const char* Key;
  std::string* Text;
};

// All entries in fill order.
std::span<const TCatalogueEntry> CatalogueEntries();

// Fills every entry in order through TranslatePhrase. A failing lookup ends
// the fill at its row (later rows keep their texts) and reaches the caller.
void TranslateConstants();

}  // namespace relaybird
