// File streams over the buffered file functions, their handles, and the end
// of the program on a stream error that nobody catches.
#include "stream.h"

#include <cerrno>
#include <exception>
#include <map>
#include <memory>

#include "folders.h"
#include "program.h"
#include "system/system.h"

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
  if (!temporaryName.empty())
    CloseAndDiscard(file, temporaryName); // never committed: the target keeps its old bytes
  else
    std::fclose(file);
  file = nullptr;
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
  whole = whole && injectedFault != TStreamFault::Sync && FlushToDisk(file);
  if (whole && injectedFault != TStreamFault::Rename)
    whole = CloseAndReplace(file, temporaryName, targetName);
  else {
    CloseAndDiscard(file, temporaryName);
    whole = false;
  }
  file = nullptr;
  temporaryName.clear();
  _pos = 0;
  _size = 0;
  mode = 0;
  if (!whole)
    raise<TStreamWriteException>();
}

int OpenForReading(const TText &path) {
  std::int64_t length = 0;
  std::FILE *file = OpenFileForReading(SavedFileName(path), length);
  if (!file)
    return 0;
  return keep(std::make_unique<TCStream>(file, kStreamReading, length));
}

int OpenForWriting(const TText &path) {
  std::FILE *file = OpenFileForWriting(SavedFileNameForWriting(path));
  if (!file)
    return 0;
  return keep(std::make_unique<TCStream>(file, kStreamWriting, 0));
}

int OpenForReplacing(const TText &path) {
  const std::string target = SavedFileNameForWriting(path);
  // What an earlier copy of the game left when it stopped mid-save goes now.
  RemoveStaleReplacements(target);
  std::string temporary;
  std::FILE *file = OpenReplacement(target, temporary);
  if (!file)
    return 0;
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
