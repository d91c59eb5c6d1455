// The real window: an SDL2 window and renderer that show the finished frames,
// its input events turned into the game's, and SDL's clock.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/backend.h"
#include "sdl_keymap.h"

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

class TSdlBackend final : public TBackend {
public:
  std::string ProgramFolder() override {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
      return {};
    return exe.parent_path().string();
  }

  bool OpenWindow(int width, int height, bool fullScreen, int hertz) override {
    CloseWindow();
    startVideo();

    Uint32 flags = SDL_WINDOW_SHOWN;
    // The desktop's own mode, no mode switch: nothing to restore at exit,
    // however the program ends.
    if (fullScreen)
      flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                              flags);
    if (window == nullptr)
      stopWithoutDisplay(SDL_GetError());
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (renderer == nullptr)
      renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (renderer == nullptr)
      stopWithoutDisplay(SDL_GetError());
    // SDL's software renderer cannot turn its vertical sync off again once
    // on, so it gets none: the clock check in Present paces it alone.
    SDL_RendererInfo info;
    vsyncToggles = SDL_GetRendererInfo(renderer, &info) == 0 &&
                   (info.flags & SDL_RENDERER_SOFTWARE) == 0 &&
                   SDL_RenderSetVSync(renderer, 1) == 0;
    vsyncOn = vsyncToggles;

    // The frame fills the screen, centred; by whole pixels when the screen
    // has room for twice the frame, else as large as it fits, with bars.
    SDL_RenderSetLogicalSize(renderer, width, height);
    int outW = 0, outH = 0;
    if (SDL_GetRendererOutputSize(renderer, &outW, &outH) == 0)
      SDL_RenderSetIntegerScale(renderer,
                                outW >= 2 * width && outH >= 2 * height ? SDL_TRUE : SDL_FALSE);

    arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (arrow != nullptr)
      SDL_SetCursor(arrow);
    SDL_ShowCursor(SDL_ENABLE);

    // Half a millisecond over the period, so that the caller's own clock,
    // read a moment after ours (perhaps after being kept waiting for the
    // processor), also never sees less than a period.
    const Uint64 frequency = SDL_GetPerformanceFrequency();
    refreshPeriod = frequency / static_cast<Uint64>(hertz > 0 ? hertz : 60) + frequency / 2000;
    lastInStepPresent = 0;
    focused = true; // the game starts as the active program
    minimized = false;
    active = true;
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
  }

  void Present(const std::uint32_t *pixels, int width, int height,
               bool inStepWithRefresh) override {
    if (renderer == nullptr || pixels == nullptr || width <= 0 || height <= 0)
      return;
    if (!makeTexture(width, height))
      return;
    if (vsyncToggles && inStepWithRefresh != vsyncOn &&
        SDL_RenderSetVSync(renderer, inStepWithRefresh) == 0)
      vsyncOn = inStepWithRefresh;
    SDL_UpdateTexture(texture, nullptr, pixels, width * static_cast<int>(sizeof(std::uint32_t)));
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    if (!inStepWithRefresh)
      return;
    // A present that came back before a whole refresh period (no real
    // vertical sync, or an early one) waits out the rest itself.
    Uint64 now = SDL_GetPerformanceCounter();
    if (lastInStepPresent != 0 && now - lastInStepPresent < refreshPeriod) {
      waitUntil(lastInStepPresent + refreshPeriod);
      now = SDL_GetPerformanceCounter();
    }
    lastInStepPresent = now;
  }

  void MovePointer(int x, int y) override {
    if (window == nullptr || renderer == nullptr)
      return;
    int wx = 0, wy = 0;
    SDL_RenderLogicalToWindow(renderer, static_cast<float>(x), static_cast<float>(y), &wx, &wy);
    SDL_WarpMouseInWindow(window, wx, wy);
  }

  void PumpEvents(std::vector<TBackendEvent> &out) override {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
      return;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
      translate(event, out);
  }

  void WaitForEvent(int timeoutMs) override {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
      SleepMilliseconds(static_cast<std::uint32_t>(timeoutMs > 0 ? timeoutMs : 0));
      return;
    }
    SDL_WaitEventTimeout(nullptr, timeoutMs);
  }

  std::uint32_t Milliseconds() override { return SDL_GetTicks(); }
  void SleepMilliseconds(std::uint32_t ms) override { SDL_Delay(ms); }

private:
  SDL_Window *window = nullptr;
  SDL_Renderer *renderer = nullptr;
  SDL_Texture *texture = nullptr;
  SDL_Cursor *arrow = nullptr;
  int textureW = 0, textureH = 0;
  bool vsyncOn = false;      // the renderer waits for the refresh now
  bool vsyncToggles = false; // and can be told not to
  Uint64 refreshPeriod = 0;
  Uint64 lastInStepPresent = 0;
  bool focused = true, minimized = false, active = true;
  std::vector<int> releasedBeforeFocusLoss; // key-ups since the last other event
  std::vector<int> heldThroughSwitch;       // keys held when the focus left
  Uint32 resumedAt = 0;

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
      if (drivers.empty())
        stopWithoutDisplay("no X or Wayland session");
      SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    }

    // SDL leaves SIGINT and SIGTERM alone, so they end the program at once;
    // with the desktop's own mode there is nothing to put back.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "1");
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    SDL_SetHint(SDL_HINT_APP_NAME, kTitle);

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

  bool makeTexture(int width, int height) {
    if (texture != nullptr && textureW == width && textureH == height)
      return true;
    if (texture != nullptr)
      SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                width, height);
    if (texture == nullptr)
      return false;
    // Every frame is opaque as drawn: no blending with the cleared target.
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    textureW = width;
    textureH = height;
    return true;
  }

  void waitUntil(Uint64 target) {
    const Uint64 frequency = SDL_GetPerformanceFrequency();
    for (;;) {
      const Uint64 now = SDL_GetPerformanceCounter();
      if (now >= target)
        return;
      const Uint64 leftMs = (target - now) * 1000 / frequency;
      if (leftMs >= 2)
        SDL_Delay(static_cast<Uint32>(leftMs - 1)); // the last millisecond is spun
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
      // SDL already gives logical pixels; in the bars they run past the frame.
      emit(out, TEventKind::PointerMove, 0, clampToInt16(event.motion.x),
           clampToInt16(event.motion.y));
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
      emit(out, TEventKind::Close);
      return;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      // The texture's contents are gone; the next present makes a new one.
      if (texture != nullptr)
        SDL_DestroyTexture(texture);
      texture = nullptr;
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
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      focused = true;
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      minimized = true;
      break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      minimized = false;
      break;
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

TBackend &Backend() {
  // Never destroyed: the exit handlers still use it.
  static TSdlBackend *instance = new TSdlBackend();
  return *instance;
}
