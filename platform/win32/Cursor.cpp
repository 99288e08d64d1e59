#include <platform/win32/Cursor.h>

#include <platform/controls/Application.h>
#include <platform/host/Host.h>

namespace Platform {

bool SetCursorPos(int x, int y) {
  THost *host = Application().Host();
  return host && host->SetCursorPos({x, y});
}

bool GetCursorPos(TPoint *point) {
  const THost *host = Application().Host();
  if (!host || !point)
    return false;
  *point = host->CursorPos();
  return true;
}

} // namespace Platform
