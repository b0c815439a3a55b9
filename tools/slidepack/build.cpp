#include <sys/stat.h>

#include <iostream>

#include "package/write_package.h"
#include "tools/slidepack/commands.h"
#include "tools/slidepack/files.h"
#include "tools/slidepack/manifest.h"
#include "tools/slidepack/media_kind.h"
#include "tools/slidepack/progress.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

namespace {

constexpr size_t kChunk = 1 << 20;

// Reads a file the manifest names; a failure names the manifest line as well as the file.
slidesaver::Bytes ReadNamedFile(const Manifest& manifest, const ManifestFile& file,
                                const char* role) {
  try {
    return ReadWholeFile(file.path);
  } catch (const SlidepackError& error) {
    throw SlidepackError(manifest.path.string() + ":" + std::to_string(file.line) + ": " + role +
                         " " + error.what());
  }
}

void WarnIfNotPicture(const Manifest& manifest, const ManifestFile& file,
                      const slidesaver::Bytes& data) {
  const std::string format = IdentifyMedia(data.span()).format;
  if (format == "JPEG" || format == "PNG" || format == "GIF" || format == "BMP") return;
  std::cerr << "slidepack: " << manifest.path.string() << ":" << file.line
            << ": warning: " << file.path.string()
            << " does not look like a picture (JPEG, PNG, GIF or BMP)\n";
}

slidesaver::PackageHeader LoadPackage(const Manifest& manifest) {
  slidesaver::PackageHeader package;
  package.ShowWidth = manifest.width;
  package.ShowHeight = manifest.height;
  package.BackgroundColor = manifest.background;
  package.HasSettings = manifest.settings;
  if (manifest.music) {
    package.BgmFileName = manifest.music_name;
    package.BgmData = ReadNamedFile(manifest, *manifest.music, "music");
  }
  for (const ManifestSlide& source : manifest.slides) {
    slidesaver::SlideEntry slide;
    slide.PictureFileName = source.picture_name;
    slide.PictureData = ReadNamedFile(manifest, source.picture, "picture");
    WarnIfNotPicture(manifest, source.picture, slide.PictureData);
    if (source.transparent != 0 && source.overlay == 0) {
      std::cerr << "slidepack: " << manifest.path.string() << ":" << source.line
                << ": warning: transparent has no effect without overlay\n";
    }
    if (source.sound) {
      slide.SoundFileName = source.sound_name;
      slide.SoundData = ReadNamedFile(manifest, *source.sound, "sound");
    }
    slide.DisplayTime = source.time;
    slide.PictureX = source.x;
    slide.PictureY = source.y;
    slide.EffectNumber = source.effect;
    slide.SpeedExponent = source.speed;
    slide.Overlay = source.overlay;
    slide.Transparent = source.transparent;
    package.Slides.push_back(std::move(slide));
  }
  package.SlideCount = static_cast<int32_t>(package.Slides.size());
  return package;
}

// Large pieces are written a chunk at a time so the progress line moves.
void WriteInChunks(OutputFile& output, std::span<const uint8_t> bytes, Progress& progress) {
  while (!bytes.empty()) {
    const auto piece = bytes.first(std::min(bytes.size(), kChunk));
    output.Write(piece);
    progress.Advance(piece.size());
    bytes = bytes.subspan(piece.size());
  }
}

}  // namespace

void Build(const std::filesystem::path& manifest_path, const std::filesystem::path& output_path,
           const std::filesystem::path& player_path) {
  const Manifest manifest = ParseManifest(manifest_path);
  const slidesaver::PackageHeader package = LoadPackage(manifest);

  uint64_t package_bytes = 0;
  try {
    package_bytes = slidesaver::PackageByteCount(package);
  } catch (const slidesaver::PackageWriteError& error) {
    throw SlidepackError(manifest_path.string() + ": " + error.what());
  }

  const slidesaver::Bytes player = ReadWholeFile(player_path);
  if (player.empty()) throw SlidepackError(player_path.string() + ": the player file is empty");
  if (SameFile(player_path, output_path)) {
    throw SlidepackError(output_path.string() + ": the output would replace the player");
  }
  struct stat player_status {};
  const unsigned mode = stat(player_path.c_str(), &player_status) == 0
                            ? static_cast<unsigned>(player_status.st_mode & 0777)
                            : 0755u;

  OutputFile output(output_path, mode);
  Progress progress("building " + output_path.string(), player.size() + package_bytes);
  WriteInChunks(output, player.span(), progress);
  slidesaver::WritePackage(
      package, [&](std::span<const uint8_t> bytes) { WriteInChunks(output, bytes, progress); });
  output.Commit();
  progress.Finish();
}

}  // namespace slidepack
