// Inside the test support: what the per-system child runners share with the
// session code that is the same everywhere.
#pragma once

#include <filesystem>
#include <string>

#include "platform/backends/headless/script.h"
#include "support/session.h"

// Runs the session in this process, which is its child, and ends it: the
// results go to resultPath at exit.
[[noreturn]] void RunSessionHere(const TSessionOptions &options, const TScript &script,
                                 const std::filesystem::path &resultPath);
// Fills in what a child wrote to resultPath (nothing if it wrote nothing).
void ReadSessionResults(const std::filesystem::path &resultPath, TSessionResult &result);
std::string ReadWholeFile(const std::filesystem::path &path);

// Runs the session in a child process and waits for its end (one file per
// system: a fork on POSIX, this test program started again on Windows).
TSessionResult RunInChildProcess(const TSessionOptions &options, const TScript &script);
