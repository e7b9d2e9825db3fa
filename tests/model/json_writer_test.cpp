#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "uJsonWriter.h"

namespace corvane {
namespace {

TEST(json_writer, writes_empty_containers_and_deep_nesting_without_recursion) {
  TJsonObject empty;
  EXPECT_EQ(WriteJson(empty, false), "{}");
  TJsonArray emptyArray;
  EXPECT_EQ(WriteJson(emptyArray, false), "[\r\n]");
  EXPECT_EQ(WriteJson(emptyArray, true), "[]");
  auto root = std::make_unique<TJsonArray>();
  TJsonArray* tip = root.get();
  const size_t depth = 100000;
  for (size_t i = 1; i < depth; ++i) {
    tip = static_cast<TJsonArray*>(tip->Add(std::make_unique<TJsonArray>()));
  }
  EXPECT_EQ(WriteJson(*root, true), std::string(depth, '[') + std::string(depth, ']'));
}

}  // namespace
}  // namespace corvane
