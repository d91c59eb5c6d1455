// Saves onto a small file system of its own (Linux: a tmpfs mounted in a
// private view of the mounts), which never lose the old design.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "slot_files.h"

namespace {
struct TMountCase {
  const char *name;
  const char *size; // of the file system: 3 MB hold one slot file only
  bool readOnly;    // remounted read-only once the old design is in
  bool otherUser;   // the save runs as a user who may not write the old file
};
class SavesOnASmallDisk : public SlotFiles, public ::testing::WithParamInterface<TMountCase> {};
} // namespace

TEST_P(SavesOnASmallDisk, KeepTheOldDesign) {
  // A small file system of its own, mounted in a child's private view of the
  // mounts; the injected failures above stand in where mounting is not allowed.
  const TBytes old = handMadeFile(0, 25, 11);
  markTheGrids();
  std::fflush(nullptr);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", art.c_str(), "tmpfs", 0, GetParam().size) != 0)
      _exit(77);
    writeFile(art / "saved1.sdx", old);
    if (GetParam().readOnly &&
        mount(nullptr, art.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
      _exit(77);
    if (GetParam().otherUser &&
        (chmod(art.c_str(), 0777) != 0 || chmod(folder.c_str(), 0755) != 0 || setuid(65534) != 0))
      _exit(77);
    saveDesign(1);
    const bool kept = readFile(art / "saved1.sdx") == old;
    const bool alone = FolderListing(art) == std::vector<std::string>{"saved1.sdx"};
    _exit(kept && alone ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << "the save ended the program";
  if (WEXITSTATUS(status) == 77)
    GTEST_SKIP() << "no small file system can be mounted here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the old file changed or a temporary file stayed";
}

INSTANTIATE_TEST_SUITE_P(Disks, SavesOnASmallDisk,
                         ::testing::Values(TMountCase{"Full", "size=3m", false, false},
                                           TMountCase{"ReadOnly", "size=8m", true, false},
                                           TMountCase{"AnotherUsersFile", "size=8m", false, true}),
                         [](const ::testing::TestParamInfo<TMountCase> &info) {
                           return info.param.name;
                         });

