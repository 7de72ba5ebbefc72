#include "sync/sync_error.h"

#include <iterator>

#include "events/strformat.h"

namespace logwick {
namespace {

// The sentence of each SyncError::Kind, in its order; %s is the server (for
// a refused certificate, the reason).
constexpr const char* kSentences[] = {
    "Не задан адрес сервера общего архива",
    "Пароль в адресе сервера не допускается: храните его в ~/.pgpass или PGPASSWORD",
    "Адрес сервера общего архива не разобран: ожидается postgresql://пользователь@узел/база",
    "Сервер общего архива %s не найден: неизвестное имя узла",
    "Нет связи с сервером общего архива %s",
    "Сервер общего архива %s не ответил вовремя",
#ifdef _WIN32
    "Сервер общего архива %s требует пароль: задайте его в %%APPDATA%%\\postgresql\\pgpass.conf или в "
    "PGPASSWORD",
#else
    "Сервер общего архива %s требует пароль: задайте его в ~/.pgpass или в PGPASSWORD",
#endif
    "Сервер общего архива %s не принял пароль",
    "Сертификат сервера не принят: %s",
    "Сервер общего архива %s отказал в подключении",
    "На сервере %s нет общего архива Logwick: создайте его командой logwick-cli archive server-init",
    ("Общий архив на сервере %s создан прежней версией Logwick: обновите его командой"
     " logwick-cli archive server-init"),
    "Общий архив на сервере %s создан более новой версией Logwick",
    "Нет прав на общий архив на сервере %s",
    "Сервер общего архива %s занят другим сеансом",
    "Сервер общего архива %s не принял чтение",
    "Связь с сервером общего архива %s прервалась",
    "Сервер общего архива %s не выполнил запрос",
    "Синхронизация с сервером %s прервана",
};
static_assert(std::size(kSentences) == static_cast<std::size_t>(SyncError::Kind::Cancelled) + 1);

// Why libpq refused a certificate, by the words it used.
constexpr const char* kCertificateReasons[][2] = {
    {"does not match host name", "он выдан другому имени узла"},
#ifdef _WIN32
    {"root certificate file", "нет корневого сертификата для его проверки (%APPDATA%\\postgresql\\root.crt)"},
#else
    {"root certificate file", "нет корневого сертификата для его проверки (~/.postgresql/root.crt)"},
#endif
    {"certificate verify failed", "его не подтверждает известный удостоверяющий центр"},
};

std::string CertificateReason(const std::string& detail) {
  for (const auto& [words, reason] : kCertificateReasons)
    if (detail.find(words) != std::string::npos) return reason;
  return "проверка не прошла";
}

std::string SentenceOf(SyncError::Kind kind, const std::string& server, const std::string& detail) {
  const std::string arg = kind == SyncError::Kind::CertificateRefused ? CertificateReason(detail) : server;
  return StrFormat(kSentences[static_cast<int>(kind)], arg.c_str());
}

}  // namespace

SyncError::SyncError(Kind kind, const std::string& server, std::string detail)
    : std::runtime_error(SentenceOf(kind, server, detail) + (detail.empty() ? "" : " (" + detail + ")")),
      m_kind(kind),
      m_sentence(SentenceOf(kind, server, detail)),
      m_detail(std::move(detail)) {}

}  // namespace logwick
