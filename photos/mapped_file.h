#pragma once
// Files of photos read where they are: opened without waiting (a FIFO or a device never
// hangs the reader) and read, never mapped: a file cut short by its writer while it is read
// gives a short read, where a mapping would end the process.
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace slidesaver::photos {

// open(2) for reading that never waits, with the file's status; -1 and errno on failure.
int OpenWithoutWaiting(const std::filesystem::path& path, struct stat& status);

// The most ExamineFile reads of one file: headers are found within far less.
inline constexpr size_t kMaxExamineBytes = size_t{16} << 20;

// Calls `examine` with the first bytes of an ordinary file: 256 KiB, then four times as many
// while it returns false (wants more) and the file holds more, up to kMaxExamineBytes.
// `last` says that no more will come. Throws PhotoError naming the file when it can't be
// opened or read, or is no ordinary file.
void ExamineFile(const std::filesystem::path& path,
                 const std::function<bool(std::span<const uint8_t> bytes, bool last)>& examine);

}  // namespace slidesaver::photos
