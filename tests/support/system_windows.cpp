// What differs between systems for the tests, on Windows, which has no fork:
// each session runs in this test program started again for the one test,
// which replays the test up to that session and then becomes its child.
//
// The replaying child gets the earlier sessions' results from the files
// their runs left, so the test takes the same path up to the session; it
// works in scratch folders of its own until the session, which then runs in
// the parent's folders and working folder. The session's closures are the
// child's own, made by the same code as the parent's.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/scratch_folder.h"
#include "support/session_child.h"
#include "support/test_system.h"

namespace fs = std::filesystem;

namespace {
const char *const kReplayFolder = "DRAYVANE_SESSION_REPLAY";
const char *const kSessionIndex = "DRAYVANE_SESSION_INDEX";
const char *const kParentWorkingFolder = "DRAYVANE_SESSION_WORKING_FOLDER";
const char *const kParentScratchFolders = "DRAYVANE_SESSION_SCRATCH_FOLDERS";

std::string environment(const char *name) {
  const char *value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::wstring wide(const std::string &utf8) {
  if (utf8.empty())
    return std::wstring();
  const int count =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), count);
  return text;
}

std::string utf8(const std::wstring &text) {
  if (text.empty())
    return std::string();
  const int count = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(count), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), count,
                      nullptr, nullptr);
  return bytes;
}

std::string currentTestName() {
  const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
  if (test == nullptr)
    throw std::logic_error("a session runs only inside a test");
  return std::string(test->test_suite_name()) + "." + test->name();
}

// Sessions are numbered from 0 within each test.
int nextSessionIndex() {
  static std::string test;
  static int next = 0;
  const std::string now = currentTestName();
  if (now != test) {
    test = now;
    next = 0;
  }
  return next++;
}

// The files of session n: its results, its standard error, how it ended,
// and a mark that the child reached it.
fs::path resultsOf(const fs::path &folder, int n) {
  return folder / (std::to_string(n) + ".bin");
}
fs::path errorsOf(const fs::path &folder, int n) {
  return folder / (std::to_string(n) + ".err");
}
fs::path endOf(const fs::path &folder, int n) {
  return folder / (std::to_string(n) + ".end");
}
fs::path reachedOf(const fs::path &folder, int n) {
  return folder / (std::to_string(n) + ".reached");
}
fs::path crashOf(const fs::path &folder, int n) {
  return folder / (std::to_string(n) + ".crash");
}

TSessionResult storedResult(const fs::path &folder, int n) {
  TSessionResult result;
  std::istringstream end(ReadWholeFile(endOf(folder, n)));
  end >> result.exited >> result.exitStatus >> result.signal;
  result.standardError = ReadWholeFile(errorsOf(folder, n));
  ReadSessionResults(resultsOf(folder, n), result);
  return result;
}

// The parent's folder for its sessions' files, gone when the program ends.
// (Never destroyed: the removal at exit still needs its name.)
const fs::path &parentSessionFolder() {
  static const fs::path *folder = [] {
    auto *made = new fs::path(MakeScratchFolder("sessions"));
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(parentSessionFolder(), ignored);
    });
    return made;
  }();
  return *folder;
}

// In the child, where its crash is written: a crash ends the session as a
// signal ends it on POSIX, without waiting on a debugger.
fs::path crashMark;
void markCrash(int signal) {
  std::ofstream(crashMark) << signal;
}
LONG WINAPI onCrash(EXCEPTION_POINTERS *) {
  markCrash(SIGSEGV);
  TerminateProcess(GetCurrentProcess(), 0xC0000005);
  return EXCEPTION_EXECUTE_HANDLER;
}
void onAbort(int) {
  markCrash(SIGABRT);
  TerminateProcess(GetCurrentProcess(), 3);
}

std::vector<std::string> split(const std::string &text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator))
    parts.push_back(part);
  return parts;
}

// A path in one of the child's scratch folders, moved to the parent's folder
// at the same place in the list of live folders.
std::string toParentFolders(const std::string &path) {
  const std::vector<std::string> parents = split(environment(kParentScratchFolders), '|');
  const std::vector<fs::path> &own = LiveScratchFolders();
  for (std::size_t i = 0; i < own.size() && i < parents.size(); ++i) {
    const std::string mine = utf8(own[i].wstring());
    if (path.compare(0, mine.size(), mine) == 0)
      return parents[i] + path.substr(mine.size());
  }
  return path;
}

[[noreturn]] void becomeTheSession(const TSessionOptions &options, const TScript &script,
                                   const fs::path &folder, int n) {
  crashMark = crashOf(folder, n);
  SetUnhandledExceptionFilter(onCrash);
  std::signal(SIGABRT, onAbort);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  // The child's own scratch folders go when it ends.
  static std::vector<fs::path> own;
  own = LiveScratchFolders();
  std::atexit([] {
    std::error_code ignored;
    for (const fs::path &f : own)
      fs::remove_all(f, ignored);
  });
  TSessionOptions moved = options;
  moved.programFolder = toParentFolders(options.programFolder);
  fs::current_path(fs::path(wide(environment(kParentWorkingFolder))));
  std::ofstream(reachedOf(folder, n)) << n;
  std::fflush(stderr);
  if (!_wfreopen(errorsOf(folder, n).wstring().c_str(), L"wb", stderr))
    std::abort();
  RunSessionHere(moved, script, resultsOf(folder, n));
}

std::wstring quoted(const std::wstring &argument) {
  return L"\"" + argument + L"\"";
}
} // namespace

TSessionResult RunInChildProcess(const TSessionOptions &options, const TScript &script) {
  const int n = nextSessionIndex();
  const std::string replay = environment(kReplayFolder);
  if (!replay.empty()) {
    // This program is a session's child, replaying its test.
    const fs::path folder = fs::path(wide(replay));
    const int target = std::atoi(environment(kSessionIndex).c_str());
    if (n < target)
      return storedResult(folder, n);
    becomeTheSession(options, script, folder, n);
  }

  const fs::path &folder = parentSessionFolder();
  for (const fs::path &file : {resultsOf(folder, n), errorsOf(folder, n), endOf(folder, n),
                               reachedOf(folder, n), crashOf(folder, n)})
    fs::remove(file);
  std::string scratch;
  for (const fs::path &f : LiveScratchFolders()) {
    if (!scratch.empty())
      scratch += '|';
    scratch += utf8(f.wstring());
  }
  SetEnvironmentVariableW(wide(kReplayFolder).c_str(), folder.wstring().c_str());
  SetEnvironmentVariableW(wide(kSessionIndex).c_str(), std::to_wstring(n).c_str());
  SetEnvironmentVariableW(wide(kParentWorkingFolder).c_str(), fs::current_path().wstring().c_str());
  SetEnvironmentVariableW(wide(kParentScratchFolders).c_str(), wide(scratch).c_str());

  wchar_t program[MAX_PATH * 4];
  GetModuleFileNameW(nullptr, program, MAX_PATH * 4);
  std::wstring command = quoted(program) + L" " + quoted(L"--gtest_filter=" + wide(currentTestName()));
  // The child's own output goes nowhere; the session's standard error to its file.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nothing = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr);
  STARTUPINFOW start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = start.hStdOutput = start.hStdError = nothing;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(program, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &start, &process);
  for (const char *name : {kReplayFolder, kSessionIndex, kParentWorkingFolder, kParentScratchFolders})
    SetEnvironmentVariableW(wide(name).c_str(), nullptr);
  CloseHandle(nothing);
  if (!started)
    throw std::runtime_error("cannot start the session's child");
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  if (!fs::exists(reachedOf(folder, n)))
    throw std::runtime_error("the session's child did not reach session " + std::to_string(n) +
                             " of " + currentTestName());
  TSessionResult result;
  const std::string crash = ReadWholeFile(crashOf(folder, n));
  result.exited = crash.empty();
  result.exitStatus = result.exited ? static_cast<int>(code & 0xFF) : -1;
  result.signal = result.exited ? 0 : std::atoi(crash.c_str());
  std::ofstream(endOf(folder, n)) << result.exited << ' ' << result.exitStatus << ' '
                                  << result.signal;
  return storedResult(folder, n);
}

fs::path MakeScratchFolder(const std::string &tag) {
  static std::atomic<unsigned> serial{0};
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    fs::path name = base / ("drayvane-" + tag + "-" + std::to_string(GetCurrentProcessId()) +
                            "-" + std::to_string(++serial));
    std::error_code error;
    if (fs::create_directory(name, error))
      return name;
  }
  std::abort(); // no test can run without its folder
}

void EndSessionAfter(unsigned seconds) {
  std::thread([seconds] {
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    markCrash(14); // as SIGALRM ends it on POSIX
    TerminateProcess(GetCurrentProcess(), 1);
  }).detach();
}

std::string FullDevice() {
  return std::string();
}
