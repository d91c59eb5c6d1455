// File streams: files read and written byte for byte through the buffered file
// functions, 32-bit integers little-endian, and the two stream errors.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "text.h"

enum TStreamMode { kStreamReading = 1, kStreamWriting = 2, kStreamReadingAndWriting = 3 };

// The two stream errors. One that nobody catches ends the program: the
// display is closed, the message goes to standard error without a line end,
// and the exit status is -1.
class TStreamException : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
class TStreamReadException : public TStreamException {
public:
  TStreamReadException() : TStreamException("Error reading from stream") {}
};
class TStreamWriteException : public TStreamException {
public:
  TStreamWriteException() : TStreamException("Error writing to stream") {}
};

class TStream {
public:
  virtual ~TStream() = default;

  std::int64_t _pos = 0;  // bytes read or written so far
  std::int64_t _size = 0; // the file's length as this stream knows it
  int mode = 0;           // a TStreamMode; 0 once closed

  // Up to count bytes; the number got or taken, 0 at the end or on a failure.
  virtual std::size_t Read(void *buffer, std::size_t count) = 0;
  virtual std::size_t Write(const void *buffer, std::size_t count) = 0;
  virtual void Flush() = 0;
  virtual void Close() = 0;

  // All count bytes, or the stream error.
  void ReadBytes(void *buffer, std::size_t count);
  void WriteBytes(const void *buffer, std::size_t count);
  std::int32_t ReadInt();
  void WriteInt(std::int32_t value);
};

// A stream over a file of the operating system.
class TCStream : public TStream {
public:
  TCStream(std::FILE *file, int mode, std::int64_t size);
  ~TCStream() override;

  std::size_t Read(void *buffer, std::size_t count) override;
  std::size_t Write(const void *buffer, std::size_t count) override;
  void Flush() override;
  void Close() override;

  // A replacing stream writes into a temporary file beside its target, which
  // takes the target's name only in Commit, once every byte is on the disk.
  void ReplaceOnCommit(std::string temporaryName, std::string targetName);
  // Flushes to the disk and renames over the target; any failure removes the
  // temporary file, leaves the target as it was and raises the write error.
  void Commit();

private:
  std::FILE *file;
  std::string temporaryName, targetName; // empty unless replacing
  bool writeFailed = false;
};

// Streams are held through handles, 0 standing for none.
// An integer as a stream holds it: 4 bytes, least significant first.
// On a little-endian machine that is the integer's own memory, copied whole.
inline void StoreInt(unsigned char *at, std::int32_t value) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(at, &value, 4);
  } else {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
      at[i] = static_cast<unsigned char>(v >> (8 * i));
  }
}
inline std::int32_t LoadInt(const unsigned char *at) {
  if constexpr (std::endian::native == std::endian::little) {
    std::int32_t value;
    std::memcpy(&value, at, 4);
    return value;
  } else {
    return static_cast<std::int32_t>(std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 |
                                     std::uint32_t{at[2]} << 16 | std::uint32_t{at[3]} << 24);
  }
}

int OpenForReading(const TText &path);
int OpenForWriting(const TText &path);
// Writes a whole new file, or leaves the old one as it is: none when the
// temporary file cannot be made (missing or read-only folder) or the file is
// read-only.
int OpenForReplacing(const TText &path);

std::int32_t ReadInt(int stream);
void WriteInt(int stream, std::int32_t value);
void ReadBytes(int stream, void *buffer, std::size_t count);
void WriteBytes(int stream, const void *buffer, std::size_t count);
void Flush(int stream);
void Commit(int stream);
// Flushes and closes; a replacing stream that was not committed leaves no
// trace. A second Close does nothing.
void Close(int stream);

// The stream behind a handle, or nullptr for 0 and unknown handles.
TStream *StreamFromHandle(int stream);

// For tests, until set back to None: Write makes every write take no byte, as
// on a full disk; Sync and Rename make a commit's disk flush or rename fail.
enum class TStreamFault { None, Write, Sync, Rename };
void InjectStreamFault(TStreamFault fault);
