// Decoding of the octets a "corba_cdr" connection carries: the bare CDR encoding of one data
// value, without byte-order octet, aligned from byte 0, in the byte order chosen for the
// connection when it was set up.
#pragma once

#include <omniORB4/CORBA.h>

#include <cstddef>
#include <new>
#include <type_traits>

#include "rtm/idl/BasicDataTypeSkel.h"
#include "util/CdrSequenceCheck.h"

namespace pelorin::rtcrt {

// Payloads above this size are refused without decoding. It bounds what one sample may allocate.
inline constexpr std::size_t kMaxCdrPayloadBytes = std::size_t{1} << 24;

// Why a payload was refused.
enum class CdrFault {
    None,
    Oversized,            // larger than kMaxCdrPayloadBytes
    LengthBeyondPayload,  // the sequence announces more elements than the bytes hold
    Malformed,            // the stream could not decode it (short, or an invalid value)
};

// Size and alignment of the elements of a sequence omniORB copies as one block (doubles, longs,
// ...); zero for any other sequence.
template <class Sequence>
struct BlockElement {
    static constexpr std::size_t size = 0;
    static constexpr std::size_t alignment = 1;
};
template <class Element, int Size, int Alignment>
struct BlockElement<_CORBA_Unbounded_Sequence_w_FixSizeElement<Element, Size, Alignment>> {
    static constexpr std::size_t size = Size;
    static constexpr std::size_t alignment = Alignment;
};

// The element layout of a data type made of a time stamp `tm` and a sequence `data` (the Timed*Seq
// types); zero element size for every other type.
template <class DataType, class = void>
struct TimedSequenceLayout : BlockElement<void> {};
template <class DataType>
struct TimedSequenceLayout<DataType,
                           std::enable_if_t<std::is_same_v<decltype(DataType::tm), RTC::Time>>>
    : BlockElement<decltype(DataType::data)> {};

// Fills `value` from `bytes` and returns true; on a short, oversized or malformed payload
// returns false, says why in `fault` (when given) and leaves `value` in an unspecified but
// valid state. Nothing larger than the payload is allocated. Any thread.
template <class DataType>
bool decodeCdr(const unsigned char* bytes, std::size_t size, bool littleEndian, DataType& value,
               CdrFault* fault = nullptr) {
    CdrFault found = CdrFault::None;
    using Layout = TimedSequenceLayout<DataType>;
    if (size > kMaxCdrPayloadBytes) {
        found = CdrFault::Oversized;
    } else if (Layout::size > 0 &&
               !checkCdrSequenceLength(bytes, size, littleEndian, Layout::size, Layout::alignment)
                    .fits) {
        found = CdrFault::LengthBeyondPayload;
    } else {
        try {
            // Copying into a fresh stream gives an 8-aligned buffer, so alignment counts from
            // byte 0 of the payload whatever the sequence's own buffer address is.
            cdrMemoryStream stream(static_cast<CORBA::ULong>(size));
            stream.put_octet_array(bytes, static_cast<int>(size));
            stream.rewindInputPtr();
            stream.setByteSwapFlag(littleEndian);
            value <<= stream;
        } catch (const CORBA::SystemException&) {
            found = CdrFault::Malformed;
        } catch (const std::bad_alloc&) {
            found = CdrFault::Malformed;
        }
    }
    if (fault != nullptr) *fault = found;
    return found == CdrFault::None;
}

}  // namespace pelorin::rtcrt
