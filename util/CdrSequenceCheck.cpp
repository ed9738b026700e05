#include "util/CdrSequenceCheck.h"

namespace pelorin {
namespace {

constexpr std::size_t kLengthOffset = 8;  // after the time stamp

std::uint32_t readULong(const unsigned char* at, bool littleEndian) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < 4; ++i) {
        const unsigned shift = littleEndian ? 8u * i : 8u * (3u - i);
        value |= static_cast<std::uint32_t>(at[i]) << shift;
    }
    return value;
}

}  // namespace

CdrSequenceCheck checkCdrSequenceLength(const unsigned char* bytes, std::size_t size,
                                        bool littleEndian, std::size_t elementSize,
                                        std::size_t alignment) {
    CdrSequenceCheck check;
    check.bytesNeeded = kCdrSequenceHeaderBytes;
    if (bytes == nullptr || size < kCdrSequenceHeaderBytes) return check;
    check.announced = readULong(bytes + kLengthOffset, littleEndian);
    if (check.announced > 0) {
        const std::uint64_t step = alignment > 1 ? alignment : 1;
        const std::uint64_t start = (kCdrSequenceHeaderBytes + step - 1) / step * step;
        check.bytesNeeded = start + std::uint64_t{elementSize} * check.announced;
    }
    check.fits = size >= check.bytesNeeded;
    return check;
}

}  // namespace pelorin
