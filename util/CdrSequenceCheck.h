// The one check of a Timed*Seq payload's announced sequence length against the bytes that
// arrived, before anything decodes it.
//
// The payload is the bare CDR encoding of the struct, aligned from its first byte: the 8-byte
// time stamp, the 4-byte length n at offset 8, then (only when n > 0) n elements from the next
// multiple of their alignment. A length announcing more elements than the bytes hold would make
// a decoder allocate for the announced count and read past what arrived; omniORB multiplies n by
// the element size in 32 bits, so 0x20000000 doubles in 16 bytes pass its own check and it asks
// for 4 GiB. This check counts in 64 bits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelorin {

// The time stamp and the length of an empty sequence.
inline constexpr std::size_t kCdrSequenceHeaderBytes = 12;

struct CdrSequenceCheck {
    bool fits = false;              // the bytes hold every announced element
    std::uint32_t announced = 0;    // the sequence length the payload announces
    std::uint64_t bytesNeeded = 0;  // what a payload announcing that length needs
};

// `littleEndian` is the byte order agreed for the connection. A payload shorter than the header
// (or none) does not fit and announces nothing.
CdrSequenceCheck checkCdrSequenceLength(const unsigned char* bytes, std::size_t size,
                                        bool littleEndian, std::size_t elementSize,
                                        std::size_t alignment);

}  // namespace pelorin
