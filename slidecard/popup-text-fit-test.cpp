// The message font's step-down from 15 to 11 before any clipping.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "slidecard/popup-text-fit.h"

namespace orvo {
namespace {

// Answers with a table of extents per font height and records what it was asked.
class TableMeasure : public TextMeasure {
public:
  explicit TableMeasure(std::map<int, TextExtent> extents) : extents_(std::move(extents)) {}
  TextExtent Measure(int fontHeight, std::wstring_view, int wrapWidth) override {
    asked.push_back(fontHeight);
    wrapWidths.push_back(wrapWidth);
    return extents_.at(fontHeight);
  }
  std::vector<int> asked;
  std::vector<int> wrapWidths;

private:
  std::map<int, TextExtent> extents_;
};

std::map<int, TextExtent> Extents(TextExtent e15, TextExtent e14, TextExtent e13, TextExtent e12) {
  return {{15, e15}, {14, e14}, {13, e13}, {12, e12}};
}

struct FitCase {
  const char* name;
  std::map<int, TextExtent> extents;
  int expected;
  std::vector<int> expectedAsked;
};

TEST(PopupTextFit, StepsDownOnlyAsFarAsNeeded) {
  const TextExtent fits{170, 54};
  const TextExtent exact{175, 56};
  const TextExtent tooTall{170, 57};
  const TextExtent tooWide{176, 40};
  const FitCase cases[] = {
      {"fits at 15", Extents(fits, fits, fits, fits), 15, {15}},
      {"fills the rectangle exactly at 15", Extents(exact, fits, fits, fits), 15, {15}},
      {"one line too many at 15", Extents(tooTall, fits, fits, fits), 14, {15, 14}},
      {"fits from 12", Extents(tooTall, tooTall, tooTall, fits), 12, {15, 14, 13, 12}},
      {"unbreakable word too wide at 15", Extents(tooWide, fits, fits, fits), 14, {15, 14}},
      // Nothing fits above the minimum: the minimum, without measuring it, and clipped.
      {"never fits", Extents(tooTall, tooTall, tooWide, tooTall), 11, {15, 14, 13, 12}},
  };
  for (const auto& c : cases) {
    TableMeasure measure(c.extents);
    EXPECT_EQ(ChooseMessageFontHeight(measure, L"text", 175, 56), c.expected) << c.name;
    EXPECT_EQ(measure.asked, c.expectedAsked) << c.name;
    for (int w : measure.wrapWidths) EXPECT_EQ(w, 175) << c.name;
  }
}

}  // namespace
}  // namespace orvo
