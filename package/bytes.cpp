#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "package/package.h"

namespace slidesaver {

Bytes::Bytes(std::shared_ptr<const media::ByteSource> source)
    : source_(std::move(source)), size_(static_cast<size_t>(source_->Size())) {}

Bytes Bytes::Copy(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return {};
  auto storage = std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
  return Bytes(std::make_shared<media::MemorySource>(*storage, storage));
}

std::span<const uint8_t> Bytes::span() const {
  if (size_ == 0) return {};
  const uint8_t* memory = source_->Memory();
  if (!memory) throw std::logic_error("the bytes of " + source_->Name() + " are not in memory");
  return {memory + offset_, size_};
}

void Bytes::ReadAt(uint64_t at, std::span<uint8_t> out) const {
  if (at > size_ || out.size() > size_ - at) {
    throw media::ReadError("reading past the end of " + std::to_string(size_) + " bytes");
  }
  if (!out.empty()) source_->ReadAt(offset_ + at, out);
}

void Bytes::ForEachPiece(const std::function<void(std::span<const uint8_t>)>& take,
                         size_t piece_bytes) const {
  if (size_ == 0) return;
  if (InMemory()) {
    const std::span<const uint8_t> all = span();
    for (size_t at = 0; at < all.size(); at += piece_bytes)
      take(all.subspan(at, std::min(piece_bytes, all.size() - at)));
    return;
  }
  std::vector<uint8_t> buffer(std::min(piece_bytes, size_));
  for (size_t at = 0; at < size_; at += buffer.size()) {
    const std::span<uint8_t> piece(buffer.data(), std::min(buffer.size(), size_ - at));
    source_->ReadAt(offset_ + at, piece);
    take(piece);
  }
}

std::vector<uint8_t> Bytes::Load() const { return Head(size_); }

std::vector<uint8_t> Bytes::Head(size_t n) const {
  std::vector<uint8_t> bytes(std::min(n, size_));
  ReadAt(0, bytes);
  return bytes;
}

bool SameContent(const Bytes& a, const Bytes& b) {
  if (a.size() != b.size()) return false;
  if (a.empty() || (a.Source() == b.Source() && a.Offset() == b.Offset())) return true;
  if (a.InMemory() && b.InMemory()) return std::memcmp(a.data(), b.data(), a.size()) == 0;
  constexpr size_t kPiece = size_t{1} << 16;
  std::vector<uint8_t> theirs(std::min(kPiece, b.size()));
  size_t at = 0;
  bool same = true;
  a.ForEachPiece(
      [&](std::span<const uint8_t> piece) {
        if (!same) return;
        const std::span<uint8_t> other(theirs.data(), piece.size());
        b.ReadAt(at, other);
        same = std::memcmp(piece.data(), other.data(), piece.size()) == 0;
        at += piece.size();
      },
      kPiece);
  return same;
}

}  // namespace slidesaver
