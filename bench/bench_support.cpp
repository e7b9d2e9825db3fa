// The benchmarks' data generators and the raw libyaml pass. See
// bench_support.h.
#include "bench_support.h"

#include <yaml.h>

#include <cstdint>
#include <random>

namespace corvane::bench {

bool RawYamlPass(const std::string& text, const std::function<void()>& ready) {
  yaml_parser_t parser;
  yaml_parser_initialize(&parser);
  yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(text.data()), text.size());
  yaml_event_t event;
  bool ok = true;
  for (;;) {
    if (!yaml_parser_parse(&parser, &event)) {
      ok = false;
      break;
    }
    const bool end = event.type == YAML_STREAM_END_EVENT;
    yaml_event_delete(&event);
    if (end) break;
  }
  if (ready) ready();
  yaml_parser_delete(&parser);
  return ok;
}

std::string ServiceListYaml(int items, size_t bytes) {
  std::string t;
  t.reserve(items > 0 ? size_t(items) * 132 : bytes + 256);
  for (int i = 0; items > 0 ? i < items : t.size() < bytes; ++i) {
    const std::string n = std::to_string(i);
    t += "- name: service-" + n + "\n  image: registry.local/app-" + n + ":1.4\n  replicas: " +
         std::to_string(i % 5 + 1) + "\n  enabled: " + (i % 3 ? "true" : "false") + "\n  port: " +
         std::to_string(8000 + i % 1000) + "\n  tags: [web, prod]\n";
  }
  return t;
}

// Dense YAML: 17 scalars packed into every 132-byte item (one every ~8
// bytes), far denser than real configuration files; reported for comparison.
std::string DenseYaml() {
  std::string t;
  t.reserve(13 << 20);
  for (int i = 0; i < 100000; ++i) {
    const std::string n = std::to_string(i);
    t += "- id: " + n + "\n  name: \"item-" + n + "\"\n  enabled: " + (i % 3 ? "true" : "false") +
         "\n  ratio: 0." + std::to_string(i * 7919 % 100000) + "\n  tags: [alpha, beta, gamma-" + n +
         "]\n  owner: {team: core, site: 'ber-" + std::to_string(i % 17) + "'}\n";
  }
  return t;
}

// A stream of deployment manifests of about 700 bytes each.
std::string ManifestStreamYaml(size_t bytes) {
  std::string t;
  for (int i = 0; t.size() < bytes; ++i) {
    const std::string n = std::to_string(i);
    t += "---\n# deployment " + n + "\napiVersion: apps/v1\nkind: Deployment\nmetadata:\n  name: app-" + n +
         "\n  labels:\n    app.kubernetes.io/name: app-" + n +
         "\n    app.kubernetes.io/version: \"1.4\"\nspec:\n  replicas: " + std::to_string(i % 5 + 1) +
         "\n  selector:\n    matchLabels: {app: app-" + n +
         "}\n  template:\n    spec:\n      containers:\n        - name: app\n          image: registry.local/app-" + n +
         ":1.4\n          ports: [{containerPort: 8080}]\n          env:\n            - name: MODE\n"
         "              value: production\n            - name: WORKERS\n              value: \"4\"\n"
         "          resources:\n            limits: {cpu: 500m, memory: 256Mi}\n";
  }
  return t;
}

std::string ReleaseStreamYaml(size_t bytes) {
  std::string t;
  t.reserve(bytes + 1024);
  for (int i = 0; t.size() < bytes; ++i) {
    const std::string n = std::to_string(i);
    t += "--- # release " + n + "\nkind: Release\nmetadata:\n  name: svc-" + n + "\n  labels: &labels-" + n +
         "\n    app: caf\u00e9-" + n + "\n    tier: \"backend\"\n  annotations:\n    description: |\n"
         "      \u00dcbersicht f\u00fcr Dienst " + n + ": l\u00e4uft auf \u2265 3 Knoten.\n"
         "      Zweite Zeile \u2014 mit Gedankenstrich.\n    note: >\n      folded text for " + n +
         "\n      continues on a second line\nspec:\n  replicas: " + std::to_string(i % 5 + 1) +
         "\n  selector:\n    matchLabels: *labels-" + n +
         "\n  ports:\n    - {name: http, port: 80, targetPort: 8080}\n    - {name: metrics, port: 9100}\n"
         "  env:\n    - name: GREETING\n      value: \"Gr\u00fc\u00df Gott, " + n +
         "\"\n    - name: RATIO\n      value: \"0.75\"\n  enabled: true\n"
         "  limits: {cpu: 500m, memory: 256Mi}\n  missing: ~\n";
  }
  return t;
}

// A config-like document: nested mappings, sequences of mappings, plain and
// quoted scalars, block text, comments.
std::string ConfigYaml(size_t targetBytes) {
  std::string out;
  out.reserve(targetBytes + 4096);
  for (int service = 0; out.size() < targetBytes; ++service) {
    const std::string n = std::to_string(service);
    out += "service_" + n + ":\n";
    out += "  image: \"registry.example.com/team/app-" + n + ":1." + n + "\"\n";
    out += "  replicas: " + std::to_string(service % 7 + 1) + "\n";
    out += "  enabled: " + std::string(service % 2 ? "true" : "false") + "  # toggled by ops\n";
    out += "  labels: {tier: backend, zone: 'eu-" + n + "', weight: 0." + n + "}\n";
    out += "  ports:\n";
    for (int p = 0; p < 3; ++p) {
      out += "    - name: port-" + std::to_string(p) + "\n";
      out += "      containerPort: " + std::to_string(8000 + p) + "\n";
      out += "      protocol: TCP\n";
    }
    out += "  env:\n";
    for (int e = 0; e < 4; ++e)
      out += "    - {name: VAR_" + std::to_string(e) + ", value: 'value with spaces " + n + "'}\n";
    out += "  command: [\"/bin/sh\", \"-c\", \"exec app --id=" + n + "\"]\n";
    out += "  description: |\n    Service number " + n + " handles requests.\n    Second line of text.\n";
  }
  return out;
}

// TOML as an array of small tables with a few short values each (~5 MB):
// more values per byte than real files of that size.
std::string TableArrayToml() {
  std::string t = "title = \"generated\"\nversion = 3\n\n";
  t.reserve(6 << 20);
  for (int i = 0; i < 50000; ++i) {
    const std::string n = std::to_string(i);
    t += "[[servers]]\nname = \"server-" + n + "\"\nhost = \"10.0." + std::to_string(i / 250 % 250) + "." +
         std::to_string(i % 250) + "\"\nport = " + std::to_string(8000 + i % 1000) + "\nenabled = " +
         (i % 3 ? "true" : "false") + "\ntags = [\"web\", \"prod\"]\n\n";
  }
  return t;
}

// Lock-file TOML, the shape of the largest TOML files in practice
// (Cargo.lock and the like): one [[package]] table per dependency with its
// name, version, source, checksum and a multi-line dependency list (~5 MB).
std::string LockFileToml() {
  std::string t = "# This file is generated; do not edit.\nversion = 3\n\n";
  t.reserve(6 << 20);
  static const char kHex[] = "0123456789abcdef";
  uint64_t seed = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 20500; ++i) {
    const std::string n = std::to_string(i);
    std::string checksum;
    for (int k = 0; k < 64; ++k) {
      seed = seed * 6364136223846793005ull + 1442695040888963407ull;
      checksum += kHex[(seed >> 60) & 15];
    }
    t += "[[package]]\nname = \"crate-" + n + "\"\nversion = \"" + std::to_string(i % 7) + "." +
         std::to_string(i % 31) + "." + std::to_string(i % 5) +
         "\"\nsource = \"registry+https://github.com/rust-lang/crates.io-index\"\nchecksum = \"" + checksum +
         "\"\ndependencies = [\n \"crate-" + std::to_string((i * 7 + 1) % 20500) + "\",\n \"crate-" +
         std::to_string((i * 13 + 5) % 20500) + " 1.0." + std::to_string(i % 9) + "\",\n]\n\n";
  }
  return t;
}

// Dense TOML: every table packs a number list and an inline table.
std::string DenseToml() {
  std::string t = "title = \"generated\"\nversion = 3\n\n";
  t.reserve(6 << 20);
  for (int i = 0; i < 40000; ++i) {
    const std::string n = std::to_string(i);
    t += "[[items]]\nid = " + n + "\nname = \"item-" + n + "\"\nratio = 0." + std::to_string(i * 7919 % 100000) +
         "\nports = [80, 443, " + n + "]\nowner = { team = \"core\", site = 'ber' }\n\n";
  }
  return t;
}

// 1,000 objects, each a name and an array of 999 numbers: 1,000,000 leaves.
TJsonDataPtr MillionLeafDocument() {
  std::mt19937 random(42);
  std::uniform_int_distribution<int64_t> ints(-1000000, 1000000);
  std::uniform_real_distribution<double> floats(-1e6, 1e6);
  auto root = std::make_unique<TJsonArray>();
  for (int i = 0; i < 1000; ++i) {
    auto object = std::make_unique<TJsonObject>();
    object->Add("name", std::make_unique<TJsonString>("object-" + std::to_string(i)));
    auto values = std::make_unique<TJsonArray>();
    for (int j = 0; j < 999; ++j) {
      if (j % 2)
        values->Add(std::make_unique<TJsonInteger>(ints(random)));
      else
        values->Add(std::make_unique<TJsonFloat>(floats(random)));
    }
    object->Add("values", std::move(values));
    root->Add(std::move(object));
  }
  return root;
}

}  // namespace corvane::bench
