// Names of files as every system's file spells them: UTF-8 with '/' between
// folders, and the temporary names of a slot file being replaced.
#pragma once

#include <string>

// The folder part of a name: "." for a bare name, "/" for one in the root.
inline std::string FolderOf(const std::string &name) {
  const std::size_t slash = name.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

// The last part of a name.
inline std::string LeafOf(const std::string &name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

// Whether entry is a temporary name that replacing leaf makes:
// "<leaf>.<digits>-<digits>.tmp" (the copy's process, then its count).
inline bool IsReplacementOf(const std::string &entry, const std::string &leaf) {
  const std::string suffix = ".tmp";
  if (entry.size() <= leaf.size() + 1 + suffix.size() || entry.compare(0, leaf.size(), leaf) != 0 ||
      entry[leaf.size()] != '.' ||
      entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  const std::string middle =
      entry.substr(leaf.size() + 1, entry.size() - leaf.size() - 1 - suffix.size());
  const std::size_t dash = middle.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == middle.size())
    return false;
  for (std::size_t i = 0; i < middle.size(); ++i)
    if (i != dash && (middle[i] < '0' || middle[i] > '9'))
      return false;
  return true;
}
