// The facets of one mesh, one after another in one block of memory, as GL takes them.
//
// A mesh grows while its file is read, in bounded steps and only as far as facets have actually
// been read or are about to be written, never to a count a file merely announces. A small array
// lives on the heap; a large one has a mapping of its own that the kernel extends in place or
// moves by its page tables (mremap), so growing never copies the facets and a load never holds
// a mesh twice. A mapping of 2 MiB or more starts on a huge-page boundary and asks for
// transparent huge pages, which makes its first filling markedly cheaper. Memory that cannot be had
// is reported by a false return; nothing throws.
//
// Not thread-safe; a loaded mesh is only read, from any thread.
#pragma once

#include <cstddef>

#include "mesh/Triangle.h"

namespace pelorin {

class TriangleArray {
  public:
    TriangleArray() = default;
    ~TriangleArray();
    TriangleArray(TriangleArray&& other) noexcept;
    TriangleArray& operator=(TriangleArray&& other) noexcept;
    TriangleArray(const TriangleArray&) = delete;
    TriangleArray& operator=(const TriangleArray&) = delete;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t capacity() const { return capacity_; }
    const Triangle* data() const { return data_; }
    Triangle* data() { return data_; }
    const Triangle* begin() const { return data_; }
    const Triangle* end() const { return data_ + size_; }
    Triangle* begin() { return data_; }
    Triangle* end() { return data_ + size_; }
    const Triangle& operator[](std::size_t i) const { return data_[i]; }
    Triangle& operator[](std::size_t i) { return data_[i]; }

    // Room for at least `count` facets in all. The room may grow by more than asked, but by at
    // most kMaxStepBytes beyond it. False, with nothing changed, when the memory is not there.
    bool reserve(std::size_t count);
    // Appends one facet; false, with nothing changed, when the memory is not there.
    bool push_back(const Triangle& facet);
    // Makes the first `count` facets of the room after end() part of the array; the caller has
    // written them. count <= capacity() - size().
    void appendReserved(std::size_t count);
    // Keeps the first `count` facets (count <= size()).
    void truncate(std::size_t count);
    // Gives back the room beyond size().
    void shrinkToFit();
    // The memory the array holds: its room, in whole pages for a mapping.
    std::size_t bytesHeld() const;

    // The largest step by which the room grows beyond what is asked for.
    static constexpr std::size_t kMaxStepBytes = std::size_t{64} << 20;

  private:
    bool moveTo(std::size_t bytes);
    std::size_t roomBytes() const;
    void release();

    Triangle* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    bool mapped_ = false;  // the room is a mapping of its own rather than heap memory
};

}  // namespace pelorin
