#include "uContextMenu.h"

namespace corvane {

HMENU TContextMenu::Build(const TContextMenuState& state) { return BuildMenu(ContextMenuEntries(state)); }

void TContextMenu::Show(HWND owner, POINT at, const TContextMenuState& state) {
  win::TMenu menu(Build(state));
  if (!menu.Get()) return;
  events_.RunModal(true, [&] { TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr); });
}

}  // namespace corvane
