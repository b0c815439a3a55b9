#pragma once
// Writing the Package's music, pictures and sounds into a fresh folder temp<N> under the
// platform's extraction base folder, for the show to open by name.
#include <string>

#include "package/package.h"
#include "platform/platform.h"
#include "startup/app_state.h"

namespace slidesaver {

// True when a name stored in the Package may be used as a file directly inside TempDir: not
// empty, not "." or "..", no NUL and no '/'; with the '\' separator also no ':' and no '\'
// outside a double-byte character (whose lead bytes `files` knows; pass it wherever the name
// may come from a double-byte code page). Other names are not written, so the show finds those
// files missing.
bool IsSafeFileName(const std::string& name, char separator, platform::FileSystem* files = nullptr);

// Sets app.TempDir and writes the files: the music first, then each picture, then each sound;
// a name that repeats an earlier slide's name writes nothing. A failing write is skipped
// silently. When the platform has no base folder, a message box says so and
// ProcessExit{1} ends the process.
void ExtractFiles(platform::Platform& platform, AppState& app);

}  // namespace slidesaver
