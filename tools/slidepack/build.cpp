#include <sys/stat.h>

#include <iostream>

#include "package/write_package.h"
#include "tools/slidepack/commands.h"
#include "tools/slidepack/files.h"
#include "tools/slidepack/interrupt.h"
#include "tools/slidepack/manifest.h"
#include "tools/slidepack/manifest_package.h"
#include "tools/slidepack/progress.h"
#include "tools/slidepack/slide_pictures.h"
#include "tools/slidepack/slidepack_error.h"
#include "tools/slidepack/sound_check.h"
#include "tools/slidepack/stored_names.h"

namespace slidepack {

slidesaver::PackageHeader LoadPackage(const Manifest& manifest, const BuildOptions& options,
                                      const std::filesystem::path& spill_folder) {
  slidesaver::PackageHeader package;
  package.ShowWidth = manifest.width;
  package.ShowHeight = manifest.height;
  package.BackgroundColor = manifest.background;
  package.HasSettings = manifest.settings;
  if (manifest.music) {
    package.BgmFileName = manifest.music_name;
    package.BgmData = ReadManifestFile(manifest, *manifest.music, "music");
    CheckSoundFile(manifest, *manifest.music, package.BgmData, slidesaver::media::SoundUse::kMusic);
  }
  std::vector<StoredFile> stored;
  if (manifest.music) {
    stored.push_back({"music", package.BgmFileName, package.BgmData, manifest.music->line});
  }
  // Sounds first: they are only read, while the pictures may take a while.
  for (const ManifestSlide& source : manifest.slides) {
    slidesaver::SlideEntry slide;
    if (source.transparent != 0 && source.overlay == 0) {
      std::cerr << "slidepack: " << manifest.path.string() << ":" << source.line
                << ": warning: transparent has no effect without overlay\n";
    }
    if (source.sound) {
      slide.SoundFileName = source.sound_name;
      slide.SoundData = ReadManifestFile(manifest, *source.sound, "sound");
      CheckSoundFile(manifest, *source.sound, slide.SoundData,
                     slidesaver::media::SoundUse::kSlideSound);
    }
    slide.DisplayTime = source.time;
    slide.EffectNumber = source.effect;
    slide.SpeedExponent = source.speed;
    slide.Overlay = source.overlay;
    slide.Transparent = source.transparent;
    package.Slides.push_back(std::move(slide));
  }
  std::vector<SlidePicture> pictures = LoadSlidePictures(manifest, options, spill_folder);
  for (size_t i = 0; i < pictures.size(); ++i) {
    const ManifestSlide& source = manifest.slides[i];
    slidesaver::SlideEntry& slide = package.Slides[i];
    slide.PictureFileName = std::move(pictures[i].name);
    slide.PictureData = std::move(pictures[i].data);
    slide.PictureX = pictures[i].x;
    slide.PictureY = pictures[i].y;
    stored.push_back({"picture", slide.PictureFileName, slide.PictureData, source.picture.line});
    if (source.sound) {
      stored.push_back({"sound", slide.SoundFileName, slide.SoundData, source.sound->line});
    }
  }
  package.SlideCount = static_cast<int32_t>(package.Slides.size());
  CheckStoredNames(manifest, stored);
  return package;
}

namespace {

// The output must not be a file the build reads: it would replace it.
void RefuseToOverwriteAnInput(const Manifest& manifest, const std::filesystem::path& output,
                              const std::filesystem::path& player) {
  if (SameFile(output, player)) {
    throw SlidepackError(output.string() + ": the output would replace the player");
  }
  if (SameFile(output, manifest.path)) {
    throw SlidepackError(output.string() + ": the output would replace the manifest");
  }
  const auto refuse = [&](const ManifestFile& file, const char* role) {
    if (SameFile(output, file.path)) {
      throw LineError(manifest, file.line,
                      std::string(role) + " " + file.path.string() +
                          " is the output file; the output would replace it");
    }
  };
  if (manifest.music) refuse(*manifest.music, "music");
  for (const ManifestSlide& slide : manifest.slides) {
    refuse(slide.picture, "picture");
    if (slide.sound) refuse(*slide.sound, "sound");
  }
}

}  // namespace

void Build(const std::filesystem::path& manifest_path, const std::filesystem::path& output_path,
           const std::filesystem::path& player_path, const BuildOptions& options) {
  const Interruptible interrupt;
  const Manifest manifest = ParseManifest(manifest_path);
  const slidesaver::Bytes player = OpenInput(player_path);
  if (player.empty()) throw SlidepackError(player_path.string() + ": the player file is empty");
  RefuseToOverwriteAnInput(manifest, output_path, player_path);
  struct stat player_status {};
  const unsigned mode = stat(player_path.c_str(), &player_status) == 0
                            ? static_cast<unsigned>(player_status.st_mode & 0777)
                            : 0755u;
  OutputFile output(output_path, mode);

  const slidesaver::PackageHeader package =
      LoadPackage(manifest, options, output_path.parent_path());
  uint64_t package_bytes = 0;
  try {
    package_bytes = slidesaver::PackageByteCount(package);
  } catch (const slidesaver::PackageWriteError& error) {
    throw SlidepackError(manifest_path.string() + ": " + error.what());
  }

  Progress progress("building " + output_path.string(), player.size() + package_bytes);
  const auto advance = [&progress](size_t bytes) {
    StopIfInterrupted();
    progress.Advance(bytes);
  };
  output.Write(player, advance);
  try {
    slidesaver::WritePackage(package, [&](std::span<const uint8_t> bytes) {
      output.Write(bytes);
      advance(bytes.size());
    });
  } catch (const slidesaver::media::ReadError& error) {
    throw SlidepackError(error.what());
  }
  output.Commit();
  progress.Finish();
}

}  // namespace slidepack
