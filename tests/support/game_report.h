// The game's globals as "name=value" lines, made in a session's child and read back.
#pragma once

#include <map>
#include <string>

// Every game global and the random state, one "name=value" line each.
std::string GameStateReport();

// Parses such lines; a name that is missing reads as -999999.
class TReport {
public:
  explicit TReport(const std::string &text);
  long long operator[](const std::string &name) const;

private:
  std::map<std::string, long long> values;
};
