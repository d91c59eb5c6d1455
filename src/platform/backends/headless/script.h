// Scripted input for headless runs: one event a line, each at a chosen frame.
//
//   # comments and blank lines are ignored
//   <frame> <event> [arguments]
//
// <frame> counts 60ths of a second of game time: presented frames, plus one
// more for every 1000 input polls made without presenting (so loops that only
// poll, such as waiting for a button's release, see the script go on).
// Events of one frame are delivered together at the first poll of that frame.
//
//   keydown K | keyup K | keyrepeat K | tap K   (tap: down and up together)
//   buttondown B | buttonup B                    (1 left, 2 right, 3 middle)
//   click X Y                                    (move, button 1 down; up one frame later)
//   move X Y | wheel UNITS | char CODE
//   focuslost | focusgained | close
//   end                                          (the run ends at this frame)
//
// A key K is one character (a letter or a main-row digit: Q, 7), a name
// (Escape Enter Space Tab Backspace Left Up Right Down Kp0..Kp9 KpEnter
// LShift RShift LControl RControl LAlt RAlt F1..F12), or a key code of two
// or more digits (27). Without an end line the run ends one frame after the
// last event.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend.h"

struct TScriptEvent {
  std::int64_t frame = 0;
  TBackendEvent event;
};

struct TScript {
  std::vector<TScriptEvent> events; // in frame order
  std::int64_t endFrame = 0;
};

// Parses a script; on a bad line returns nothing and names the line in error.
std::optional<TScript> ParseScript(const std::string &text, std::string *error = nullptr);

// The key code of a key token, or -1.
int KeyCodeFromName(const std::string &token);
