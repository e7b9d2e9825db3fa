#include "uLoadError.h"

#include "uLineIndex.h"
#include "uUnicode.h"

namespace corvane {

TSourceRegion RegionInText(std::string_view text, int64_t line, int64_t column) {
  TSourceRegion region;
  if (line <= 0) return region;
  region.Line = line;
  region.Column = column > 0 ? column : 0;
  const TLineIndex lines(text);
  // Where lines end at NEL, LS or PS too, the parser's line numbers are not
  // the index's: the offset is then not known.
  if (!lines.HasOtherLineBreaks()) region.Offset = lines.Offset(line, column > 0 ? column : 1);
  return region;
}

TLoadError LoadErrorOf(const ELoadFailure& failure, std::string_view text) {
  return TLoadError{Utf8ToUtf16(failure.what()), RegionInText(text, failure.Line(), failure.Column()),
                    failure.InText()};
}

}  // namespace corvane
