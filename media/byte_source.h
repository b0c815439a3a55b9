#pragma once
// Bytes read at any offset, whether they lie in a file or in memory: the Package is parsed and
// extracted from the program's file without holding the file in memory.
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

namespace slidesaver::media {

// A read that can't be done: the source's name and the system's reason.
class ReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Fills `out` with the bytes from `offset`; throws ReadError when they can't all be read
  // (a range beyond Size() included).
  virtual void ReadAt(uint64_t offset, std::span<uint8_t> out) const = 0;
  // The bytes themselves when they lie in memory; null for a file.
  virtual const uint8_t* Memory() const { return nullptr; }
  // What the source is, for messages: a file's path.
  virtual std::string Name() const { return "memory"; }
};

// Bytes in memory. `owner` keeps them alive; without one the caller does.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes, std::shared_ptr<const void> owner = {})
      : bytes_(bytes), owner_(std::move(owner)) {}
  uint64_t Size() const override { return bytes_.size(); }
  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override;
  const uint8_t* Memory() const override { return bytes_.data(); }

 private:
  std::span<const uint8_t> bytes_;
  std::shared_ptr<const void> owner_;
};

// The pieces a copy goes in: small enough to keep memory flat, large enough to cost nothing.
inline constexpr size_t kCopyPieceBytes = size_t{1} << 20;

}  // namespace slidesaver::media
