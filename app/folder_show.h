#pragma once
// The Linux player's --folder: the choices of the command line and the configuration file made
// into a show of the folder's pictures.
#include <optional>
#include <string>
#include <vector>

#include "slides/folder_slides.h"
#include "startup/program_options.h"

namespace slidesaver {

// The folder and the choices of `options`, checked. Throws std::invalid_argument saying which
// choice is wrong and why.
FolderShowOptions FolderShowOptionsOf(const ProgramOptions& options);

// The folder xscreensaver's settings choose for images: imageDirectory in ~/.xscreensaver,
// a leading ~ taken as $HOME. Nothing when there is none.
std::optional<std::string> XscreensaverImageFolder();

// The defaults of $XDG_CONFIG_HOME/slidesaver/slidesaver.conf (~/.config when the variable is
// unset), as arguments to put before the command line's; none when there is no such file.
// Throws std::invalid_argument naming the file and line at fault.
std::vector<std::string> ConfigFileArguments();

}  // namespace slidesaver
