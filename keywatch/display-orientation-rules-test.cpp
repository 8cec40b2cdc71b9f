// Orientation decisions against an in-memory machine: which exchanges run, in which order,
// where each operation stops and which mode is applied.
#include "keywatch/display-orientation-rules.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace orvo {
namespace {

// A scripted machine that writes every platform call into one transcript.
class FakeOrientation : public OrientationPlatform {
public:
  std::optional<std::uint8_t> bit04;           // first byte of CommandType04
  std::optional<std::uint8_t> mask = 0xFF;     // first byte of CommandType26
  bool switchOn = false;
  std::optional<std::vector<std::uint8_t>> screenRotate;
  std::optional<DisplayMode> mode = DisplayMode{0, 1366, 768};
  std::vector<std::string> calls;

  std::optional<std::uint8_t> QueryDataByte(std::uint32_t code, std::uint32_t index) override {
    calls.push_back("query " + std::to_string(code) + "/" + std::to_string(index));
    if (code == 143 && index == 4) return bit04;
    if (code == 147 && index == 38) return mask;
    ADD_FAILURE() << "unexpected query " << code << "/" << index;
    return std::nullopt;
  }
  bool IsCommandType32SwitchOn() override {
    calls.push_back("switch");
    return switchOn;
  }
  std::optional<std::vector<std::uint8_t>> ReadScreenRotateValue() override {
    calls.push_back("ScreenRotate");
    return screenRotate;
  }
  std::optional<DisplayMode> ReadDisplayMode() override {
    calls.push_back("read");
    return mode;
  }
  void ApplyDisplayMode(const DisplayMode& applied) override {
    std::ostringstream out;
    out << "apply " << applied.orientation << " " << applied.width << "x" << applied.height;
    calls.push_back(out.str());
  }
};

std::string Join(const std::vector<std::string>& calls) {
  std::string text;
  for (const auto& call : calls) text += (text.empty() ? "" : ", ") + call;
  return text;
}

// --- firmware event 1 ---------------------------------------------------------------------

struct BitCase {
  const char* name;
  std::optional<std::uint8_t> bit04;
  DisplayMode mode;
  const char* applied;  // nullptr: nothing applied
};

TEST(ApplyOrientationBit, TurnsByTheBitFromTheCurrentOrientation) {
  const BitCase cases[] = {
      {"set, landscape 0", 0x04, {0, 1366, 768}, "apply 2 1366x768"},
      {"set, portrait 1", 0x04, {1, 768, 1366}, "apply 2 1366x768"},
      {"set, already 2", 0x04, {2, 1366, 768}, nullptr},
      {"set, portrait 3", 0xFF, {3, 768, 1366}, "apply 2 1366x768"},
      {"clear, 0", 0x00, {0, 1366, 768}, nullptr},
      {"clear, 2", 0xFB, {2, 1366, 768}, "apply 0 1366x768"},
      {"clear, portrait 3", 0x00, {3, 768, 1366}, "apply 0 1366x768"},
      {"clear, portrait 1", 0x03, {1, 768, 1366}, "apply 0 1366x768"},
      {"absent counts as clear, 2", std::nullopt, {2, 1366, 768}, "apply 0 1366x768"},
      {"absent, 0", std::nullopt, {0, 1366, 768}, nullptr},
      // Any other orientation value: exchanged unconditionally, even to a portrait size.
      {"set, unknown 7", 0x04, {7, 1366, 768}, "apply 2 768x1366"},
      {"clear, unknown 4, square", 0x00, {4, 800, 800}, "apply 0 800x800"},
  };
  for (const auto& c : cases) {
    FakeOrientation fake;
    fake.bit04 = c.bit04;
    fake.mode = c.mode;
    ApplyOrientationBit(fake);
    std::string expected = "query 143/4, read";
    if (c.applied) expected += std::string(", ") + c.applied;
    EXPECT_EQ(Join(fake.calls), expected) << c.name;
  }
}

TEST(ApplyOrientationBit, IgnoresMaskScreenRotateAndSwitchAndStopsWhenTheModeIsUnknown) {
  FakeOrientation fake;
  fake.bit04 = 0x04;
  fake.mask = 0x00;
  fake.switchOn = true;
  fake.screenRotate = std::vector<std::uint8_t>{1};
  ApplyOrientationBit(fake);
  EXPECT_EQ(Join(fake.calls), "query 143/4, read, apply 2 1366x768");

  FakeOrientation unreadable;
  unreadable.bit04 = 0x04;
  unreadable.mode.reset();
  ApplyOrientationBit(unreadable);
  EXPECT_EQ(Join(unreadable.calls), "query 143/4, read");
}

// --- rotation requests -------------------------------------------------------------------

struct RotateCase {
  const char* name;
  int target;
  std::optional<std::uint8_t> mask;
  std::optional<std::vector<std::uint8_t>> screenRotate;
  bool switchOn;
  std::optional<DisplayMode> mode;
  const char* calls;
};

const std::vector<std::uint8_t> kRotateOff{1};

TEST(RotateDisplay, RunsEachStepOnlyWhenThePreviousOneLetTheRequestThrough) {
  const char* all = "query 147/38, ScreenRotate, switch, read";
  const RotateCase cases[] = {
      {"to 1, mask 0x0F, landscape", 1, 0x0F, std::nullopt, false, DisplayMode{0, 1366, 768},
       "query 147/38, ScreenRotate, switch, read, apply 1 768x1366"},
      {"to 1, mask 0x0D: only the mask exchange", 1, 0x0D, std::nullopt, false, DisplayMode{0, 1366, 768},
       "query 147/38"},
      {"to 1, ScreenRotate 1: no 148 exchange", 1, 0x0F, kRotateOff, false, DisplayMode{0, 1366, 768},
       "query 147/38, ScreenRotate"},
      {"to 1, switch on", 1, 0x0F, std::nullopt, true, DisplayMode{0, 1366, 768},
       "query 147/38, ScreenRotate, switch"},
      {"to 1, mode unreadable", 1, 0x0F, std::nullopt, false, std::nullopt, all},
      {"to 0 while already 0: applied again", 0, 0x01, std::nullopt, false, DisplayMode{0, 1366, 768},
       "query 147/38, ScreenRotate, switch, read, apply 0 1366x768"},
      {"to 0 from portrait", 0, 0x01, std::nullopt, false, DisplayMode{1, 768, 1366},
       "query 147/38, ScreenRotate, switch, read, apply 0 1366x768"},
      {"to 2 from portrait 3", 2, 0x04, std::nullopt, false, DisplayMode{3, 768, 1366},
       "query 147/38, ScreenRotate, switch, read, apply 2 1366x768"},
      {"to 2 from landscape", 2, 0x04, std::nullopt, false, DisplayMode{0, 1366, 768},
       "query 147/38, ScreenRotate, switch, read, apply 2 1366x768"},
      {"to 3 from landscape", 3, 0x08, std::nullopt, false, DisplayMode{0, 1366, 768},
       "query 147/38, ScreenRotate, switch, read, apply 3 768x1366"},
      {"to 3 from portrait 1", 3, 0x08, std::nullopt, false, DisplayMode{1, 768, 1366},
       "query 147/38, ScreenRotate, switch, read, apply 3 768x1366"},
      {"to 1, square size left alone", 1, 0x02, std::nullopt, false, DisplayMode{0, 900, 900},
       "query 147/38, ScreenRotate, switch, read, apply 1 900x900"},
      // Unsigned comparison: a width above 2^31 is still the larger one.
      {"to 1, unsigned sizes", 1, 0x02, std::nullopt, false, DisplayMode{0, 0x80000000u, 768},
       "query 147/38, ScreenRotate, switch, read, apply 1 768x2147483648"},
      {"mask absent counts as 0xFF", 3, std::nullopt, std::nullopt, false, DisplayMode{0, 1366, 768},
       "query 147/38, ScreenRotate, switch, read, apply 3 768x1366"},
      {"to 0, bit 0x01 missing", 0, 0xFE, std::nullopt, false, DisplayMode{1, 768, 1366}, "query 147/38"},
      {"to 2, bit 0x04 missing", 2, 0x0B, std::nullopt, false, DisplayMode{0, 1366, 768}, "query 147/38"},
      {"to 3, bit 0x08 missing", 3, 0x07, std::nullopt, false, DisplayMode{0, 1366, 768}, "query 147/38"},
      {"mask 0 refuses all", 0, 0x00, std::nullopt, false, DisplayMode{0, 1366, 768}, "query 147/38"},
  };
  for (const auto& c : cases) {
    FakeOrientation fake;
    fake.mask = c.mask;
    fake.screenRotate = c.screenRotate;
    fake.switchOn = c.switchOn;
    fake.mode = c.mode;
    RotateDisplay(fake, c.target);
    EXPECT_EQ(Join(fake.calls), c.calls) << c.name;
  }
}

TEST(RotateDisplay, ScreenRotateBlocksOnlyForBinaryFirstByteOne) {
  using Bytes = std::vector<std::uint8_t>;
  const struct {
    const char* name;
    std::optional<Bytes> value;
    bool blocks;
  } cases[] = {
      {"absent or not binary", std::nullopt, false},
      {"empty", Bytes{}, false},
      {"first byte 1", Bytes{1}, true},
      {"first byte 1, more data", Bytes{1, 0, 0, 0}, true},
      {"first byte 0", Bytes{0, 1}, false},
      {"first byte 2", Bytes{2}, false},
      {"first byte 0xFF", Bytes{0xFF}, false},
  };
  for (const auto& c : cases) {
    FakeOrientation fake;
    fake.screenRotate = c.value;
    EXPECT_EQ(ReadScreenRotate(fake), c.blocks) << c.name;
    fake.calls.clear();
    RotateDisplay(fake, 1);
    const bool applied = !fake.calls.empty() && fake.calls.back().rfind("apply", 0) == 0;
    EXPECT_EQ(applied, !c.blocks) << c.name << ": " << Join(fake.calls);
  }
}

TEST(RotateDisplay, TargetsOutsideZeroToThreeDoNothing) {
  for (int target : {-1, 4, 0x01250001}) {
    FakeOrientation fake;
    RotateDisplay(fake, target);
    EXPECT_EQ(Join(fake.calls), "") << target;
  }
}

// --- display changes ---------------------------------------------------------------------

struct EnforceCase {
  const char* name;
  std::optional<std::uint8_t> mask;
  std::optional<std::uint8_t> bit04;
  std::optional<DisplayMode> mode;
  const char* calls;
};

TEST(EnforceOrientationMask, ReturnsRefusedOrientationsToZero) {
  const EnforceCase cases[] = {
      {"mask 0x05, at 1", 0x05, 0x04, DisplayMode{1, 768, 1366},
       "query 147/38, query 143/4, read, apply 0 1366x768"},
      {"mask 0x05, at 3", 0x05, 0x04, DisplayMode{3, 768, 1366},
       "query 147/38, query 143/4, read, apply 0 1366x768"},
      {"mask 0x05, at 2 stays", 0x05, 0x04, DisplayMode{2, 1366, 768}, "query 147/38, query 143/4, read"},
      {"mask 0x0B, at 2 returns, size kept", 0x0B, 0x04, DisplayMode{2, 1366, 768},
       "query 147/38, query 143/4, read, apply 0 1366x768"},
      {"mask 0x02, at 1 stays", 0x02, 0x04, DisplayMode{1, 768, 1366}, "query 147/38, query 143/4, read"},
      {"mask 0x08, at 3 stays", 0x08, 0x04, DisplayMode{3, 768, 1366}, "query 147/38, query 143/4, read"},
      {"mask 0x0E, at 0 never tested", 0x0E, 0x04, DisplayMode{0, 1366, 768}, "query 147/38, query 143/4, read"},
      {"unknown orientation 5", 0x01, 0x04, DisplayMode{5, 1366, 768}, "query 147/38, query 143/4, read"},
      {"mask 0: no 143 exchange", 0x00, 0x04, DisplayMode{1, 768, 1366}, "query 147/38"},
      {"bit clear: nothing whatever the mask", 0x01, 0x00, DisplayMode{1, 768, 1366}, "query 147/38, query 143/4"},
      {"bit absent counts as clear", 0x01, std::nullopt, DisplayMode{3, 768, 1366}, "query 147/38, query 143/4"},
      {"mask absent counts as 0xFF: all allowed", std::nullopt, 0x04, DisplayMode{3, 768, 1366},
       "query 147/38, query 143/4, read"},
      {"mode unreadable", 0x01, 0x04, std::nullopt, "query 147/38, query 143/4, read"},
  };
  for (const auto& c : cases) {
    FakeOrientation fake;
    fake.mask = c.mask;
    fake.bit04 = c.bit04;
    fake.mode = c.mode;
    EnforceOrientationMask(fake);
    EXPECT_EQ(Join(fake.calls), c.calls) << c.name;
  }
}

// The applied mode comes back as a display change; at orientation 0 it is left alone, so the
// pair settles after one change.
TEST(EnforceOrientationMask, SettlesAfterItsOwnChange) {
  FakeOrientation fake;
  fake.mask = 0x01;
  fake.bit04 = 0x04;
  fake.mode = DisplayMode{3, 768, 1366};
  EnforceOrientationMask(fake);
  ASSERT_EQ(fake.calls.back(), "apply 0 1366x768");
  fake.mode = DisplayMode{0, 1366, 768};
  fake.calls.clear();
  EnforceOrientationMask(fake);
  EXPECT_EQ(Join(fake.calls), "query 147/38, query 143/4, read");
}

}  // namespace
}  // namespace orvo

namespace orvo {
namespace {

TEST(RotateDisplay, AbsentMaskLetsEveryTargetPastTheMaskStep) {
  for (int target = 0; target < 4; ++target) {
    FakeOrientation fake;
    fake.mask.reset();
    RotateDisplay(fake, target);
    ASSERT_EQ(fake.calls.size(), 5u) << target << ": " << Join(fake.calls);
    EXPECT_EQ(fake.calls.back().substr(0, 8), "apply " + std::to_string(target) + " ") << Join(fake.calls);
  }
}

}  // namespace
}  // namespace orvo
