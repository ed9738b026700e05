#include "tools/send/CdrEncoding.h"

#include <cstring>

namespace pelorin::send {
namespace {

class CdrWriter {
  public:
    explicit CdrWriter(ByteOrder order) : order_(order) {}

    void putULong(std::uint32_t value) {
        align(4);
        putBytes(&value, sizeof value);
    }

    void putDouble(double value) {
        align(8);
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        putBytes(&bits, sizeof bits);
    }

    std::vector<std::uint8_t> take() { return std::move(bytes_); }

  private:
    // Padding bytes are zero; receivers skip them without looking.
    void align(std::size_t boundary) {
        while (bytes_.size() % boundary != 0) bytes_.push_back(0);
    }

    // `data` holds an integer in host order; written least significant byte first or last.
    template <typename T>
    void putBytes(const T* data, std::size_t size) {
        const T value = *data;
        for (std::size_t i = 0; i < size; ++i) {
            const std::size_t shift = 8 * (order_ == ByteOrder::Little ? i : size - 1 - i);
            bytes_.push_back(static_cast<std::uint8_t>((value >> shift) & 0xffu));
        }
    }

    ByteOrder order_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::vector<std::uint8_t> encodeTimedDoubleSeq(std::uint32_t sec, std::uint32_t nsec,
                                               const std::vector<double>& values, ByteOrder order) {
    CdrWriter writer(order);
    writer.putULong(sec);
    writer.putULong(nsec);
    writer.putULong(static_cast<std::uint32_t>(values.size()));
    for (double value : values) writer.putDouble(value);
    return writer.take();
}

}  // namespace pelorin::send
