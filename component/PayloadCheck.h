// Checks on a received RTC::TimedDoubleSeq payload before anything decodes it: sec and nsec,
// the sequence length, then, when the sequence is not empty, 4 bytes of padding and 8 bytes per
// double (see util/CdrSequenceCheck.h).
#pragma once

#include <cstddef>
#include <string>

#include "util/CdrSequenceCheck.h"
#include "util/MessageStream.h"
#include "util/RefusalLog.h"

namespace pelorin {

// sec, nsec and the length of an empty sequence.
inline constexpr std::size_t kSmallestPayload = kCdrSequenceHeaderBytes;

using PayloadCheck = CdrSequenceCheck;

// `littleEndian` is the byte order agreed for the connection.
inline PayloadCheck checkTimedDoubleSeq(const unsigned char* bytes, std::size_t size,
                                        bool littleEndian) {
    constexpr std::size_t kCdrDoubleBytes = 8;  // size and alignment on the wire, whatever the host
    return checkCdrSequenceLength(bytes, size, littleEndian, kCdrDoubleBytes, kCdrDoubleBytes);
}

// A payload of `size` bytes refused on `connection`, counted in `log` (the port's): the first
// refusal on a connection is reported at once with the connection's name and the reason, later
// ones in a counted line at most once a period. Any thread; each report goes to `out` in a
// single write.
void reportRefusedPayload(RefusalLog& log, MessageStream& out, const std::string& connection,
                          const PayloadCheck& check, std::size_t size,
                          RefusalLog::Clock::time_point now = RefusalLog::Clock::now());

}  // namespace pelorin
