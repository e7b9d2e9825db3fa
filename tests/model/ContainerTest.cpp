#include <gtest/gtest.h>

#include <string>

#include "uJsonModel.h"

namespace corvane {
namespace {

TEST(json_object, refuses_a_duplicate_member_and_stays_unchanged) {
  TJsonObject object;
  object.Add("a", std::make_unique<TJsonInteger>(1));
  try {
    object.Add("a", std::make_unique<TJsonInteger>(2));
    FAIL() << "duplicate accepted";
  } catch (const EJsonError& e) {
    EXPECT_STREQ(e.what(), "Duplicate object member: \"a\"");
  }
  ASSERT_EQ(object.Count(), 1u);
  EXPECT_EQ(static_cast<TJsonInteger*>(object.Find("a"))->AsInt64(), 1);

  std::string error;
  EXPECT_FALSE(object.TryAdd("a", std::make_unique<TJsonNull>(), &error));
  EXPECT_EQ(error, "Duplicate object member: \"a\"");
  EXPECT_EQ(object.Count(), 1u);
}

TEST(json_object, cuts_member_names_at_255_bytes_for_adding_and_lookup) {
  TJsonObject object;
  const std::string base(255, 'k');
  object.Add(base + "first", std::make_unique<TJsonInteger>(1));
  EXPECT_EQ(object.Name(0), base);
  EXPECT_THROW(object.Add(base + "second", std::make_unique<TJsonInteger>(2)), EJsonError);
  EXPECT_NE(object.Find(base + "anything"), nullptr);
  EXPECT_EQ(object.IndexOfName(base), 0);
  EXPECT_EQ(object.Find(base.substr(1)), nullptr);
}

TEST(json_object, finds_members_in_large_objects_and_after_changes) {
  TJsonObject object;
  for (int i = 0; i < 5000; ++i) object.Add("key" + std::to_string(i), std::make_unique<TJsonInteger>(i));
  EXPECT_EQ(object.IndexOfName("key4321"), 4321);
  EXPECT_THROW(object.Add("key17", std::make_unique<TJsonNull>()), EJsonError);
  EXPECT_EQ(object.Count(), 5000u);

  EXPECT_FALSE(object.Rename(3, "key4"));  // taken by another member
  EXPECT_TRUE(object.Rename(3, "renamed"));
  EXPECT_EQ(object.IndexOfName("renamed"), 3);
  EXPECT_EQ(object.IndexOfName("key3"), -1);
  EXPECT_TRUE(object.Rename(3, "renamed"));  // its own name is fine

  TJsonDataPtr removed = object.Remove(0);
  EXPECT_EQ(removed->Parent(), nullptr);
  EXPECT_EQ(object.IndexOfName("key1"), 0);
  EXPECT_EQ(object.IndexOfName("key0"), -1);
  object.Add("key0", std::move(removed));
  EXPECT_EQ(object.IndexOfName("key0"), 4999);
  // Names are bytes: case matters.
  EXPECT_EQ(object.IndexOfName("KEY1"), -1);
}

TEST(json_containers, check_indexes_and_keep_parent_links) {
  TJsonArray array;
  TJsonData* first = array.Add(std::make_unique<TJsonInteger>(1));
  EXPECT_EQ(first->Parent(), &array);
  EXPECT_EQ(array.IndexOf(first), 0);
  EXPECT_EQ(array.Child(5), nullptr);
  EXPECT_THROW(array.Replace(5, std::make_unique<TJsonNull>()), EJsonError);
  EXPECT_THROW(array.Remove(1), EJsonError);
  EXPECT_THROW(array.Add(nullptr), EJsonError);

  array.Insert(0, std::make_unique<TJsonString>("zero"));
  EXPECT_EQ(array.IndexOf(first), 1);
  TJsonDataPtr old = array.Replace(1, std::make_unique<TJsonBoolean>(true));
  EXPECT_EQ(old.get(), first);
  EXPECT_EQ(old->Parent(), nullptr);
  EXPECT_EQ(array.IndexOf(first), -1);

  TJsonObject object;
  EXPECT_EQ(object.Name(0), "");
  EXPECT_FALSE(object.Rename(0, "x"));
}

TEST(json_clone, copies_the_whole_tree_in_order) {
  TJsonObject root;
  auto* list = static_cast<TJsonArray*>(root.Add("list", std::make_unique<TJsonArray>()));
  list->Add(std::make_unique<TJsonString>("s"));
  auto spelled = std::make_unique<TSourceFloatNumber>();
  spelled->SetFromText("1.50");
  list->Add(std::move(spelled));
  root.Add("flag", std::make_unique<TJsonBoolean>(true));
  for (int i = 0; i < 20; ++i) root.Add("m" + std::to_string(i), std::make_unique<TJsonNull>());

  TJsonDataPtr copy = root.Clone();
  auto* object = static_cast<TJsonObject*>(copy.get());
  ASSERT_EQ(object->Count(), 22u);
  EXPECT_EQ(object->Name(1), "flag");
  auto* copiedList = static_cast<TJsonArray*>(object->Find("list"));
  ASSERT_NE(copiedList, nullptr);
  EXPECT_NE(copiedList, list);
  EXPECT_EQ(copiedList->Parent(), object);
  EXPECT_EQ(copiedList->Child(0)->JsonText(), "\"s\"");
  EXPECT_EQ(copiedList->Child(1)->JsonText(), "1.50");
  EXPECT_EQ(object->IndexOfName("m19"), 21);
  EXPECT_THROW(object->Add("m3", std::make_unique<TJsonNull>()), EJsonError);
}

// A chain of arrays and objects far deeper than any stack could recurse.
TJsonDataPtr DeepChain(int depth) {
  auto root = std::make_unique<TJsonArray>();
  TJsonContainer* tip = root.get();
  for (int i = 0; i < depth; ++i) {
    if (i % 2 == 0) {
      tip = static_cast<TJsonContainer*>(static_cast<TJsonArray*>(tip)->Add(std::make_unique<TJsonObject>()));
    } else {
      tip = static_cast<TJsonContainer*>(static_cast<TJsonObject*>(tip)->Add("k", std::make_unique<TJsonArray>()));
    }
  }
  return root;
}

TEST(json_tree, clones_and_frees_a_very_deep_tree_without_recursion) {
  constexpr int kDepth = 200000;
  TJsonDataPtr root = DeepChain(kDepth);
  TJsonDataPtr copy = root->Clone();
  root.reset();
  int depth = 0;
  for (const TJsonData* node = copy.get(); node && NodeKind(node) >= nkArray; ++depth)
    node = static_cast<const TJsonContainer*>(node)->Child(0);
  EXPECT_EQ(depth, kDepth + 1);
  copy.reset();
}

}  // namespace
}  // namespace corvane
