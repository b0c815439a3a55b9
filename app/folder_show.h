#pragma once
// The Linux player's --folder: the choices of the command line and the configuration file made
// into a show of the folder's pictures.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "slides/folder_slides.h"
#include "startup/program_options.h"

namespace slidesaver {

// A folder choice refused: the option's name, and what is wrong.
struct FolderChoiceError : std::invalid_argument {
  FolderChoiceError(std::string name, const std::string& what)
      : std::invalid_argument(what), option(std::move(name)) {}
  std::string option;
};

// The folder and the choices of `options`, checked. Throws FolderChoiceError saying which
// choice is wrong and why.
FolderShowOptions FolderShowOptionsOf(const ProgramOptions& options);

// The folder xscreensaver's settings choose for images: imageDirectory in ~/.xscreensaver,
// a leading ~ taken as $HOME. Nothing when there is none.
std::optional<std::string> XscreensaverImageFolder();

}  // namespace slidesaver
