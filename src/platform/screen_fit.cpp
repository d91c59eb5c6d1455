// Fitting the game's frame to the screen, and scaling it there (see screen_fit.h).
#include "screen_fit.h"

#include <algorithm>
#include <cstring>

namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0)))
    --q;
  return q;
}

// Screen pixel s of a span of length span showing length frame pixels: the
// frame pixel under its centre.
int toFrame(int s, int offset, int span, int length) {
  if (span <= 0)
    return 0;
  return static_cast<int>(floorDiv((2 * static_cast<std::int64_t>(s - offset) + 1) * length,
                                   2 * static_cast<std::int64_t>(span)));
}

int toScreen(int f, int offset, int span, int length) {
  if (length <= 0)
    return offset;
  return offset + static_cast<int>(floorDiv((2 * static_cast<std::int64_t>(f) + 1) * span,
                                            2 * static_cast<std::int64_t>(length)));
}

std::uint32_t blend(std::uint32_t p, std::uint32_t q, int weight) {
  if (weight == 0 || p == q)
    return p;
  const std::uint32_t inverse = 256 - static_cast<std::uint32_t>(weight);
  const auto w = static_cast<std::uint32_t>(weight);
  const std::uint32_t rb =
      (((p & 0xFF00FFu) * inverse + (q & 0xFF00FFu) * w + 0x800080u) >> 8) & 0xFF00FFu;
  const std::uint32_t g =
      (((p & 0x00FF00u) * inverse + (q & 0x00FF00u) * w + 0x008000u) >> 8) & 0x00FF00u;
  return 0xFF000000u | rb | g;
}
} // namespace

int TScreenFit::FrameX(int sx) const {
  return toFrame(sx, x, w, frameW);
}
int TScreenFit::FrameY(int sy) const {
  return toFrame(sy, y, h, frameH);
}
int TScreenFit::ScreenX(int fx) const {
  return toScreen(fx, x, w, frameW);
}
int TScreenFit::ScreenY(int fy) const {
  return toScreen(fy, y, h, frameH);
}

TScreenFit FitFrame(int frameW, int frameH, int screenW, int screenH) {
  TScreenFit fit;
  fit.frameW = std::max(frameW, 1);
  fit.frameH = std::max(frameH, 1);
  fit.screenW = std::max(screenW, 1);
  fit.screenH = std::max(screenH, 1);
  const int whole = std::min(fit.screenW / fit.frameW, fit.screenH / fit.frameH);
  const bool exact = whole == 1 && (fit.screenW == fit.frameW || fit.screenH == fit.frameH);
  if (whole >= 2 || exact) {
    fit.wholeMultiple = whole;
    fit.w = whole * fit.frameW;
    fit.h = whole * fit.frameH;
  } else {
    // As large as fits with the frame's shape: the limiting side fills.
    fit.wholeMultiple = 0;
    const std::int64_t acrossFits = static_cast<std::int64_t>(fit.screenW) * fit.frameH;
    const std::int64_t downFits = static_cast<std::int64_t>(fit.screenH) * fit.frameW;
    if (acrossFits <= downFits) {
      fit.w = fit.screenW;
      fit.h = static_cast<int>(acrossFits / fit.frameW);
    } else {
      fit.h = fit.screenH;
      fit.w = static_cast<int>(downFits / fit.frameH);
    }
    fit.w = std::max(fit.w, 1);
    fit.h = std::max(fit.h, 1);
  }
  fit.x = (fit.screenW - fit.w) / 2;
  fit.y = (fit.screenH - fit.h) / 2;
  return fit;
}

namespace {
// Output pixel i of out samples the frame enlarged by nearest sampling to
// `enlarge` times, then reduced with bilinear sampling: between two enlarged
// pixels only at the edges of the frame's own pixels, so every frame pixel
// keeps an even, sharp look.
template <typename TTap> std::vector<TTap> makeTaps(int out, int length, int enlarge) {
  std::vector<TTap> taps(static_cast<std::size_t>(out));
  const std::int64_t big = static_cast<std::int64_t>(length) * enlarge;
  for (int i = 0; i < out; ++i) {
    // u = (i + 0.5) * big / out - 0.5 in 1/(2 out) steps, then in 1/256 steps.
    const std::int64_t u2 = (2 * static_cast<std::int64_t>(i) + 1) * big - out; // u * 2 out
    std::int64_t u256 = floorDiv(u2 * 256 + out, 2 * static_cast<std::int64_t>(out));
    u256 = std::clamp<std::int64_t>(u256, 0, (big - 1) * 256);
    const std::int64_t left = u256 / 256;
    const std::int64_t right = std::min(left + 1, big - 1);
    TTap &t = taps[static_cast<std::size_t>(i)];
    t.a = static_cast<int>(left / enlarge);
    t.b = static_cast<int>(right / enlarge);
    t.weight = t.a == t.b ? 0 : static_cast<int>(u256 % 256);
  }
  return taps;
}
} // namespace

void TFrameScaler::Prepare(const TScreenFit &f) {
  fit = f;
  const bool reduced = fit.wholeMultiple == 0;
  // Enlarged to the next whole multiple of the frame before the reduction
  // (at least once: a screen smaller than the frame only reduces).
  const int enlarge =
      reduced ? std::max(1, (fit.w + fit.frameW - 1) / fit.frameW) : fit.wholeMultiple;
  columns = makeTaps<TTap>(fit.w, fit.frameW, enlarge);
  rows = makeTaps<TTap>(fit.h, fit.frameH, enlarge);
  if (!reduced) {
    for (TTap &t : columns)
      t.weight = 0;
    for (TTap &t : rows)
      t.weight = 0;
  }
  rowA.assign(static_cast<std::size_t>(fit.w), 0);
  rowB.assign(static_cast<std::size_t>(fit.w), 0);
  rowAIndex = rowBIndex = -1;
}

void TFrameScaler::scaleRow(const std::uint32_t *source, std::uint32_t *out) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const TTap &t = columns[i];
    out[i] = blend(source[t.a], source[t.b], t.weight);
  }
}

void TFrameScaler::Scale(const std::uint32_t *frame, std::uint32_t *out, int outPitch) {
  rowAIndex = rowBIndex = -1; // a new frame
  for (std::size_t j = 0; j < rows.size(); ++j) {
    const TTap &t = rows[j];
    std::uint32_t *line = out + j * static_cast<std::size_t>(outPitch);
    if (rowAIndex != t.a) {
      if (rowBIndex == t.a) {
        std::swap(rowA, rowB);
        std::swap(rowAIndex, rowBIndex);
      } else {
        scaleRow(frame + static_cast<std::size_t>(t.a) * fit.frameW, rowA.data());
        rowAIndex = t.a;
      }
    }
    if (t.weight == 0) {
      std::memcpy(line, rowA.data(), rowA.size() * sizeof(std::uint32_t));
      continue;
    }
    if (rowBIndex != t.b) {
      scaleRow(frame + static_cast<std::size_t>(t.b) * fit.frameW, rowB.data());
      rowBIndex = t.b;
    }
    for (std::size_t i = 0; i < rowA.size(); ++i)
      line[i] = blend(rowA[i], rowB[i], t.weight);
  }
}
