// Typed data in-port: InPort<T> bound to a variable of the component.
//
// Received samples go into a ring buffer (`bufsize` entries, the oldest overwritten when full);
// `read` takes the newest entry, passes over older unread ones, and copies it into the bound
// variable. Writes never block. `put` runs on ORB threads, `isNew`/`read` on the execution
// context's thread; the buffer has its own lock.
#pragma once

#include <deque>
#include <mutex>
#include <string>

#include "rtcrt/CdrDecoder.h"
#include "rtm/InPortBase.h"

namespace RTC {

namespace detail {
// The repository ID of a data type, taken from its TypeCode ("IDL:RTC/TimedDoubleSeq:1.0").
template <class DataType>
std::string repositoryIdOf() {
    CORBA::Any any;
    any <<= DataType();
    CORBA::TypeCode_var type = any.type();
    return type->id();
}
}  // namespace detail

template <class DataType>
class InPort : public InPortBase {
  public:
    // The blocking flags and time-outs are accepted for source compatibility with older
    // framework versions; reads and writes never block here.
    InPort(const char* name, DataType& value, int bufsize = 64, bool read_block = false,
           bool write_block = false, int read_timeout = 0, int write_timeout = 0)
        : InPortBase(name, detail::repositoryIdOf<DataType>().c_str()),
          value_(value),
          capacity_(bufsize > 0 ? static_cast<size_t>(bufsize) : 1) {
        (void)read_block;
        (void)write_block;
        (void)read_timeout;
        (void)write_timeout;
    }

    bool isNew() override {
        std::lock_guard<std::mutex> lock(bufferMutex_);
        return fresh_;
    }

    bool isEmpty() override {
        std::lock_guard<std::mutex> lock(bufferMutex_);
        return buffer_.empty();
    }

    bool read(std::string name = "") override {
        (void)name;
        std::lock_guard<std::mutex> lock(bufferMutex_);
        if (buffer_.empty()) return false;
        value_ = buffer_.back();
        fresh_ = false;
        return true;
    }

    void operator>>(DataType& rhs) {
        read();
        rhs = value_;
    }

  protected:
    pelorin::rtcrt::CdrFault storeCdr(const OpenRTM::CdrData& data, bool littleEndian) override {
        DataType sample;
        pelorin::rtcrt::CdrFault fault = pelorin::rtcrt::CdrFault::None;
        if (!pelorin::rtcrt::decodeCdr(data.get_buffer(), data.length(), littleEndian, sample,
                                       &fault)) {
            return fault;
        }
        std::lock_guard<std::mutex> lock(bufferMutex_);
        if (buffer_.size() >= capacity_) buffer_.pop_front();
        buffer_.push_back(std::move(sample));
        fresh_ = true;
        return fault;
    }

  private:
    DataType& value_;
    size_t capacity_;
    std::mutex bufferMutex_;
    std::deque<DataType> buffer_;
    bool fresh_ = false;
};

}  // namespace RTC
