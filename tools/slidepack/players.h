#pragma once
// The players a show file is built on: the Linux player, and the 32-bit Windows player the
// release cross-builds. Both are found from the folder of the program that builds the show
// (slidepack, the app), in a build tree or where they are installed.
#include <filesystem>
#include <optional>
#include <string_view>

namespace slidepack {

enum class ShowTarget { kLinux, kWindows };

// "linux", "windows"; nullopt for anything else.
std::optional<ShowTarget> ParseShowTarget(std::string_view text);

// The folder of the running program's own file ("." when the system does not say).
std::filesystem::path OwnProgramFolder();

// The player a show for `target` is built on, for a program in `program_folder`: the Linux
// player beside it; the Windows player in the build's windows-i686 tree beside it, else
// installed in ../share/slidesaver/windows/. Throws SlidepackError when the Windows player is
// in neither place.
std::filesystem::path DefaultPlayer(ShowTarget target, const std::filesystem::path& program_folder);

}  // namespace slidepack
