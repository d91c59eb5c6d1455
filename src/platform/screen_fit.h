// How the game's frame fills a screen of another size with even pixels:
// whole multiples where there is room for two or more, otherwise enlarged to
// the next whole multiple and reduced smoothly to fit; centred, black bars.
// Also the exact mapping of screen positions to frame pixels and back.
#pragma once

#include <cstdint>
#include <vector>

struct TScreenFit {
  int frameW = 0, frameH = 0;     // the game's frame
  int screenW = 0, screenH = 0;   // the area it is shown in
  int x = 0, y = 0, w = 0, h = 0; // where the scaled frame lies in it
  int wholeMultiple = 1;          // 0 when reduced smoothly

  // The frame pixel shown at screen pixel (sx, sy), which may lie outside the
  // frame (in the bars); and the screen pixel at the middle of frame pixel (fx, fy).
  int FrameX(int sx) const;
  int FrameY(int sy) const;
  int ScreenX(int fx) const;
  int ScreenY(int fy) const;
};

TScreenFit FitFrame(int frameW, int frameH, int screenW, int screenH);

// Scales frames for one fit; the tables are made once.
class TFrameScaler {
public:
  void Prepare(const TScreenFit &fit);
  // frame: frameW x frameH pixels; out: w x h pixels, rows outPitch pixels apart.
  void Scale(const std::uint32_t *frame, std::uint32_t *out, int outPitch);
  const TScreenFit &Fit() const { return fit; }

private:
  struct TTap {
    int a = 0, b = 0; // two source pixels
    int weight = 0;   // of b, out of 256
  };
  TScreenFit fit;
  std::vector<TTap> columns, rows;
  std::vector<std::uint32_t> rowA, rowB; // source rows scaled across
  int rowAIndex = -1, rowBIndex = -1;

  void scaleRow(const std::uint32_t *source, std::uint32_t *out) const;
};
