#include "tools/slidepack/players.h"

#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

namespace fs = std::filesystem;

std::optional<ShowTarget> ParseShowTarget(std::string_view text) {
  if (text == "linux") return ShowTarget::kLinux;
  if (text == "windows") return ShowTarget::kWindows;
  return std::nullopt;
}

fs::path OwnProgramFolder() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path(".") : self.parent_path();
}

fs::path DefaultPlayer(ShowTarget target, const fs::path& program_folder) {
  if (target == ShowTarget::kLinux) return program_folder / "slidesaver";
  // See cmake/windows_player.cmake and cmake/install.cmake.
  const fs::path built = program_folder / "windows-i686" / "slidesaver.scr";
  const fs::path installed =
      (program_folder / ".." / "share" / "slidesaver" / "windows" / "slidesaver.scr")
          .lexically_normal();
  std::error_code error;
  if (fs::is_regular_file(built, error)) return built;
  if (fs::is_regular_file(installed, error)) return installed;
  throw SlidepackError(
      "the Windows player is not installed (" + installed.string() +
      "); build and install the release with MinGW-w64 (g++-mingw-w64-i686), or give it with "
      "--player");
}

}  // namespace slidepack
