#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

// Names of every form: empty, kept inline (up to 7 bytes), allocated, with
// NUL and high bytes, and pairs that differ only in their last byte.
std::string MemberName(int i) {
  switch (i % 6) {
    case 0: return std::string(static_cast<size_t>(i % 8), 'a') + std::to_string(i);
    case 1: return std::string("n\0l\xFF", 4) + std::to_string(i);
    case 2: return "registry.local/member-" + std::to_string(i);
    case 3: return i == 3 ? "" : "k" + std::to_string(i);
    case 4: return "abcdefg" + std::to_string(i / 6 % 10);
    default: return "abcdef" + std::to_string(i);
  }
}

void ExpectMembers(const TJsonObject& object, const std::vector<std::pair<std::string, int>>& expected) {
  ASSERT_EQ(object.Count(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(object.Name(i), expected[i].first) << i;
    EXPECT_EQ(object.Child(i)->Parent(), &object);
    EXPECT_EQ(static_cast<const TJsonInteger*>(object.Child(i))->AsInt64(), expected[i].second) << i;
    EXPECT_EQ(object.IndexOfName(expected[i].first), static_cast<long long>(i)) << i;
  }
}

TEST(json_object, keeps_names_and_values_paired_while_growing_shrinking_and_cloning) {
  // Small enough to be searched member by member, then large enough for the
  // name index; no Reserve, so the members move to a bigger block repeatedly.
  for (const int size : {8, 40}) {
    TJsonObject object;
    std::vector<std::pair<std::string, int>> expected;
    for (int i = 0; i < size; ++i) {
      object.Add(MemberName(i), std::make_unique<TJsonInteger>(i));
      expected.emplace_back(MemberName(i), i);
    }
    ExpectMembers(object, expected);
    EXPECT_EQ(object.IndexOfName("abcdefg"), -1);  // a prefix of inline and allocated names
    EXPECT_EQ(object.IndexOfName(std::string("n\0l", 3)), -1);
    EXPECT_THROW(object.Add("", std::make_unique<TJsonNull>()), EJsonError);
    EXPECT_THROW(object.Add(MemberName(2), std::make_unique<TJsonNull>()), EJsonError);

    for (int step = 0; step < 3; ++step) {  // the first, a middle and the last member
      const size_t at = step == 0 ? 0 : step == 1 ? expected.size() / 2 : expected.size() - 1;
      TJsonDataPtr removed = object.Remove(at);
      EXPECT_EQ(static_cast<TJsonInteger*>(removed.get())->AsInt64(), expected[at].second);
      EXPECT_EQ(object.Find(expected[at].first), nullptr);
      expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(at));
      ExpectMembers(object, expected);
    }
    // Renames between the inline and the allocated form.
    ASSERT_TRUE(object.Rename(0, "a rather long member name"));
    ASSERT_TRUE(object.Rename(1, "short"));
    expected[0].first = "a rather long member name";
    expected[1].first = "short";
    ExpectMembers(object, expected);
    // Replacing a value keeps its name.
    object.Replace(1, std::make_unique<TJsonInteger>(-1));
    expected[1].second = -1;
    ExpectMembers(object, expected);
    object.Add("added", std::make_unique<TJsonInteger>(99));
    expected.emplace_back("added", 99);

    TJsonDataPtr copy = object.Clone();
    ExpectMembers(static_cast<const TJsonObject&>(*copy), expected);
    ExpectMembers(object, expected);
  }
}

TEST(json_object, a_refused_member_leaves_the_object_as_it_was) {
  TJsonObject object;
  object.Reserve(2);
  object.Add("first", std::make_unique<TJsonInteger>(1));
  std::string error;
  EXPECT_FALSE(object.TryAdd("second", nullptr, &error));
  EXPECT_EQ(error, "Missing value node");
  EXPECT_THROW(object.Add("a name that must be allocated", nullptr), EJsonError);
  EXPECT_EQ(object.Count(), 1u);
  EXPECT_EQ(object.Name(1), "");
  EXPECT_EQ(object.IndexOfName("second"), -1);
  object.Add("second", std::make_unique<TJsonInteger>(2));
  ExpectMembers(object, {{"first", 1}, {"second", 2}});
}

TEST(json_array, inserts_and_removes_anywhere_while_growing) {
  TJsonArray array;
  std::vector<TJsonData*> expected;
  for (int i = 0; i < 30; ++i) {
    const size_t at = i % 3 == 0 ? 0 : i % 3 == 1 ? expected.size() : expected.size() / 2;
    TJsonData* item = array.Insert(at, std::make_unique<TJsonInteger>(i));
    expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), item);
  }
  EXPECT_THROW(array.Insert(31, std::make_unique<TJsonNull>()), EJsonError);
  EXPECT_THROW(array.Insert(0, nullptr), EJsonError);
  array.Remove(29);
  expected.pop_back();
  array.Remove(0);
  expected.erase(expected.begin());
  ASSERT_EQ(array.Count(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(array.Child(i), expected[i]);
    EXPECT_EQ(array.IndexOf(expected[i]), static_cast<long long>(i));
    EXPECT_EQ(expected[i]->Parent(), &array);
  }
  TJsonArray empty;
  EXPECT_EQ(empty.Child(0), nullptr);
  EXPECT_EQ(empty.IndexOf(expected[0]), -1);
  EXPECT_THROW(empty.Remove(0), EJsonError);
}

TEST(json_nodes, keep_their_kind_whatever_parent_they_move_to) {
  std::vector<TJsonDataPtr> nodes;
  nodes.push_back(std::make_unique<TJsonInteger>(1));
  nodes.push_back(NewFloatNode(1.5));
  nodes.push_back(std::make_unique<TJsonString>("s"));
  nodes.push_back(std::make_unique<TJsonBoolean>(true));
  nodes.push_back(std::make_unique<TJsonNull>());
  nodes.push_back(std::make_unique<TJsonArray>());
  nodes.push_back(std::make_unique<TJsonObject>());
  const int kinds[] = {nkNumber, nkNumber, nkString, nkBoolean, nkNull, nkArray, nkObject};
  TJsonArray array;
  TJsonObject object;
  for (size_t i = 0; i < nodes.size(); ++i) {
    TJsonData* node = nodes[i].get();
    EXPECT_EQ(node->Parent(), nullptr);
    array.Add(std::move(nodes[i]));
    EXPECT_EQ(node->Kind(), kinds[i]);
    EXPECT_EQ(node->Parent(), &array);
    object.Add(std::to_string(i), array.Remove(0));
    EXPECT_EQ(node->Kind(), kinds[i]);
    EXPECT_EQ(node->Parent(), &object);
    TJsonDataPtr back = object.Remove(0);
    EXPECT_EQ(back->Parent(), nullptr);
    EXPECT_EQ(back->Kind(), kinds[i]);
    EXPECT_EQ(NodeKind(back->Clone().get()), kinds[i]);
  }
}

// A document of millions of values: the nodes must stay in the smallest
// heap blocks (one 32-byte chunk for a scalar or an empty container).
TEST(json_nodes, stay_small) {
  if (sizeof(void*) != 8) GTEST_SKIP() << "sizes are checked for 64-bit builds";
  EXPECT_LE(sizeof(TJsonInteger), 24u);
  EXPECT_LE(sizeof(TJsonFloat), 24u);
  EXPECT_LE(sizeof(TJsonString), 24u);
  EXPECT_LE(sizeof(TJsonBoolean), 24u);
  EXPECT_LE(sizeof(TJsonArray), 24u);
  EXPECT_LE(sizeof(TJsonObject), 32u);
}

TEST(compact_text, compares_whole_texts_across_the_inline_and_allocated_forms) {
  // Allocated texts keep their length in front in 7-bit groups: one, two
  // and three groups.
  const std::vector<std::string> texts = {"", "a", "abcdefg", "abcdefh", "abcdefgh", "abcdefgi",
                                          std::string("ab\0", 3), std::string("ab\0\0", 4), "ab",
                                          std::string(127, 'q'), std::string(128, 'q'), std::string(16384, 'q')};
  for (const std::string& a : texts)
    for (const std::string& b : texts) {
      TCompactText x(a), y(b);
      EXPECT_EQ(x.view(), a);
      EXPECT_EQ(x.size(), a.size());
      EXPECT_EQ(x == y, a == b) << a << " / " << b;
      EXPECT_EQ(x.Equals(y), a == b);
    }
  TCompactText moved(std::string_view("abcdefgh"));
  TCompactText target = std::move(moved);
  EXPECT_TRUE(moved == TCompactText());  // NOLINT: a moved-from text is empty
  EXPECT_TRUE(target == TCompactText(std::string_view("abcdefgh")));
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
