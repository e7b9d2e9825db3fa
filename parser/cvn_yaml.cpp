// YAML half of the parser library: a handle around a libyaml parser that
// hands out one event at a time.
//
// Contract:
//  - The caller's buffer is read in place (never copied) and must stay alive
//    and unchanged until cvn_yaml_close.
//  - At most one event is held; it is released when the next is fetched and
//    on close, so memory does not grow with the length of the stream.
//  - A failed cvn_yaml_next fills the 512-byte error buffer with
//    "<problem> at line L, column C" (1-based, truncated to 511 bytes; L
//    and C also from cvn_yaml_error_line / cvn_yaml_error_column) and
//    leaves the handle exhausted: after STREAM-END or a failure every later
//    call returns 1 with event type 0, and the error text stays as it was.
//  - Positions come straight from libyaml's marks: the index counts
//    characters (a byte-order mark excluded), lines and columns are made
//    1-based. Accessors give 0 / null when no event is current or the event
//    kind lacks the datum.
//  - Collections nested deeper than kMaxYamlDepth levels are refused like a
//    syntax error ("nesting deeper than 512 levels at line L, column C"):
//    libyaml 0.2.5 has no limit of its own, its scanner slows down with the
//    square of the flow nesting depth, and consumers walk the tree on a
//    small GUI-thread stack.
//  - No exception leaves an export; a null handle gives 0 / null everywhere.
#include "corvane_parser.h"

#include <yaml.h>

#include <cstdio>
#include <cstring>
#include <new>

struct cvn_yaml_parser {
  yaml_parser_t parser;
  yaml_event_t event;
  bool has_event = false;  // `event` holds a fetched event to release;
                           // otherwise `event` is all zero (type 0)
  bool exhausted = false;  // STREAM-END delivered or a failure reported
  size_t depth = 0;        // open sequences and mappings
  char error[512] = {};
  size_t error_line = 0;   // the place the error text names, 1-based
  size_t error_column = 0;
};

namespace {

const unsigned char kEmptyText[1] = {0};
constexpr size_t kMaxYamlDepth = 512;

struct TTextPosition {
  size_t Line = 0;    // 0-based
  size_t Column = 0;  // 0-based, in characters
};

// Decodes one character at `p` (UTF-8 or UTF-16 of the given byte order) and
// returns its width in bytes (at least 1, never past `end`).
size_t DecodeChar(const unsigned char* p, const unsigned char* end, int utf16, unsigned& ch) {
  if (utf16) {
    if (end - p < 2) { ch = 0xFFFD; return static_cast<size_t>(end - p); }
    ch = utf16 == 1 ? (p[0] | (p[1] << 8)) : ((p[0] << 8) | p[1]);
    if (ch >= 0xD800 && ch < 0xDC00 && end - p >= 4) { ch = 0x10000; return 4; }
    return 2;
  }
  ch = p[0];
  size_t width = ch < 0x80 ? 1 : (ch & 0xE0) == 0xC0 ? 2 : (ch & 0xF0) == 0xE0 ? 3 : (ch & 0xF8) == 0xF0 ? 4 : 1;
  if (static_cast<size_t>(end - p) < width) return 1;
  if (width == 2) ch = ((p[0] & 0x1F) << 6) | (p[1] & 0x3F);
  if (width == 3) ch = ((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
  return width;
}

// libyaml reports encoding errors by byte offset only (its problem mark stays
// at the start), so the position is worked out here with the parser's own
// rules: CR, LF, CR LF, NEL, LS and PS end a line; a byte-order mark is not
// counted.
TTextPosition PositionOfOffset(const unsigned char* text, size_t length, size_t offset) {
  if (offset > length) offset = length;
  const unsigned char* p = text;
  const unsigned char* end = text + offset;
  int utf16 = 0;
  if (length >= 2 && text[0] == 0xFF && text[1] == 0xFE) { utf16 = 1; p += 2; }
  else if (length >= 2 && text[0] == 0xFE && text[1] == 0xFF) { utf16 = 2; p += 2; }
  else if (length >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF) p += 3;
  TTextPosition pos;
  unsigned previous = 0;
  while (p < end) {
    unsigned ch = 0;
    p += DecodeChar(p, end, utf16, ch);
    const bool lineBreak = ch == '\n' || ch == '\r' || ch == 0x85 || ch == 0x2028 || ch == 0x2029;
    if (ch == '\n' && previous == '\r') {
      // the LF of a CR LF pair: the CR already ended the line
    } else if (lineBreak) {
      ++pos.Line;
      pos.Column = 0;
    } else {
      ++pos.Column;
    }
    previous = ch;
  }
  return pos;
}

void FormatError(cvn_yaml_parser* h) {
  const yaml_parser_t& p = h->parser;
  const char* problem = p.problem ? p.problem : "YAML parse error";
  TTextPosition pos{p.problem_mark.line, p.problem_mark.column};
  if (p.error == YAML_READER_ERROR && p.input.string.start)
    pos = PositionOfOffset(p.input.string.start, static_cast<size_t>(p.input.string.end - p.input.string.start),
                           p.problem_offset);
  h->error_line = pos.Line + 1;
  h->error_column = pos.Column + 1;
  std::snprintf(h->error, sizeof h->error, "%s at line %lu, column %lu", problem,
                static_cast<unsigned long>(h->error_line), static_cast<unsigned long>(h->error_column));
}

// Keeps the count of open collections; false when the current event would
// open one level too many (the error text is then set).
bool TrackDepth(cvn_yaml_parser* h) {
  const yaml_event_type_t type = h->event.type;
  if (type == YAML_SEQUENCE_END_EVENT || type == YAML_MAPPING_END_EVENT) {
    if (h->depth > 0) --h->depth;
    return true;
  }
  if (type != YAML_SEQUENCE_START_EVENT && type != YAML_MAPPING_START_EVENT) return true;
  if (++h->depth <= kMaxYamlDepth) return true;
  h->error_line = h->event.start_mark.line + 1;
  h->error_column = h->event.start_mark.column + 1;
  std::snprintf(h->error, sizeof h->error, "nesting deeper than %lu levels at line %lu, column %lu",
                static_cast<unsigned long>(kMaxYamlDepth), static_cast<unsigned long>(h->error_line),
                static_cast<unsigned long>(h->error_column));
  return false;
}

void ReleaseEvent(cvn_yaml_parser* h) {
  if (!h->has_event) return;
  yaml_event_delete(&h->event);
  h->has_event = false;
}

const char* Text(const yaml_char_t* text) { return reinterpret_cast<const char*>(text); }

// The accessors read the event record directly. libyaml zeroes the record
// when it deletes an event, so with no event current its type is 0.
const yaml_event_t* Current(cvn_yaml_parser* h) { return h && h->event.type != YAML_NO_EVENT ? &h->event : nullptr; }

}  // namespace

extern "C" {

cvn_yaml_parser* cvn_yaml_open(const char* data, size_t length) {
  if (!data && length) return nullptr;  // nothing to read from
  try {
    cvn_yaml_parser* h = new (std::nothrow) cvn_yaml_parser;
    if (!h) return nullptr;
    std::memset(&h->parser, 0, sizeof h->parser);
    std::memset(&h->event, 0, sizeof h->event);
    if (!yaml_parser_initialize(&h->parser)) {
      delete h;
      return nullptr;
    }
    const unsigned char* text = data ? reinterpret_cast<const unsigned char*>(data) : kEmptyText;
    yaml_parser_set_input_string(&h->parser, text, length);
    return h;
  } catch (...) {
    return nullptr;
  }
}

void cvn_yaml_close(cvn_yaml_parser* h) {
  if (!h) return;
  ReleaseEvent(h);
  yaml_parser_delete(&h->parser);
  delete h;
}

int cvn_yaml_next(cvn_yaml_parser* h) {
  if (!h) return 0;
  ReleaseEvent(h);
  if (h->exhausted) return 1;  // the record stays zeroed: type 0
  if (!yaml_parser_parse(&h->parser, &h->event)) {
    h->exhausted = true;
    FormatError(h);
    return 0;
  }
  h->has_event = true;
  if (!TrackDepth(h)) {
    ReleaseEvent(h);
    h->exhausted = true;
    return 0;
  }
  const yaml_event_type_t type = h->event.type;
  if (type == YAML_STREAM_END_EVENT || type == YAML_NO_EVENT) h->exhausted = true;
  return 1;
}

const char* cvn_yaml_error(cvn_yaml_parser* h) { return h ? h->error : "No parser"; }

size_t cvn_yaml_error_line(cvn_yaml_parser* h) { return h ? h->error_line : 0; }

size_t cvn_yaml_error_column(cvn_yaml_parser* h) { return h ? h->error_column : 0; }

int cvn_yaml_type(cvn_yaml_parser* h) { return h ? static_cast<int>(h->event.type) : 0; }

size_t cvn_yaml_start(cvn_yaml_parser* h) {
  const yaml_event_t* e = Current(h);
  return e ? e->start_mark.index : 0;
}

size_t cvn_yaml_end(cvn_yaml_parser* h) {
  const yaml_event_t* e = Current(h);
  return e ? e->end_mark.index : 0;
}

size_t cvn_yaml_line(cvn_yaml_parser* h) {
  const yaml_event_t* e = Current(h);
  return e ? e->start_mark.line + 1 : 0;
}

size_t cvn_yaml_column(cvn_yaml_parser* h) {
  const yaml_event_t* e = Current(h);
  return e ? e->start_mark.column + 1 : 0;
}

size_t cvn_yaml_end_line(cvn_yaml_parser* h) {
  const yaml_event_t* e = Current(h);
  return e ? e->end_mark.line + 1 : 0;
}

size_t cvn_yaml_end_column(cvn_yaml_parser* h) {
  const yaml_event_t* e = Current(h);
  return e ? e->end_mark.column + 1 : 0;
}

const char* cvn_yaml_value(cvn_yaml_parser* h) {
  const yaml_event_t* e = Current(h);
  return e && e->type == YAML_SCALAR_EVENT ? Text(e->data.scalar.value) : nullptr;
}

size_t cvn_yaml_value_length(cvn_yaml_parser* h) {
  const yaml_event_t* e = Current(h);
  return e && e->type == YAML_SCALAR_EVENT ? e->data.scalar.length : 0;
}

const char* cvn_yaml_anchor(cvn_yaml_parser* h) {
  const yaml_event_t* e = Current(h);
  if (!e) return nullptr;
  switch (e->type) {
    case YAML_ALIAS_EVENT: return Text(e->data.alias.anchor);
    case YAML_SCALAR_EVENT: return Text(e->data.scalar.anchor);
    case YAML_SEQUENCE_START_EVENT: return Text(e->data.sequence_start.anchor);
    case YAML_MAPPING_START_EVENT: return Text(e->data.mapping_start.anchor);
    default: return nullptr;
  }
}

const char* cvn_yaml_tag(cvn_yaml_parser* h) {
  const yaml_event_t* e = Current(h);
  if (!e) return nullptr;
  switch (e->type) {
    case YAML_SCALAR_EVENT: return Text(e->data.scalar.tag);
    case YAML_SEQUENCE_START_EVENT: return Text(e->data.sequence_start.tag);
    case YAML_MAPPING_START_EVENT: return Text(e->data.mapping_start.tag);
    default: return nullptr;
  }
}

int cvn_yaml_scalar_style(cvn_yaml_parser* h) {
  const yaml_event_t* e = Current(h);
  return e && e->type == YAML_SCALAR_EVENT ? static_cast<int>(e->data.scalar.style) : 0;
}

}  // extern "C"
