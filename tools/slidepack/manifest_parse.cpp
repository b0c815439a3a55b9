#include <toml++/toml.h>

#include <limits>
#include <set>

#include "media/memory_bounds.h"
#include "tools/slidepack/files.h"
#include "tools/slidepack/manifest.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

namespace {

class Reader {
 public:
  explicit Reader(const std::filesystem::path& path) : path_(path) {}

  SlidepackError Error(const toml::node& node, const std::string& what) const {
    return Error(static_cast<int>(node.source().begin.line), what);
  }
  SlidepackError Error(int line, const std::string& what) const {
    return SlidepackError(path_.string() + ":" + std::to_string(line) + ": " + what);
  }

  // Rejects keys the table doesn't know, so a misspelt key doesn't pass unnoticed.
  void CheckKeys(const toml::table& table, const std::set<std::string_view>& known,
                 const std::string& where) const {
    for (const auto& [key, value] : table) {
      if (!known.contains(key.str())) {
        throw Error(value, "unknown key '" + std::string(key.str()) + "'" + where);
      }
    }
  }

  std::optional<int64_t> Integer(const toml::table& table, std::string_view key, int64_t min,
                                 int64_t max) const {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    const auto* value = node->as_integer();
    if (value == nullptr) throw Error(*node, std::string(key) + " must be an integer");
    const int64_t number = value->get();
    if (number < min || number > max) {
      throw Error(*node, std::string(key) + " = " + std::to_string(number) + " is out of range (" +
                             std::to_string(min) + " to " + std::to_string(max) + ")");
    }
    return number;
  }

  // true / false are stored as -1 / 0; an integer is stored as it is.
  std::optional<int16_t> Boolean(const toml::table& table, std::string_view key) const {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    if (const auto* flag = node->as_boolean()) return static_cast<int16_t>(flag->get() ? -1 : 0);
    if (node->is_integer()) {
      return static_cast<int16_t>(*Integer(table, key, std::numeric_limits<int16_t>::min(),
                                           std::numeric_limits<int16_t>::max()));
    }
    throw Error(*node, std::string(key) + " must be true or false");
  }

  // A stored name: a string, or an array of byte values.
  std::optional<std::string> Name(const toml::table& table, std::string_view key) const {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    std::string name;
    if (const auto* text = node->as_string()) {
      name = text->get();
    } else if (const auto* bytes = node->as_array()) {
      for (const toml::node& element : *bytes) {
        const auto* byte = element.as_integer();
        if (byte == nullptr || byte->get() < 0 || byte->get() > 255) {
          throw Error(element, std::string(key) + " must hold byte values from 0 to 255");
        }
        name.push_back(static_cast<char>(byte->get()));
      }
    } else {
      throw Error(*node, std::string(key) + " must be a string or an array of byte values");
    }
    if (name.size() > kMaxNameBytes) {
      throw Error(*node,
                  std::string(key) + " is longer than " + std::to_string(kMaxNameBytes) + " bytes");
    }
    return name;
  }

  std::optional<ManifestFile> File(const toml::table& table, std::string_view key) const {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    const auto* text = node->as_string();
    if (text == nullptr) throw Error(*node, std::string(key) + " must be a file path (a string)");
    if (text->get().empty()) throw Error(*node, std::string(key) + " is an empty path");
    const std::filesystem::path file(text->get());
    return ManifestFile{file.is_absolute() ? file : path_.parent_path() / file,
                        static_cast<int>(node->source().begin.line)};
  }

  int32_t Background(const toml::table& table) const {
    const toml::node* node = table.get("background");
    if (node == nullptr) return 0;
    if (node->is_integer()) {
      // Stored as it is: any 32-bit pattern, written signed or unsigned.
      return static_cast<int32_t>(
          static_cast<uint32_t>(*Integer(table, "background", std::numeric_limits<int32_t>::min(),
                                         std::numeric_limits<uint32_t>::max())));
    }
    const auto* text = node->as_string();
    const std::string colour = text != nullptr ? text->get() : "";
    const std::optional<int32_t> value = ParseColour(colour);
    if (!value) {
      throw Error(*node, "background must be a colour \"#RRGGBB\" or an integer, not " +
                             (text != nullptr ? "\"" + colour + "\"" : std::string("this")));
    }
    return *value;
  }

  Fit FitValue(const toml::table& table, Fit fallback) const {
    const toml::node* node = table.get("fit");
    if (node == nullptr) return fallback;
    const auto* text = node->as_string();
    const std::optional<Fit> fit = text != nullptr ? ParseFit(text->get()) : std::nullopt;
    if (!fit) throw Error(*node, "fit must be \"contain\", \"cover\" or \"none\"");
    return *fit;
  }

  ManifestSlide Slide(const toml::table& table, size_t index, const ManifestSlide& defaults) const {
    const std::string where = " in slide " + std::to_string(index + 1);
    CheckKeys(table,
              {"picture", "name", "sound", "sound_name", "time", "x", "y", "effect", "speed",
               "overlay", "transparent", "fit", "quality"},
              where);
    ManifestSlide slide = defaults;
    slide.line = static_cast<int>(table.source().begin.line);
    auto picture = File(table, "picture");
    if (!picture) throw Error(slide.line, "slide " + std::to_string(index + 1) + " has no picture");
    slide.picture = *picture;
    const std::optional<std::string> name = Name(table, "name");
    slide.named = name.has_value();
    slide.picture_name = name.value_or(picture->path.filename().string());
    slide.sound = File(table, "sound");
    auto sound_name = Name(table, "sound_name");
    if (sound_name && !slide.sound) {
      throw Error(*table.get("sound_name"), "sound_name without a sound file" + where);
    }
    if (slide.sound) slide.sound_name = sound_name.value_or(slide.sound->path.filename().string());
    constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
    constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
    slide.time = static_cast<int32_t>(Integer(table, "time", 0, kInt32Max).value_or(2000));
    slide.x = static_cast<int32_t>(Integer(table, "x", kInt32Min, kInt32Max).value_or(0));
    slide.y = static_cast<int32_t>(Integer(table, "y", kInt32Min, kInt32Max).value_or(0));
    slide.effect = static_cast<int32_t>(Integer(table, "effect", 0, kMaxEffect).value_or(0));
    slide.speed = static_cast<int32_t>(Integer(table, "speed", 0, kMaxSpeed).value_or(0));
    slide.overlay = Boolean(table, "overlay").value_or(0);
    slide.transparent = Boolean(table, "transparent").value_or(0);
    slide.has_position = table.contains("x") || table.contains("y");
    slide.fit = FitValue(table, defaults.fit);
    slide.quality = static_cast<int>(Integer(table, "quality", 1, 100).value_or(defaults.quality));
    return slide;
  }

  Manifest Show(const toml::table& root) const {
    CheckKeys(root,
              {"width", "height", "background", "settings", "music", "music_name", "fit", "quality",
               "slide"},
              "");
    Manifest manifest;
    manifest.path = path_;
    auto width = Integer(root, "width", 1, kMaxShowSide);
    auto height = Integer(root, "height", 1, kMaxShowSide);
    if (!width) throw SlidepackError(path_.string() + ": width is missing (the show's width)");
    if (!height) throw SlidepackError(path_.string() + ": height is missing (the show's height)");
    manifest.width = static_cast<int32_t>(*width);
    manifest.height = static_cast<int32_t>(*height);
    if (*width * *height > slidesaver::media::kMaxShowAreaPixels) {
      throw Error(*root.get("height"),
                  "the show area " + std::to_string(*width) + " x " + std::to_string(*height) +
                      " is larger than the players show (" +
                      slidesaver::media::WithThousands(slidesaver::media::kMaxShowAreaPixels) +
                      " pixels)");
    }
    manifest.background = Background(root);
    manifest.settings = Boolean(root, "settings").value_or(0);
    manifest.music = File(root, "music");
    auto music_name = Name(root, "music_name");
    if (music_name && !manifest.music) {
      throw Error(*root.get("music_name"), "music_name without a music file");
    }
    if (manifest.music) {
      manifest.music_name = music_name.value_or(manifest.music->path.filename().string());
    }

    const toml::node* slides = root.get("slide");
    const toml::array* list = slides != nullptr ? slides->as_array() : nullptr;
    if (slides != nullptr && (list == nullptr || !list->is_array_of_tables())) {
      throw Error(*slides, "slides are written as [[slide]] tables");
    }
    if (list == nullptr || list->empty()) {
      throw SlidepackError(path_.string() + ": the show has no [[slide]]; it needs at least one");
    }
    ManifestSlide defaults;
    defaults.fit = FitValue(root, Fit::kNone);
    defaults.quality = static_cast<int>(Integer(root, "quality", 1, 100).value_or(kDefaultQuality));
    for (size_t i = 0; i < list->size(); ++i) {
      manifest.slides.push_back(Slide(*list->get(i)->as_table(), i, defaults));
    }
    return manifest;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace

Manifest ParseManifestText(const std::string& text, const std::filesystem::path& path) {
  toml::table root;
  try {
    root = toml::parse(text, path.string());
  } catch (const toml::parse_error& error) {
    throw SlidepackError(path.string() + ":" + std::to_string(error.source().begin.line) + ": " +
                         std::string(error.description()));
  }
  return Reader(path).Show(root);
}

Manifest ParseManifest(const std::filesystem::path& path) {
  return ParseManifestText(ReadSmallFile(path, kMaxManifestBytes), path);
}

}  // namespace slidepack
