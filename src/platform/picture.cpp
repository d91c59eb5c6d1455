// Pictures: loading and cutting, masking, and drawing frames into the back buffer.
#include "picture.h"

#include <algorithm>
#include <cmath>

#include "display.h"
#include "folders.h"
#include "png.h"

namespace {
std::vector<std::unique_ptr<TImage>> pictures; // handle n is pictures[n - 1]
int maskR = 0, maskG = 0, maskB = 0;

int registerPicture(std::unique_ptr<TImage> image) {
  pictures.push_back(std::move(image));
  return static_cast<int>(pictures.size());
}

std::unique_ptr<TImage> newImage(int width, int height, int frames, int flags) {
  auto image = std::make_unique<TImage>();
  image->width = width;
  image->height = height;
  image->flags = flags;
  image->mask_r = maskR;
  image->mask_g = maskG;
  image->mask_b = maskB;
  image->frames.resize(static_cast<std::size_t>(frames));
  return image;
}

struct TRgb {
  int r, g, b;
};

TRgb pixelAt(const TPixmap &p, int x, int y) {
  const std::uint8_t *q =
      p.bytes.data() + (static_cast<std::size_t>(y) * p.width + x) * p.bytesPerPixel();
  if (p.kind == TPixelKind::Grey)
    return {q[0], q[0], q[0]};
  return {q[0], q[1], q[2]};
}

// A whole number well inside int range.
bool isWhole(double v) {
  return v >= -1e9 && v <= 1e9 && v == static_cast<double>(static_cast<std::int64_t>(v));
}
constexpr double kMaxMappedSize = 1024;

// The display pixels whose centres fall inside [start, start + size), clipped to [0, limit).
bool coveredSpan(double start, double size, int limit, int &first, int &end) {
  if (!std::isfinite(start) || !std::isfinite(size) || size <= 0)
    return false;
  double lo = std::ceil(start - 0.5), hi = std::ceil(start + size - 0.5);
  lo = std::max(lo, 0.0);
  hi = std::min(hi, static_cast<double>(limit));
  if (lo >= hi)
    return false;
  first = static_cast<int>(lo);
  end = static_cast<int>(hi);
  return true;
}

int channel(std::uint32_t texel, int shift) {
  return static_cast<int>((texel >> shift) & 255);
}
} // namespace

void SetMaskColor(int r, int g, int b) {
  maskR = r;
  maskG = g;
  maskB = b;
}

TPixmap MaskPixmap(const TPixmap &buffer, int r, int g, int b) {
  TPixmap out;
  out.width = buffer.width;
  out.height = buffer.height;
  out.kind = TPixelKind::Rgba;
  out.bytes.resize(static_cast<std::size_t>(buffer.width) * buffer.height * 4);
  auto isMask = [&](const TRgb &c) { return c.r == r && c.g == g && c.b == b; };
  for (int y = 0; y < buffer.height; ++y) {
    for (int x = 0; x < buffer.width; ++x) {
      TRgb c = pixelAt(buffer, x, y);
      std::uint8_t *o = out.bytes.data() + (static_cast<std::size_t>(y) * buffer.width + x) * 4;
      if (!isMask(c)) {
        o[0] = static_cast<std::uint8_t>(c.r);
        o[1] = static_cast<std::uint8_t>(c.g);
        o[2] = static_cast<std::uint8_t>(c.b);
        o[3] = 255;
        continue;
      }
      // A transparent pixel takes its neighbours' colour, so smooth sampling
      // does not bleed the mask colour into the picture's edges.
      int sumR = 0, sumG = 0, sumB = 0, n = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          int nx = x + dx, ny = y + dy;
          if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= buffer.width || ny >= buffer.height)
            continue;
          TRgb nc = pixelAt(buffer, nx, ny);
          if (isMask(nc))
            continue;
          sumR += nc.r;
          sumG += nc.g;
          sumB += nc.b;
          ++n;
        }
      }
      o[0] = static_cast<std::uint8_t>(n ? sumR / n : 0);
      o[1] = static_cast<std::uint8_t>(n ? sumG / n : 0);
      o[2] = static_cast<std::uint8_t>(n ? sumB / n : 0);
      o[3] = 0;
    }
  }
  return out;
}

void TImage::setFrame(int frame, TPixmap buffer) {
  if (frame < 0 || frame >= static_cast<int>(frames.size()))
    return;
  // A buffer that does not hold exactly its own pixels is never read.
  if (buffer.width <= 0 || buffer.height <= 0 ||
      buffer.bytes.size() != static_cast<std::size_t>(buffer.width) * buffer.height *
                                 static_cast<std::size_t>(buffer.bytesPerPixel()))
    return;
  TFrame &f = frames[static_cast<std::size_t>(frame)];
  if ((flags & kMasked) && !buffer.hasAlpha())
    f.pixmap = MaskPixmap(buffer, mask_r, mask_g, mask_b);
  else
    f.pixmap = std::move(buffer);
  f.drawable = false;
  f.texels.clear();
  f.masked.clear();
}

const TFrame *TImage::drawableFrame(int frame) {
  if (frame < 0 || frame >= static_cast<int>(frames.size()))
    return nullptr;
  TFrame &f = frames[static_cast<std::size_t>(frame)];
  if (f.pixmap.width != width || f.pixmap.height != height)
    return nullptr; // a frame never set draws nothing
  if (!f.drawable) {
    const std::size_t count = static_cast<std::size_t>(width) * height;
    f.texels.resize(count);
    f.masked.resize(count);
    const int bpp = f.pixmap.bytesPerPixel();
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t *q = f.pixmap.bytes.data() + i * bpp;
      std::uint32_t r = q[0], g = q[0], b = q[0], a = 255;
      if (bpp >= 3) {
        g = q[1];
        b = q[2];
      }
      if (bpp == 4)
        a = q[3];
      std::uint32_t rgb = (r << 16) | (g << 8) | b;
      f.texels[i] = (a << 24) | rgb;
      f.masked[i] = a >= 128 ? 0xFF000000u | rgb : 0;
    }
    f.runs.clear();
    f.rowRuns.assign(1, 0);
    for (int y = 0; y < height; ++y) {
      const std::uint32_t *row = f.masked.data() + static_cast<std::size_t>(y) * width;
      for (int x = 0; x < width;) {
        if (!(row[x] >> 31)) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < width && (row[x] >> 31))
          ++x;
        f.runs.push_back({start, x});
      }
      f.rowRuns.push_back(static_cast<int>(f.runs.size()));
    }
    f.drawable = true;
  }
  return &f;
}

TImage *PictureFromHandle(int picture) {
  if (picture <= 0 || picture > static_cast<int>(pictures.size()))
    return nullptr;
  return pictures[static_cast<std::size_t>(picture - 1)].get();
}

int LoadPicture(const TText &path, int flags) {
  if (flags == -1)
    flags = kDefaultPictureFlags;
  std::optional<TPixmap> buffer = DecodePngFile(ArtFileName(path));
  if (!buffer || buffer->width <= 0 || buffer->height <= 0)
    return 0;
  auto image = newImage(buffer->width, buffer->height, 1, flags);
  image->setFrame(0, std::move(*buffer));
  return registerPicture(std::move(image));
}

int LoadPictureSheet(const TText &path, int cellWidth, int cellHeight, int firstCell, int cellCount,
                     int flags) {
  if (flags == -1)
    flags = kDefaultPictureFlags;
  if (cellWidth <= 0 || cellHeight <= 0 || firstCell < 0 || cellCount <= 0)
    return 0;
  std::optional<TPixmap> sheet = DecodePngFile(ArtFileName(path));
  if (!sheet)
    return 0;
  // Whole cells only: a partial column or row at the edge is ignored.
  const std::int64_t across = sheet->width / cellWidth, down = sheet->height / cellHeight;
  if (across * down < static_cast<std::int64_t>(firstCell) + cellCount)
    return 0;
  auto image = newImage(cellWidth, cellHeight, cellCount, flags);
  const int bpp = sheet->bytesPerPixel();
  for (int c = firstCell; c < firstCell + cellCount; ++c) {
    const int left = cellWidth * static_cast<int>(c % across);
    const int top = cellHeight * static_cast<int>(c / across);
    TPixmap cell;
    cell.width = cellWidth;
    cell.height = cellHeight;
    cell.kind = sheet->kind;
    cell.bytes.resize(static_cast<std::size_t>(cellWidth) * cellHeight * bpp);
    for (int y = 0; y < cellHeight; ++y) {
      const std::uint8_t *from =
          sheet->bytes.data() + (static_cast<std::size_t>(top + y) * sheet->width + left) * bpp;
      std::copy(from, from + static_cast<std::size_t>(cellWidth) * bpp,
                cell.bytes.data() + static_cast<std::size_t>(y) * cellWidth * bpp);
    }
    image->setFrame(c - firstCell, std::move(cell));
  }
  return registerPicture(std::move(image));
}

void DrawImageFrame(TImage &image, int frame, double x, double y, double w, double h) {
  TDisplay *d = CurrentDisplay();
  if (!d)
    return;
  const TFrame *f = image.drawableFrame(frame);
  if (!f)
    return;
  int x0, x1, y0, y1;
  if (!coveredSpan(x, w, d->width, x0, x1) || !coveredSpan(y, h, d->height, y0, y1))
    return;
  const int fw = image.width, fh = image.height;

  if (w == fw && h == fh && x == std::floor(x) && y == std::floor(y)) {
    // Natural size at a whole position: every display pixel centre falls on a
    // frame pixel centre, so filtered or not the frame is copied exactly.
    // Only the runs of whole pixels are copied; the display is never read.
    const int ox = static_cast<int>(x), oy = static_cast<int>(y);
    const int left = x0 - ox, right = x1 - ox;
    for (int py = y0; py < y1; ++py) {
      const int fy = py - oy;
      const std::uint32_t *src = f->masked.data() + static_cast<std::size_t>(fy) * fw;
      std::uint32_t *dst = d->row(py);
      for (int k = f->rowRuns[fy]; k < f->rowRuns[fy + 1]; ++k) {
        const int from = std::max(f->runs[k].start, left), to = std::min(f->runs[k].end, right);
        if (from < to)
          std::copy(src + from, src + to, dst + (ox + from));
      }
    }
    return;
  }

  if (!(image.flags & kFiltered) && isWhole(x) && isWhole(y) && isWhole(w) && isWhole(h) &&
      w <= kMaxMappedSize && h <= kMaxMappedSize) {
    // Whole positions and sizes: display column px samples the frame where
    // px + 0.5 - x, an offset of the view, falls, so one map serves every draw
    // of this size, computed as the general path below computes it.
    const int ox = static_cast<int>(x), oy = static_cast<int>(y);
    const int vw = static_cast<int>(w), vh = static_cast<int>(h);
    if (image.mapWidth != vw) {
      image.columnMap.resize(static_cast<std::size_t>(vw));
      for (int j = 0; j < vw; ++j)
        image.columnMap[j] = std::clamp(static_cast<int>((j + 0.5) * fw / w), 0, fw - 1);
      image.mapWidth = vw;
    }
    if (image.mapHeight != vh) {
      image.rowMap.resize(static_cast<std::size_t>(vh));
      for (int j = 0; j < vh; ++j)
        image.rowMap[j] = std::clamp(static_cast<int>((j + 0.5) * fh / h), 0, fh - 1);
      image.mapHeight = vh;
    }
    for (int py = y0; py < y1; ++py) {
      const std::uint32_t *src =
          f->masked.data() + static_cast<std::size_t>(image.rowMap[py - oy]) * fw;
      std::uint32_t *dst = d->row(py);
      for (int px = x0; px < x1; ++px) {
        std::uint32_t s = src[image.columnMap[px - ox]];
        if (s >> 31)
          dst[px] = s;
      }
    }
    return;
  }

  if (!(image.flags & kFiltered)) {
    // The frame column of each display column; small views need no heap.
    int onStack[64];
    std::vector<int> onHeap;
    int *column = onStack;
    if (x1 - x0 > 64) {
      onHeap.resize(static_cast<std::size_t>(x1 - x0));
      column = onHeap.data();
    }
    // A covered pixel's centre lies in [x, x + w), so the source position is
    // in [0, fw): truncating it is its floor, without a call into the library.
    for (int px = x0; px < x1; ++px)
      column[px - x0] = std::clamp(static_cast<int>((px + 0.5 - x) * fw / w), 0, fw - 1);
    for (int py = y0; py < y1; ++py) {
      const int sy = std::clamp(static_cast<int>((py + 0.5 - y) * fh / h), 0, fh - 1);
      const std::uint32_t *src = f->masked.data() + static_cast<std::size_t>(sy) * fw;
      std::uint32_t *dst = d->row(py);
      for (int px = x0; px < x1; ++px) {
        std::uint32_t s = src[column[px - x0]];
        if (s >> 31)
          dst[px] = s;
      }
    }
    return;
  }

  // Bilinear between texel centres; beyond the last column and row the
  // frame's own edge pixels repeat.
  for (int py = y0; py < y1; ++py) {
    const double v = (py + 0.5 - y) * fh / h - 0.5;
    const int vy = static_cast<int>(std::floor(v));
    const double fy = v - vy;
    const int ya = std::clamp(vy, 0, fh - 1), yb = std::clamp(vy + 1, 0, fh - 1);
    std::uint32_t *dst = d->row(py);
    for (int px = x0; px < x1; ++px) {
      const double u = (px + 0.5 - x) * fw / w - 0.5;
      const int ux = static_cast<int>(std::floor(u));
      const double fx = u - ux;
      const int xa = std::clamp(ux, 0, fw - 1), xb = std::clamp(ux + 1, 0, fw - 1);
      const std::uint32_t t00 = f->texels[static_cast<std::size_t>(ya) * fw + xa];
      const std::uint32_t t10 = f->texels[static_cast<std::size_t>(ya) * fw + xb];
      const std::uint32_t t01 = f->texels[static_cast<std::size_t>(yb) * fw + xa];
      const std::uint32_t t11 = f->texels[static_cast<std::size_t>(yb) * fw + xb];
      auto mix = [&](int shift) {
        double top = channel(t00, shift) * (1 - fx) + channel(t10, shift) * fx;
        double bottom = channel(t01, shift) * (1 - fx) + channel(t11, shift) * fx;
        return static_cast<std::uint32_t>(std::lround(top * (1 - fy) + bottom * fy));
      };
      if (mix(24) >= 128)
        dst[px] = 0xFF000000u | (mix(16) << 16) | (mix(8) << 8) | mix(0);
    }
  }
}

void DrawPicture(int picture, double x, double y, int frame) {
  TImage *image = PictureFromHandle(picture);
  if (image)
    DrawImageFrame(*image, frame, x - image->handle_x, y - image->handle_y, image->width,
                   image->height);
}

void DrawPictureScaled(int picture, double x, double y, double w, double h, int frame) {
  TImage *image = PictureFromHandle(picture);
  if (image)
    DrawImageFrame(*image, frame, x - image->handle_x, y - image->handle_y, w, h);
}
