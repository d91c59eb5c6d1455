// What differs between systems for the tests, on POSIX: each session runs in
// a fork of the test program, scratch folders live under /tmp.
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "support/scratch_folder.h"
#include "support/session_child.h"
#include "support/test_system.h"

TSessionResult RunInChildProcess(const TSessionOptions &options, const TScript &script) {
  const std::filesystem::path folder = MakeScratchFolder("session");
  const std::filesystem::path resultPath = folder / "result.bin";
  const std::filesystem::path errorPath = folder / "stderr.txt";

  pid_t pid = fork();
  if (pid < 0)
    throw std::runtime_error("fork failed");
  if (pid == 0) {
    int fd = open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) {
      dup2(fd, 2);
      close(fd);
    }
    RunSessionHere(options, script, resultPath);
  }

  int status = 0;
  waitpid(pid, &status, 0);
  TSessionResult result;
  result.exited = WIFEXITED(status);
  result.exitStatus = result.exited ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  result.standardError = ReadWholeFile(errorPath);
  ReadSessionResults(resultPath, result);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return result;
}

std::filesystem::path MakeScratchFolder(const std::string &tag) {
  std::string name = "/tmp/drayvane-" + tag + "-XXXXXX";
  if (!mkdtemp(name.data()))
    std::abort(); // no test can run without its folder
  return name;
}

void EndSessionAfter(unsigned seconds) {
  alarm(seconds);
}

std::string FullDevice() {
  return "/dev/full";
}
