#include "uViewerLifetime.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "uGuard.h"
#include "uJsonViewer.h"

namespace corvane {

namespace {

// All of it runs on the host's GUI thread; a second GUI thread would have
// frames and retired viewers of its own.
thread_local int gFrames = 0;
thread_local std::vector<TJsonViewer*>* gRetired = nullptr;

void DeleteRetired() {
  // The viewers' destructors may send messages, which enter frames of their
  // own: counting this as a frame keeps them from deleting anything twice.
  ++gFrames;
  while (gRetired && !gRetired->empty()) {
    TJsonViewer* viewer = gRetired->back();
    gRetired->pop_back();
    win::GuardedVoid([&] { delete viewer; });
  }
  delete gRetired;
  gRetired = nullptr;
  --gFrames;
}

}  // namespace

TPluginFrame::TPluginFrame() { ++gFrames; }

TPluginFrame::~TPluginFrame() {
  if (--gFrames == 0 && gRetired) DeleteRetired();
}

void RetireViewer(TJsonViewer* viewer) {
  if (!viewer) return;
  if (gFrames == 0) {
    delete viewer;
    return;
  }
  if (!gRetired) gRetired = new std::vector<TJsonViewer*>();
  for (TJsonViewer* retired : *gRetired)
    if (retired == viewer) return;
  gRetired->push_back(viewer);
}

void CloseViewer(TJsonViewer& viewer) {
  if (viewer.Closing()) return;
  viewer.BeginClosing();
  // A menu of this viewer is open (the close came from inside its loop):
  // end it, so its loop returns once this close is done.
  if (viewer.InMenuLoop()) EndMenu();
  win::GuardedVoid([&] { viewer.AskSaveBeforeClose(); });
  viewer.Shutdown();
  RetireViewer(&viewer);
}

}  // namespace corvane
