// What the benchmarks share: the raw libyaml pass every ratio is taken
// against, and the generated files they measure, each of a realistic shape
// (or, named so, far denser than real files, for comparison).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "uJsonModel.h"

namespace corvane::bench {

// libyaml's events over the text, each dropped at once: the raw parse.
// ready (when set) runs once the last event is read, before the parser is
// freed. False when the text does not parse.
bool RawYamlPass(const std::string& text, const std::function<void()>& ready = {});

// One YAML document listing small service mappings of about 120 bytes (five
// keys and a short flow list), as in compose or inventory files: items of
// them, or, with items 0, as many as make bytes.
std::string ServiceListYaml(int items, size_t bytes = 0);
// 100,000 items packing 17 scalars into every 132 bytes (~12 MB).
std::string DenseYaml();
// A stream of Kubernetes deployment manifests of about 700 bytes each, as
// many as make bytes.
std::string ManifestStreamYaml(size_t bytes);
// A stream of release documents of about 700 bytes each, as many as make
// bytes: non-ASCII text, literal and folded block scalars, an anchor and
// its alias in each document. tools/run-host-bench.sh writes the same shape.
std::string ReleaseStreamYaml(size_t bytes);
// A config-like document of about targetBytes: nested mappings, sequences
// of mappings, plain and quoted scalars, block text, comments.
std::string ConfigYaml(size_t targetBytes);
// TOML: 50,000 small tables in an array of tables (~5 MB).
std::string TableArrayToml();
// TOML in the shape of a lock file (Cargo.lock): 20,500 [[package]] tables
// with name, version, source, checksum and a dependency list (~5 MB).
std::string LockFileToml();
// TOML: 40,000 tables, each with a number list and an inline table.
std::string DenseToml();
// A value tree of 1,000 objects, each a name and an array of 999 numbers:
// 1,000,000 leaves.
TJsonDataPtr MillionLeafDocument();

}  // namespace corvane::bench
