// File streams over the buffered file functions, their handles, and the end
// of the program on a stream error that nobody catches.
#include "stream.h"

#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "program.h"

namespace {
std::map<int, std::unique_ptr<TStream>> streams;
int lastHandle = 0;
TStreamFault injectedFault = TStreamFault::None;

std::terminate_handler previousTerminate = nullptr;

// Reached when a thrown error finds no handler.
[[noreturn]] void endOnUncaughtStreamError() {
  if (std::exception_ptr error = std::current_exception()) {
    try {
      std::rethrow_exception(error);
    } catch (const TStreamException &streamError) {
      EndProgramWithError(streamError.what());
    } catch (...) {
    }
  }
  if (previousTerminate)
    previousTerminate();
  std::abort();
}

template <typename TError> [[noreturn]] void raise() {
  static bool installed = false;
  if (!installed) {
    installed = true;
    previousTerminate = std::set_terminate(endOnUncaughtStreamError);
  }
  throw TError();
}

int keep(std::unique_ptr<TStream> stream) {
  streams[++lastHandle] = std::move(stream);
  return lastHandle;
}

std::int64_t fileLength(std::FILE *file) {
  struct stat info {};
  return fstat(fileno(file), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : 0;
}

std::string folderOf(const std::string &name) {
  const std::size_t slash = name.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

void syncFolder(const std::string &folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  fsync(fd);
  close(fd);
}
} // namespace

void TStream::ReadBytes(void *buffer, std::size_t count) {
  auto *at = static_cast<unsigned char *>(buffer);
  while (count > 0) {
    std::size_t got = Read(at, count);
    if (got == 0)
      raise<TStreamReadException>();
    at += got;
    count -= got;
  }
}

void TStream::WriteBytes(const void *buffer, std::size_t count) {
  auto *at = static_cast<const unsigned char *>(buffer);
  while (count > 0) {
    std::size_t taken = Write(at, count);
    if (taken == 0)
      raise<TStreamWriteException>();
    at += taken;
    count -= taken;
  }
}

std::int32_t TStream::ReadInt() {
  unsigned char bytes[4];
  ReadBytes(bytes, 4);
  return LoadInt(bytes);
}

void TStream::WriteInt(std::int32_t value) {
  unsigned char bytes[4];
  StoreInt(bytes, value);
  WriteBytes(bytes, 4);
}

TCStream::TCStream(std::FILE *file, int mode, std::int64_t size) : file(file) {
  this->mode = mode;
  _size = size;
}

TCStream::~TCStream() {
  Close();
}

std::size_t TCStream::Read(void *buffer, std::size_t count) {
  if (!file || (mode & kStreamReading) == 0)
    return 0;
  std::size_t got = std::fread(buffer, 1, count, file);
  _pos += static_cast<std::int64_t>(got);
  return got;
}

std::size_t TCStream::Write(const void *buffer, std::size_t count) {
  if (!file || (mode & kStreamWriting) == 0)
    return 0;
  if (injectedFault == TStreamFault::Write) {
    writeFailed = true;
    errno = ENOSPC;
    return 0;
  }
  std::size_t taken = std::fwrite(buffer, 1, count, file);
  if (taken < count)
    writeFailed = true;
  _pos += static_cast<std::int64_t>(taken);
  if (_pos > _size)
    _size = _pos;
  return taken;
}

void TCStream::Flush() {
  if (file)
    std::fflush(file);
}

void TCStream::Close() {
  if (!file)
    return;
  std::fclose(file);
  file = nullptr;
  if (!temporaryName.empty())
    unlink(temporaryName.c_str()); // never committed: the target keeps its old bytes
  temporaryName.clear();
  _pos = 0;
  _size = 0;
  mode = 0;
}

void TCStream::ReplaceOnCommit(std::string temporary, std::string target) {
  temporaryName = std::move(temporary);
  targetName = std::move(target);
}

void TCStream::Commit() {
  if (!file || temporaryName.empty())
    return;
  // Only a file that is whole on the disk may take the target's name.
  bool whole = !writeFailed && std::fflush(file) == 0 && std::ferror(file) == 0;
  whole = whole && injectedFault != TStreamFault::Sync && fsync(fileno(file)) == 0;
  whole = std::fclose(file) == 0 && whole;
  file = nullptr;
  whole = whole && injectedFault != TStreamFault::Rename &&
          std::rename(temporaryName.c_str(), targetName.c_str()) == 0;
  if (!whole)
    unlink(temporaryName.c_str());
  else
    syncFolder(folderOf(targetName)); // the new name itself survives a power cut
  temporaryName.clear();
  _pos = 0;
  _size = 0;
  mode = 0;
  if (!whole)
    raise<TStreamWriteException>();
}

int OpenForReading(const TText &path) {
  std::FILE *file = std::fopen(FileNameFromPath(path).c_str(), "rb");
  if (!file)
    return 0;
  struct stat info {};
  if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(file);
    return 0;
  }
  return keep(std::make_unique<TCStream>(file, kStreamReading, fileLength(file)));
}

int OpenForWriting(const TText &path) {
  std::FILE *file = std::fopen(FileNameFromPath(path).c_str(), "wb");
  if (!file)
    return 0;
  return keep(std::make_unique<TCStream>(file, kStreamWriting, 0));
}

int OpenForReplacing(const TText &path) {
  const std::string target = FileNameFromPath(path);
  mode_t fileMode = 0666;
  bool keepMode = false;
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) {
    // A file the player made read-only stays as it is, also for a user whom
    // the system would let write it.
    if (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 ||
        faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
      return 0;
    fileMode = info.st_mode & 07777;
    keepMode = true;
  }
  static unsigned serial = 0;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = target + "." + std::to_string(getpid()) + "-" + std::to_string(++serial) + ".tmp";
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST)
      return 0;
  }
  if (fd < 0)
    return 0;
  if (keepMode)
    fchmod(fd, fileMode); // the new file keeps the permissions of the old one
  std::FILE *file = fdopen(fd, "wb");
  if (!file) {
    close(fd);
    unlink(temporary.c_str());
    return 0;
  }
  auto stream = std::make_unique<TCStream>(file, kStreamWriting, 0);
  stream->ReplaceOnCommit(temporary, target);
  return keep(std::move(stream));
}

TStream *StreamFromHandle(int stream) {
  auto found = streams.find(stream);
  return found == streams.end() ? nullptr : found->second.get();
}

namespace {
TStream &streamOrClosed(int stream) {
  // Reads and writes on no stream fail like those on a closed one.
  static TCStream closed(nullptr, 0, 0);
  TStream *found = StreamFromHandle(stream);
  return found ? *found : closed;
}
} // namespace

std::int32_t ReadInt(int stream) {
  return streamOrClosed(stream).ReadInt();
}

void WriteInt(int stream, std::int32_t value) {
  streamOrClosed(stream).WriteInt(value);
}

void ReadBytes(int stream, void *buffer, std::size_t count) {
  streamOrClosed(stream).ReadBytes(buffer, count);
}

void WriteBytes(int stream, const void *buffer, std::size_t count) {
  streamOrClosed(stream).WriteBytes(buffer, count);
}

void Flush(int stream) {
  streamOrClosed(stream).Flush();
}

void Commit(int stream) {
  if (auto *c = dynamic_cast<TCStream *>(StreamFromHandle(stream)))
    c->Commit();
}

void Close(int stream) {
  // The closed stream keeps its handle, so that a second Close finds it closed.
  streamOrClosed(stream).Close();
}

void InjectStreamFault(TStreamFault fault) {
  injectedFault = fault;
}
