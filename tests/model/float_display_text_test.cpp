// Float display texts come from the shortest round-trip digits; they must be
// exactly the texts the attempt-by-attempt search gives.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "uJsonModel.h"
#include "uUnicode.h"

namespace corvane {
namespace {

double FromBits(uint64_t bits) {
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

// Checks every value, reporting at most a few mismatches.
void ExpectSameTexts(const std::vector<double>& values) {
  int mismatches = 0;
  for (double v : values) {
    const std::string searched = FloatDisplayTextBySearch(v);
    const std::string shown = Utf16ToUtf8(NumberDisplayText(TJsonFloat(v)));
    if (shown != searched && ++mismatches <= 5) ADD_FAILURE() << v << ": " << shown << " vs " << searched;
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(float_display_text, equals_the_search_for_random_bit_patterns) {
  std::mt19937_64 random(1);
  std::vector<double> values;
  while (values.size() < 100000) {
    const double v = FromBits(random());
    if (std::isfinite(v)) values.push_back(v);
  }
  ExpectSameTexts(values);
}

TEST(float_display_text, equals_the_search_for_the_numbers_files_hold) {
  std::mt19937_64 random(2);
  std::uniform_real_distribution<double> wide(-1e6, 1e6);
  std::uniform_int_distribution<int64_t> mantissa(-999999, 999999);
  std::uniform_int_distribution<int> digits(0, 8);
  std::vector<double> values;
  for (int i = 0; i < 50000; ++i) {
    values.push_back(wide(random));                                                // 15-17 digits
    values.push_back(double(mantissa(random)) / std::pow(10.0, digits(random)));  // 12.5, 0.001
    values.push_back(double(mantissa(random)) * std::pow(10.0, digits(random)));  // 3e+08
  }
  ExpectSameTexts(values);
}

TEST(float_display_text, equals_the_search_at_powers_and_range_edges) {
  std::vector<double> values = {0.0, -0.0, 5e-324, -5e-324, 2.2250738585072014e-308, 1.7976931348623157e308,
                                1e15, 1e16, 123456789012345678.0, 0.1, 0.3, 1.0 / 3};
  for (int e = -1074; e <= 1023; ++e) {
    const double power = std::ldexp(1.0, e);
    for (double v : {power, -power, std::nextafter(power, 0.0), std::nextafter(power, 1e308)}) values.push_back(v);
  }
  for (int e = -320; e <= 308; ++e) {
    const double power = std::pow(10.0, e);
    for (double v : {power, std::nextafter(power, 0.0), std::nextafter(power, 1e308), 9.5 * power, 0.95 * power})
      values.push_back(v);
  }
  ExpectSameTexts(values);
}

}  // namespace
}  // namespace corvane
