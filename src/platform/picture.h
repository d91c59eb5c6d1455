// Pictures: frames cut from PNG files, masked, and drawn into the back buffer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "pixmap.h"
#include "text.h"

enum TPictureFlags { kMasked = 1, kFiltered = 2, kMipmapped = 4, kDefaultPictureFlags = 3 };

struct TFrame {
  TPixmap pixmap; // RGBA after masking, else as decoded
  // The drawable form, made on the first draw: 0xAARRGGBB with the alpha
  // kept for smooth sampling, and a copy thresholded for whole-pixel copies.
  std::vector<std::uint32_t> texels;
  std::vector<std::uint32_t> masked;
  // The runs of whole pixels (alpha 128 or more) in each row of masked, as
  // [start, end) columns: row y's runs are runs[rowRuns[y]] to runs[rowRuns[y + 1]].
  struct TRun {
    int start, end;
  };
  std::vector<TRun> runs;
  std::vector<int> rowRuns;
  bool drawable = false;
};

class TImage {
public:
  int width = 0;
  int height = 0;
  int flags = 0;
  int mask_r = 0, mask_g = 0, mask_b = 0;
  double handle_x = 0, handle_y = 0;
  std::vector<TFrame> frames;
  // Small views at whole sizes: the frame column (row) of each display column
  // (row) of a view mapWidth (mapHeight) pixels wide (high), kept for the next draw.
  int mapWidth = 0, mapHeight = 0;
  std::vector<int> columnMap, rowMap;

  // Sets a frame from a buffer, masking it when the flags ask and it has no alpha.
  void setFrame(int frame, TPixmap buffer);
  const TFrame *drawableFrame(int frame);
};

// The mask colour copied into every picture loaded from now on.
void SetMaskColor(int r, int g, int b);

// A masked copy: mask-coloured pixels transparent, coloured by the average
// of their unmasked neighbours; every other pixel opaque.
TPixmap MaskPixmap(const TPixmap &buffer, int r, int g, int b);

int LoadPicture(const TText &path, int flags);
int LoadPictureSheet(const TText &path, int cellWidth, int cellHeight, int firstCell, int cellCount,
                     int flags);
void DrawPicture(int picture, double x, double y, int frame);
void DrawPictureScaled(int picture, double x, double y, double w, double h, int frame);

// The picture behind a handle, or nullptr for 0 and unknown handles.
TImage *PictureFromHandle(int picture);

// Draws a frame of a picture that has no handle (the font's glyphs).
void DrawImageFrame(TImage &image, int frame, double x, double y, double w, double h);
