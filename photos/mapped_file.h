#pragma once
// Files of photos read where they are: opened without waiting (a FIFO or a device never
// hangs the reader) and mapped, so that only what the reader looks at is read.
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace slidesaver::photos {

// open(2) for reading that never waits, with the file's status; -1 and errno on failure.
int OpenWithoutWaiting(const std::filesystem::path& path, struct stat& status);

// Calls `examine` with the bytes of an ordinary file, mapped while it runs. Throws PhotoError
// naming the file when it can't be opened or is no ordinary file.
void ExamineFile(const std::filesystem::path& path,
                 const std::function<void(std::span<const uint8_t>)>& examine);

}  // namespace slidesaver::photos
