#include "tools/slidepack/new_show.h"

#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "common/printable.h"
#include "media/memory_bounds.h"
#include "platform/linux/x11/monitors.h"
#include "tools/slidepack/files.h"
#include "tools/slidepack/manifest_text.h"
#include "tools/slidepack/slidepack_error.h"
#include "tools/slidepack/unpack_names.h"

namespace slidepack {

using namespace slidesaver::photos;  // the photo pieces shared with the player

namespace {

namespace fs = std::filesystem;

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The path as the manifest writes it: relative to the manifest's folder where that is shorter
// than going up and down again, else absolute.
std::string ManifestPath(const fs::path& file, const fs::path& manifest_folder) {
  const fs::path absolute = fs::absolute(file).lexically_normal();
  const fs::path relative = absolute.lexically_relative(manifest_folder);
  if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
  return absolute.generic_string();
}

// Stored names, one per picture, none twice (whatever the case): the name the build gives a
// picture by default, or a name of our own where that one is taken or can't be used.
class NameChooser {
 public:
  explicit NameChooser(Fit fit) : fit_(fit) {}

  // The stored name, and whether the manifest must say it (it differs from the default).
  std::pair<std::string, bool> Choose(const fs::path& file, size_t index) {
    const std::string fallback_stem = "picture-" + std::to_string(index + 1);
    std::string wanted =
        fit_ == Fit::kNone ? file.filename().string() : file.stem().string() + ".jpg";
    const std::string extension =
        fit_ == Fit::kNone ? file.extension().string() : std::string(".jpg");
    std::string name = wanted;
    const std::string stem = fs::path(wanted).stem().string();
    for (int n = 2; !IsPlainFileName(name) || taken_.contains(AsciiLower(name)); ++n) {
      name = (IsPlainFileName(wanted) ? stem : fallback_stem) + "-" + std::to_string(n) + extension;
    }
    taken_.insert(AsciiLower(name));
    return {name, name != wanted};
  }

 private:
  Fit fit_;
  std::set<std::string> taken_;
};

}  // namespace

void ParseShowSize(const std::string& text, int32_t& width, int32_t& height) {
  const size_t x = text.find_first_of("xX");
  auto side = [&](const std::string& digits, int32_t& value) {
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    value = std::stoi(digits);
    return value >= 1 && value <= kMaxShowSide;
  };
  if (x == std::string::npos || !side(text.substr(0, x), width) ||
      !side(text.substr(x + 1), height)) {
    throw SlidepackError("--size: \"" + text + "\" is not WIDTHxHEIGHT with sides from 1 to " +
                         std::to_string(kMaxShowSide) + " (1920x1080)");
  }
}

void SizeForThisScreen(NewShowOptions& options) {
  const std::vector<slidesaver::gdi::Rect> monitors = slidesaver::linux_platform::X11Monitors();
  if (!monitors.empty() && monitors.front().Width() <= kMaxShowSide &&
      monitors.front().Height() <= kMaxShowSide &&
      int64_t{monitors.front().Width()} * monitors.front().Height() <=
          slidesaver::media::kMaxShowAreaPixels) {
    options.width = monitors.front().Width();
    options.height = monitors.front().Height();
    options.size_origin = "the size of this computer's primary monitor";
    return;
  }
  options.width = 1920;
  options.height = 1080;
  options.size_origin = "1920 x 1080, as no display was measured";
}

std::string NewManifestText(const std::vector<FoundPicture>& pictures,
                            const NewShowOptions& options) {
  const fs::path folder = fs::absolute(options.output).lexically_normal().parent_path();
  const std::vector<int32_t> effects =
      EffectPlan::Parse(options.effects, options.seed).For(pictures.size());
  std::ostringstream out;
  out << "# A show of " << pictures.size() << " picture" << (pictures.size() == 1 ? "" : "s")
      << ", made by slidepack new. Edit it as you like, then build it:\n"
      << "#   slidepack build " << options.output.filename().string() << " -o show.scr\n"
      << "# fit: \"contain\" shows all of each picture, \"cover\" fills the area and cuts off "
         "what\n"
      << "# sticks out, \"none\" stores the picture as it is at x, y. A slide may have its own.\n"
      << "# The show area: " << options.size_origin
      << "; slidesaver --fit fill scales it to any screen.\n\n"
      << "width = " << options.width << '\n'
      << "height = " << options.height << '\n'
      << "background = " << TomlString(options.background) << '\n'
      << "fit = " << TomlString(FitName(options.fit)) << '\n'
      << "quality = " << kDefaultQuality << '\n';
  if (options.music) out << "music = " << TomlString(ManifestPath(*options.music, folder)) << '\n';
  NameChooser names(options.fit);
  for (size_t i = 0; i < pictures.size(); ++i) {
    out << "\n[[slide]]  # " << i + 1 << '\n'
        << "picture = " << TomlString(ManifestPath(pictures[i].path, folder)) << '\n';
    const auto [name, differs] = names.Choose(pictures[i].path, i);
    if (differs) out << "name = " << TomlString(name) << '\n';
    out << "time = " << options.time << '\n'
        << "effect = " << effects[i] << '\n'
        << "speed = " << options.speed << '\n';
  }
  return out.str();
}

void NewShow(const NewShowOptions& options, const slidesaver::FolderServices& services) {
  if (!options.overwrite && fs::exists(fs::symlink_status(options.output))) {
    throw SlidepackError(options.output.string() +
                         ": already exists; choose another name or give --force to replace it");
  }
  if (!ParseColour(options.background)) {
    throw SlidepackError("--background: \"" + options.background +
                         "\" is not a colour \"#RRGGBB\"");
  }
  if (options.music && !fs::is_regular_file(*options.music)) {
    throw SlidepackError(options.music->string() + ": no such music file");
  }
  std::vector<std::string> inputs;
  for (const fs::path& input : options.inputs) inputs.push_back(input.string());
  const slidesaver::PictureList list = slidesaver::FindPictures(services, inputs, options.order);
  for (const std::string& note : list.notes) {
    std::cerr << "slidepack: note: " << slidesaver::Printable(note) << '\n';
  }
  if (list.pictures.empty()) throw SlidepackError("no pictures found; nothing to make a show of");
  for (const FoundPicture& picture : list.pictures) {
    if (!IsUtf8(picture.path)) {
      throw SlidepackError(slidesaver::Printable(picture.path) +
                           ": the file's name is not UTF-8, which a manifest can't hold; rename "
                           "it");
    }
  }
  const std::string text = NewManifestText(list.pictures, options);
  OutputFile output(options.output);
  output.Write({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  output.Commit();
  std::cerr << "slidepack: " << options.output.string() << ": " << list.pictures.size()
            << " slides\n";
}

}  // namespace slidepack
