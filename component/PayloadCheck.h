// Checks on a received RTC::TimedDoubleSeq payload before anything decodes it.
//
// A payload is the bare CDR encoding of the struct (alignment counted from its first byte):
// sec and nsec (4 bytes each), the sequence length (4 bytes), then, when the sequence is not
// empty, 4 bytes of padding and 8 bytes per double. A payload whose length announces more
// doubles than its bytes hold would make a decoder allocate for the announced count (4 GiB for
// 0x20000000 values announced in 16 bytes) and read past what arrived.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "util/MessageStream.h"

namespace pelorin {

// sec, nsec and the length of an empty sequence.
inline constexpr std::size_t kSmallestPayload = 12;

struct PayloadCheck {
    bool fits = false;              // the bytes hold every announced value
    std::uint32_t announced = 0;    // the sequence length the payload announces
    std::uint64_t bytesNeeded = 0;  // what a payload announcing that length needs
};

// `littleEndian` is the byte order agreed for the connection.
PayloadCheck checkTimedDoubleSeq(const unsigned char* bytes, std::size_t size, bool littleEndian);

// Reports refused payloads without flooding the console: the first refusal on a connection at
// once, with the connection's name and the reason; later ones on it are counted and reported in
// one line at most every `interval`. A connection quiet for an interval is forgotten. Called
// from any thread; each report goes to `out` in a single write.
class RefusalLog {
  public:
    using Clock = std::chrono::steady_clock;
    explicit RefusalLog(Clock::duration interval = std::chrono::seconds(10))
        : interval_(interval) {}

    void refused(MessageStream& out, const std::string& connection, const PayloadCheck& check,
                 std::size_t size, Clock::time_point now = Clock::now());

  private:
    struct Entry {
        Clock::time_point lastLine;
        unsigned long unreported = 0;
    };
    Clock::duration interval_;
    std::mutex mutex_;
    std::map<std::string, Entry> connections_;
};

}  // namespace pelorin
