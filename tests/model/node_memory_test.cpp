// Nodes made while a tree loads share large blocks. Whatever outlives what
// (a node taken out of its tree, edits that mix heap nodes in, a copy, a
// node freed on another thread), every node must stay valid while it is
// held, and every block must go with the last node cut from it (the
// sanitizer build reports a use after free or a leak).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "uJsonModel.h"

namespace corvane {
namespace {

TJsonDataPtr BatchTree(int members) {
  TNodeBatch batch;
  auto root = std::make_unique<TJsonObject>();
  for (int i = 0; i < members; ++i) {
    auto item = std::make_unique<TJsonObject>();
    item->Add("name", std::make_unique<TJsonString>("a text longer than inline " + std::to_string(i)));
    item->Add("n", std::make_unique<TJsonInteger>(i));
    root->Add("member number " + std::to_string(i), std::move(item));
  }
  return root;
}

std::string_view NameOf(const TJsonData* item) {
  return static_cast<const TJsonString*>(static_cast<const TJsonObject*>(item)->Find("name"))->Value();
}

TEST(node_memory, batch_nodes_stay_valid_after_the_batch_and_the_tree_are_gone) {
  TJsonDataPtr tree = BatchTree(5000);  // many blocks
  auto* root = static_cast<TJsonObject*>(tree.get());
  TJsonDataPtr kept = root->Remove(1234);
  // Edits after the load put heap nodes, texts and child lists in beside
  // the batch's.
  ASSERT_NE(root->Replace(0, std::make_unique<TJsonString>("replaced by a longer text")), nullptr);
  ASSERT_TRUE(root->Rename(1, "renamed member with a long name"));
  root->Add("added after the load", std::make_unique<TJsonArray>());
  static_cast<TJsonObject*>(root->Child(2))->Add("grown", std::make_unique<TJsonNull>());
  TJsonDataPtr copy = tree->Clone();
  tree.reset();

  EXPECT_EQ(NameOf(kept.get()), "a text longer than inline 1234");
  const auto* c = static_cast<const TJsonObject*>(copy.get());
  ASSERT_EQ(c->Count(), 5000u);
  EXPECT_EQ(static_cast<const TJsonString*>(c->Child(0))->Value(), "replaced by a longer text");
  EXPECT_EQ(c->Name(1), "renamed member with a long name");
  EXPECT_EQ(NameOf(c->Find("member number 4999")), "a text longer than inline 4999");
  EXPECT_EQ(static_cast<const TJsonObject*>(c->Child(2))->Count(), 3u);
}

// Objects built after a similar one share its member names' stored texts.
// Each name must stay readable while any object holding it lives, renaming
// one object's member leaves the others alone, and outside a batch nothing
// is shared (the sanitizer build reports a block freed too early or twice).
TEST(node_memory, member_names_shared_between_objects_live_as_long_as_any_of_them) {
  for (const bool batched : {true, false}) {
    TJsonDataPtr tree;
    {
      std::unique_ptr<TNodeBatch> batch(batched ? new TNodeBatch : nullptr);
      auto list = std::make_unique<TJsonArray>();
      const TJsonObject* like = nullptr;
      for (int i = 0; i < 3; ++i) {
        auto item = std::make_unique<TJsonObject>();
        item->Add("a member name longer than inline", std::make_unique<TJsonInteger>(i), like);
        item->Add("short", std::make_unique<TJsonNull>(), like);
        item->Add("another long member name", std::make_unique<TJsonNull>(), like);
        like = static_cast<const TJsonObject*>(list->Add(std::move(item)));
      }
      tree = std::move(list);
    }
    auto* list = static_cast<TJsonArray*>(tree.get());
    ASSERT_TRUE(static_cast<TJsonObject*>(list->Child(1))->Rename(0, "renamed to a third long name"));
    TJsonDataPtr first = list->Remove(0);
    EXPECT_EQ(static_cast<const TJsonObject*>(list->Child(1))->Name(0), "a member name longer than inline");
    tree.reset();
    const auto* kept = static_cast<const TJsonObject*>(first.get());
    EXPECT_EQ(kept->Name(0), "a member name longer than inline") << batched;
    EXPECT_EQ(kept->Name(2), "another long member name") << batched;
  }
}

// A child list or text larger than a unit of the batch's memory gets a
// run of its own, freed with the batch like the rest.
TEST(node_memory, blocks_larger_than_a_unit_stay_valid_after_the_tree_is_gone) {
  TJsonDataPtr tree;
  {
    TNodeBatch batch;
    auto root = std::make_unique<TJsonArray>();
    for (int i = 0; i < 20000; ++i) root->Add(std::make_unique<TJsonInteger>(i));  // grows past 64 KB
    root->Add(std::make_unique<TJsonString>(std::string(200000, 'x')));
    root->Add(std::make_unique<TJsonString>("small after large"));
    tree = std::move(root);
  }
  auto* root = static_cast<TJsonArray*>(tree.get());
  TJsonDataPtr large = root->Remove(20000);
  TJsonDataPtr last = root->Remove(root->Count() - 1);
  TJsonDataPtr number = root->Remove(19999);
  tree.reset();
  EXPECT_EQ(static_cast<TJsonString*>(large.get())->Value(), std::string(200000, 'x'));
  EXPECT_EQ(static_cast<TJsonString*>(last.get())->Value(), "small after large");
  EXPECT_EQ(static_cast<TJsonInteger*>(number.get())->AsInt64(), 19999);
}

TEST(node_memory, batch_nodes_may_be_freed_on_other_threads) {
  TJsonDataPtr tree = BatchTree(2000);
  TJsonDataPtr part = static_cast<TJsonObject*>(tree.get())->Remove(7);
  std::thread other([&] { tree.reset(); });
  EXPECT_EQ(NameOf(part.get()), "a text longer than inline 7");
  other.join();
  part.reset();
  // Batches nest: the inner one takes the nodes made inside it.
  TNodeBatch outer;
  TJsonDataPtr a = BatchTree(10);
  TJsonDataPtr b = std::make_unique<TJsonString>("made in the outer batch");
  a.reset();
  EXPECT_EQ(static_cast<TJsonString*>(b.get())->Value(), "made in the outer batch");
}

}  // namespace
}  // namespace corvane
