#include "win/clipboard.h"

#include <cstring>

#include "events/codec.h"

namespace logwick::win {

bool CopyText(HWND owner, std::string_view utf8) {
  std::wstring text = logwick::Utf8ToWide(utf8);
  // Lines end in CR LF on the clipboard.
  for (std::size_t at = text.find(L'\n'); at != std::wstring::npos; at = text.find(L'\n', at + 2))
    if (at == 0 || text[at - 1] != L'\r') text.insert(at++, 1, L'\r');
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (!memory) return false;
  std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  if (!OpenClipboard(owner)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!ok) GlobalFree(memory);
  return ok;
}

}  // namespace logwick::win
