#pragma once
// The user's configuration file of defaults, $XDG_CONFIG_HOME/slidesaver/slidesaver.conf
// (~/.config when the variable is unset).
#include "startup/config_defaults.h"

namespace slidesaver {

// Its defaults; none when there is no such file. Throws std::invalid_argument naming the file
// and the line at fault.
ConfigDefaults ReadConfigFile();

}  // namespace slidesaver
