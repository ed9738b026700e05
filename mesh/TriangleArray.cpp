#include "mesh/TriangleArray.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace pelorin {
namespace {

// Below this the heap serves, so that a small mesh does not hold a page of its own; above it a
// mapping does, which grows without copying.
constexpr std::size_t kMappingThreshold = std::size_t{256} << 10;
constexpr std::size_t kFirstRoom = 16;  // facets

// Rooms of at least this size are placed on a huge-page boundary and ask for huge pages.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t pageSize() {
    static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

std::size_t roundUpToPage(std::size_t bytes) {
    const std::size_t page = pageSize();
    return (bytes + page - 1) / page * page;
}

// A fresh mapping of `bytes` (whole pages). Memory touched for the first time is most of what
// filling a big mesh costs, and a page fault per 4 KiB is most of that: so a big room starts on
// a huge-page boundary and asks for huge pages (the flag stays with the mapping when it grows).
// Where the system gives none, the room is an ordinary mapping.
void* mapRoom(std::size_t bytes) {
    constexpr int kProtection = PROT_READ | PROT_WRITE;
    constexpr int kFlags = MAP_PRIVATE | MAP_ANONYMOUS;
    if (bytes < kHugePage) return mmap(nullptr, bytes, kProtection, kFlags, -1, 0);
    void* area = mmap(nullptr, bytes + kHugePage, kProtection, kFlags, -1, 0);
    if (area == MAP_FAILED) return area;
    const auto first = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t start = (first + kHugePage - 1) / kHugePage * kHugePage;
    if (start > first) munmap(area, start - first);
    const std::uintptr_t end = first + bytes + kHugePage;
    if (end > start + bytes) munmap(reinterpret_cast<void*>(start + bytes), end - start - bytes);
    auto* room = reinterpret_cast<void*>(start);
    madvise(room, bytes, MADV_HUGEPAGE);
    return room;
}

}  // namespace

TriangleArray::~TriangleArray() {
    release();
}

TriangleArray::TriangleArray(TriangleArray&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

TriangleArray& TriangleArray::operator=(TriangleArray&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        mapped_ = std::exchange(other.mapped_, false);
    }
    return *this;
}

void TriangleArray::release() {
    if (mapped_) {
        munmap(data_, roomBytes());
    } else {
        std::free(data_);
    }
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
    mapped_ = false;
}

std::size_t TriangleArray::roomBytes() const {
    const std::size_t bytes = capacity_ * sizeof(Triangle);
    return mapped_ ? roundUpToPage(bytes) : bytes;
}

std::size_t TriangleArray::bytesHeld() const {
    return roomBytes();
}

bool TriangleArray::reserve(std::size_t count) {
    if (count <= capacity_) return true;
    constexpr std::size_t kMaxCount = (SIZE_MAX - kMaxStepBytes) / sizeof(Triangle) / 2;
    if (count > kMaxCount) return false;
    // Doubling keeps the number of steps small; the cap keeps any one step bounded.
    const std::size_t step =
        std::min(std::max(capacity_, kFirstRoom), kMaxStepBytes / sizeof(Triangle));
    return moveTo(std::max(count, capacity_ + step) * sizeof(Triangle));
}

// Makes the room `bytes` long (at least size_ facets): heap memory for a small room, a mapping
// for a large one. False, with nothing changed, when the memory is not there.
bool TriangleArray::moveTo(std::size_t bytes) {
    const std::size_t used = size_ * sizeof(Triangle);
    void* room = nullptr;
    if (bytes < kMappingThreshold) {
        if (bytes > 0) {
            room = mapped_ ? std::malloc(bytes) : std::realloc(data_, bytes);
            if (room == nullptr) return false;
        }
        if (mapped_) {
            if (used > 0) std::memcpy(room, data_, used);
            munmap(data_, roomBytes());
        } else if (bytes == 0) {
            std::free(data_);
        }
    } else {
        bytes = roundUpToPage(bytes);
        if (mapped_) {
            room = mremap(data_, roomBytes(), bytes, MREMAP_MAYMOVE);
        } else {
            room = mapRoom(bytes);
            if (room != MAP_FAILED) {
                if (used > 0) std::memcpy(room, data_, used);
                std::free(data_);
            }
        }
        if (room == MAP_FAILED) return false;
    }
    data_ = static_cast<Triangle*>(room);
    capacity_ = bytes / sizeof(Triangle);
    mapped_ = bytes >= kMappingThreshold;
    return true;
}

bool TriangleArray::push_back(const Triangle& facet) {
    if (size_ == capacity_ && !reserve(size_ + 1)) return false;
    data_[size_++] = facet;
    return true;
}

void TriangleArray::appendReserved(std::size_t count) {
    size_ += std::min(count, capacity_ - size_);
}

void TriangleArray::truncate(std::size_t count) {
    size_ = std::min(count, size_);
}

void TriangleArray::shrinkToFit() {
    const std::size_t bytes = size_ * sizeof(Triangle);
    const std::size_t wanted = bytes < kMappingThreshold ? bytes : roundUpToPage(bytes);
    // Should even a smaller room not be had, the array simply keeps the room it has.
    if (wanted < roomBytes()) moveTo(wanted);
}

}  // namespace pelorin
