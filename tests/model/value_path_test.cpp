// Value-tree paths: the quoted form leads back to exactly the node it was
// written for whatever the keys hold; the reader's refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uJsonModel.h"
#include "uUnicode.h"
#include "uValuePath.h"

namespace corvane {
namespace {

// {"<key>": [<key index>], ...} for keys that need every kind of care.
TJsonDataPtr TreeWithAwkwardKeys(std::vector<std::string>& keys) {
  keys = {"plain", "a.b", "", "x y", "say \"hi\"", "[0]", "tab\there", "ctl\x01", "caf\xC3\xA9", "$schema", "0",
          "back\\slash", "a]"};
  auto root = std::make_unique<TJsonObject>();
  for (size_t i = 0; i < keys.size(); ++i) {
    auto items = std::make_unique<TJsonArray>();
    items->Add(std::make_unique<TJsonInteger>(int64_t(i)));
    root->Add(keys[i], std::move(items));
  }
  return root;
}

TJsonData* Follow(TJsonData* root, std::u16string_view path) {
  std::vector<TPathStep> steps;
  std::string error;
  if (!ParseValuePath(path, steps, error)) return nullptr;
  return FindByPath(root, steps);
}

TEST(value_path, quoted_paths_lead_back_to_their_leaf_whatever_the_keys_hold) {
  std::vector<std::string> keys;
  TJsonDataPtr root = TreeWithAwkwardKeys(keys);
  std::vector<std::u16string> paths;
  ForEachLeafPath(root.get(), u"$", TPathNames::Quoted, [&](const std::u16string& path, TJsonData* leaf) {
    paths.push_back(path);
    EXPECT_EQ(Follow(root.get(), path), leaf) << Utf16ToUtf8(path);
    EXPECT_EQ(ValuePathText(leaf, u"$", TPathNames::Quoted), path);
  });
  ASSERT_EQ(paths.size(), keys.size());
  EXPECT_EQ(paths[0], u"$.plain[0]");
  EXPECT_EQ(paths[1], u"$[\"a.b\"][0]");
  EXPECT_EQ(paths[2], u"$[\"\"][0]");
  EXPECT_EQ(paths[4], u"$[\"say \\\"hi\\\"\"][0]");
  EXPECT_EQ(paths[6], u"$[\"tab\\there\"][0]");
  EXPECT_EQ(paths[7], u"$[\"ctl\\u0001\"][0]");
  EXPECT_EQ(paths[8], u"$.caf\u00E9[0]");
  EXPECT_EQ(paths[9], u"$.$schema[0]");
  // Written as they are, the same keys give the listing's and Copy path's
  // texts, which may read as other paths.
  EXPECT_EQ(ValuePathText(static_cast<TJsonContainer*>(root.get())->Child(1), u"", TPathNames::AsWritten), u"a.b");
}

TEST(value_path, reads_the_root_with_or_without_dollar_and_json_escapes) {
  std::vector<std::string> keys;
  TJsonDataPtr root = TreeWithAwkwardKeys(keys);
  auto* object = static_cast<TJsonObject*>(root.get());
  EXPECT_EQ(Follow(root.get(), u"$"), root.get());
  EXPECT_EQ(Follow(root.get(), u"plain[0]"), static_cast<TJsonContainer*>(object->Find("plain"))->Child(0));
  EXPECT_EQ(Follow(root.get(), u"$schema"), object->Find("$schema"));
  EXPECT_EQ(Follow(root.get(), u"[\"x\\u0020y\"]"), object->Find("x y"));
  EXPECT_EQ(Follow(root.get(), u"$[\"caf\\u00e9\"]"), object->Find("caf\xC3\xA9"));
  EXPECT_EQ(Follow(root.get(), u"$.a]"), object->Find("a]"));
  EXPECT_EQ(Follow(root.get(), u"$.plain[1]"), nullptr);
  EXPECT_EQ(Follow(root.get(), u"$[0]"), nullptr);  // an index below an object
  EXPECT_EQ(Follow(root.get(), u"$.plain.x"), nullptr);

  auto smile = std::make_unique<TJsonObject>();
  smile->Add("\xF0\x9F\x98\x80", std::make_unique<TJsonNull>());
  EXPECT_NE(Follow(smile.get(), u"$[\"\\ud83d\\ude00\"]"), nullptr);
}

TEST(value_path, refuses_malformed_paths_naming_where) {
  struct TCase { const char16_t* Path; const char* Error; };
  for (const TCase& c : {TCase{u"", "an empty path names nothing; the root is \"$\" at character 1"},
                         TCase{u"$.", "expected a name (an empty one is written [\"\"]) at character 3"},
                         TCase{u"$..a", "expected a name (an empty one is written [\"\"]) at character 3"},
                         TCase{u"$[01]", "an index has no leading zeros at character 3"},
                         TCase{u"$[1", "expected \"]\" at character 4"},
                         TCase{u"$[-1]", "expected an index or a quoted name at character 3"},
                         TCase{u"$[\"a]", "the quoted name has no closing quotation mark at character 6"},
                         TCase{u"$[\"\\q\"]", "unknown escape at character 5"},
                         TCase{u"$[\"\\ud83d\"]", "a \\u escape names half a character at character 10"},
                         TCase{u"$[0]x", "expected \".\" or \"[\" at character 5"},
                         TCase{u"$[99999999999999999999]", "index too large at character 3"}}) {
    std::vector<TPathStep> steps;
    std::string error;
    EXPECT_FALSE(ParseValuePath(c.Path, steps, error)) << Utf16ToUtf8(c.Path);
    EXPECT_EQ(error, c.Error) << Utf16ToUtf8(c.Path);
  }
}

}  // namespace
}  // namespace corvane
