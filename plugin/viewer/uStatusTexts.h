// Texts and widths of the seven status-bar parts: encoding, depth, kind,
// flat level, rows, cell cursor, edit state.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "uJsonModel.h"
#include "uLoadError.h"
#include "uScaling.h"
#include "uTableModel.h"

namespace corvane {

constexpr int kStatusPartCount = 7;

// Replaces each "%d" of a (translated) format with the next number, in order;
// a "%d" without a number left, or any other "%" sequence, stays as written,
// so a bad translation shows oddly but cannot fail.
std::u16string FormatInts(std::u16string_view format, std::initializer_list<long long> numbers);

// Depth of a tree entry: 1 for the root, +1 per parent; 1 without a node.
int NodeDepth(const TJsonData* node);

std::u16string StatusEncodingText(std::u16string_view encodingName);        // part 0
std::u16string StatusDepthText(const TJsonData* node);                      // part 1
std::u16string StatusKindText(const TJsonData* node);                       // part 2
std::u16string StatusFlatText(int flatLevel, const TTableModel& table);     // part 3
std::u16string StatusRowsText(int visibleRows, int totalRows);              // part 4
std::u16string StatusCursorText(int currentRow, int currentColumn);         // part 5
std::u16string StatusEditText(bool editMode, bool modified);                // part 6

// Part 6 for a file whose text did not load: the message with the line and
// column it names (the place the parser's own text repeats at its end or
// start taken out, so it is not said twice).
std::u16string StatusLoadErrorText(const TLoadError& error);

// What parts 0..5 must show whole: the widest text each can hold, in the
// current language (every kind name; the flat and row formats with their
// widest numbers), and a minimum width (96 DPI).
struct TStatusPartTemplate {
  std::vector<std::u16string> Texts;
  int MinWidth;
};
std::array<TStatusPartTemplate, 6> StatusPartTemplates();

// Right edges of the seven parts, the last -1 (to the bar's end), from a
// function measuring a text's width in the bar's font: each part is as wide
// as its widest template text plus a margin, at least its minimum. With
// messageOnly (a document that did not load: parts 1 to 5 have nothing to
// say) those parts take no width, and the message part all but part 0's.
std::vector<int> StatusPartRightEdges(const TScaling& scaling,
                                      const std::function<int(std::u16string_view)>& measure,
                                      bool messageOnly = false);

}  // namespace corvane
