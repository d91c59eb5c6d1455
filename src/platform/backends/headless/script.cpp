// Parsing of the headless backend's input scripts.
#include "script.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

namespace {
bool parseInt(const std::string &token, long long &out) {
  if (token.empty())
    return false;
  std::size_t used = 0;
  try {
    out = std::stoll(token, &used, 10);
  } catch (...) {
    return false;
  }
  return used == token.size();
}

const std::map<std::string, int> &namedKeys() {
  static const std::map<std::string, int> keys = [] {
    std::map<std::string, int> k = {
        {"escape", 27},    {"enter", 13},     {"space", 32},   {"tab", 9},
        {"backspace", 8},  {"left", 37},      {"up", 38},      {"right", 39},
        {"down", 40},      {"kpenter", 13},   {"lshift", 160}, {"rshift", 161},
        {"lcontrol", 162}, {"rcontrol", 163}, {"lalt", 164},   {"ralt", 165},
    };
    for (int i = 0; i <= 9; ++i)
      k[std::string("kp").append(std::to_string(i))] = 96 + i;
    for (int i = 1; i <= 12; ++i)
      k[std::string("f").append(std::to_string(i))] = 111 + i;
    return k;
  }();
  return keys;
}
} // namespace

int KeyCodeFromName(const std::string &token) {
  if (token.size() == 1) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(token[0])));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
      return c;
    return -1;
  }
  long long code = 0;
  if (parseInt(token, code))
    return code >= 1 && code <= 255 ? static_cast<int>(code) : -1;
  std::string lower = token;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  auto it = namedKeys().find(lower);
  return it == namedKeys().end() ? -1 : it->second;
}

std::optional<TScript> ParseScript(const std::string &text, std::string *error) {
  TScript script;
  bool haveEnd = false;
  std::istringstream lines(text);
  std::string line;
  int lineNumber = 0;
  auto fail = [&](const std::string &why) -> std::optional<TScript> {
    if (error) {
      std::ostringstream message;
      message << "line " << lineNumber << ": " << why << ": " << line;
      *error = message.str();
    }
    return std::nullopt;
  };
  while (std::getline(lines, line)) {
    ++lineNumber;
    std::string content = line.substr(0, line.find('#'));
    std::istringstream words(content);
    std::vector<std::string> w;
    for (std::string word; words >> word;)
      w.push_back(word);
    if (w.empty())
      continue;
    long long frame = 0;
    if (!parseInt(w[0], frame) || frame < 0 || frame > 100000000)
      return fail("a line starts with its frame number");
    if (w.size() < 2)
      return fail("no event");
    const std::string &kind = w[1];
    auto need = [&](std::size_t n) { return w.size() == n + 2; };
    auto add = [&](std::int64_t at, TEventKind k, int code = 0, int x = 0, int y = 0) {
      script.events.push_back({at, TBackendEvent{k, code, x, y}});
    };
    long long a = 0, b = 0;
    if (kind == "keydown" || kind == "keyup" || kind == "keyrepeat" || kind == "tap") {
      if (!need(1))
        return fail("one key expected");
      int code = KeyCodeFromName(w[2]);
      if (code < 0)
        return fail("unknown key");
      if (kind == "keydown" || kind == "tap")
        add(frame, TEventKind::KeyDown, code);
      if (kind == "keyrepeat")
        add(frame, TEventKind::KeyRepeat, code);
      if (kind == "keyup" || kind == "tap")
        add(frame, TEventKind::KeyUp, code);
    } else if (kind == "buttondown" || kind == "buttonup") {
      if (!need(1) || !parseInt(w[2], a) || a < 1 || a > 3)
        return fail("a button 1 to 3 expected");
      add(frame, kind == "buttondown" ? TEventKind::ButtonDown : TEventKind::ButtonUp,
          static_cast<int>(a));
    } else if (kind == "move" || kind == "click") {
      if (!need(2) || !parseInt(w[2], a) || !parseInt(w[3], b) || a < -32768 || a > 32767 ||
          b < -32768 || b > 32767)
        return fail("x and y expected");
      add(frame, TEventKind::PointerMove, 0, static_cast<int>(a), static_cast<int>(b));
      if (kind == "click") {
        add(frame, TEventKind::ButtonDown, 1);
        add(frame + 1, TEventKind::ButtonUp, 1);
      }
    } else if (kind == "wheel" || kind == "char") {
      if (!need(1) || !parseInt(w[2], a) || a < -1000000 || a > 1000000)
        return fail("a number expected");
      add(frame, kind == "wheel" ? TEventKind::Wheel : TEventKind::Character, static_cast<int>(a));
    } else if (kind == "focuslost" || kind == "focusgained" || kind == "close") {
      if (!need(0))
        return fail("no arguments expected");
      add(frame, kind == "focuslost"     ? TEventKind::Suspend
                 : kind == "focusgained" ? TEventKind::Resume
                                         : TEventKind::Close);
    } else if (kind == "end") {
      if (!need(0))
        return fail("no arguments expected");
      haveEnd = true;
      script.endFrame = frame;
    } else {
      return fail("unknown event");
    }
  }
  std::stable_sort(script.events.begin(), script.events.end(),
                   [](const TScriptEvent &x, const TScriptEvent &y) { return x.frame < y.frame; });
  if (!haveEnd)
    script.endFrame = script.events.empty() ? 1 : script.events.back().frame + 1;
  return script;
}
