// The corvane command's commands. See uCommands.h.
#include "uCommands.h"

#include <algorithm>
#include <utility>

#include "uEditLocate.h"
#include "uEditProof.h"
#include "uEntryEdits.h"
#include "uFileLoading.h"
#include "uFiles.h"
#include "uI18n.h"
#include "uJsonWriter.h"
#include "uNodeRecords.h"
#include "uSourcePatch.h"
#include "uUnicode.h"
#include "uValueChecks.h"
#include "uValuePath.h"

namespace corvane::cli {

namespace {

// Output in blocks: a listing of a large file has hundreds of thousands of
// lines.
class TBufferedOut {
 public:
  explicit TBufferedOut(const std::function<void(std::string_view)>& sink) : sink_(sink) {}
  ~TBufferedOut() { Flush(); }
  TBufferedOut& operator<<(std::string_view text) {
    buffer_ += text;
    if (buffer_.size() >= 1 << 16) Flush();
    return *this;
  }
  void Flush() {
    if (!buffer_.empty()) sink_(buffer_);
    buffer_.clear();
  }

 private:
  const std::function<void(std::string_view)>& sink_;
  std::string buffer_;
};

int Fail(TCommandIo& io, const std::string& what, int code = kExitFailed) {
  io.Err("corvane: " + what + "\n");
  return code;
}

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text); }

// A status text of the viewer without the blank that separates it there.
std::string StatusText(std::u16string_view status) {
  while (!status.empty() && status.front() == u' ') status.remove_prefix(1);
  return Utf8(status);
}

// "FILE:LINE:COLUMN: text", leaving out the place the parser did not name.
std::string LoadErrorText(const std::u16string& file, const TLoadError& error) {
  std::string where = Utf8(file);
  if (error.Region.Line > 0) where += ":" + std::to_string(error.Region.Line);
  if (error.Region.Line > 0 && error.Region.Column > 0) where += ":" + std::to_string(error.Region.Column);
  return where + ": " + Utf8(error.Text);
}

// The document a command works on. The process ends right after the
// command, so the document is left for the process's end instead of being
// taken apart node by node first (a large file's tree is millions of
// nodes; freeing them took a tenth of a check). Loading the next one frees
// the previous, so a caller running several commands keeps one at most.
TLoadedDocument& CommandDocument() {
  static TLoadedDocument* const document = new TLoadedDocument();
  return *document;
}

// The file's bytes within --max-size; false after telling why not.
bool ReadWithinLimit(const TCommandRequest& request, std::string& bytes, TCommandIo& io) {
  std::u16string detail;
  if (!platform::ReadFileBytes(request.File, bytes, detail)) {
    Fail(io, Utf8(request.File) + ": " + Utf8(tr(i18n::kErrorRead)) + " (" + Utf8(detail) + ")");
    return false;
  }
  if (request.MaxSize > 0 && bytes.size() > size_t(request.MaxSize)) {
    Fail(io, Utf8(request.File) + ": " + std::to_string(bytes.size()) + " bytes, more than --max-size " +
                 std::to_string(request.MaxSize));
    return false;
  }
  return true;
}

bool Load(const TCommandRequest& request, TLoadedDocument& doc, TCommandIo& io) {
  std::string bytes;
  if (!ReadWithinLimit(request, bytes, io)) return false;
  TLoadError error;
  if (LoadDocumentFromBytes(std::move(bytes), LanguageOfFileName(request.File), doc, error)) return true;
  Fail(io, LoadErrorText(request.File, error));
  return false;
}

// The node at a path; a malformed path is bad usage, a path that leads
// nowhere a failure.
int Resolve(const TLoadedDocument& doc, const std::u16string& path, TJsonData*& node, TCommandIo& io) {
  std::vector<TPathStep> steps;
  std::string error;
  if (!ParseValuePath(path, steps, error)) return Fail(io, "bad path \"" + Utf8(path) + "\": " + error, kExitUsage);
  node = FindByPath(doc.Value.get(), steps);
  if (!node) return Fail(io, Utf8(path) + ": no value at this path");
  return kExitDone;
}

// The text get prints: a scalar as the viewer shows it, an array or object
// as its Copy-as-JSON text with "\n" line ends.
std::string ValueText(const TJsonData& node) {
  if (!IsContainer(&node)) return Utf8(ValueSummaryText(&node));
  std::string json = WriteJson(node, false), text;
  text.reserve(json.size());
  for (size_t i = 0; i < json.size(); ++i)
    if (!(json[i] == '\r' && i + 1 < json.size() && json[i + 1] == '\n')) text += json[i];
  return text;
}

// ---- edits -----------------------------------------------------------------

// True when node lies in outer's subtree (outer itself included).
bool Contains(const TJsonData* outer, const TJsonData* node) {
  for (; node; node = node->Parent())
    if (node == outer) return true;
  return false;
}

// One edit of the call as located: the path it came from and its span.
struct TPlannedEdit {
  std::u16string Path;
  TLocatedEdit Edit;
};

// A value edit by the rules of a cell edit: nothing to do when the text is
// what the viewer shows already; otherwise the typed-value check, the node
// takes the value, the span is located and proven. False with the reason.
bool PlanSameKindEdit(const TLoadedDocument& doc, TJsonData* node, const std::u16string& text, TLocatedEdit& edit,
                      std::string& reason) {
  if (text == ValueSummaryText(node)) return true;
  const TValueCheck check = ApplyTypedValue(node, text);
  if (check != vcAccepted) return reason = StatusText(ValueCheckStatusText(check)), false;
  edit = LocateValueEdit(doc, node, text);
  return edit.Accepted() || (reason = Utf8(edit.Refusal), false);
}

// A value edit that gives the node a value of another kind: the kind --as
// names, or over a null what the text reads as. The new value's node takes
// the old one's place, so later edits of the call find it.
bool PlanKindEdit(TLoadedDocument& doc, TJsonData* node, const std::u16string& text,
                  const std::optional<TValueKind>& as, TLocatedEdit& edit, std::string& reason) {
  TValueCheck check = vcAccepted;
  TJsonDataPtr value = as ? ValueOfKind(text, *as, doc.Language, check) : ValueTypedOverNull(text, doc.Language);
  if (!value && check == vcNotEditable) return reason = "TOML has no null value", false;
  if (!value) return reason = StatusText(ValueCheckStatusText(check)), false;
  const bool already = NodeKind(value.get()) == NodeKind(node) && WritesAsString(*value) == WritesAsString(*node) &&
                       ValueSummaryText(value.get()) == ValueSummaryText(node);
  if (already) return true;
  edit = LocateValueEdit(doc, node, text, *value);
  if (!edit.Accepted()) return reason = Utf8(edit.Refusal), false;
  if (node->Parent()) ReplaceInParent(node, std::move(value));
  else doc.Value = std::move(value);
  return true;
}

bool PlanValueEdit(TLoadedDocument& doc, TJsonData* node, const std::u16string& text,
                   const std::optional<TValueKind>& as, TLocatedEdit& edit, std::string& reason) {
  if (IsContainer(node)) return reason = StatusText(tr(i18n::kStatusReadOnly)) + " (not a single value)", false;
  if (as || NodeKind(node) == nkNull) return PlanKindEdit(doc, node, text, as, edit, reason);
  return PlanSameKindEdit(doc, node, text, edit, reason);
}

// A key rename by the rules of a rename in the Path/Value view.
bool PlanRename(const TLoadedDocument& doc, TJsonData* node, const std::u16string& newKey, TLocatedEdit& edit,
                std::string& reason) {
  TJsonData* parent = node->Parent();
  if (NodeKind(parent) != nkObject) return reason = Utf8(tr(i18n::kErrorUnsafeKey)), false;
  auto* object = static_cast<TJsonObject*>(parent);
  const std::string key = Utf8(newKey);
  if (key == object->Name(size_t(object->IndexOf(node)))) return true;
  if (key.empty() || object->IndexOfName(key) >= 0) return reason = Utf8(tr(i18n::kErrorDuplicateKey)), false;
  edit = LocateKeyRename(doc, node, newKey);
  return edit.Accepted() || (reason = Utf8(edit.Refusal), false);
}

// "PATH  START  LENGTH  OLD  NEW" for --dry-run, the texts as in the file.
std::string DryRunLine(std::string_view bytes, const TPlannedEdit& planned) {
  const TLocatedEdit& e = planned.Edit;
  return Utf8(planned.Path) + "\t" + std::to_string(e.Start) + "\t" + std::to_string(e.Length) + "\t" +
         EscapeOnOneLine(bytes.substr(size_t(e.Start), size_t(e.Length))) + "\t" +
         EscapeOnOneLine(e.Replacement) + "\n";
}

int Save(const TCommandRequest& request, const TLoadedDocument& doc, TSourcePatchDocument& patches,
         const std::vector<TPlannedEdit>& planned, TCommandIo& io) {
  const TValidateText validate = LocatedEditsValidation(doc, patches.Patches());
  std::u16string error;
  if (request.DryRun) {
    if (!validate(patches.BuildText(), error)) return Fail(io, Utf8(request.File) + ": " + Utf8(error));
    TBufferedOut out(io.Out);
    for (const TPlannedEdit& edit : planned) out << DryRunLine(doc.Bytes, edit);
    return kExitDone;
  }
  if (io.BeforeSave) io.BeforeSave(request.File);
  if (!patches.SaveToFile(validate, error)) return Fail(io, Utf8(request.File) + ": " + Utf8(error));
  return kExitDone;
}

int RunEdits(const TCommandRequest& request, TCommandIo& io) {
  TLoadedDocument& doc = CommandDocument();
  if (!Load(request, doc, io)) return kExitFailed;
  TSourcePatchDocument patches;
  patches.LoadFromBytes(request.File, doc.Bytes);
  std::vector<TPlannedEdit> planned;
  for (const auto& [path, text] : request.Edits) {
    TJsonData* node = nullptr;
    if (const int code = Resolve(doc, path, node, io)) return code;
    TLocatedEdit edit;
    std::string reason;
    const bool ok = request.Command == TCommand::Set ? PlanValueEdit(doc, node, text, request.As, edit, reason)
                                                     : PlanRename(doc, node, text, edit, reason);
    if (!ok) return Fail(io, Utf8(path) + ": " + reason);
    if (!edit.Accepted()) continue;  // already so
    if (!patches.AddPatch(edit.Start, edit.Length, edit.Replacement))
      return Fail(io, Utf8(path) + ": " + StatusText(tr(i18n::kStatusOverlapping)));
    planned.push_back({path, std::move(edit)});
  }
  if (patches.Patches().empty()) return kExitDone;
  return Save(request, doc, patches, planned, io);
}

// ---- entries added and removed ---------------------------------------------------

// The value a new entry's text stands for: the kind --as names, else what
// the text reads as unquoted ({} and [] an empty object and array).
bool NewValue(const TCommandRequest& request, TDocumentLanguage language, TJsonDataPtr& value, std::string& reason) {
  TValueCheck check = vcAccepted;
  value = request.As ? ValueOfKind(request.Value, *request.As, language, check)
                     : NewEntryValue(request.Value, language);
  if (!value && check == vcNotEditable) return reason = "TOML has no null value", false;
  if (!value) return reason = StatusText(ValueCheckStatusText(check)), false;
  if (language == TDocumentLanguage::Toml && NodeKind(value.get()) == nkNull)
    return reason = "TOML has no null value", false;
  return true;
}

// One dry-run line per patch of a change, offsets in the text it was
// located in.
void AddDryRunLines(std::string& lines, const std::u16string& path, std::string_view text,
                    const TSourcePatches& patches) {
  for (const TSourcePatch& p : patches)
    lines += DryRunLine(text, {path, TLocatedEdit{p.Start, p.Length, p.Replacement, {}}});
}

// The one checked save of add and delete, or the dry run's lines.
int SaveEntries(const TCommandRequest& request, const TLoadedDocument& doc, TSourcePatchDocument& patches,
                const std::string& dryRun, TCommandIo& io) {
  if (request.DryRun) return io.Out(dryRun), kExitDone;
  const TValidateText validate = EditedTextValidation(doc, patches);
  std::u16string error;
  if (io.BeforeSave) io.BeforeSave(request.File);
  if (!patches.SaveToFile(validate, error)) return Fail(io, Utf8(request.File) + ": " + Utf8(error));
  return kExitDone;
}

int RunAdd(const TCommandRequest& request, TCommandIo& io) {
  TLoadedDocument& doc = CommandDocument();
  if (!Load(request, doc, io)) return kExitFailed;
  TJsonData *container = nullptr, *after = nullptr;
  if (const int code = Resolve(doc, request.Path, container, io)) return code;
  if (!request.After.empty()) {
    if (const int code = Resolve(doc, request.After, after, io)) return code;
    if (after->Parent() != container)
      return Fail(io, Utf8(request.After) + ": not an entry of " + Utf8(request.Path), kExitUsage);
  }
  TJsonDataPtr value;
  std::string reason;
  if (!NewValue(request, doc.Language, value, reason)) return Fail(io, Utf8(request.Path) + ": " + reason);
  TNewEntry entry;
  if (request.Key != u"-") entry.Key = Utf8(request.Key);
  entry.Typed = Utf8(request.Value);
  entry.Value = value.get();
  TSourcePatchDocument patches;
  patches.LoadFromBytes(request.File, doc.Bytes);
  TEntryChange change = LocateEntryAddition(doc, container, after, entry);
  if (!change.Accepted()) return Fail(io, Utf8(request.Path) + ": " + Utf8(change.Refusal));
  std::string dryRun;
  AddDryRunLines(dryRun, request.Path, doc.Bytes, change.Patches);
  std::vector<TJsonDataPtr> removed;
  if (!CommitEntryChange(doc, patches, change, removed)) return Fail(io, Utf8(request.Path) + ": not recorded");
  return SaveEntries(request, doc, patches, dryRun, io);
}

int RunDelete(const TCommandRequest& request, TCommandIo& io) {
  TLoadedDocument& doc = CommandDocument();
  if (!Load(request, doc, io)) return kExitFailed;
  // Each entry with its place in the text: removed from the last to the
  // first, each leaves the offsets of those before it as they were.
  std::vector<std::pair<size_t, size_t>> order;  // record, argument
  std::vector<TJsonData*> nodes;
  for (size_t i = 0; i < request.Paths.size(); ++i) {
    TJsonData* node = nullptr;
    if (const int code = Resolve(doc, request.Paths[i], node, io)) return code;
    for (size_t k = 0; k < nodes.size(); ++k)
      if (Contains(nodes[k], node) || Contains(node, nodes[k]))
        return Fail(io, Utf8(request.Paths[i]) + ": overlaps " + Utf8(request.Paths[k]), kExitUsage);
    size_t record = 0, parent = 0;
    FindNodeRecord(doc, node, &record, &parent);
    order.emplace_back(record, i);
    nodes.push_back(node);
  }
  std::sort(order.rbegin(), order.rend());
  TSourcePatchDocument patches;
  patches.LoadFromBytes(request.File, doc.Bytes);
  std::string dryRun;
  for (const auto& [record, i] : order) {
    TEntryChange change = LocateEntryRemoval(doc, {nodes[i]});
    if (!change.Accepted()) return Fail(io, Utf8(request.Paths[i]) + ": " + Utf8(change.Refusal));
    AddDryRunLines(dryRun, request.Paths[i], doc.Bytes, change.Patches);
    std::vector<TJsonDataPtr> removed;
    if (!CommitEntryChange(doc, patches, change, removed)) return Fail(io, Utf8(request.Paths[i]) + ": not recorded");
  }
  return SaveEntries(request, doc, patches, dryRun, io);
}

// ---- reading -----------------------------------------------------------------

int RunPaths(const TCommandRequest& request, TCommandIo& io) {
  TLoadedDocument& doc = CommandDocument();
  if (!Load(request, doc, io)) return kExitFailed;
  TBufferedOut out(io.Out);
  ForEachLeafPath(doc.Value.get(), u"$", TPathNames::Quoted, [&](const std::u16string& path, TJsonData* leaf) {
    out << Utf8(path) << "\t" << EscapeOnOneLine(Utf8(ValueSummaryText(leaf))) << "\n";
  });
  return kExitDone;
}

int RunGet(const TCommandRequest& request, TCommandIo& io) {
  TLoadedDocument& doc = CommandDocument();
  if (!Load(request, doc, io)) return kExitFailed;
  TJsonData* node = nullptr;
  if (const int code = Resolve(doc, request.Path, node, io)) return code;
  io.Out(ValueText(*node) + "\n");
  return kExitDone;
}

// The verdict and error text of the full load, without keeping a document
// (CheckDocumentLoads).
int RunCheck(const TCommandRequest& request, TCommandIo& io) {
  std::string bytes;
  if (!ReadWithinLimit(request, bytes, io)) return kExitFailed;
  TLoadError error;
  if (CheckDocumentLoads(bytes, LanguageOfFileName(request.File), error)) return kExitDone;
  return Fail(io, LoadErrorText(request.File, error));
}

}  // namespace

std::string EscapeOnOneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

int RunCommand(const TCommandRequest& request, TCommandIo& io) {
  SetLanguage(u"en");
  switch (request.Command) {
    case TCommand::Help: io.Out(UsageText()); return kExitDone;
    case TCommand::Version: io.Out(VersionText()); return kExitDone;
    case TCommand::Paths: return RunPaths(request, io);
    case TCommand::Get: return RunGet(request, io);
    case TCommand::Set:
    case TCommand::Rename: return RunEdits(request, io);
    case TCommand::Add: return RunAdd(request, io);
    case TCommand::Delete: return RunDelete(request, io);
    case TCommand::Check: return RunCheck(request, io);
  }
  return kExitUsage;
}

int RunCommandLine(const std::vector<std::u16string>& args, TCommandIo& io) {
  TCommandRequest request;
  std::string error;
  if (!ParseCommandLine(args, request, error)) return Fail(io, error + " (corvane --help tells more)", kExitUsage);
  return RunCommand(request, io);
}

}  // namespace corvane::cli
