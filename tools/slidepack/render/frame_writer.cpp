#include "tools/slidepack/render/frame_writer.h"

#include "tools/slidepack/render/media_file.h"
#include "tools/slidepack/render/png_folder.h"

namespace slidepack::render {

std::unique_ptr<FrameWriter> MakeFrameWriter(OutputKind kind, const std::filesystem::path& path,
                                             const WriterSettings& settings) {
  if (kind == OutputKind::kFolder) return std::make_unique<PngFolderWriter>(path, settings);
  return std::make_unique<MediaFileWriter>(kind, path, settings);
}

bool NeedsEvenSides(OutputKind kind) {
  return kind == OutputKind::kMp4 || kind == OutputKind::kWebm;
}

}  // namespace slidepack::render
