// `slidepack sheet`: one row per slide, made from the show played on the offscreen platform.
#include <glib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "photos/vips_library.h"
#include "tools/slidepack/commands.h"
#include "tools/slidepack/effect_names.h"
#include "tools/slidepack/files.h"
#include "tools/slidepack/interrupt.h"
#include "tools/slidepack/progress.h"
#include "tools/slidepack/render/frame_pixels.h"
#include "tools/slidepack/render/offscreen_show.h"
#include "tools/slidepack/render/show_source.h"
#include "tools/slidepack/sheet_layout.h"
#include "tools/slidepack/sheet_png.h"
#include "tools/slidepack/slidepack_error.h"
#include "tools/slidepack/stored_name_text.h"

namespace slidepack {

using namespace slidesaver::photos;  // the photo pieces shared with the player

namespace {

using vips::VImage;

constexpr int kPercents[SheetLayout::kFrames] = {20, 40, 60, 80};
constexpr int kSamplesPerSlide = 1 + SheetLayout::kFrames;
const std::vector<double> kWhite = {255, 255, 255};
const std::vector<double> kRule = {210, 210, 210};

std::string Escaped(const std::string& text) {
  gchar* escaped = g_markup_escape_text(text.c_str(), static_cast<gssize>(text.size()));
  std::string out(escaped);
  g_free(escaped);
  return out;
}

// "1:05", "12.5 s"
std::string Seconds(int64_t ms) {
  char text[32];
  if (ms >= 60'000) {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(ms / 60'000),
                  static_cast<long long>(ms / 1000 % 60));
  } else {
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(ms) / 1000.0);
  }
  return text;
}

// Dark text on white, at most `height` pixels tall; Pango finds a font for every script.
VImage Text(const std::string& markup, const char* font, int width, int height) {
  VImage mask = VImage::text(markup.c_str(), VImage::option()
                                                 ->set("font", font)
                                                 ->set("width", width)
                                                 ->set("dpi", 72)
                                                 ->set("wrap", VIPS_TEXT_WRAP_WORD_CHAR));
  mask = mask.crop(0, 0, mask.width(), std::min(mask.height(), height));
  const VImage grey = mask.linear(-0.85, 255).cast(VIPS_FORMAT_UCHAR);
  return grey.bandjoin(grey).bandjoin(grey).copy(
      VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

VImage Thumbnail(const std::vector<uint8_t>& rgb, const SheetLayout& layout) {
  return VImage::new_from_memory(const_cast<uint8_t*>(rgb.data()), rgb.size(), layout.thumb_width,
                                 layout.thumb_height, 3, VIPS_FORMAT_UCHAR)
      .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

std::string SlideText(const slidesaver::SlideEntry& slide) {
  std::string text = "<b>" + Escaped(StoredNameText(slide.PictureFileName)) + "</b>\n" +
                     std::to_string(slide.DisplayTime) + " ms\neffect " +
                     std::to_string(slide.EffectNumber) + ", " +
                     Escaped(EffectName(slide.EffectNumber)) + ", speed " +
                     std::to_string(slide.SpeedExponent);
  std::vector<std::string> extras;
  if (slide.Overlay != 0)
    extras.push_back(slide.Transparent != 0 ? "overlay, transparent" : "overlay");
  if (!slide.SoundFileName.empty()) {
    extras.push_back("sound " + Escaped(StoredNameText(slide.SoundFileName)));
  }
  for (size_t i = 0; i < extras.size(); ++i) text += (i == 0 ? "\n" : ", ") + extras[i];
  return text;
}

VImage Header(const render::ShowSource& source, const render::ShowTimeline& timeline, size_t slides,
              const SheetLayout& layout) {
  const slidesaver::PackageHeader& package = source.package;
  std::string title = "<b>" + Escaped(std::filesystem::path(source.name).filename().string()) +
                      "</b>   " + std::to_string(package.ShowWidth) + " × " +
                      std::to_string(package.ShowHeight) + ", " + std::to_string(slides) +
                      " slides, one round " +
                      Seconds(timeline.EndOf(slides - 1) - timeline.passes.front().start);
  if (!package.BgmFileName.empty()) {
    title += ", music " + Escaped(StoredNameText(package.BgmFileName));
  }
  VImage header =
      VImage::black(layout.width, SheetLayout::kHeaderHeight, VImage::option()->set("bands", 3))
          .new_from_image(kWhite);
  const int line = SheetLayout::kHeaderHeight / 2 - 4;
  header = header.insert(Text(title, "Sans 13", layout.width - 2 * SheetLayout::kPad, line),
                         SheetLayout::kPad, 4);
  header = header.insert(Text("as shown", "Sans 11", layout.thumb_width, line), layout.ShownLeft(),
                         SheetLayout::kHeaderHeight / 2 + 2);
  for (int k = 0; k < SheetLayout::kFrames; ++k) {
    header = header.insert(Text("transition " + std::to_string(kPercents[k]) + " %", "Sans 11",
                                layout.thumb_width, line),
                           layout.FrameLeft(k), SheetLayout::kHeaderHeight / 2 + 2);
  }
  return header;
}

// `cells`: the slide as shown, then its kFrames transition frames.
VImage Row(size_t index, const slidesaver::SlideEntry& slide,
           std::span<const std::vector<uint8_t>, kSamplesPerSlide> cells,
           const SheetLayout& layout) {
  const int inner = layout.row_height - 2 * SheetLayout::kPad;
  VImage row = VImage::black(layout.width, layout.row_height, VImage::option()->set("bands", 3))
                   .new_from_image(kWhite);
  row = row.insert(
      VImage::black(layout.width, 1, VImage::option()->set("bands", 3)).new_from_image(kRule), 0,
      0);
  row = row.insert(Text("<b>" + std::to_string(index + 1) + "</b>", "Sans 20",
                        SheetLayout::kNumberWidth - SheetLayout::kPad, inner),
                   SheetLayout::kPad, SheetLayout::kPad);
  row = row.insert(Thumbnail(cells[0], layout), layout.ShownLeft(), SheetLayout::kPad);
  row = row.insert(
      Text(SlideText(slide), "Sans 12", SheetLayout::kTextWidth - SheetLayout::kPad, inner),
      layout.TextLeft(), SheetLayout::kPad);
  for (int k = 0; k < SheetLayout::kFrames; ++k) {
    row = row.insert(Thumbnail(cells[1 + k], layout), layout.FrameLeft(k), SheetLayout::kPad);
  }
  return row;
}

// The image's pixels into the PNG.
void WriteImage(const VImage& image, PngRowWriter& png) {
  size_t length = 0;
  void* pixels = image.write_to_memory(&length);
  struct Free {
    void* pixels;
    ~Free() { g_free(pixels); }
  } free_later{pixels};
  png.WriteRows({static_cast<const uint8_t*>(pixels), length});
}

}  // namespace

void Sheet(const std::filesystem::path& show_path, const std::filesystem::path& output) {
  std::string extension = output.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension != ".png") throw SlidepackError(output.string() + ": the sheet is a .png file");
  StartVips();
  Interruptible interrupt;
  std::filesystem::path folder = output.parent_path();
  const render::ShowSource source =
      render::LoadShowSource(show_path, folder.empty() ? "." : folder);
  const slidesaver::PackageHeader& package = source.package;
  const size_t slides = package.Slides.size();
  if (slides == 0) throw SlidepackError(source.name + ": the show has no slides");

  render::OffscreenShow show(package, source.name);
  show.keep_going = [&] { return !interrupt.Interrupted(); };
  // One pass more, so that the last transition's frames lie before the end of the play.
  const auto passes = static_cast<int32_t>(slides + 1);
  const render::ShowTimeline timeline = show.Time(passes);
  std::vector<int64_t> ticks;
  for (size_t j = 0; j < slides; ++j) {
    const render::ShowPass& pass = timeline.passes[j];
    ticks.push_back(pass.start);
    for (int percent : kPercents) {
      ticks.push_back(pass.transition + (timeline.EndOf(j) - pass.transition) * percent / 100);
    }
  }

  const SheetLayout layout(package.ShowWidth, package.ShowHeight, slides);
  render::FrameScaler scaler(package.ShowWidth, package.ShowHeight, layout.thumb_width,
                             layout.thumb_height);
  // Each row goes into the file as soon as its slide's samples are taken: the memory is one
  // row's, whatever the number of slides.
  OutputFile file(output);
  const auto vips_failed = [&](const vips::VError& error) {
    return SlidepackError(output.string() + ": cannot make the sheet: " + VipsReason(error));
  };
  PngRowWriter png(file, layout.width, layout.height);
  try {
    WriteImage(Header(source, timeline, slides, layout), png);
  } catch (const vips::VError& error) {
    throw vips_failed(error);
  }
  std::array<std::vector<uint8_t>, kSamplesPerSlide> cells;
  Progress progress("making the sheet of " + source.name, slides, Progress::Unit::kPictures);
  show.Sample(passes, ticks, nullptr,
              [&](size_t index, int64_t, const slidesaver::gdi::Bitmap& screen,
                  const slidesaver::gdi::Rect&) {
                const render::FrameView view =
                    scaler.Scale(screen, {0, 0, screen.Width(), screen.Height()});
                std::vector<uint8_t>& rgb = cells[index % kSamplesPerSlide];
                rgb.resize(static_cast<size_t>(view.width) * view.height * 3);
                render::ConvertToRgb(view, rgb.data(), view.width * 3);
                if (index % kSamplesPerSlide != kSamplesPerSlide - 1) return;
                const size_t slide = index / kSamplesPerSlide;
                try {
                  WriteImage(Row(slide, package.Slides[slide], cells, layout), png);
                } catch (const vips::VError& error) {
                  throw vips_failed(error);
                }
                progress.Advance(1);
              });
  png.Finish();
  file.Commit();
  progress.Finish();
}

}  // namespace slidepack
