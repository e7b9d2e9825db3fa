// Splitting a cell text into integer part and fraction for decimal alignment.
//
// A text is numeric in the decimal form (optional sign, digits, exactly one
// "." or "," with digits on both sides) or the integer form (optional sign and
// digits). Characters with code <= 32 are trimmed at both ends first.
// '12.5' -> '12' + '.5'; '-3,25' -> '-3' + ',25'; '+7' -> '+7' + '';
// '.5', '5.', '-.5', '1e5', '1.2.3' and '' are not numeric.
#pragma once

#include <string_view>

namespace corvane {

struct TNumberSplit {
  bool Numeric = false;
  std::u16string_view IntegerPart;  // views into the text passed in
  std::u16string_view Rest;         // separator and fraction, or empty
};

TNumberSplit SplitNumber(std::u16string_view text);

}  // namespace corvane
