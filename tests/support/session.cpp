// Headless game sessions: the session's own run in its child process, and
// its results handed back through a file.
#include "session.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "game/startup.h"
#include "platform/backends/headless/headless_backend.h"
#include "support/session_child.h"

namespace {
struct TChildRun {
  std::string resultPath;
  std::vector<std::int64_t> keep;
  std::function<std::string()> atEnd;
  std::function<void(std::int64_t)> onPresent;
  std::vector<TPresentInfo> presents;
  std::map<std::int64_t, std::vector<std::uint32_t>> frames;
};
TChildRun *child = nullptr;

void put64(std::ostream &out, std::uint64_t v) {
  out.write(reinterpret_cast<char *>(&v), 8);
}
std::uint64_t get64(std::istream &in) {
  std::uint64_t v = 0;
  in.read(reinterpret_cast<char *>(&v), 8);
  return v;
}
void putText(std::ostream &out, const std::string &s) {
  put64(out, s.size());
  out.write(s.data(), static_cast<std::streamsize>(s.size()));
}
std::string getText(std::istream &in) {
  std::string s(get64(in), '\0');
  in.read(s.data(), static_cast<std::streamsize>(s.size()));
  return s;
}

void writeChildResults() {
  if (!child)
    return;
  std::ofstream out(child->resultPath, std::ios::binary);
  putText(out, child->atEnd ? child->atEnd() : std::string());
  put64(out, child->presents.size());
  for (const TPresentInfo &p : child->presents) {
    put64(out, static_cast<std::uint64_t>(p.index));
    put64(out, p.inStepWithRefresh);
    put64(out, p.atMs);
    put64(out, static_cast<std::uint64_t>(p.frame));
    put64(out, p.hash);
  }
  const auto &sleeps = Headless().sleeps();
  put64(out, sleeps.size());
  for (std::uint32_t s : sleeps)
    put64(out, s);
  const auto &last = Headless().lastPresentedFrame();
  if (!last.empty())
    child->frames[-1] = last;
  put64(out, child->frames.size());
  for (const auto &[index, pixels] : child->frames) {
    put64(out, static_cast<std::uint64_t>(index));
    put64(out, pixels.size());
    out.write(reinterpret_cast<const char *>(pixels.data()),
              static_cast<std::streamsize>(pixels.size() * 4));
  }
  out.flush();
}

} // namespace

std::string ReadWholeFile(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::uint64_t FrameHash(const std::uint32_t *pixels, std::size_t count) {
  std::uint64_t h = 14695981039346656037ull;
  for (std::size_t i = 0; i < count; ++i) {
    for (int shift : {16, 8, 0}) {
      h ^= (pixels[i] >> shift) & 255;
      h *= 1099511628211ull;
    }
  }
  return h;
}

void RunSessionHere(const TSessionOptions &options, const TScript &script,
                    const std::filesystem::path &resultPath) {
  static TChildRun run;
  run.resultPath = resultPath.string();
  run.keep = options.keepFrames;
  run.atEnd = options.atEnd;
  run.onPresent = options.onPresent;
  child = &run;
  THeadlessBackend &backend = Headless();
  backend.Reset();
  backend.SetScript(script);
  backend.SetProgramFolder(options.programFolder.empty() ? std::string(DRAYVANE_ART_DIR "/..")
                                                         : options.programFolder);
  backend.SetPresentHook([](const std::uint32_t *pixels, int w, int h, const TPresentRecord &r) {
    const std::size_t count = static_cast<std::size_t>(w) * h;
    child->presents.push_back(
        {r.index, r.inStepWithRefresh, r.atMs, r.frame, FrameHash(pixels, count)});
    for (std::int64_t k : child->keep)
      if (k == r.frame)
        child->frames[k].assign(pixels, pixels + count);
    if (child->onPresent)
      child->onPresent(r.index);
  });
  std::atexit(writeChildResults);
  if (options.beforeStart)
    options.beforeStart();
  if (options.entry)
    options.entry();
  else
    game::startUp();
  std::exit(0);
}

void ReadSessionResults(const std::filesystem::path &resultPath, TSessionResult &result) {
  std::ifstream in(resultPath, std::ios::binary);
  if (!in)
    return;
  result.report = getText(in);
  std::uint64_t n = get64(in);
  for (std::uint64_t i = 0; i < n && in; ++i) {
    TPresentInfo p;
    p.index = static_cast<std::int64_t>(get64(in));
    p.inStepWithRefresh = get64(in) != 0;
    p.atMs = static_cast<std::uint32_t>(get64(in));
    p.frame = static_cast<std::int64_t>(get64(in));
    p.hash = get64(in);
    result.presents.push_back(p);
  }
  n = get64(in);
  for (std::uint64_t i = 0; i < n && in; ++i)
    result.sleeps.push_back(static_cast<std::uint32_t>(get64(in)));
  n = get64(in);
  for (std::uint64_t i = 0; i < n && in; ++i) {
    auto index = static_cast<std::int64_t>(get64(in));
    std::vector<std::uint32_t> pixels(get64(in));
    in.read(reinterpret_cast<char *>(pixels.data()),
            static_cast<std::streamsize>(pixels.size() * 4));
    result.frames[index] = std::move(pixels);
  }
}

TSessionResult RunSession(const TSessionOptions &options) {
  std::string error;
  std::optional<TScript> script = ParseScript(options.script, &error);
  if (!script)
    throw std::invalid_argument("bad session script: " + error);
  std::fflush(nullptr);
  return RunInChildProcess(options, *script);
}
