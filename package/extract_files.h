#pragma once
// Writing the Package's music, pictures and sounds into a fresh folder temp<N> under the
// platform's extraction base folder, for the show to open by name.
#include "package/extracted_show.h"
#include "package/package.h"
#include "platform/platform.h"

namespace slidesaver {

// First removes the folders of earlier extractions whose process is gone, then takes the first
// free temp<N> and writes the files: the music first, then each picture, then each sound; a
// name that repeats an earlier slide's name writes nothing. A failing write leaves no file, is
// logged with its reason and remembered by the extracted show; the extraction goes on. When the
// platform has no base folder, a message box says so (and why) and ProcessExit{1} ends the
// process. A close request of the process stops the extraction between two files (a file in
// progress stops too), removes what was written and ends the process: ProcessExit{0}.
ExtractedShow ExtractFiles(platform::Platform& platform, const PackageHeader& package);

}  // namespace slidesaver
