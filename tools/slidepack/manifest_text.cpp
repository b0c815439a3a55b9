#include "tools/slidepack/manifest_text.h"

#include <cstdio>
#include <sstream>

#include "photos/media_kind.h"

namespace slidepack {

using namespace slidesaver::photos;  // the photo pieces shared with the player

namespace {

std::string TomlFlag(int16_t value) {
  if (value == -1) return "true";
  if (value == 0) return "false";
  return std::to_string(value);  // a non-standard truth value is kept as it is
}

struct Writer {
  const slidesaver::PackageHeader& package;
  const UnpackedFiles* files;  // null for info
  std::ostringstream out;

  void Comment(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) out << "# " << line << '\n';
    if (!lines.empty()) out << '\n';
  }

  // One stored file: `file_key` and `name_key` for unpack, `name_key` and `bytes_key` for info.
  void StoredFile(const char* file_key, const char* name_key, const char* bytes_key,
                  const std::string& name, const slidesaver::Bytes& data,
                  const std::string& written, bool picture) {
    if (!picture && name.empty() && data.empty()) return;
    if (files != nullptr) {
      out << file_key << " = " << TomlString(written) << '\n';
      if (name != written) out << name_key << " = " << TomlName(name) << '\n';
      return;
    }
    out << name_key << " = " << TomlName(name) << '\n';
    out << bytes_key << " = " << data.size();
    if (picture && !data.empty())
      out << "  # " << DescribeMedia(IdentifyMedia(data.Head(kIdentifyBytes)));
    out << '\n';
  }

  std::string Text(const std::vector<std::string>& comment) {
    Comment(comment);
    out << "width = " << package.ShowWidth << '\n';
    out << "height = " << package.ShowHeight << '\n';
    out << "background = " << TomlColour(package.BackgroundColor) << '\n';
    out << "settings = " << TomlFlag(package.HasSettings) << '\n';
    StoredFile("music", "music_name", "music_bytes", package.BgmFileName, package.BgmData,
               files != nullptr ? files->music : "", false);
    for (size_t i = 0; i < package.Slides.size(); ++i) {
      const slidesaver::SlideEntry& slide = package.Slides[i];
      out << "\n[[slide]]  # " << i + 1 << '\n';
      StoredFile("picture", "name", "picture_bytes", slide.PictureFileName, slide.PictureData,
                 files != nullptr ? files->pictures[i] : "", true);
      StoredFile("sound", "sound_name", "sound_bytes", slide.SoundFileName, slide.SoundData,
                 files != nullptr ? files->sounds[i] : "", false);
      out << "time = " << slide.DisplayTime << '\n';
      out << "x = " << slide.PictureX << '\n';
      out << "y = " << slide.PictureY << '\n';
      out << "effect = " << slide.EffectNumber << '\n';
      out << "speed = " << slide.SpeedExponent << '\n';
      out << "overlay = " << TomlFlag(slide.Overlay) << '\n';
      out << "transparent = " << TomlFlag(slide.Transparent) << '\n';
    }
    return out.str();
  }
};

}  // namespace

bool IsUtf8(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<uint8_t>(text[i]);
    size_t length = 0;
    uint32_t code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, code = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

std::string TomlString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        if (static_cast<uint8_t>(c) < 0x20 || c == 0x7F) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
          out += escape;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string TomlName(const std::string& name) {
  if (IsUtf8(name)) return TomlString(name);
  std::string out = "[";
  for (size_t i = 0; i < name.size(); ++i) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "%s0x%02X", i == 0 ? "" : ", ",
                  static_cast<unsigned>(static_cast<uint8_t>(name[i])));
    out += byte;
  }
  return out + "]";
}

std::string TomlColour(int32_t colour) {
  if (colour < 0 || colour > 0xFFFFFF) return std::to_string(colour);
  char text[16];
  std::snprintf(text, sizeof text, "\"#%02X%02X%02X\"", colour & 0xFF, (colour >> 8) & 0xFF,
                (colour >> 16) & 0xFF);
  return text;
}

std::string InfoManifest(const slidesaver::PackageHeader& package,
                         const std::vector<std::string>& comment) {
  return Writer{package, nullptr, {}}.Text(comment);
}

std::string UnpackManifest(const slidesaver::PackageHeader& package, const UnpackedFiles& files,
                           const std::vector<std::string>& comment) {
  return Writer{package, &files, {}}.Text(comment);
}

}  // namespace slidepack
