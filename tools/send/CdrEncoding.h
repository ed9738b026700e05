// The payload an OutPort puts on a "corba_cdr" connection for RTC::TimedDoubleSeq: the bare CDR
// encoding of the struct (no byte-order octet, alignment counted from byte 0), in the byte order
// agreed for the connection.
#pragma once

#include <cstdint>
#include <vector>

namespace pelorin::send {

enum class ByteOrder { Little, Big };

// sec, nsec, length, 4 padding bytes when length > 0, then the doubles: 16 + 8n bytes, or 12
// bytes for an empty sequence.
std::vector<std::uint8_t> encodeTimedDoubleSeq(std::uint32_t sec, std::uint32_t nsec,
                                               const std::vector<double>& values, ByteOrder order);

}  // namespace pelorin::send
