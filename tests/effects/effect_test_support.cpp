#include "tests/effects/effect_test_support.h"

#include <sstream>
#include <stdexcept>

#include "effects/effect_table.h"

namespace slidesaver::effect_test {

void PrintTo(const DrawCall& call, std::ostream* out) {
  *out << call.name << "(" << call.source;
  for (int64_t a : call.args) *out << ", " << a;
  *out << ")";
}

uint32_t PatternPixel(Source source, int32_t x, int32_t y) {
  return (static_cast<uint32_t>(source) << 22) | (static_cast<uint32_t>(y & 0x7FF) << 11) |
         static_cast<uint32_t>(x & 0x7FF);
}

Origin OriginOf(uint32_t pixel) {
  return {static_cast<Source>((pixel >> 22) & 3), static_cast<int32_t>(pixel & 0x7FF),
          static_cast<int32_t>((pixel >> 11) & 0x7FF)};
}

void PrintTo(const Origin& o, std::ostream* out) {
  static const char* const kNames[] = {"Black", "From", "To", "Initial"};
  *out << kNames[static_cast<uint32_t>(o.source)] << "(" << o.x << ", " << o.y << ")";
}

gdi::Bitmap Pattern(Source source, int32_t width, int32_t height) {
  if (width > 2048 || height > 2048) throw std::invalid_argument("test pictures up to 2048 pixels");
  gdi::Bitmap b = gdi::Bitmap::Color(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) b.SetPixel(x, y, PatternPixel(source, x, y));
  }
  return b;
}

DrawCall BitBltCall(const std::string& source, std::initializer_list<int64_t> args) {
  return {"BitBlt", source, args};
}
DrawCall StretchBltCall(const std::string& source, std::initializer_list<int64_t> args) {
  return {"StretchBlt", source, args};
}
DrawCall FillBoxCall(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int64_t color) {
  return {"FillBox", "", {x1, y1, x2, y2, color}};
}
DrawCall SelectClipCall(const gdi::Region& region) {
  return {"SelectClipRgn", fake::RecordingPainter::RegionText(&region), {}};
}
DrawCall ResetClipCall() { return {"SelectClipRgn", "none", {}}; }
DrawCall RefreshCall() { return {"Refresh", "", {}}; }

bool IsDrawing(const DrawCall& call) { return call.name != "Refresh" && call.name != "Yield"; }

std::vector<DrawCall> Drawing(const std::vector<DrawCall>& frame) {
  std::vector<DrawCall> out;
  for (const auto& c : frame) {
    if (IsDrawing(c)) out.push_back(c);
  }
  return out;
}

EffectRun::EffectRun(int32_t width, int32_t height) {
  target.Move(0, 0, width, height);
  target.DrawPicture(Pattern(Source::Initial, width, height), 0, 0);
  from.Move(0, 0, width, height);
  from.DrawPicture(Pattern(Source::From, width, height), 0, 0);
  to.Move(0, 0, width, height);
  to.DrawPicture(Pattern(Source::To, width, height), 0, 0);
  painter.Name(target.Context(), "target");
  painter.Name(from.Context(), "from");
  painter.Name(to.Context(), "to");
  window.SetCaptureImages(false);
  events.SetLimits(INT64_MAX, INT64_MAX);
  log.Clear();
}

void EffectRun::StopDuringWaitOf(int frame) {
  // Each wait on the virtual clock is one yield, so the yield index is the frame index.
  events.on_yield = [this, frame](int64_t yield) {
    if (yield == frame) stop_requested = true;
  };
}

void EffectRun::Run(int32_t effect_number) {
  const EffectEntry* effect = FindEffect(effect_number);
  if (!effect) throw std::invalid_argument("no effect " + std::to_string(effect_number));
  context.pace = effect->pace;
  Run(effect->draw);
}

void EffectRun::Run(Effect effect) { effect(target, from, to, context); }

namespace {

std::vector<int64_t> Numbers(const std::string& text) {
  std::vector<int64_t> out;
  std::istringstream in(text);
  for (std::string n; std::getline(in, n, ',');) out.push_back(std::stoll(n));
  return out;
}

}  // namespace

std::vector<DrawCall> EffectRun::Calls() const {
  std::vector<DrawCall> out;
  for (const std::string& text : log.Texts(true)) {
    std::istringstream in(text);
    std::string name, first, second;
    in >> name >> first >> second;
    if (name == "Present") {
      out.push_back(RefreshCall());
    } else if (name == "Yield" || name == "YieldUntil") {
      out.push_back({"Yield", "", {}});
    } else if (name == "FillBox") {
      out.push_back({name, "", Numbers(first)});
    } else if (name == "SelectClipRgn") {
      out.push_back({name, first, {}});
    } else if (name == "BitBlt" || name == "StretchBlt") {
      out.push_back({name, first, Numbers(second)});
    }
  }
  return out;
}

// The first drawing call is the first frame. Every wait (one or more yields) closes an
// animation frame; what comes after the last wait is the last frame.
Frames EffectRun::Split() const {
  Frames out;
  std::vector<DrawCall> current;
  bool first_taken = false;
  for (const auto& call : Calls()) {
    if (call.name == "Yield") {
      if (!current.empty()) out.frames.push_back(std::move(current));
      current.clear();
      continue;
    }
    if (!first_taken && IsDrawing(call)) {
      out.first.push_back(call);
      first_taken = true;
      continue;
    }
    current.push_back(call);
  }
  out.last = std::move(current);
  return out;
}

std::optional<Origin> EffectRun::FirstDifferenceFromTo() const {
  const gdi::Bitmap& t = target.Image();
  const gdi::Bitmap& b = to.Image();
  for (int32_t y = 0; y < t.Height(); ++y) {
    for (int32_t x = 0; x < t.Width(); ++x) {
      if (t.Pixel(x, y) != b.Pixel(x, y)) return Origin{OriginOf(t.Pixel(x, y)).source, x, y};
    }
  }
  return std::nullopt;
}

namespace {
std::string Show(const std::vector<DrawCall>& calls) {
  std::ostringstream out;
  for (const auto& c : calls) {
    PrintTo(c, &out);
    out << " ";
  }
  return out.str();
}
}  // namespace

::testing::AssertionResult RunsAsExpected(const FrameExpectation& expected, bool refresh_last) {
  EffectRun run(expected.width, expected.height);
  run.Run(expected.effect);
  const Frames frames = run.Split();
  const int64_t w = expected.width, h = expected.height;
  auto fail = [&] {
    return ::testing::AssertionFailure()
           << "effect " << expected.effect << " at " << w << "x" << h << ": ";
  };
  if (frames.first != std::vector{BitBltCall("from", {0, 0, w, h, 0, 0})}) {
    return fail() << "first frame " << Show(frames.first);
  }
  if (frames.frames.size() != expected.frame_count) {
    return fail() << frames.frames.size() << " animation frames, expected " << expected.frame_count;
  }
  for (const auto& frame : frames.frames) {
    if (frame.empty() || frame.back() != RefreshCall()) return fail() << "frame not refreshed";
  }
  for (const auto& [index, calls] : expected.frames) {
    if (index >= frames.frames.size()) return fail() << "no frame " << index;
    const auto drawn = Drawing(frames.frames[index]);
    if (drawn != calls) {
      return fail() << "frame " << index << "\n  drew     " << Show(drawn) << "\n  expected "
                    << Show(calls);
    }
  }
  std::vector<DrawCall> last{BitBltCall("to", {0, 0, w, h, 0, 0})};
  if (refresh_last) last.push_back(RefreshCall());
  if (frames.last != last) return fail() << "last frame " << Show(frames.last);
  if (auto diff = run.FirstDifferenceFromTo()) {
    return fail() << "target differs from the to-picture at " << diff->x << "," << diff->y;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace slidesaver::effect_test
