#include "util/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pelorin {

std::size_t MemorySource::read(void* into, std::size_t bytes) {
    const std::size_t count = std::min(bytes, bytes_.size() - position_);
    if (count > 0) std::memcpy(into, bytes_.data() + position_, count);
    position_ += count;
    return count;
}

bool MemorySource::rewind() {
    position_ = 0;
    return true;
}

std::size_t StreamSource::read(void* into, std::size_t bytes) {
    in_->read(static_cast<char*>(into), static_cast<std::streamsize>(bytes));
    return static_cast<std::size_t>(in_->gcount());
}

InputFile::~InputFile() {
    close();
}

void InputFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
    position_ = 0;
}

OpenStatus InputFile::open(const std::string& path) {
    close();
    // Look first: opening a device can act on it (a tape rewinds, a modem line drops), and a
    // socket does not open at all.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return OpenStatus::NotRegularFile;
    }
    // O_NONBLOCK: should the path have become a FIFO since, opening it still returns at once.
    // Reads from a regular file never block, so the flag may stay.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENXIO ? OpenStatus::NotRegularFile : OpenStatus::CannotOpen;
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return OpenStatus::CannotOpen;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return OpenStatus::NotRegularFile;
    }
    fd_ = fd;
    size_ = static_cast<std::uintmax_t>(info.st_size);
    return OpenStatus::Ok;
}

std::size_t InputFile::read(void* into, std::size_t bytes) {
    std::size_t done = 0;
    auto* out = static_cast<unsigned char*>(into);
    while (fd_ >= 0 && done < bytes) {
        const ssize_t got = ::read(fd_, out + done, bytes - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
        position_ += static_cast<std::uintmax_t>(got);
        // A read that comes short at the size the file had is its end: no call to confirm it.
        if (done < bytes && position_ >= size_) break;
    }
    return done;
}

bool InputFile::rewind() {
    if (fd_ < 0 || ::lseek(fd_, 0, SEEK_SET) != 0) return false;
    position_ = 0;
    return true;
}

OpenStatus checkInputFile(const std::string& path) {
    InputFile file;
    return file.open(path);
}

bool acceptInputFile(const std::string& path, MessageStream& out, const InputFileRefusal& texts) {
    const OpenStatus status = checkInputFile(path);
    if (status == OpenStatus::Ok) return true;
    out.msg(texts.open).raw(path);
    out.msg(status == OpenStatus::NotRegularFile ? texts.notRegularClose : texts.cannotOpenClose);
    out.flush();
    return false;
}

}  // namespace pelorin
