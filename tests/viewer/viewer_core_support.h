// Small builders for value trees and settings used by the viewer core tests.
#pragma once

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "uJsonModel.h"
#include "uSettingsAccess.h"

namespace corvane::test {

inline TJsonDataPtr Int(int64_t v) { return std::make_unique<TJsonInteger>(v); }
inline TJsonDataPtr Str(std::string v) { return std::make_unique<TJsonString>(std::move(v)); }
inline TJsonDataPtr Bool(bool v) { return std::make_unique<TJsonBoolean>(v); }
inline TJsonDataPtr Null() { return std::make_unique<TJsonNull>(); }

// Initializer lists cannot hold move-only values, so builders take them by
// raw pointer and adopt them.
struct TMember {
  std::string Name;
  TJsonData* Value;
  TMember(std::string name, TJsonDataPtr value) : Name(std::move(name)), Value(value.release()) {}
};
struct TItem {
  TJsonData* Value;
  TItem(TJsonDataPtr value) : Value(value.release()) {}  // NOLINT: implicit on purpose
  TItem(int64_t v) : Value(new TJsonInteger(v)) {}       // NOLINT
  TItem(const char* v) : Value(new TJsonString(v)) {}     // NOLINT
};

inline TJsonDataPtr Obj(std::initializer_list<TMember> members) {
  auto object = std::make_unique<TJsonObject>();
  for (const TMember& m : members) object->Add(m.Name, TJsonDataPtr(m.Value));
  return object;
}

inline TJsonDataPtr Arr(std::initializer_list<TItem> items) {
  auto array = std::make_unique<TJsonArray>();
  for (const TItem& item : items) array->Add(TJsonDataPtr(item.Value));
  return array;
}

// Settings held in memory; writes are recorded.
struct TMemorySettings {
  std::map<std::u16string, int> Ints;
  std::map<std::u16string, std::u16string> Texts;
  std::map<std::u16string, int> Written;

  TSettingsAccess Access() {
    TSettingsSource source;
    source.ReadInt = [this](const std::u16string& key, int def) {
      auto it = Ints.find(key);
      return it == Ints.end() ? def : it->second;
    };
    source.ReadText = [this](const std::u16string& key, const std::u16string& def) {
      auto it = Texts.find(key);
      return it == Texts.end() ? def : it->second;
    };
    source.WriteInt = [this](const std::u16string& key, int value) { Written[key] = value; };
    return TSettingsAccess(std::move(source));
  }
};

}  // namespace corvane::test
