// The corvane program as scripts use it: spawned with arguments, judged by
// its exit code, standard output and standard error, and the bytes of the
// file afterwards. Natively and (as corvane.exe) under wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "process_support.h"
#include "test_support.h"
#include "uParserBinding.h"
#include "uUnicode.h"

namespace corvane {
namespace {

using test::TProgramRun;

TProgramRun Corvane(const std::vector<std::u16string>& args, const char* program = "corvane",
                    const std::vector<std::pair<std::string, std::string>>& environment = {}) {
  return test::RunProgram(test::ProgramBeside(program), args, environment);
}

std::u16string U(const std::string& utf8) { return Utf8ToUtf16(utf8); }

std::string Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return out;
}

// The fields of each line of a tab-separated output.
std::vector<std::vector<std::string>> Lines(const std::string& out) {
  std::vector<std::vector<std::string>> lines;
  size_t start = 0;
  for (size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
    std::vector<std::string> fields{""};
    for (const char c : out.substr(start, end - start)) {
      if (c == '\t') fields.emplace_back();
      else fields.back() += c;
    }
    lines.push_back(fields);
  }
  EXPECT_EQ(start, out.size()) << "output does not end with a line break";
  return lines;
}

// A file of the editing corpus copied into a scratch folder.
struct TScratchFile {
  test::TempDir Dir;
  std::string Name;
  std::string Path;
  std::string Original;
  explicit TScratchFile(const std::string& source, std::string name = {}) {
    Original = test::ReadFileBytes(source);
    Name = name.empty() ? std::filesystem::u8path(source).filename().u8string() : name;
    Path = Dir.File(Name);
    Restore();
  }
  void Restore() const { test::WriteFileBytes(Path, Original); }
  std::string Now() const { return test::ReadFileBytes(Path); }
  bool NoTemporaryLeft() const {
    for (const std::string& name : Dir.Names())
      if (name != Name) return false;
    return true;
  }
};

std::vector<std::string> CorpusFiles() { return test::ListFiles(test::SourceDir() + "/tests/editing/corpus", ""); }

// A new text for a value of the kind its shown text suggests, that the
// value shows exactly as typed.
std::string NewValueFor(const std::string& shown) {
  if (shown == "true" || shown == "false") return shown == "true" ? "false" : "true";
  if (!shown.empty() && shown.find_first_not_of("-0123456789") == std::string::npos && shown.size() < 15)
    return std::to_string(std::stoll(shown) + 1);
  if (shown == "2.5") return "3.5";
  if (!shown.empty() && shown.find_first_not_of("-0123456789.eE+") == std::string::npos) return "2.5";
  return "ed\"it\\ed\tcaf\xC3\xA9 \xE6\x97\xA5";
}

void ExpectRefusedUntouched(const TProgramRun& run, const TScratchFile& file, const std::string& what) {
  EXPECT_EQ(run.ExitCode, 1) << what;
  EXPECT_EQ(run.Err.rfind("corvane: ", 0), 0u) << what << ": " << run.Err;
  EXPECT_EQ(file.Now(), file.Original) << what;
  EXPECT_TRUE(file.NoTemporaryLeft()) << what;
}

// One value edit: its path, the new text, and the --dry-run line of its
// span (path, start, length, old text, new text), empty when refused.
struct TValueEdit {
  std::string Path;
  std::string Text;
  std::vector<std::string> Planned;
  std::string Refusal;
};

// Plans all edits with --dry-run in as few runs as refusals allow (a refused
// pair refuses the whole call and is named in the message), writing nothing.
void Plan(const TScratchFile& file, std::vector<TValueEdit>& edits) {
  std::vector<TValueEdit*> pending;
  for (TValueEdit& edit : edits) pending.push_back(&edit);
  while (!pending.empty()) {
    std::vector<std::u16string> args{u"set", u"--dry-run", U(file.Path)};
    for (const TValueEdit* edit : pending) args.insert(args.end(), {U(edit->Path), U(edit->Text)});
    const TProgramRun dry = Corvane(args);
    ASSERT_EQ(file.Now(), file.Original);
    if (dry.ExitCode == 0) {
      const auto lines = Lines(dry.Out);
      ASSERT_EQ(lines.size(), pending.size()) << dry.Out;
      for (size_t i = 0; i < lines.size(); ++i) pending[i]->Planned = lines[i];
      return;
    }
    ASSERT_EQ(dry.ExitCode, 1) << dry.Err;
    const auto refused = std::find_if(pending.begin(), pending.end(), [&](const TValueEdit* edit) {
      return dry.Err.rfind("corvane: " + edit->Path + ": ", 0) == 0;
    });
    ASSERT_NE(refused, pending.end()) << dry.Err;
    (*refused)->Refusal = dry.Err;
    pending.erase(refused);
  }
}

// Each planned edit then writes exactly its span's new text and nothing
// else, and get shows the new value; a refused one leaves the file as it
// was with the reason the plan gave.
void CheckValueEdits(const TScratchFile& file, const std::vector<TValueEdit>& edits) {
  for (const TValueEdit& edit : edits) {
    const std::string what = file.Name + " " + edit.Path + " " + edit.Text;
    const TProgramRun run = Corvane({u"set", U(file.Path), U(edit.Path), U(edit.Text)});
    if (edit.Planned.empty()) {
      EXPECT_EQ(run.Err, edit.Refusal) << what;
      ExpectRefusedUntouched(run, file, what);
      continue;
    }
    ASSERT_EQ(run.ExitCode, 0) << what << ": " << run.Err;
    ASSERT_EQ(edit.Planned.size(), 5u) << what;
    EXPECT_EQ(edit.Planned[0], edit.Path);
    const size_t start = std::stoul(edit.Planned[1]), length = std::stoul(edit.Planned[2]);
    EXPECT_EQ(Unescape(edit.Planned[3]), file.Original.substr(start, length)) << what;
    EXPECT_EQ(file.Now(), file.Original.substr(0, start) + Unescape(edit.Planned[4]) +
                              file.Original.substr(start + length))
        << what;
    EXPECT_EQ(Corvane({u"get", U(file.Path), U(edit.Path)}).Out, edit.Text + "\n") << what;
    file.Restore();
  }
}

// A key rename: the file changes in one stretch that held the old key and
// now holds the new one in the old key's quoting (a bare TOML key, which
// cannot hold the blank, double-quoted), and the value reads back under it.
void CheckRename(const TScratchFile& file, const std::string& path, const std::string& shown) {
  const size_t dot = path.rfind('.');
  const std::string key = path.substr(dot + 1), newPath = path.substr(0, dot) + "[\"renamed key\"]";
  const TProgramRun run = Corvane({u"rename", U(file.Path), U(path), u"renamed key"});
  if (run.ExitCode != 0) return ExpectRefusedUntouched(run, file, "rename " + path);
  const std::string now = file.Now(),& was = file.Original;
  size_t prefix = 0, suffix = 0;
  while (prefix < now.size() && prefix < was.size() && now[prefix] == was[prefix]) ++prefix;
  while (suffix + prefix < std::min(now.size(), was.size()) &&
         now[now.size() - 1 - suffix] == was[was.size() - 1 - suffix])
    ++suffix;
  // The common ends may eat into the key or the new text: compare the lines.
  const size_t lineStart = was.rfind('\n', prefix) + 1;
  const std::string oldLine = was.substr(lineStart, was.find('\n', prefix) - lineStart);
  const std::string newLine = now.substr(lineStart, now.find('\n', prefix) - lineStart);
  const size_t at = oldLine.find(key);
  ASSERT_NE(at, std::string::npos) << path;
  const char before = at > 0 ? oldLine[at - 1] : ' ';
  const std::string quote = before == '"' || before == '\'' ? std::string(1, before) : "";
  const bool toml = file.Name.size() > 5 && file.Name.substr(file.Name.size() - 5) == ".toml";
  const std::string written = !quote.empty() ? quote + "renamed key" + quote : toml ? "\"renamed key\"" : "renamed key";
  const size_t from = at - quote.size(), length = key.size() + 2 * quote.size();
  EXPECT_EQ(newLine, oldLine.substr(0, from) + written + oldLine.substr(from + length)) << path;
  EXPECT_EQ(now.substr(lineStart + newLine.size()), was.substr(lineStart + oldLine.size())) << path;
  EXPECT_EQ(Corvane({u"get", U(file.Path), U(newPath)}).Out, shown + "\n") << path;
  file.Restore();
}

TEST(corvane_program, reads_back_every_listed_path_with_get) {
  for (const std::string& source : CorpusFiles()) {
    const TScratchFile file(source);
    const TProgramRun paths = Corvane({u"paths", U(file.Path)});
    ASSERT_EQ(paths.ExitCode, 0) << file.Name << ": " << paths.Err;
    EXPECT_EQ(paths.Err, "");
    const auto lines = Lines(paths.Out);
    EXPECT_GT(lines.size(), 5u) << file.Name;
    for (const auto& fields : lines) {
      ASSERT_EQ(fields.size(), 2u) << file.Name << ": " << fields[0];
      const TProgramRun get = Corvane({u"get", U(file.Path), U(fields[0])});
      EXPECT_EQ(get.ExitCode, 0) << file.Name << " " << fields[0] << ": " << get.Err;
      EXPECT_EQ(get.Out, Unescape(fields[1]) + "\n") << file.Name << " " << fields[0];
    }
  }
}

TEST(corvane_program, sets_and_renames_every_value_of_the_corpus_within_one_span) {
  for (const std::string& source : CorpusFiles()) {
    const TScratchFile file(source);
    const auto lines = Lines(Corvane({u"paths", U(file.Path)}).Out);
    std::vector<TValueEdit> edits;
    for (const auto& fields : lines) edits.push_back({fields[0], NewValueFor(Unescape(fields[1])), {}, {}});
    Plan(file, edits);
    // Most values can be set (not aliases, nor numbers and dates the text
    // chosen here does not suit).
    const long planned = long(std::count_if(edits.begin(), edits.end(), [](auto& e) { return !e.Planned.empty(); }));
    EXPECT_GE(planned * 3, long(edits.size()) * 2) << file.Name << ": " << planned;
    CheckValueEdits(file, edits);
    // Renames of every other member key; the new key needs quoting in a path.
    for (size_t i = 0; i < lines.size(); i += 2)
      if (lines[i][0].back() != ']') CheckRename(file, lines[i][0], Unescape(lines[i][1]));
  }
}

TEST(corvane_program, saves_all_edits_of_a_call_at_once_or_none) {
  const TScratchFile file(test::SourceDir() + "/tests/editing/corpus/k8s-manifests.yaml");
  const TProgramRun run =
      Corvane({u"set", U(file.Path), u"$[0].metadata.name", u"staging", u"$[4].data.timeout", u"45s"});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  std::string expected = file.Original;
  expected.replace(expected.find("name: prod"), 10, "name: staging");
  expected.replace(expected.find("timeout: 30s"), 12, "timeout: 45s");
  EXPECT_EQ(file.Now(), expected);
  file.Restore();
  // The second pair is refused (an object is no single value), so the first
  // is not saved.
  ExpectRefusedUntouched(Corvane({u"set", U(file.Path), u"$[0].metadata.name", u"staging", u"$[4].data", u"x"}),
                         file, "object");
  ExpectRefusedUntouched(Corvane({u"set", U(file.Path), u"$[0].metadata.name", u"x", u"$[9].kind", u"y"}), file,
                         "missing path");
  ExpectRefusedUntouched(Corvane({u"set", U(file.Path), u"$[3].automountServiceAccountToken", u"no"}), file,
                         "not a boolean");
}

// --as states the kind a value is written as; without it a null takes what
// its text reads as, and every other value keeps its kind.
TEST(corvane_program, sets_values_of_a_stated_kind_and_fills_in_nulls) {
  test::TempDir dir;
  const std::string yaml = dir.File("v.yaml"), toml = dir.File("v.toml");
  const std::string yamlText = "port: 8080\nname: 'x'\npassword:\ndebug: true\n";
  const std::string tomlText = "port = 8080\nname = 'x'\n";
  struct TCase {
    const std::string* File;
    std::vector<std::u16string> Args;  // before FILE, then PATH VALUE
    std::u16string Path, Value;
    int Exit;
    std::string After;  // the file afterwards (the original when refused)
  };
  const TCase cases[] = {
      {&yaml, {u"--as", u"string"}, u"$.port", u"8080", 0, "port: \"8080\"\nname: 'x'\npassword:\ndebug: true\n"},
      {&yaml, {u"--as=number"}, u"$.name", u"12", 0, "port: 8080\nname: 12\npassword:\ndebug: true\n"},
      {&yaml, {u"--as", u"null"}, u"$.debug", u"null", 0, "port: 8080\nname: 'x'\npassword:\ndebug: null\n"},
      {&yaml, {u"--as", u"bool"}, u"$.port", u"yes", 1, yamlText},
      {&yaml, {u"--as", u"null"}, u"$.port", u"none", 1, yamlText},
      {&yaml, {}, u"$.password", u"s3cret", 0, "port: 8080\nname: 'x'\npassword: s3cret\ndebug: true\n"},
      {&yaml, {}, u"$.password", u"8081", 0, "port: 8080\nname: 'x'\npassword: 8081\ndebug: true\n"},
      {&yaml, {}, u"$.port", u"x", 1, yamlText},
      {&toml, {u"--as", u"string"}, u"$.port", u"8080", 0, "port = \"8080\"\nname = 'x'\n"},
      {&toml, {u"--as", u"number"}, u"$.name", u"1.5", 0, "port = 8080\nname = 1.5\n"},
      {&toml, {u"--as", u"null"}, u"$.port", u"null", 1, tomlText},
  };
  for (const TCase& c : cases) {
    test::WriteFileBytes(yaml, yamlText);
    test::WriteFileBytes(toml, tomlText);
    std::vector<std::u16string> args{u"set"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    args.insert(args.end(), {U(*c.File), c.Path, c.Value});
    const TProgramRun run = Corvane(args);
    EXPECT_EQ(run.ExitCode, c.Exit) << Utf16ToUtf8(c.Path) << " " << Utf16ToUtf8(c.Value) << ": " << run.Err;
    EXPECT_EQ(test::ReadFileBytes(*c.File), c.After) << Utf16ToUtf8(c.Path) << " " << Utf16ToUtf8(c.Value);
  }
  EXPECT_EQ(Corvane({u"set", u"--as", u"text", U(yaml), u"$.port", u"1"}).ExitCode, 2);
  EXPECT_EQ(Corvane({u"get", u"--as", u"string", U(yaml), u"$.port"}).ExitCode, 2);
}

TEST(corvane_program, refuses_a_file_changed_between_load_and_save) {
  const TScratchFile file(test::SourceDir() + "/samples/compose.yml");
  const TProgramRun run = Corvane({u"set", U(file.Path), u"$.services.web.image", u"nginx:1.27"}, "corvane_flavour",
                                  {{"CORVANE_TEST_CHANGE_BEFORE_SAVE", "# meanwhile\n"}});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Err, "corvane: " + file.Path + ": Source file changed outside corvane\n");
  EXPECT_EQ(file.Now(), file.Original + "# meanwhile\n");
  EXPECT_TRUE(file.NoTemporaryLeft());
}

TEST(corvane_program, does_the_readme_examples) {
  struct TExample { const char* Sample; const char* Path; const char* Value; const char* Before; const char* After; };
  for (const TExample& e :
       {TExample{"Cargo.toml", "$.package.version", "0.5.0", "version = \"0.4.2\"", "version = \"0.5.0\""},
        TExample{"compose.yml", "$.services.web.image", "nginx:1.27", "image: \"nginx:1.25\"", "image: \"nginx:1.27\""},
        TExample{"ci-workflow.yaml", "$.jobs.test.strategy.fail-fast", "true", "fail-fast: false",
                 "fail-fast: true"}}) {
    const TScratchFile file(test::SourceDir() + "/samples/" + e.Sample);
    const TProgramRun run = Corvane({u"set", U(file.Path), U(e.Path), U(e.Value)});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out + run.Err, "");
    std::string expected = file.Original;
    expected.replace(expected.find(e.Before), std::string(e.Before).size(), e.After);
    EXPECT_EQ(file.Now(), expected) << e.Sample;
  }
  const TScratchFile compose(test::SourceDir() + "/samples/compose.yml");
  const TProgramRun dry = Corvane({u"rename", u"--dry-run", U(compose.Path), u"$.services.db", u"database"});
  EXPECT_EQ(dry.ExitCode, 0) << dry.Err;
  const size_t at = compose.Original.find("  db:") + 2;
  EXPECT_EQ(dry.Out, "$.services.db\t" + std::to_string(at) + "\t2\tdb\tdatabase\n");
  EXPECT_EQ(compose.Now(), compose.Original);
}

// The README's examples of add and delete: a dependency into a Cargo.toml,
// an environment variable into a compose service, a new table and a new
// array-of-tables entry, a job out of a workflow; each changes exactly the
// entry's lines.
TEST(corvane_program, adds_and_deletes_entries_as_the_readme_shows) {
  struct TExample {
    const char* Sample;
    std::vector<std::u16string> Args;  // after FILE
    const char* Before;                // text around the change, before and after
    const char* After;
  };
  const TExample examples[] = {
      {"Cargo.toml", {u"$.dependencies", u"anyhow", u"1.0.86"}, "tracing = \"0.1\"\n",
       "tracing = \"0.1\"\nanyhow = \"1.0.86\"\n"},
      {"compose.yml", {u"$.services.api.environment", u"LOG_LEVEL", u"debug"}, "      DEBUG: false\n",
       "      DEBUG: false\n      LOG_LEVEL: debug\n"},
      {"Cargo.toml", {u"$", u"badges", u"{}"}, "harness = false\n", "harness = false\n\n[badges]\n"},
      {"Cargo.toml", {u"$.bench", u"-", u"{}"}, "harness = false\n", "harness = false\n\n[[bench]]\n"},
  };
  for (const TExample& e : examples) {
    const TScratchFile file(test::SourceDir() + "/samples/" + e.Sample);
    std::vector<std::u16string> args{u"add", U(file.Path)};
    args.insert(args.end(), e.Args.begin(), e.Args.end());
    const TProgramRun run = Corvane(args);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    std::string expected = file.Original;
    expected.replace(expected.find(e.Before), std::string(e.Before).size(), e.After);
    EXPECT_EQ(file.Now(), expected) << e.Sample;
  }
  const TScratchFile workflow(test::SourceDir() + "/samples/ci-workflow.yaml");
  const std::string& text = workflow.Original;
  const size_t release = text.find("  release:");
  const TProgramRun dry = Corvane({u"delete", u"--dry-run", U(workflow.Path), u"$.jobs.release"});
  EXPECT_EQ(dry.ExitCode, 0) << dry.Err;
  EXPECT_EQ(dry.Out.rfind("$.jobs.release\t" + std::to_string(release) + "\t", 0), 0u) << dry.Out;
  EXPECT_EQ(workflow.Now(), text);
  EXPECT_EQ(Corvane({u"delete", U(workflow.Path), u"$.jobs.release"}).ExitCode, 0);
  const size_t end = text.find("\n\n", release) == std::string::npos ? text.size() : text.find("\n\n", release) + 1;
  EXPECT_EQ(workflow.Now(), text.substr(0, release) + text.substr(end));
}

// add and delete refuse what they cannot do without touching other
// entries, name the reason and leave the file alone; a call with several
// paths saves all of them or none.
TEST(corvane_program, refuses_structural_edits_it_cannot_prove) {
  test::TempDir dir;
  const std::string path = dir.File("a.yaml");
  const std::string text = "base: &b {x: 1}\nuse: *b\nlist: [1, 2]\n";
  struct TCase {
    std::vector<std::u16string> Args;  // after FILE
    int Exit;
    const char* Says;  // a part of the message
  };
  const TCase cases[] = {
      {{u"$", u"use", u"2"}, 1, "exists already"},
      {{u"$.list", u"k", u"2"}, 1, "without one"},
      {{u"$.list", u"-", u"3", u"extra"}, 2, "usage"},
      {{u"--after", u"$.base", u"$.list", u"-", u"3"}, 2, "not an entry"},
  };
  for (const TCase& c : cases) {
    test::WriteFileBytes(path, text);
    std::vector<std::u16string> args{u"add"};
    if (c.Args.front() == u"--after") args.insert(args.end(), c.Args.begin(), c.Args.begin() + 2);
    args.push_back(U(path));
    args.insert(args.end(), c.Args.begin() + (c.Args.front() == u"--after" ? 2 : 0), c.Args.end());
    const TProgramRun run = Corvane(args);
    EXPECT_EQ(run.ExitCode, c.Exit) << run.Err;
    EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
    EXPECT_EQ(test::ReadFileBytes(path), text);
  }
  test::WriteFileBytes(path, text);
  const TProgramRun anchored = Corvane({u"delete", U(path), u"$.list[0]", u"$.base"});
  EXPECT_EQ(anchored.ExitCode, 1);
  EXPECT_NE(anchored.Err.find("$.base: An alias elsewhere uses an anchor"), std::string::npos) << anchored.Err;
  EXPECT_EQ(test::ReadFileBytes(path), text);
  EXPECT_EQ(Corvane({u"delete", U(path), u"$.list", u"$.list[0]"}).ExitCode, 2);
  EXPECT_EQ(Corvane({u"delete", U(path), u"$.list[1]", u"$.list[0]", u"$.use"}).ExitCode, 0);
  EXPECT_EQ(test::ReadFileBytes(path), "base: &b {x: 1}\nlist: []\n");
}

TEST(corvane_program, takes_non_ascii_file_names_and_values) {
  const TScratchFile file(test::SourceDir() + "/samples/compose.yml", "d\xC3\xA9ploiement-\xE6\x97\xA5.yml");
  const std::u16string value = u"caf\u00E9 \u65E5\u672C \U0001F600";
  ASSERT_EQ(Corvane({u"set", U(file.Path), u"$.services.web.restart", value}).ExitCode, 0);
  EXPECT_EQ(Corvane({u"get", U(file.Path), u"$.services.web.restart"}).Out, Utf16ToUtf8(value) + "\n");
}

TEST(corvane_program, checks_files_and_names_the_place_of_an_error) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("good.yaml"), "a: 1\n");
  test::WriteFileBytes(dir.File("bad.yaml"), "a: [1\n");
  test::WriteFileBytes(dir.File("bad.toml"), "a = 1\nb = \n");
  TProgramRun run = Corvane({u"check", U(dir.File("good.yaml"))});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out + run.Err, "");
  run = Corvane({u"check", U(dir.File("bad.yaml"))});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Err.rfind("corvane: " + dir.File("bad.yaml") + ":2:1: ", 0), 0u) << run.Err;
  run = Corvane({u"check", U(dir.File("bad.toml"))});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Err.rfind("corvane: " + dir.File("bad.toml") + ":2: ", 0), 0u) << run.Err;
  // A member named twice has no place; a syntax error after it still wins.
  test::WriteFileBytes(dir.File("twice.yaml"), "a: 1\n---\nb: {c: 1, c: 2}\n");
  test::WriteFileBytes(dir.File("twice-bad.yaml"), "a: 1\na: 2\nb: [\n");
  run = Corvane({u"check", U(dir.File("twice.yaml"))});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Err, "corvane: " + dir.File("twice.yaml") + ": Duplicate object member: \"c\"\n");
  run = Corvane({u"check", U(dir.File("twice-bad.yaml"))});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Err.rfind("corvane: " + dir.File("twice-bad.yaml") + ":4:1: ", 0), 0u) << run.Err;
  run = Corvane({u"check", U(dir.File("missing.yaml"))});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("Cannot read source file"), std::string::npos) << run.Err;
  // --max-size: a file of exactly the size loads, one byte less refuses it.
  EXPECT_EQ(Corvane({u"check", u"--max-size", u"5", U(dir.File("good.yaml"))}).ExitCode, 0);
  run = Corvane({u"check", u"--max-size=4", U(dir.File("good.yaml"))});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("5 bytes, more than --max-size 4"), std::string::npos) << run.Err;
}

TEST(corvane_program, exits_2_on_bad_usage_and_0_with_help) {
  test::TempDir dir;
  test::WriteFileBytes(dir.File("a.yaml"), "a: 1\n");
  const std::u16string file = U(dir.File("a.yaml"));
  for (const std::vector<std::u16string>& args :
       {std::vector<std::u16string>{}, {u"frobnicate", file}, {u"get", file}, {u"set", file, u"$.a"},
        {u"set", file, u"$.a", u"1", u"$.b"}, {u"rename", file, u"$.a", u"b", u"$.c", u"d"}, {u"paths", file, u"x"},
        {u"get", u"--dry-run", file, u"$.a"}, {u"check", u"--max-size", u"lots", file}, {u"check", file, u"--max-size"},
        {u"paths", u"--verbose", file}, {u"get", file, u"$.a["}, {u"set", file, u"$..a", u"1"}}) {
    const TProgramRun run = Corvane(args);
    std::string what;
    for (const auto& arg : args) what += " " + Utf16ToUtf8(arg);
    EXPECT_EQ(run.ExitCode, 2) << what;
    EXPECT_EQ(run.Out, "") << what;
    EXPECT_EQ(run.Err.rfind("corvane: ", 0), 0u) << what << ": " << run.Err;
  }
  EXPECT_EQ(test::ReadFileBytes(dir.File("a.yaml")), "a: 1\n");
  const TProgramRun help = Corvane({u"get", file, u"--help"});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_EQ(help.Out.rfind("Usage: corvane", 0), 0u);
  // --version prints the project's version, the one every binary carries.
  const std::string project = test::ReadFileBytes(test::SourceDir() + "/CMakeLists.txt");
  std::smatch version;
  ASSERT_TRUE(std::regex_search(project, version, std::regex("project\\(corvane VERSION ([0-9.]+)")));
  const TProgramRun versionRun = Corvane({u"set", file, u"--version"});
  EXPECT_EQ(versionRun.ExitCode, 0);
  EXPECT_EQ(versionRun.Out, "corvane " + version[1].str() + "\n");
  // After "--" a value may start with "--"; "-5" is a value anyway.
  EXPECT_EQ(Corvane({u"set", file, u"--", u"$.a", u"-5"}).ExitCode, 0);
  EXPECT_EQ(Corvane({u"get", file, u"$.a"}).Out, "-5\n");
}

// Installed, the program lies in a "cli" folder below the parser libraries.
TEST(corvane_program, finds_the_parser_library_in_the_folder_above_its_own) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  const fs::path program = fs::path(test::ProgramBeside("corvane"));
  const fs::path library = program.parent_path() / fs::path(ParserLibraryFileName());
  fs::create_directory(dir.File("cli"));
  const fs::path installed = fs::path(dir.File("cli")) / program.filename();
  fs::copy_file(program, installed);
  test::WriteFileBytes(dir.File("a.yaml"), "a: 1\n");
  const std::vector<std::u16string> check{u"check", U(dir.File("a.yaml"))};
  const TProgramRun without = test::RunProgram(installed.u16string(), check);
  EXPECT_EQ(without.ExitCode, 1);
  EXPECT_NE(without.Err.find("Cannot load native corvane parser"), std::string::npos) << without.Err;
  fs::copy_file(library, fs::path(dir.File("")) / library.filename());
  EXPECT_EQ(test::RunProgram(installed.u16string(), check).ExitCode, 0);
}

}  // namespace
}  // namespace corvane
