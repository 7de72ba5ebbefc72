#include "sync/readout_check.h"

#include "events/codec.h"
#include "events/strformat.h"
#include "lists/panel_types.h"

namespace logwick {

const char kShaMismatch[] = "SHA-256 не совпадает с содержимым";

std::string ReadoutProblem(const CT7KEventList& list, const Sha256& sha) {
  if (PanelTypeTag(list.m_nPanelType) == PanelTypeTag(0))
    return StrFormat("неизвестный тип прибора %d", list.m_nPanelType);
  if (list.GetCount() > CT7KEventList::kMaxEvents)
    return StrFormat("событий больше %u (%zu)", CT7KEventList::kMaxEvents, list.GetCount());
  // An event file holds its texts in Windows-1251: a text that does not come
  // back unchanged would be another read-out under the same SHA-256.
  for (std::size_t i = 0; i < list.m_texts.size(); ++i)
    if (Cp1251ToUtf8(Utf8ToCp1251(list.m_texts[i])) != list.m_texts[i])
      return StrFormat("текст № %zu не записывается в файл событий без потерь", i);
  if (EventListSha256(list) != sha) return kShaMismatch;
  return {};
}

}  // namespace logwick
