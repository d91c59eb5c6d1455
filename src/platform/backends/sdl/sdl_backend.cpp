// The real window: one borderless SDL2 window over the whole desktop (or a
// plain one after Alt+Enter) that shows the finished frames with even pixels,
// paced to the refresh; its input events turned into the game's; SDL's clock.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend.h"
#include "platform/folders.h"
#include "platform/pacing.h"
#include "platform/png.h"
#include "platform/screen_fit.h"
#include "platform/system/system.h"
#include "sdl_backend.h"
#include "sdl_keymap.h"
#include "sdl_wayland.h"

namespace {

constexpr const char *kTitle = "Drayvane 31";

bool environmentHas(const char *name) {
  const char *value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

// Without a window there is no game: one line on stderr and out.
[[noreturn]] void stopWithoutDisplay(const std::string &why) {
  std::string line = std::string(kTitle) + ": no display to open a window on (" + why + ")";
  for (char &c : line)
    if (c == '\n' || c == '\r')
      c = ' ';
  std::fprintf(stderr, "%s\n", line.c_str());
  SDL_Quit();
  std::exit(1);
}

void appendUtf8AsUtf16(const char *text, std::vector<TBackendEvent> &out) {
  const auto *p = reinterpret_cast<const unsigned char *>(text);
  while (*p != 0) {
    std::uint32_t cp = 0;
    int extra = 0;
    if (*p < 0x80) {
      cp = *p;
    } else if ((*p & 0xE0) == 0xC0) {
      cp = *p & 0x1F;
      extra = 1;
    } else if ((*p & 0xF0) == 0xE0) {
      cp = *p & 0x0F;
      extra = 2;
    } else if ((*p & 0xF8) == 0xF0) {
      cp = *p & 0x07;
      extra = 3;
    } else {
      ++p; // a stray continuation byte
      continue;
    }
    ++p;
    for (; extra > 0 && (*p & 0xC0) == 0x80; --extra, ++p)
      cp = (cp << 6) | (*p & 0x3F);
    if (extra != 0)
      continue; // cut short
    auto push = [&out](std::uint32_t unit) {
      TBackendEvent e;
      e.kind = TEventKind::Character;
      e.code = static_cast<int>(unit);
      out.push_back(e);
    };
    if (cp >= 0x10000) {
      cp -= 0x10000;
      push(0xD800 + (cp >> 10));
      push(0xDC00 + (cp & 0x3FF));
    } else {
      push(cp);
    }
  }
}

int clampToInt16(int v) {
  return v < -32768 ? -32768 : (v > 32767 ? 32767 : v);
}

using Clock = std::chrono::steady_clock;

double secondsNow() {
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

void sleepUntil(double seconds) {
  std::this_thread::sleep_until(Clock::time_point(
      std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds))));
}

// The X server gone (logged out, crashed, or this client killed): Xlib would
// print its own lines and exit through the exit handlers, which then wait on
// the dead connection for ever. One line, and out at once.
int onDisplayLost(void *) {
  static const char line[] = "Drayvane 31: the display went away\n";
  std::fwrite(line, 1, sizeof line - 1, stderr);
  std::_Exit(1);
}

void stopWhenTheDisplayGoes() {
  // Only X11 has this; SDL has already loaded Xlib for its x11 driver, and
  // is asked for the handler setter by name.
  const char *driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "x11") != 0)
    return;
  void *xlib = SDL_LoadObject("libX11.so.6");
  if (xlib == nullptr)
    return;
  using THandler = int (*)(void *);
  using TSetter = THandler (*)(THandler);
  if (auto set = reinterpret_cast<TSetter>(SDL_LoadFunction(xlib, "XSetIOErrorHandler")))
    set(onDisplayLost);
  SDL_UnloadObject(xlib);
}

// The renderer SDL will pick (or the one asked for by name) draws with
// OpenGL: the window is then made for it at once, as SDL would otherwise
// replace it by another one when the renderer is created.
bool rendererUsesOpenGl() {
  const char *asked = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
  std::string name = asked != nullptr ? asked : "";
  if (name.empty()) {
    SDL_RendererInfo info;
    if (SDL_GetNumRenderDrivers() > 0 && SDL_GetRenderDriverInfo(0, &info) == 0)
      name = info.name;
  }
  return name.rfind("opengl", 0) == 0;
}

TPresentObserver presentObserver = nullptr;
TEventObserver eventObserver = nullptr;
TWaitObserver waitObserver = nullptr;

class TSdlBackend final : public TBackend {
public:
  std::string ProgramFolder() override { return RunningProgramFolder(); }

  bool OpenWindow(int width, int height, bool fullScreen, int hertz) override {
    CloseWindow();
    startVideo();
    frameW = width;
    frameH = height;
    fullScreenNow = fullScreen;

    // One window, made once, hidden until it has its place and is black:
    // full screen is a borderless window of the desktop's own size at its
    // corner, which comes out right with or without a window manager; a
    // Wayland compositor places windows itself and is asked for it.
    SDL_Rect place = windowPlace(fullScreen);
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (fullScreen)
      flags |= OnWayland() ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_BORDERLESS;
    if (rendererUsesOpenGl())
      flags |= SDL_WINDOW_OPENGL;
    if (WindowFillsPage())
      flags |= SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    window = SDL_CreateWindow(kTitle, place.x, place.y, place.w, place.h, flags);
    if (window == nullptr && (flags & SDL_WINDOW_OPENGL) != 0) {
      // A system without the OpenGL library (SDL only loads it when asked):
      // a plain window, drawn by SDL's software renderer.
      SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
      window =
          SDL_CreateWindow(kTitle, place.x, place.y, place.w, place.h, flags & ~SDL_WINDOW_OPENGL);
    }
    if (window == nullptr)
      stopWithoutDisplay(SDL_GetError());
    stopWhenTheDisplayGoes();
    setIcon();

    // The refresh is waited for only where the display has a known rate.
    SDL_DisplayMode mode;
    const int refreshHertz =
        SDL_GetDesktopDisplayMode(displayIndex(), &mode) == 0 ? mode.refresh_rate : 0;
    Uint32 rendererFlags = SDL_RENDERER_ACCELERATED;
    if (refreshHertz > 0)
      rendererFlags |= SDL_RENDERER_PRESENTVSYNC;
    renderer = SDL_CreateRenderer(window, -1, rendererFlags);
    if (renderer == nullptr)
      renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (renderer == nullptr)
      stopWithoutDisplay(SDL_GetError());
    SDL_RendererInfo info;
    vsyncOn = SDL_GetRendererInfo(renderer, &info) == 0 &&
              (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0 &&
              (info.flags & SDL_RENDERER_SOFTWARE) == 0;
    // SDL's software renderer cannot turn a vertical sync off once on.
    vsyncToggles = vsyncOn;
    pacer.Start(vsyncOn ? 1.0 / refreshHertz : 0);
    (void)hertz; // the game's frames are paced to 60 a second, whatever the display

    // The screen starts black, and so does the frame it is taken to show:
    // the game's first black frames cost nothing.
    refit();
    shown.assign(static_cast<std::size_t>(frameW) * frameH, 0xFF000000u);
    fillTextureBlack();
    // Black before the window shows (every later present clears first).
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    SDL_ShowWindow(window);
    if (fullScreen)
      SDL_RaiseWindow(window);

    arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (arrow != nullptr)
      SDL_SetCursor(arrow);
    SDL_ShowCursor(SDL_ENABLE);

    focused = true; // the game starts as the active program
    minimized = false;
    active = true;
    redrawDue = texture == nullptr;
    releasedBeforeFocusLoss.clear();
    heldThroughSwitch.clear();
    return true;
  }

  void CloseWindow() override {
    if (texture != nullptr)
      SDL_DestroyTexture(texture);
    texture = nullptr;
    if (renderer != nullptr)
      SDL_DestroyRenderer(renderer);
    renderer = nullptr;
    if (window != nullptr)
      SDL_DestroyWindow(window);
    window = nullptr;
    if (arrow != nullptr)
      SDL_FreeCursor(arrow);
    arrow = nullptr;
    shown.clear();
  }

  void Present(const std::uint32_t *pixels, int width, int height,
               bool inStepWithRefresh) override {
    if (renderer == nullptr || pixels == nullptr || width <= 0 || height <= 0)
      return;
    if (presentObserver != nullptr)
      presentObserver(pixels, width, height);
    const std::size_t count = static_cast<std::size_t>(width) * height;
    const bool same = !redrawDue && width == frameW && height == frameH && shown.size() == count &&
                      std::memcmp(shown.data(), pixels, count * sizeof(std::uint32_t)) == 0;
    if (FramesPacedBySystem()) {
      // The page shows the frame once it has the thread back.
      if (!same)
        show(pixels, width, height, false);
      if (inStepWithRefresh)
        AwaitNextFrame();
      else
        YieldIfDue();
      return;
    }
    if (!inStepWithRefresh) {
      if (!same)
        show(pixels, width, height, false);
      return;
    }
    // The screen already shows this frame: nothing to upload or present,
    // but the frame still takes its turn.
    double now = secondsNow();
    double until = 0;
    if (same) {
      until = pacer.Skipped(now);
    } else {
      const double from = pacer.PresentNoEarlierThan(now);
      if (from > now)
        sleepUntil(from);
      show(pixels, width, height, true);
      until = pacer.Presented(secondsNow());
    }
    now = secondsNow();
    if (until > now) {
      sleepUntil(until);
      now = secondsNow();
    }
    pacer.Resumed(now);
    if (vsyncToggles && vsyncOn && !pacer.InStepWithRefresh() &&
        SDL_RenderSetVSync(renderer, 0) == 0) {
      vsyncOn = false; // the refresh was not really waited for
      vsyncToggles = false;
    }
  }

  void MovePointer(int x, int y) override {
    if (window == nullptr)
      return;
    SDL_WarpMouseInWindow(window, fit.ScreenX(x), fit.ScreenY(y));
  }

  void PumpEvents(std::vector<TBackendEvent> &out) override {
    YieldIfDue(); // the page's input arrives in its turns
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
      return;
    SDL_Event event;
    const std::size_t first = out.size();
    while (SDL_PollEvent(&event) != 0)
      translate(event, out);
    if (eventObserver != nullptr)
      for (std::size_t i = first; i < out.size(); ++i)
        eventObserver(out[i]);
    if (redrawDue && !shown.empty() && window != nullptr &&
        (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) == 0)
      redraw(); // exposed or restored: at once
  }

  void WaitForEvent(int timeoutMs) override {
    if (waitObserver != nullptr)
      waitObserver();
    if (SleepGivingTurns(static_cast<std::uint32_t>(timeoutMs > 0 ? timeoutMs : 0)))
      return;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
      SleepMilliseconds(static_cast<std::uint32_t>(timeoutMs > 0 ? timeoutMs : 0));
      return;
    }
    SDL_WaitEventTimeout(nullptr, timeoutMs);
  }

  std::uint32_t Milliseconds() override { return SDL_GetTicks(); }
  void SleepMilliseconds(std::uint32_t ms) override {
    if (!SleepGivingTurns(ms))
      SDL_Delay(ms);
  }

private:
  SDL_Window *window = nullptr;
  SDL_Renderer *renderer = nullptr;
  SDL_Texture *texture = nullptr;
  SDL_Cursor *arrow = nullptr;
  int frameW = 0, frameH = 0;
  TScreenFit fit;
  double pixelsPerUnitX = 1, pixelsPerUnitY = 1; // output pixels per window unit
  TFrameScaler scaler;
  std::vector<std::uint32_t> shown; // the frame on the screen
  bool redrawDue = true;            // the screen lost it, or its size changed
  bool textureHolds = false;        // the texture holds the shown frame, scaled
  bool fullScreenNow = true;
  int placeChecks = 0;       // times the full screen may still be put back in place
  bool vsyncOn = false;      // the renderer waits for the refresh now
  bool vsyncToggles = false; // and can be told not to
  pacing::TFramePacer pacer;
  bool focused = true, minimized = false, active = true;
  std::vector<int> releasedBeforeFocusLoss; // key-ups since the last other event
  std::vector<int> heldThroughSwitch;       // keys held when the focus left
  Uint32 resumedAt = 0;

  int displayIndex() const {
    const int index = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
    return index >= 0 ? index : 0;
  }

  // Full screen: the whole desktop. Else a window of the largest whole
  // multiple of the frame that fits the desktop's free area (at least 1x).
  SDL_Rect windowPlace(bool fullScreen) const {
    SDL_Rect bounds{0, 0, frameW, frameH};
    if (fullScreen) {
      SDL_GetDisplayBounds(displayIndex(), &bounds);
      return bounds;
    }
    SDL_Rect usable{0, 0, frameW, frameH};
    SDL_GetDisplayUsableBounds(displayIndex(), &usable);
    const int whole = std::max(1, std::min(usable.w / frameW, usable.h / frameH));
    return SDL_Rect{static_cast<int>(SDL_WINDOWPOS_CENTERED),
                    static_cast<int>(SDL_WINDOWPOS_CENTERED), whole * frameW, whole * frameH};
  }

  // The frame's place in the window as it is now; the texture holds the
  // scaled frame at its final size.
  void refit() {
    int outW = frameW, outH = frameH;
    if (renderer == nullptr || SDL_GetRendererOutputSize(renderer, &outW, &outH) != 0)
      return;
    // The pointer comes in window units, which a high-density screen (or
    // page) has fewer of than pixels.
    int unitsW = outW, unitsH = outH;
    SDL_GetWindowSize(window, &unitsW, &unitsH);
    pixelsPerUnitX = unitsW > 0 ? static_cast<double>(outW) / unitsW : 1;
    pixelsPerUnitY = unitsH > 0 ? static_cast<double>(outH) / unitsH : 1;
    TScreenFit next = FitFrame(frameW, frameH, outW, outH);
    if (texture != nullptr && next.w == fit.w && next.h == fit.h && next.x == fit.x &&
        next.y == fit.y && next.screenW == fit.screenW && next.screenH == fit.screenH)
      return;
    fit = next;
    scaler.Prepare(fit);
    if (texture != nullptr)
      SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                fit.w, fit.h);
    if (texture != nullptr) {
      // Every frame is opaque as drawn, and already at its screen size.
      SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
      SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    }
    textureHolds = false;
    redrawDue = true;
  }

  void fillTextureBlack() {
    void *target = nullptr;
    int pitch = 0;
    if (texture == nullptr || SDL_LockTexture(texture, nullptr, &target, &pitch) != 0)
      return;
    for (int y = 0; y < fit.h; ++y) {
      auto *row = reinterpret_cast<std::uint32_t *>(static_cast<char *>(target) +
                                                    static_cast<std::ptrdiff_t>(y) * pitch);
      std::fill(row, row + fit.w, 0xFF000000u);
    }
    SDL_UnlockTexture(texture);
    textureHolds = true;
  }

  void presentTexture() {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    const SDL_Rect where{fit.x, fit.y, fit.w, fit.h};
    SDL_RenderCopy(renderer, texture, nullptr, &where);
    SDL_RenderPresent(renderer);
    redrawDue = false;
  }

  // The shown frame again, scaled again only when the texture lost it.
  void redraw() {
    refit();
    if (texture == nullptr)
      return;
    if (!textureHolds) {
      show(shown.data(), frameW, frameH, false);
      return;
    }
    presentTexture();
  }

  // Scales the frame into the texture and presents it, centred on black.
  void show(const std::uint32_t *pixels, int width, int height, bool inStepWithRefresh) {
    if (width != frameW || height != frameH) {
      frameW = width;
      frameH = height;
      if (texture != nullptr)
        SDL_DestroyTexture(texture);
      texture = nullptr;
    }
    refit();
    if (texture == nullptr)
      return;
    if (vsyncToggles && inStepWithRefresh != vsyncOn &&
        SDL_RenderSetVSync(renderer, inStepWithRefresh) == 0)
      vsyncOn = inStepWithRefresh;
    void *target = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture, nullptr, &target, &pitch) != 0)
      return;
    scaler.Scale(pixels, static_cast<std::uint32_t *>(target),
                 pitch / static_cast<int>(sizeof(std::uint32_t)));
    SDL_UnlockTexture(texture);
    textureHolds = true;
    presentTexture();
    if (pixels != shown.data())
      shown.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
  }

  // Alt+Enter: full screen and a plain window of whole pixels, in turn.
  void switchFullScreen() {
    if (window == nullptr)
      return;
    fullScreenNow = !fullScreenNow;
    const SDL_Rect place = windowPlace(fullScreenNow);
    if (OnWayland()) {
      SDL_SetWindowFullscreen(window, fullScreenNow ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
      if (!fullScreenNow)
        SDL_SetWindowSize(window, place.w, place.h);
      redrawDue = true;
      return;
    }
    SDL_SetWindowBordered(window, fullScreenNow ? SDL_FALSE : SDL_TRUE);
    SDL_SetWindowSize(window, place.w, place.h);
    SDL_SetWindowPosition(window, place.x, place.y);
    if (fullScreenNow)
      SDL_RaiseWindow(window);
    placeChecks = fullScreenNow ? 4 : 0;
    redrawDue = true;
  }

  // A window manager may place the full screen by where its frame was while
  // the decorations go: it is put back at the desktop's corner, a few times
  // at most, so as never to fight a manager that wants it elsewhere.
  void keepFullScreenInPlace() {
    if (!fullScreenNow || placeChecks <= 0 || window == nullptr)
      return;
    const SDL_Rect place = windowPlace(true);
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &h);
    if (x == place.x && y == place.y && w == place.w && h == place.h)
      return;
    --placeChecks;
    SDL_SetWindowSize(window, place.w, place.h);
    SDL_SetWindowPosition(window, place.x, place.y);
  }

  // The window's icon: the crossed swords of the game's own art.
  void setIcon() {
    const std::optional<TPixmap> art = DecodePngFile(ArtFileName(u".\\IronholdArt\\swords.png"));
    if (!art || art->width <= 0 || art->height <= 0)
      return;
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(art->width) * art->height);
    const int bpp = art->bytesPerPixel();
    for (std::size_t i = 0; i < argb.size(); ++i) {
      const std::uint8_t *p = &art->bytes[i * static_cast<std::size_t>(bpp)];
      const std::uint32_t r = p[0], g = bpp >= 3 ? p[1] : p[0], b = bpp >= 3 ? p[2] : p[0];
      // Black is the art's see-through colour.
      const std::uint32_t a = bpp == 4 ? p[3] : ((r | g | b) != 0 ? 255u : 0u);
      argb[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
    SDL_Surface *icon = SDL_CreateRGBSurfaceWithFormatFrom(
        argb.data(), art->width, art->height, 32, art->width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr)
      return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
  }

  void startVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
      return;
    // A driver named in SDL_VIDEODRIVER is taken as asked, even the
    // offscreen and dummy ones; otherwise only a real session will do, and
    // SDL's silent fall-back to a window nobody can see counts as none.
    const bool driverNamed = environmentHas("SDL_VIDEODRIVER");
    if (!driverNamed) {
      // Only the sessions that are there are tried, so SDL neither probes
      // for others (with messages of their own) nor falls back.
      std::string drivers;
      if (environmentHas("DISPLAY"))
        drivers = "x11";
      if (environmentHas("WAYLAND_DISPLAY"))
        drivers += drivers.empty() ? "wayland" : ",wayland";
      // A system with a desktop of its own (Windows) has that one alone.
      if (!DesktopVideoDriver().empty())
        drivers = DesktopVideoDriver();
      if (drivers.empty())
        stopWithoutDisplay("no X or Wayland session");
      SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    }

    // SDL leaves SIGINT and SIGTERM alone, so they end the program at once;
    // with the desktop's own mode there is nothing to put back.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The game minimises its full screen itself when the focus leaves.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
    SDL_SetHint(SDL_HINT_APP_NAME, kTitle);
    // In a browser the backend hands the page its turns itself, fewer than
    // SDL would (one in every present and every delay).
    SDL_SetHint(SDL_HINT_EMSCRIPTEN_ASYNCIFY, "0");

    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
      stopWithoutDisplay(SDL_GetError());
    const char *driver = SDL_GetCurrentVideoDriver();
    const std::string name = driver != nullptr ? driver : "";
    if (!driverNamed && (name.empty() || name == "offscreen" || name == "dummy"))
      stopWithoutDisplay("no X or Wayland session; SDL offered only \"" + name + "\"");

    static bool exitHandlerInstalled = false;
    if (!exitHandlerInstalled) {
      exitHandlerInstalled = true;
      std::atexit([] {
        Backend().CloseWindow();
        SDL_Quit();
      });
    }
  }

  void emit(std::vector<TBackendEvent> &out, TEventKind kind, int code = 0, int x = 0, int y = 0) {
    TBackendEvent e;
    e.kind = kind;
    e.code = code;
    e.x = x;
    e.y = y;
    out.push_back(e);
  }

  void translate(const SDL_Event &event, std::vector<TBackendEvent> &out) {
    if (event.type != SDL_KEYUP && event.type != SDL_WINDOWEVENT)
      releasedBeforeFocusLoss.clear();
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const int code = KeyCodeFromSdl(event.key.keysym.scancode, event.key.keysym.sym);
      if (code < 1 || code > 255)
        return;
      if (event.type == SDL_KEYUP) {
        releasedBeforeFocusLoss.push_back(code);
        std::erase(heldThroughSwitch, code);
        emit(out, TEventKind::KeyUp, code);
        return;
      }
      releasedBeforeFocusLoss.clear();
      if ((event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER) &&
          (event.key.keysym.mod & KMOD_ALT) != 0 && event.key.repeat == 0 && !WindowFillsPage())
        switchFullScreen(); // the keys still reach the game
      emit(out,
           event.key.repeat != 0 || stillHeldFromBefore(code, event.key.timestamp)
               ? TEventKind::KeyRepeat
               : TEventKind::KeyDown,
           code);
      return;
    }
    case SDL_TEXTINPUT:
      appendUtf8AsUtf16(event.text.text, out);
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      int button = 0;
      if (event.button.button == SDL_BUTTON_LEFT)
        button = 1;
      else if (event.button.button == SDL_BUTTON_RIGHT)
        button = 2;
      else if (event.button.button == SDL_BUTTON_MIDDLE)
        button = 3;
      if (button != 0)
        emit(out, event.type == SDL_MOUSEBUTTONDOWN ? TEventKind::ButtonDown : TEventKind::ButtonUp,
             button);
      return;
    }
    case SDL_MOUSEMOTION:
      // Frame pixels; in the bars they run past the frame.
      emit(out, TEventKind::PointerMove, 0,
           clampToInt16(fit.FrameX(static_cast<int>(event.motion.x * pixelsPerUnitX))),
           clampToInt16(fit.FrameY(static_cast<int>(event.motion.y * pixelsPerUnitY))));
      return;
    case SDL_MOUSEWHEEL: {
      int steps = event.wheel.y;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
        steps = -steps;
      if (steps != 0)
        emit(out, TEventKind::Wheel, steps * 120);
      return;
    }
    case SDL_WINDOWEVENT:
      windowEvent(event.window, out);
      return;
    case SDL_QUIT:
      // SDL's only word that the compositor went away.
      if (WaylandDisplayGone(window))
        onDisplayLost(nullptr);
      emit(out, TEventKind::Close);
      return;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      // The texture's contents are gone: a new one, and the frame again.
      if (texture != nullptr)
        SDL_DestroyTexture(texture);
      texture = nullptr;
      redrawDue = true;
      return;
    default:
      return;
    }
  }

  // Suspend and resume follow the focus passing to and from another
  // program; gaining it while minimised waits for the window to come back.
  void windowEvent(const SDL_WindowEvent &w, std::vector<TBackendEvent> &out) {
    switch (w.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
      focused = false;
      // A full screen steps aside for the other program.
      if (fullScreenNow && window != nullptr)
        SDL_MinimizeWindow(window);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      focused = true;
      redrawDue = true;
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      minimized = true;
      break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      minimized = false;
      redrawDue = true;
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
      redrawDue = true;
      return;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      keepFullScreenInPlace();
      refit();
      redrawDue = true;
      return;
    case SDL_WINDOWEVENT_MOVED:
      keepFullScreenInPlace();
      return;
    case SDL_WINDOWEVENT_CLOSE:
      emit(out, TEventKind::Close);
      return;
    default:
      return;
    }
    if (active && !focused) {
      active = false;
      heldThroughSwitch = releasedBeforeFocusLoss;
      emit(out, TEventKind::Suspend);
    } else if (!active && focused && !minimized) {
      active = true;
      resumedAt = w.timestamp;
      emit(out, TEventKind::Resume);
    }
    releasedBeforeFocusLoss.clear();
  }

  // SDL lets go of the held keys when the focus leaves (their key-ups come
  // right before the focus loss), and a key still held when it comes back
  // then repeats as if pressed anew. Such a key counts as pressed again only
  // after it has been released: a press of it soon after the return is taken
  // for the keyboard's repeat. Soon: the keyboard's first repeat comes after
  // about 660 ms of holding.
  bool stillHeldFromBefore(int code, Uint32 timestamp) {
    if (std::find(heldThroughSwitch.begin(), heldThroughSwitch.end(), code) ==
        heldThroughSwitch.end())
      return false;
    if (!active || timestamp - resumedAt <= 700)
      return true;
    std::erase(heldThroughSwitch, code);
    return false;
  }
};

} // namespace

void SetPresentObserver(TPresentObserver observer) {
  presentObserver = observer;
}

void SetEventObserver(TEventObserver observer) {
  eventObserver = observer;
}

void SetWaitObserver(TWaitObserver observer) {
  waitObserver = observer;
}

TBackend &Backend() {
  // Never destroyed: the exit handlers still use it.
  static TSdlBackend *instance = new TSdlBackend();
  return *instance;
}
