// The JSON writer. See uJsonWriter.h.
#include "uJsonWriter.h"

#include <vector>

namespace corvane {

namespace {

std::string ScalarJson(const TJsonData& node) {
  switch (node.Kind()) {
    case nkString: return JsonQuoteString(static_cast<const TJsonString&>(node).Value());
    case nkBoolean: return static_cast<const TJsonBoolean&>(node).Value() ? "true" : "false";
    case nkNull: return "null";
    case nkNumber: return JsonNumberText(node);
    default: return "null";
  }
}

struct TWriteFrame {
  const TJsonContainer* Node;
  size_t Next;
  size_t Depth;
};

class TJsonWriter {
 public:
  explicit TJsonWriter(bool compact) : compact_(compact) {}

  std::string Write(const TJsonData& root) {
    Open(root, 0);
    while (!stack_.empty()) Step();
    return std::move(out_);
  }

 private:
  void Indent(size_t depth) { out_.append(depth * 2, ' '); }

  // Writes a scalar or the opening of a container (pushing it when it has
  // children to write).
  void Open(const TJsonData& node, size_t depth) {
    const int kind = node.Kind();
    if (kind != nkArray && kind != nkObject) {
      out_ += ScalarJson(node);
      return;
    }
    const auto& container = static_cast<const TJsonContainer&>(node);
    if (container.Count() == 0) {
      out_ += kind == nkObject ? "{}" : (compact_ ? "[]" : "[\r\n]");
      return;
    }
    out_ += kind == nkObject ? (compact_ ? "{ " : "{\r\n") : (compact_ ? "[" : "[\r\n");
    stack_.push_back({&container, 0, depth});
  }

  void Close(const TWriteFrame& frame) {
    const bool object = frame.Node->Kind() == nkObject;
    if (compact_) {
      out_ += object ? " }" : "]";
      return;
    }
    out_ += "\r\n";
    Indent(frame.Depth);
    out_ += object ? "}" : "]";
  }

  void Step() {
    TWriteFrame& frame = stack_.back();
    if (frame.Next == frame.Node->Count()) {
      const TWriteFrame done = frame;
      stack_.pop_back();
      Close(done);
      return;
    }
    const size_t index = frame.Next++;
    const size_t depth = frame.Depth;
    const TJsonContainer* node = frame.Node;
    if (index > 0) out_ += compact_ ? ", " : ",\r\n";
    if (!compact_) Indent(depth + 1);
    if (node->Kind() == nkObject) {
      out_ += JsonQuoteString(static_cast<const TJsonObject*>(node)->Name(index));
      out_ += " : ";
    }
    Open(*node->Child(index), depth + 1);  // may grow stack_; frame is stale now
  }

  bool compact_;
  std::string out_;
  std::vector<TWriteFrame> stack_;
};

}  // namespace

std::string WriteJson(const TJsonData& value, bool compact) {
  return TJsonWriter(compact).Write(value);
}

}  // namespace corvane
