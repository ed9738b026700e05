// Checks on a received RTC::TimedDoubleSeq payload before anything decodes it: sec and nsec,
// the sequence length, then, when the sequence is not empty, 4 bytes of padding and 8 bytes per
// double (see util/CdrSequenceCheck.h).
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>

#include "util/CdrSequenceCheck.h"
#include "util/MessageStream.h"
#include "util/RefusalCounter.h"

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

// Reports refused payloads without flooding the console: the first refusal on a connection at
// once, with the connection's name and the reason; later ones on it are counted and reported in
// one line at most every `interval`. A connection quiet for an interval is forgotten. Called
// from any thread; each report goes to `out` in a single write.
class RefusalLog {
  public:
    using Clock = RefusalCounter::Clock;
    explicit RefusalLog(Clock::duration interval = std::chrono::seconds(10))
        : interval_(interval) {}

    void refused(MessageStream& out, const std::string& connection, const PayloadCheck& check,
                 std::size_t size, Clock::time_point now = Clock::now());

  private:
    Clock::duration interval_;
    std::mutex mutex_;
    std::map<std::string, RefusalCounter> connections_;
};

}  // namespace pelorin
