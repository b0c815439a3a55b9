// The progress line: only on a terminal, only after a second, redrawn in place, ended cleanly.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "tools/slidepack/progress.h"

namespace slidepack {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using namespace std::chrono_literals;

struct FakeClock {
  std::chrono::steady_clock::time_point now{};
  Progress::Clock Function() {
    return [this] { return now; };
  }
};

TEST(ProgressLine, StaysSilentForQuickWork) {
  std::ostringstream out;
  FakeClock clock;
  {
    Progress progress("building x.scr", 100, out, true, clock.Function());
    clock.now += 900ms;
    progress.Advance(100);
    progress.Finish();
  }
  EXPECT_EQ(out.str(), "");
}

TEST(ProgressLine, StaysSilentWhenNotATerminal) {
  std::ostringstream out;
  FakeClock clock;
  Progress progress("building x.scr", 100, out, false, clock.Function());
  clock.now += 5s;
  progress.Advance(50);
  progress.Finish();
  EXPECT_EQ(out.str(), "");
}

TEST(ProgressLine, AppearsAfterASecondAndEndsAtAHundredPercent) {
  std::ostringstream out;
  FakeClock clock;
  Progress progress("unpacking y.scr", 4 << 20, out, true, clock.Function());
  clock.now += 1100ms;
  progress.Advance(1 << 20);
  EXPECT_EQ(out.str(), "\rslidepack: unpacking y.scr: 25% (1.0 of 4.0 MiB)");
  clock.now += 10ms;
  progress.Advance(1 << 20);  // too soon to redraw
  EXPECT_EQ(out.str(), "\rslidepack: unpacking y.scr: 25% (1.0 of 4.0 MiB)");
  clock.now += 200ms;
  progress.Advance(0);
  EXPECT_THAT(out.str(), EndsWith("\rslidepack: unpacking y.scr: 50% (2.0 of 4.0 MiB)"));
  progress.Finish();
  EXPECT_THAT(out.str(), EndsWith("\rslidepack: unpacking y.scr: 100% (4.0 of 4.0 MiB)\n"));
}

TEST(ProgressLine, CountsPicturesAndEstimatesTheTimeLeft) {
  std::ostringstream out;
  FakeClock clock;
  Progress progress("preparing pictures", 48, out, true, clock.Function(),
                    Progress::Unit::kPictures);
  clock.now += 3s;
  progress.Advance(12);
  EXPECT_EQ(out.str(), "\rslidepack: preparing pictures: 12 of 48, 0:09 left");
  clock.now += 597s;
  progress.Advance(12);
  EXPECT_THAT(out.str(), EndsWith("\rslidepack: preparing pictures: 24 of 48, 10:00 left"));
  progress.Finish();
  // Blanks cover the end of the longer line before.
  EXPECT_THAT(out.str(), EndsWith("\rslidepack: preparing pictures: 48 of 48            \n"));
}

TEST(ProgressLine, NamesFramesWhenItCountsThem) {
  std::ostringstream out;
  FakeClock clock;
  Progress progress("rendering show.mp4", 900, out, true, clock.Function(),
                    Progress::Unit::kFrames);
  clock.now += 2s;
  progress.Advance(300);
  EXPECT_EQ(out.str(), "\rslidepack: rendering show.mp4: 300 of 900 frames, 0:04 left");
}

TEST(ProgressLine, CutShortByAnErrorStillEndsItsLine) {
  std::ostringstream out;
  FakeClock clock;
  {
    Progress progress("building x.scr", 10, out, true, clock.Function());
    clock.now += 2s;
    progress.Advance(3);
  }
  EXPECT_THAT(out.str(), HasSubstr("30%"));
  EXPECT_THAT(out.str(), EndsWith("\n"));
  EXPECT_THAT(out.str(), Not(HasSubstr("100%")));
}

}  // namespace
}  // namespace slidepack
