// Input read front to back in pieces, from a file or from memory, and the opening of input files
// (the setting file, meshes) that never blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

#include "util/MessageStream.h"

namespace pelorin {

// Bytes read front to back.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Copies up to `bytes` bytes to `into` and returns how many; fewer only at the end of the
    // input. A read error ends the input as its end does.
    virtual std::size_t read(void* into, std::size_t bytes) = 0;
    // Goes back to the first byte; false when the source cannot.
    virtual bool rewind() = 0;
};

// Bytes in memory, which must outlive the source: tests and fuzz targets feed readers with it.
class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::size_t read(void* into, std::size_t bytes) override;
    bool rewind() override;

  private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

// A stream that the caller owns; it cannot go back.
class StreamSource : public ByteSource {
  public:
    explicit StreamSource(std::istream& in) : in_(&in) {}
    std::size_t read(void* into, std::size_t bytes) override;
    bool rewind() override { return false; }

  private:
    std::istream* in_;
};

enum class OpenStatus {
    Ok,
    CannotOpen,      // missing, unreadable, or no path at all
    NotRegularFile,  // a FIFO, directory, device or socket
};

// A regular file open for reading; a symbolic link to one is followed. Anything else is refused
// without waiting on it: opening a FIFO for reading would otherwise block until a writer comes.
class InputFile : public ByteSource {
  public:
    InputFile() = default;
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens `path` (closing a file opened before). Any thread.
    OpenStatus open(const std::string& path);
    // The size in bytes when the file was opened.
    std::uintmax_t size() const { return size_; }
    std::size_t read(void* into, std::size_t bytes) override;
    bool rewind() override;

  private:
    void close();

    int fd_ = -1;
    std::uintmax_t size_ = 0;
    std::uintmax_t position_ = 0;
};

// Whether `path` opens as an InputFile; the file is opened and closed again. Every program checks
// a path it is given (setting file, rtc.conf) with this before anything else opens it.
OpenStatus checkInputFile(const std::string& path);

// The texts that name a refused file, each followed by a line end where the program wants one:
// open + path + cannotOpenClose, or open + path + notRegularClose.
struct InputFileRefusal {
    std::string_view open;
    std::string_view cannotOpenClose;
    std::string_view notRegularClose;
};

// checkInputFile, saying why on `out` (then flushed) when the file is refused. True when usable.
bool acceptInputFile(const std::string& path, MessageStream& out, const InputFileRefusal& texts);

}  // namespace pelorin
