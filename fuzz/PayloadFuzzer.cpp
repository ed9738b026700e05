// One sample arriving on the "doubleValue" in-port: the octets of a put on its "corba_cdr"
// connection, taken by the connection's endpoint as the ORB hands them over, checked, decoded
// and buffered. An input's first byte chooses the connection's byte order (bit 0 set:
// little-endian); the rest is the payload.
//
// Whatever a peer sends, the port must neither crash nor allocate beyond the payload, and must
// store exactly what a plain decoding of an RTC::TimedDoubleSeq finds (time stamp, length at byte
// 8, doubles from byte 16, trailing bytes allowed) and refuse everything else. The decoder on its
// own must agree in the other byte order too.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "rtcrt/CdrDecoder.h"
#include "rtcrt/InPortCdrEndpoint.h"
#include "rtm/InPort.h"

namespace {

using pelorin::fuzz::check;

struct PlainSample {
    bool valid = false;
    std::uint32_t sec = 0;
    std::uint32_t nsec = 0;
    std::vector<double> data;
};

std::uint64_t readUnsigned(const unsigned char* p, int bytes, bool little) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= std::uint64_t{p[little ? i : bytes - 1 - i]} << (8 * i);
    }
    return value;
}

PlainSample decodePlainly(const unsigned char* bytes, std::size_t size, bool little) {
    PlainSample sample;
    if (size > pelorin::rtcrt::kMaxCdrPayloadBytes || size < 12) return sample;
    const std::uint64_t length = readUnsigned(bytes + 8, 4, little);
    if (length > 0 && 16 + 8 * length > size) return sample;
    sample.valid = true;
    sample.sec = static_cast<std::uint32_t>(readUnsigned(bytes, 4, little));
    sample.nsec = static_cast<std::uint32_t>(readUnsigned(bytes + 4, 4, little));
    for (std::uint64_t i = 0; i < length; ++i) {
        const std::uint64_t bits = readUnsigned(bytes + 16 + 8 * i, 8, little);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        sample.data.push_back(value);
    }
    return sample;
}

bool sameSample(const RTC::TimedDoubleSeq& value, const PlainSample& plain) {
    if (value.tm.sec != plain.sec || value.tm.nsec != plain.nsec ||
        value.data.length() != plain.data.size()) {
        return false;
    }
    for (CORBA::ULong i = 0; i < value.data.length(); ++i) {
        const double element = value.data[i];
        if (std::memcmp(&element, &plain.data[i], sizeof element) != 0) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool little = (data[0] & 1) != 0;
    auto* payload = const_cast<CORBA::Octet*>(data + 1);
    const auto length = static_cast<CORBA::ULong>(size - 1);
    // The octets stay where libFuzzer put them, so reading past them is caught.
    const OpenRTM::CdrData octets(length, length, payload, false);

    // A fresh port and connection for each input, so that an input replays alone.
    RTC::TimedDoubleSeq bound;
    RTC::InPort<RTC::TimedDoubleSeq> port("doubleValue", bound);
    pelorin::rtcrt::InPortCdrEndpoint endpoint(port, "doubleValue, fuzz input");
    endpoint.setLittleEndian(little);
    const OpenRTM::PortStatus status = endpoint.put(octets);
    const PlainSample plain = decodePlainly(payload, length, little);
    check((status == OpenRTM::PORT_OK) == plain.valid, "accepted exactly the sound payloads");
    if (plain.valid) {
        check(port.read() && sameSample(bound, plain), "stored what the payload holds");
    }

    RTC::TimedDoubleSeq other;
    const bool decoded = pelorin::rtcrt::decodeCdr(payload, length, !little, other);
    const PlainSample otherPlain = decodePlainly(payload, length, !little);
    check(decoded == otherPlain.valid, "the other byte order: decoded exactly the sound payloads");
    if (decoded) check(sameSample(other, otherPlain), "the other byte order: decoded values");
    return 0;
}
