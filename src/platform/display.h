// The display: one software back buffer, presented through the backend,
// with the drawing state, clearing, presenting and its pacing, and lines.
#pragma once

#include <cstdint>
#include <vector>

#include "text.h"

struct TDrawState {
  int color_red = 255, color_green = 255, color_blue = 255;
  double color_alpha = 1.0;
  int clscolor_red = 0, clscolor_green = 0, clscolor_blue = 0;
  int blend_mode = 1; // mask blend: alpha of 128 or more is written
  double line_width = 1.0;
  double tform_rot = 0, tform_scale_x = 1.0, tform_scale_y = 1.0;
  int viewport_x = 0, viewport_y = 0, viewport_w = 0, viewport_h = 0;
  double origin_x = 0, origin_y = 0;
  double handle_x = 0, handle_y = 0;
};

struct TPacing {
  int paceByVsync = 0;
  int paceBySleep = 0;
  int hertz = 0;
  int framePeriodMs = 0;
  int periodRemainder = 0;
  int remainderAccum = 0;
  std::uint32_t nextFrameTime = 0;
};

class TDisplay {
public:
  int width = 0;
  int height = 0;
  int depth = 0;
  int flags = 0;
  TPacing pacing;
  TDrawState state;
  std::vector<std::uint32_t> pixels; // the back buffer, 0xAARRGGBB

  std::uint32_t *row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
};

// Opens the display; returns it, or nullptr when it cannot be created.
TDisplay *OpenDisplay(int width, int height, int depth, int hertz, int flags);
// Closes the display if it is open; the exit handling does the same.
void CloseDisplay();
void Cls();
void Flip(int sync);
void DrawLine(double x1, double y1, double x2, double y2, int lastPixel);
// The same line walked pixel by pixel, also along a row or a column: the
// measure that DrawLine's spans are held to.
void DrawLineStepwise(double x1, double y1, double x2, double y2, int lastPixel);

// The open display, or nullptr; drawing without one does nothing.
TDisplay *CurrentDisplay();
