#pragma once
// The one error slidepack reports: a message that names the manifest line or the file at
// fault. main prints it and ends with status 1. The photo pieces slidepack shares with the
// player throw the same error, so their messages reach the user the same way.
#include "photos/photo_error.h"

namespace slidepack {

using SlidepackError = slidesaver::photos::PhotoError;
using slidesaver::photos::FileError;

}  // namespace slidepack
