#include "uKeyboardMap.h"

#include "uOutside.h"
#include "uPane.h"

namespace corvane {

TKeySettings TKeyboardMap::ReadKeySettings() const {
  TKeySettings settings;
  settings.DisableNumKeys = settings_.ReadFlag(setting::kDisableNumKeys);
  settings.DisableNpKeys = settings_.ReadFlag(setting::kDisableNpKeys);
  settings.ExitByQ = settings_.ReadFlag(setting::kExitByQ);
  settings.CopyColumn = settings_.ReadFlag(setting::kCopyColumn);
  return settings;
}

TKeyPress TKeyboardMap::PressOf(int virtualKey) const {
  return TKeyPress{virtualKey, KeyHeld(VK_CONTROL), KeyHeld(VK_SHIFT), events_.FocusPaneOf(GetFocus())};
}

bool TKeyboardMap::KeyDown(int virtualKey) {
  TKeyContext context;
  context.Press = PressOf(virtualKey);
  context.Settings = ReadKeySettings();
  events_.DescribeKeyContext(&context);
  const TKeyAction action = DecideViewerKey(context);
  switch (action) {
    case TKeyAction::NotHandled: return false;
    case TKeyAction::ForwardToHost: return ForwardToHost(virtualKey);
    default: return events_.RunKeyAction(action, context.Press);
  }
}

bool TKeyboardMap::ForwardToHost(int virtualKey) {
  if (!IsHostKey(PressOf(virtualKey), ReadKeySettings())) return false;
  SetFocus(host_);
  outside::PressKey(virtualKey);
  return true;
}

}  // namespace corvane
