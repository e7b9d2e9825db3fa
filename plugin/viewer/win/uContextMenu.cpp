#include "uContextMenu.h"

namespace corvane {

HMENU TContextMenu::Build(const TContextMenuState& state) { return BuildMenu(ContextMenuEntries(state)); }

int TContextMenu::Show(HWND owner, POINT at, const TContextMenuState& state) {
  win::TMenu menu(Build(state));
  if (!menu.Get()) return 0;
  int chosen = 0;
  const bool open = events_.RunModal(true, [&] {
    chosen = static_cast<int>(
        TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
  });
  return open ? chosen : 0;
}

}  // namespace corvane
