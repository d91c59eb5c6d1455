// The plain version the game's idle cost is held against: a bare SDL2 loop
// that uploads and presents one unchanging 1024 x 768 frame 60 times a second
// in a borderless window over the whole desktop, SDL scaling it to fit.
// Runs until killed. Needs a display (DISPLAY and SDL_VIDEODRIVER=x11).
#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

int main() {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "bare_present_loop: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Rect desktop{0, 0, 1024, 768};
  SDL_GetDisplayBounds(0, &desktop);
  SDL_Window *window =
      SDL_CreateWindow("bare present loop", 0, 0, desktop.w, desktop.h, SDL_WINDOW_BORDERLESS);
  SDL_Renderer *renderer =
      window != nullptr ? SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC) : nullptr;
  if (renderer == nullptr) {
    std::fprintf(stderr, "bare_present_loop: %s\n", SDL_GetError());
    return 1;
  }
  SDL_RenderSetLogicalSize(renderer, 1024, 768);
  SDL_Texture *texture =
      SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, 1024, 768);
  std::vector<std::uint32_t> frame(1024 * 768);
  for (std::size_t i = 0; i < frame.size(); ++i)
    frame[i] = 0xFF000000u | static_cast<std::uint32_t>((i * 2654435761u) & 0x3F3F3Fu);
  std::printf("ready\n");
  std::fflush(stdout);
  auto next = std::chrono::steady_clock::now();
  for (;;) {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
      if (event.type == SDL_QUIT)
        return 0;
    SDL_UpdateTexture(texture, nullptr, frame.data(), 1024 * 4);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    // Xvfb has no refresh to wait for: the clock keeps it to 60 a second.
    next += std::chrono::microseconds(16667);
    std::this_thread::sleep_until(next);
  }
}
