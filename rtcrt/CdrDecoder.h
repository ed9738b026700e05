// Decoding of the octets a "corba_cdr" connection carries: the bare CDR encoding of one data
// value, without byte-order octet, aligned from byte 0, in the byte order chosen for the
// connection when it was set up.
#pragma once

#include <omniORB4/CORBA.h>

#include <cstddef>
#include <new>

namespace pelorin::rtcrt {

// Payloads above this size are refused without decoding. It bounds what one sample may
// allocate; sequences whose announced length exceeds the bytes present are refused by the
// stream itself.
inline constexpr std::size_t kMaxCdrPayloadBytes = std::size_t{1} << 24;

// Fills `value` from `bytes` and returns true; on a short, oversized or malformed payload
// returns false and leaves `value` in an unspecified but valid state. Any thread.
template <class DataType>
bool decodeCdr(const unsigned char* bytes, std::size_t size, bool littleEndian, DataType& value) {
    if (size > kMaxCdrPayloadBytes) return false;
    try {
        // Copying into a fresh stream gives an 8-aligned buffer, so alignment counts from byte
        // 0 of the payload whatever the sequence's own buffer address is.
        cdrMemoryStream stream(static_cast<CORBA::ULong>(size));
        stream.put_octet_array(bytes, static_cast<int>(size));
        stream.rewindInputPtr();
        stream.setByteSwapFlag(littleEndian);
        value <<= stream;
        return true;
    } catch (const CORBA::SystemException&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace pelorin::rtcrt
