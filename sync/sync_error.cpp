#include "sync/sync_error.h"

#include "events/strformat.h"

namespace logwick {
namespace {

// The message of each SyncError::Kind, in its order; %s is the server.
constexpr const char* kSyncErrorTexts[] = {
    "Не задан адрес сервера общего архива%s",
    "Адрес сервера общего архива не разобран%s: ожидается postgresql://пользователь@узел/база",
    "Сервер общего архива %s не найден: неизвестное имя узла",
    "Нет связи с сервером общего архива %s",
#ifdef _WIN32
    "Сервер общего архива %s требует пароль: задайте его в %%APPDATA%%\\postgresql\\pgpass.conf или в "
    "PGPASSWORD",
#else
    "Сервер общего архива %s требует пароль: задайте его в ~/.pgpass или в PGPASSWORD",
#endif
    "Сервер общего архива %s не принял пароль",
    "Сервер общего архива %s отказал в подключении",
    "На сервере %s нет общего архива Logwick: создайте его командой logwick-cli archive server-init",
    "Общий архив на сервере %s создан прежней версией Logwick: обновите его командой"
    " logwick-cli archive server-init",
    "Общий архив на сервере %s создан более новой версией Logwick",
    "Нет прав на общий архив на сервере %s",
    "Связь с сервером общего архива %s прервалась",
    "Сервер общего архива %s не выполнил запрос",
    "На сервере %s повреждено чтение",
    "Синхронизация с сервером %s прервана",
};
static_assert(std::size(kSyncErrorTexts) == static_cast<std::size_t>(SyncError::Kind::Cancelled) + 1);

std::string MessageOf(SyncError::Kind kind, const std::string& server, const std::string& detail) {
  std::string text = StrFormat(kSyncErrorTexts[static_cast<int>(kind)], server.c_str());
  if (!detail.empty()) text += " (" + detail + ")";
  return text;
}

}  // namespace

SyncError::SyncError(Kind kind, const std::string& server, const std::string& detail)
    : std::runtime_error(MessageOf(kind, server, detail)), m_kind(kind), m_server(server) {}

}  // namespace logwick
