#include "gdi/damage.h"

#include <algorithm>

namespace slidesaver::gdi {

namespace {
// Noted additions are sorted in when there are this many.
constexpr size_t kMaxPending = 4096;
}  // namespace

void Damage::AddRect(const Rect& r) {
  if (r.Empty() || r.bottom <= 0) return;
  if (!pending_.empty()) {
    Rect& last = pending_.back();
    if (last.left == r.left && last.right == r.right && last.bottom == r.top) {
      last.bottom = r.bottom;
      return;
    }
  }
  if (pending_.size() >= kMaxPending) SortPending();
  pending_.push_back(r);
}

void Damage::SortPending() {
  for (const Rect& r : pending_) {
    const int32_t top = std::max(r.top, 0);
    if (static_cast<size_t>(r.bottom) > rows_.size()) rows_.resize(static_cast<size_t>(r.bottom));
    top_ = std::min(top_, top);
    bottom_ = std::max(bottom_, r.bottom);
    for (int32_t y = top; y < r.bottom; ++y)
      AddSpan(rows_[static_cast<size_t>(y)], r.left, r.right);
  }
  pending_.clear();
}

void Damage::AddSpan(Row& row, int32_t left, int32_t right) {
  // The usual cases first: a row's first span, and one that meets the row's only span.
  if (row.count == 0) {
    row.spans[0] = {left, right};
    row.count = 1;
    return;
  }
  if (row.count == 1) {
    Span& only = row.spans[0];
    if (int64_t{only.right} + kJoinGap > left && int64_t{right} + kJoinGap > only.left) {
      only = {std::min(only.left, left), std::max(only.right, right)};
      return;
    }
  }
  // The spans stay sorted, each kJoinGap or more from the next: the new one swallows those
  // it comes near.
  Span added{left, right};
  std::array<Span, kSpansPerRow + 1> spans;
  int32_t count = 0;
  bool placed = false;
  for (int32_t i = 0; i < row.count; ++i) {
    const Span& s = row.spans[static_cast<size_t>(i)];
    if (int64_t{s.right} + kJoinGap <= added.left) {
      spans[static_cast<size_t>(count++)] = s;
    } else if (int64_t{added.right} + kJoinGap <= s.left) {
      if (!placed) spans[static_cast<size_t>(count++)] = added;
      placed = true;
      spans[static_cast<size_t>(count++)] = s;
    } else {
      added = {std::min(added.left, s.left), std::max(added.right, s.right)};
    }
  }
  if (!placed) spans[static_cast<size_t>(count++)] = added;
  if (count > kSpansPerRow) {
    size_t closest = 0;
    for (size_t i = 1; i + 1 < static_cast<size_t>(count); ++i) {
      if (spans[i + 1].left - spans[i].right < spans[closest + 1].left - spans[closest].right) {
        closest = i;
      }
    }
    spans[closest].right = spans[closest + 1].right;
    std::copy(spans.begin() + static_cast<ptrdiff_t>(closest) + 2, spans.begin() + count,
              spans.begin() + static_cast<ptrdiff_t>(closest) + 1);
    --count;
  }
  std::copy(spans.begin(), spans.begin() + count, row.spans.begin());
  row.count = count;
}

void Damage::Clear() {
  pending_.clear();
  for (int32_t y = top_; y < bottom_; ++y) rows_[static_cast<size_t>(y)].count = 0;
  top_ = INT32_MAX;
  bottom_ = INT32_MIN;
}

namespace {

// A rectangle still growing downward, and the changed pixels inside it.
struct OpenRect {
  Rect rect;
  int64_t pixels;
};

bool Overlap(int32_t left_a, int32_t right_a, int32_t left_b, int32_t right_b) {
  return left_a < right_b && left_b < right_a;
}

}  // namespace

void Damage::TakeRects(std::vector<Rect>& out) {
  out.clear();
  SortPending();
  std::array<OpenRect, kSpansPerRow> open, next;
  size_t open_count = 0;
  for (int32_t y = top_; y < bottom_; ++y) {
    Row& row = rows_[static_cast<size_t>(y)];
    // A span continues the open rectangle above it when each overlaps only the other and the
    // joined rectangle stays within an eighth of its changed pixels; every other open
    // rectangle ends above this row.
    size_t next_count = 0;
    std::array<bool, kSpansPerRow> continued{};
    for (int32_t i = 0; i < row.count; ++i) {
      const Span& s = row.spans[static_cast<size_t>(i)];
      size_t match = open_count, matches = 0;
      for (size_t k = 0; k < open_count; ++k) {
        if (Overlap(s.left, s.right, open[k].rect.left, open[k].rect.right)) {
          match = k;
          ++matches;
        }
      }
      bool joined = false;
      if (matches == 1) {
        const Rect& r = open[match].rect;
        int32_t spans_over = 0;
        for (int32_t j = 0; j < row.count; ++j) {
          const Span& t = row.spans[static_cast<size_t>(j)];
          if (Overlap(t.left, t.right, r.left, r.right)) ++spans_over;
        }
        const int32_t left = std::min(r.left, s.left), right = std::max(r.right, s.right);
        const int64_t area = int64_t{right - left} * (y + 1 - r.top);
        const int64_t pixels = open[match].pixels + (s.right - s.left);
        if (spans_over == 1 && area * 8 <= pixels * 9) {
          next[next_count++] = {{left, r.top, right, y + 1}, pixels};
          continued[match] = true;
          joined = true;
        }
      }
      if (!joined) next[next_count++] = {{s.left, y, s.right, y + 1}, s.right - s.left};
    }
    for (size_t k = 0; k < open_count; ++k) {
      if (!continued[k]) out.push_back(open[k].rect);
    }
    open = next;
    open_count = next_count;
    row.count = 0;
  }
  for (size_t k = 0; k < open_count; ++k) out.push_back(open[k].rect);
  top_ = INT32_MAX;
  bottom_ = INT32_MIN;
}

}  // namespace slidesaver::gdi
