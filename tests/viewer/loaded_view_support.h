// A fixture holding a loaded document as a viewer does: its records and
// value tree, its patch document, and a viewer core showing it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "uFileLoading.h"
#include "uSourcePatch.h"
#include "uUnicode.h"
#include "uViewerCore.h"
#include "viewer_core_support.h"

namespace corvane::test {

class TLoadedViewTest : public ::testing::Test {
 protected:
  void Load(const std::string& text, TDocumentLanguage language = TDocumentLanguage::Yaml) {
    TLoadError error;
    ASSERT_TRUE(LoadDocumentFromBytes(text, language, doc_, error)) << Utf16ToUtf8(error.Text);
    patches_.LoadFromBytes(u"doc", doc_.Bytes);
    core_.Root = doc_.Value.get();
  }
  // Shows node (default: the root) at a flat level, as the grid would.
  void Show(int flatLevel = 0, TJsonData* node = nullptr) {
    core_.FlatLevel = flatLevel;
    core_.BuildTable(node ? node : doc_.Value.get());
  }
  TJsonData* Member(const char* name, TJsonData* in = nullptr) const {
    return static_cast<TJsonObject*>(in ? in : doc_.Value.get())->Find(name);
  }

  TMemorySettings settings_;
  TLoadedDocument doc_;
  TSourcePatchDocument patches_;
  TViewerCore core_{settings_.Access()};
};

}  // namespace corvane::test
