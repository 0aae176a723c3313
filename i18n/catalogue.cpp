#include "relaybird/catalogue.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "i18n/translator.h"

namespace relaybird {

const char* const ServiceTitle = "Relaybird";
const char* const ServiceSysName = "RelaybirdSrv";
const char* const ServiceLogonRight = "SeServiceLogonRight";

std::string cstServiceDesc;
std::string cstServiceInstallError;
std::string sctServiceStop;
std::string cstServiceRegNotExist;
std::string cstServerErrorErrorParams;
std::string cstServiceLogCreateError;
std::string cstSendedMessages;
std::string cstSendedUserMessage;
std::string cstNotSendedUserMessage;
std::string cstNotSendedMessage;
std::string cstErrorStr;
std::string cstInformationStr;
std::string cstWraningStr;
std::string cstSuccessStr;
std::string cstStopStr;
std::string cstLoadedStr;
std::string cstErrorFormat;
std::string cstCursorEmpty;
std::string cstDeleteTempFiles;
std::string cstOpenDataError;
std::string cstCursorError;
std::string cstGetMessages;
std::string cstConfigYes;
std::string cstConfigNo;
std::string cstMessagesCount;
std::string cstRebootMessage;
std::string cstServiceWaitModule;
std::string cstServiceNonModules;
std::string cstMailServiceCaption;
std::string cstMailAttachError;
std::string cstMailAttachFillError;
std::string cstMailStatusRefreshError;
std::string cstMailStatusRefresh;
std::string cstMailNotSended;
std::string cstMailAttachOverflow;
std::string cstMailConnectError;
std::string cstMailConnected;
std::string cstMailAchrPrepareError;
std::string cstMailAchrCompressError;
std::string cstMailInvalidUserAdr;
std::string cstMailSaveAttachs;
std::string cstMailAttachsCreated;
std::string cstMailConnectionError;
std::string cstMailMessageError;
std::string cstOraIsConnectError;
std::string cstOraTimesConnectLimit;
std::string cstOraNotConnect;
std::string cstOraConnected;
std::string cstOraConnectingServer;
std::string cstOraConnectingSchema;
std::string cstOraConnectingUser;
std::string cstMinute;
std::string cstSecond;
std::string cstMinuteSort;
std::string cstSecondSort;
std::string cstLogerErrorOfFileName;
std::string cstSettingsConnectTimeout;
std::string cstSettingsSendTimeout;
std::string cstSettingsLogDir;
std::string cstSettingsNumOfAttempts;
std::string cstSettingsRepeatDelay;
std::string cstSettingsWaitTimeout;
std::string cstSettingsTempDir;
std::string cstSettingsSysLogAccess;
std::string cstSettingsWindowsVersion;
std::string cstSettingsWinAccount;
std::string cstSettingsLogAccess;
std::string cstSettingsConfirmAccess;
std::string cstConfigConnectingError;
std::string cstConfigCheckLogin;
std::string cstConfigNoUserName;
std::string cstConfigCheckPass;
std::string cstConfigConnectTrue;
std::string cstConfigCheckSchema;
std::string cstConfigEmptyParam;
std::string cstConfigEmptyServer;
std::string cstConfigEmptyHomes;
std::string cstConfigEmptySchema;
std::string cstConfigEmptyUser;
std::string cstConfigEmptyPassword;
std::string cstConfigParamLoadError;
std::string cstConfigCaption;
std::string cstConfigRightsError;
std::string cstConfigRightsAccessError;
std::string cstConfigRightsFormat;
std::string cstConfigRightsFrmError;
std::string cstConfigRightsLogError;
std::string cstConfigSaveConfirm;
std::string cstConfigSaveError;
std::string cstHintConfStatusBar;
std::string cstHintConfConnected;
std::string cstHintConfSave;
std::string cstHintConfExit;
std::string cstHintConfHide;
std::string cstHintConfShow;
std::string cstHintConfInstall;
std::string cstHintConfUninstall;
std::string cstHintConfStart;
std::string cstHintConfPause;
std::string cstHintConfStop;
std::string cstHintConfRefresh;
std::string cstHintConfLoad;
std::string cstHintConfUnload;
std::string cstHintConfRightsPass;
std::string cstHintConfSelLogDir;
std::string cstHintConfSelTempDir;
std::string cstHintConfMailLog;
std::string cstHintConfMailConfirm;
std::string cstHintConfMailPeriod;
std::string cstHintConfMailBroadcast;
std::string cstHintConfMailTypePeriod;
std::string cstArchveComment;
std::string cstLangMenuCreateError;
std::string cstMailParamsError;
std::string cstMailEmptyParams;
std::string cstMailServiceDesc;
std::string cstLang;
std::string cstModeAdd;
std::string cstModeEdit;

namespace {

const std::string ServiceTitleText = ServiceTitle;

// Default = Head + current text of *Piece + Tail. Pieces are entries filled
// by earlier rows of the same fill, so a translation flows into later defaults.
struct TCatalogueRow {
  TCatalogueEntry Entry;
  const char* Head;
  const std::string* Piece = nullptr;
  const char* Tail = "";
  // The blank is added after the lookup: it is neither recorded as missing
  // nor expected in a language file.
  bool BlankAfterLookup = false;
};

#define RB_ENTRY(Name) {#Name, &Name}

const TCatalogueRow Rows[] = {
    {RB_ENTRY(cstServiceDesc), "Служба рассылки сообщений Orvanta+"},
    {RB_ENTRY(cstServiceInstallError), "Ошибка установки сервиса: %s"},
    {RB_ENTRY(sctServiceStop), "Завершение работы службы ", &ServiceTitleText},
    {RB_ENTRY(cstServiceRegNotExist), " не найдена ветка реестра"},
    {RB_ENTRY(cstServerErrorErrorParams), "Ошибка запуска сервиса ", &ServiceTitleText, ". Указаны неверные параметры запуска."},
    {RB_ENTRY(cstServiceLogCreateError), "Ошибка создания файла логирования: %s"},
    {RB_ENTRY(cstSendedMessages), "Служба отправила сообщения в количестве %d из имеющихся %d"},
    {RB_ENTRY(cstSendedUserMessage), "Сообщение для %s отправлено"},
    {RB_ENTRY(cstNotSendedUserMessage), "Сообщение для %s отправить не удалось"},
    {RB_ENTRY(cstNotSendedMessage), "Сообщение(-я) отправить не удалось"},
    {RB_ENTRY(cstErrorStr), "Ошибка"},
    {RB_ENTRY(cstInformationStr), "Информация"},
    {RB_ENTRY(cstWraningStr), "Предупреждение"},
    {RB_ENTRY(cstSuccessStr), "Работает"},
    {RB_ENTRY(cstStopStr), "Не загружен"},
    {RB_ENTRY(cstLoadedStr), "Загружен"},
    {RB_ENTRY(cstErrorFormat), "", &cstErrorStr, ": %s"},
    {RB_ENTRY(cstCursorEmpty), "Нет новых сообщений для отправки"},
    {RB_ENTRY(cstDeleteTempFiles), "Удаление временных файлов [%d]"},
    {RB_ENTRY(cstOpenDataError), "Ошибка формирования данных при обработке сообщений: %s"},
    {RB_ENTRY(cstCursorError), "Не удалось открыть курсор со списком потенциальных получателей (Ошибка: %s)"},
    {RB_ENTRY(cstGetMessages), "Получен список новых сообщений"},
    {RB_ENTRY(cstConfigYes), "Да"},
    {RB_ENTRY(cstConfigNo), "Нет"},
    {RB_ENTRY(cstMessagesCount), "Для отправки получено %d сообщений"},
    {RB_ENTRY(cstRebootMessage), "Для корректной работы службы необходимо перезагрузить компьютер."},
    {RB_ENTRY(cstServiceWaitModule), "Ожидание завершения обработки сообщений..."},
    {RB_ENTRY(cstServiceNonModules), "Не обнаружено загруженных модулей."},
    {RB_ENTRY(cstMailServiceCaption), "Электронная почта"},
    {RB_ENTRY(cstMailAttachError), "Не удалось открыть курсор со списком прикрепленных файлов (Ошибка: %s)"},
    {RB_ENTRY(cstMailAttachFillError), "Ошибка формирования списка прикрепленных файлов: %s"},
    {RB_ENTRY(cstMailStatusRefreshError), "Ошибка обновления статуса сообщения: %s"},
    {RB_ENTRY(cstMailStatusRefresh), "Новый статус сообщения %s: %s"},
    {RB_ENTRY(cstMailNotSended), "Сообщение не было доставлено следующим пользователям: %s"},
    {RB_ENTRY(cstMailAttachOverflow), "Превышено максимальное количество прикрепленных файлов"},
    {RB_ENTRY(cstMailConnectError), "Соединение с SMTP-сервером не выполнено! (Ошибка: %s)"},
    {RB_ENTRY(cstMailConnected), "Соединение SMTP c %s:%d установлено"},
    {RB_ENTRY(cstMailAchrPrepareError), "Ошибка при формировании вложений: %s"},
    {RB_ENTRY(cstMailAchrCompressError), "Ошибка упаковки файла в архив %s"},
    {RB_ENTRY(cstMailInvalidUserAdr), "Указан некорректный адрес электронной почты: %s"},
    {RB_ENTRY(cstMailSaveAttachs), "Формирование почтовых вложений..."},
    {RB_ENTRY(cstMailAttachsCreated), "Формирование почтовых вложений завершено"},
    {RB_ENTRY(cstMailConnectionError), "Ошибка установки параметров соединения с почтовым сервером"},
    {RB_ENTRY(cstMailMessageError), "Ошибка подготовки сообщения: %s"},
    {RB_ENTRY(cstOraIsConnectError), "[#%d] Ошибка соединения с базой данных: %s"},
    {RB_ENTRY(cstOraTimesConnectLimit), "[#%d] Превышено чесло попыток соедиенения с Oracle..."},
    {RB_ENTRY(cstOraNotConnect), "[#%d] Попытка установить соединение с Oracle №%d неудачна"},
    {RB_ENTRY(cstOraConnected), "[#%d] Установлено соединение с Oracle №%d"},
    {RB_ENTRY(cstOraConnectingServer), "[#%d] Соединение с сервером: %s"},
    {RB_ENTRY(cstOraConnectingSchema), "[#%d] Соединение по схеме: %s"},
    {RB_ENTRY(cstOraConnectingUser), "[#%d] Пользователь: %s"},
    {RB_ENTRY(cstMinute), "минут", nullptr, "", true},
    {RB_ENTRY(cstSecond), "секунд", nullptr, "", true},
    {RB_ENTRY(cstMinuteSort), "мин."},
    {RB_ENTRY(cstSecondSort), "сек."},
    {RB_ENTRY(cstLogerErrorOfFileName), "Ошибка логирования. Сообщение: %s"},
    {RB_ENTRY(cstSettingsConnectTimeout), "Период проверки соединения с базой: %d"},
    {RB_ENTRY(cstSettingsSendTimeout), "Период отправки сообщений: %d"},
    {RB_ENTRY(cstSettingsLogDir), "Каталог хранения логов: %s"},
    {RB_ENTRY(cstSettingsNumOfAttempts), "Количество попыток отправки: %d"},
    {RB_ENTRY(cstSettingsRepeatDelay), "Задержка при повторной отправке: %d"},
    {RB_ENTRY(cstSettingsWaitTimeout), "Задержка запуска: %d"},
    {RB_ENTRY(cstSettingsTempDir), "Дирректория хранения временных файлов: %s"},
    {RB_ENTRY(cstSettingsSysLogAccess), "Системные ошибки: %s"},
    {RB_ENTRY(cstSettingsWindowsVersion), "Версия ОС: %s"},
    {RB_ENTRY(cstSettingsWinAccount), "Пользователь Windows: %s"},
    {RB_ENTRY(cstSettingsLogAccess), "Логирование процесса: %s"},
    {RB_ENTRY(cstSettingsConfirmAccess), "Подтверждение о доставке: %s"},
    {RB_ENTRY(cstConfigConnectingError), "Ошибка при соединении с БД: "},
    {RB_ENTRY(cstConfigCheckLogin), "неверный пароль или имя пользователя! Доступ запрещен."},
    {RB_ENTRY(cstConfigNoUserName), "не задан пользователь! Доступ запрещен."},
    {RB_ENTRY(cstConfigCheckPass), "не задан пароль! Доступ запрещен."},
    {RB_ENTRY(cstConfigConnectTrue), "Соединение успешно!"},
    {RB_ENTRY(cstConfigCheckSchema), "проверьте правильность схемы соединения!"},
    {RB_ENTRY(cstConfigEmptyParam), "Отсутствует обязательный параметр соединения: "},
    {RB_ENTRY(cstConfigEmptyServer), "", &cstConfigEmptyParam, "сервер БД"},
    {RB_ENTRY(cstConfigEmptyHomes), "", &cstConfigEmptyParam, "oracle Homes"},
    {RB_ENTRY(cstConfigEmptySchema), "", &cstConfigEmptyParam, "схема соединения с БД"},
    {RB_ENTRY(cstConfigEmptyUser), "", &cstConfigEmptyParam, "пользователь"},
    {RB_ENTRY(cstConfigEmptyPassword), "", &cstConfigEmptyParam, "пароль"},
    {RB_ENTRY(cstConfigParamLoadError), "Ошибка загрузки параметров сервиса"},
    {RB_ENTRY(cstConfigCaption), "Настройка службы ", &ServiceTitleText},
    {RB_ENTRY(cstConfigRightsError), "Неизвестная ошибка при назначении прав пользователя"},
    {RB_ENTRY(cstConfigRightsAccessError), "Ошибка при назначении привелегии \"Вход в качестве службы\""},
    {RB_ENTRY(cstConfigRightsFormat), "<Имя домена>\\<Логин пользователя>"},
    {RB_ENTRY(cstConfigRightsFrmError), "Неверный формат учетной записи\r\nОжидается: ", &cstConfigRightsFormat},
    {RB_ENTRY(cstConfigRightsLogError), "Ошибка при авторизации учетной записи запуска службы\r\nПроверьте правильность заполнения полей на закладке \"Параметры службы\""},
    {RB_ENTRY(cstConfigSaveConfirm), "Вы хотите сохранить внесенные изменения настроек?"},
    {RB_ENTRY(cstConfigSaveError), "Ошибка сохранения параметров: %s"},
    {RB_ENTRY(cstHintConfStatusBar), "Строка статусов монитора"},
    {RB_ENTRY(cstHintConfConnected), "Проверка соединения с базой данных"},
    {RB_ENTRY(cstHintConfSave), "Сохранить настройки"},
    {RB_ENTRY(cstHintConfExit), "Выход из программы"},
    {RB_ENTRY(cstHintConfHide), "Скрыть программу"},
    {RB_ENTRY(cstHintConfShow), "Показать форму настроек"},
    {RB_ENTRY(cstHintConfInstall), "Установка службы ", &ServiceTitleText},
    {RB_ENTRY(cstHintConfUninstall), "Удаление службы ", &ServiceTitleText},
    {RB_ENTRY(cstHintConfStart), "Запуск службы ", &ServiceTitleText},
    {RB_ENTRY(cstHintConfPause), "Перезапуск службы ", &ServiceTitleText},
    {RB_ENTRY(cstHintConfStop), "Остановка службы ", &ServiceTitleText},
    {RB_ENTRY(cstHintConfRefresh), "Обновить список модулей"},
    {RB_ENTRY(cstHintConfLoad), "Выполнить загрузку модуля"},
    {RB_ENTRY(cstHintConfUnload), "Выполнить выгрузку модуля"},
    {RB_ENTRY(cstHintConfRightsPass), "Пароль пользователя"},
    {RB_ENTRY(cstHintConfSelLogDir), "Выбор директории для сохранения лог-файлов"},
    {RB_ENTRY(cstHintConfSelTempDir), "Выбор директории для хранения временных файлов"},
    {RB_ENTRY(cstHintConfMailLog), "Логирование процесса отправки почты"},
    {RB_ENTRY(cstHintConfMailConfirm), "Получать уведомления о прочтении отправленных писем"},
    {RB_ENTRY(cstHintConfMailPeriod), "Период обработки новых сообщений"},
    {RB_ENTRY(cstHintConfMailBroadcast), "Максимальное кол-во получателей при массовой рассылке"},
    {RB_ENTRY(cstHintConfMailTypePeriod), "Тип периода"},
    {RB_ENTRY(cstArchveComment), "Архив сформирован службой автоматической рассылки Orvanta+"},
    {RB_ENTRY(cstLangMenuCreateError), "Список меню не создан"},
    {RB_ENTRY(cstMailParamsError), " проверьте параметры соединения"},
    {RB_ENTRY(cstMailEmptyParams), "Не заполнены необходимые параметры соединения"},
    {RB_ENTRY(cstMailServiceDesc), "Данный модуль выполняет множественную рассылку сообщений через электронную почту"},
    {RB_ENTRY(cstLang), "Язык"},
    {RB_ENTRY(cstModeAdd), "новое"},
    {RB_ENTRY(cstModeEdit), "изменение"},
};

#undef RB_ENTRY

}  // namespace

std::span<const TCatalogueEntry> CatalogueEntries() {
  static const auto Entries = [] {
    std::array<TCatalogueEntry, std::size(Rows)> Result{};
    std::ranges::transform(Rows, Result.begin(), &TCatalogueRow::Entry);
    return Result;
  }();
  return Entries;
}

void TranslateConstants() {
  for (const TCatalogueRow& Row : Rows) {
    std::string Default = Row.Head;
    if (Row.Piece) Default += *Row.Piece;
    Default += Row.Tail;
    std::string Text = TranslatePhrase(PhrasesSection, Row.Entry.Key, Default);
    *Row.Entry.Text = Row.BlankAfterLookup ? " " + Text : std::move(Text);
  }
}

}  // namespace relaybird
