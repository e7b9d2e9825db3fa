/* corvane_parser: a flat C interface over libyaml (YAML event stream with
 * source positions) and toml++ (TOML navigator handing out raw value text).
 *
 * The plug-in loads this library at run time and resolves every function by
 * name, so the names, argument types and calling convention (the platform's
 * default, cdecl on 32-bit x86) are a fixed contract.
 *
 * Every function accepts a null handle, table or array and then returns 0 or
 * null. Strings handed out are borrowed, NUL-terminated UTF-8:
 *   - YAML event strings live until the next cvn_yaml_next or cvn_yaml_close;
 *   - TOML keys and raw values live until cvn_toml_close;
 *   - error texts live until the next call on the same handle.
 * The YAML text is read in place: the caller keeps its buffer alive and
 * unchanged until cvn_yaml_close. The TOML text is read in place too, but
 * only during cvn_toml_open and cvn_toml_validate: the keys and raw values a
 * document hands out are copies kept by its handle, so the caller's buffer
 * may go as soon as open returns. */
#ifndef CORVANE_PARSER_H
#define CORVANE_PARSER_H

#include <stddef.h>

#if defined(CORVANE_PARSER_STATIC)
#define CVN_API
#elif defined(_WIN32)
#if defined(CORVANE_PARSER_BUILD)
#define CVN_API __declspec(dllexport)
#else
#define CVN_API
#endif
#else
#define CVN_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct cvn_yaml_parser cvn_yaml_parser;
typedef struct cvn_toml_doc cvn_toml_doc;
typedef struct cvn_toml_table cvn_toml_table;
typedef struct cvn_toml_array cvn_toml_array;

/* YAML event type codes (libyaml's yaml_event_type_t). */
enum {
  CVN_YAML_NO_EVENT = 0,
  CVN_YAML_STREAM_START = 1,
  CVN_YAML_STREAM_END = 2,
  CVN_YAML_DOCUMENT_START = 3,
  CVN_YAML_DOCUMENT_END = 4,
  CVN_YAML_ALIAS = 5,
  CVN_YAML_SCALAR = 6,
  CVN_YAML_SEQUENCE_START = 7,
  CVN_YAML_SEQUENCE_END = 8,
  CVN_YAML_MAPPING_START = 9,
  CVN_YAML_MAPPING_END = 10
};

/* Scalar style codes (libyaml's yaml_scalar_style_t). */
enum {
  CVN_YAML_ANY_STYLE = 0,
  CVN_YAML_PLAIN = 1,
  CVN_YAML_SINGLE_QUOTED = 2,
  CVN_YAML_DOUBLE_QUOTED = 3,
  CVN_YAML_LITERAL = 4,
  CVN_YAML_FOLDED = 5
};

/* ---- YAML: a pull stream of parser events ---- */

/* Null when memory or parser initialisation fails. Null data with length 0
 * is an empty text. */
CVN_API cvn_yaml_parser* cvn_yaml_open(const char* data, size_t length);
CVN_API void cvn_yaml_close(cvn_yaml_parser* handle);
/* 1 = a new event is current (type 0 once the stream is exhausted);
 * 0 = failure (see cvn_yaml_error) or null handle. */
CVN_API int cvn_yaml_next(cvn_yaml_parser* handle);
CVN_API const char* cvn_yaml_error(cvn_yaml_parser* handle);
/* The 1-based line and column (in characters) the error text names; 0
 * before a failure. Added after the other YAML functions; a caller must not
 * count on a library having them. */
CVN_API size_t cvn_yaml_error_line(cvn_yaml_parser* handle);
CVN_API size_t cvn_yaml_error_column(cvn_yaml_parser* handle);
CVN_API int cvn_yaml_type(cvn_yaml_parser* handle);
/* Character indexes (0-based) and 1-based lines and columns; 0 when no event
 * is current. The end mark is just after the event's last character. */
CVN_API size_t cvn_yaml_start(cvn_yaml_parser* handle);
CVN_API size_t cvn_yaml_end(cvn_yaml_parser* handle);
CVN_API size_t cvn_yaml_line(cvn_yaml_parser* handle);
CVN_API size_t cvn_yaml_column(cvn_yaml_parser* handle);
CVN_API size_t cvn_yaml_end_line(cvn_yaml_parser* handle);
CVN_API size_t cvn_yaml_end_column(cvn_yaml_parser* handle);
/* Decoded scalar content; may hold NUL bytes, the length is authoritative. */
CVN_API const char* cvn_yaml_value(cvn_yaml_parser* handle);
CVN_API size_t cvn_yaml_value_length(cvn_yaml_parser* handle);
CVN_API const char* cvn_yaml_anchor(cvn_yaml_parser* handle);
CVN_API const char* cvn_yaml_tag(cvn_yaml_parser* handle);
CVN_API int cvn_yaml_scalar_style(cvn_yaml_parser* handle);

/* ---- TOML: a navigator over tables and arrays with raw leaf text ---- */

/* Null on failure, with the message in errbuf (truncated to errbufsize - 1
 * bytes; a null errbuf or a size of 0 suppresses it). */
CVN_API cvn_toml_doc* cvn_toml_open(const char* data, size_t length, char* errbuf, int errbufsize);
/* As cvn_toml_open, and on failure *error_line (when not null) is the
 * 1-based line the message names, 0 when it names none (the message then
 * does not start with "line L: "). Added after the functions above; a
 * caller must not count on a library having it. */
CVN_API cvn_toml_doc* cvn_toml_open_at(const char* data, size_t length, char* errbuf, int errbufsize,
                                       size_t* error_line);
/* 1 = valid TOML, 0 = not (message in errbuf). Keeps nothing. */
CVN_API int cvn_toml_validate(const char* data, size_t length, char* errbuf, int errbufsize);
CVN_API void cvn_toml_close(cvn_toml_doc* handle);
/* Null for an empty text. */
CVN_API cvn_toml_table* cvn_toml_root(cvn_toml_doc* handle);
/* Keys in three groups (leaf values, arrays, tables), each in order of first
 * appearance in the source; null past the last key. */
CVN_API const char* cvn_toml_table_key(cvn_toml_table* table, int index);
CVN_API const char* cvn_toml_table_raw(cvn_toml_table* table, const char* key);
CVN_API cvn_toml_array* cvn_toml_table_array(cvn_toml_table* table, const char* key);
CVN_API cvn_toml_table* cvn_toml_table_table(cvn_toml_table* table, const char* key);
CVN_API int cvn_toml_array_count(cvn_toml_array* array);
CVN_API const char* cvn_toml_array_raw(cvn_toml_array* array, int index);
CVN_API cvn_toml_array* cvn_toml_array_array(cvn_toml_array* array, int index);
CVN_API cvn_toml_table* cvn_toml_array_table(cvn_toml_array* array, int index);

/* Source spans: where a leaf value or a key stands in the text given to
 * cvn_toml_open, as byte offsets from its first byte (a byte-order mark
 * counted), *start at the first byte and *end just after the last. A leaf's
 * span holds exactly its raw value text. A key's span holds the key as
 * written, quotes included; for a key written as part of a dotted key or a
 * table header, only its own segment, where the key first appears.
 * 1 = *start and *end are set; 0 = they are left alone: null table, array,
 * key or pointer, no such leaf or key, an index out of range, or a place
 * the parser could not say. Added after the functions above; a caller must
 * not count on a library having them. */
CVN_API int cvn_toml_table_key_span(cvn_toml_table* table, const char* key, size_t* start, size_t* end);
CVN_API int cvn_toml_table_raw_span(cvn_toml_table* table, const char* key, size_t* start, size_t* end);
CVN_API int cvn_toml_array_raw_span(cvn_toml_array* array, int index, size_t* start, size_t* end);

#ifdef __cplusplus
}
#endif

#endif /* CORVANE_PARSER_H */
