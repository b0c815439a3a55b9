#pragma once
// Writing the Package's music, pictures and sounds into a fresh folder temp<N> under the
// platform's extraction base folder, for the show to open by name.
#include "package/extracted_show.h"
#include "package/package.h"
#include "platform/platform.h"

namespace slidesaver {

// Takes the first free temp<N> and writes the files: the music first, then each picture, then
// each sound; a name that repeats an earlier slide's name writes nothing. A failing write is
// skipped silently. When the platform has no base folder, a message box says so and
// ProcessExit{1} ends the process.
ExtractedShow ExtractFiles(platform::Platform& platform, const PackageHeader& package);

}  // namespace slidesaver
