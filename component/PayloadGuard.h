// Guards the in-port against received payloads whose sequence length announces more values than
// their bytes hold (see PayloadCheck.h), where the framework decodes payloads itself.
//
// Built against an installed OpenRTM-aist, the framework decodes a payload with a decoder that
// trusts the announced length: 0x20000000 values announced in 16 bytes make it reserve 4 GiB,
// and on a big-endian connection it also writes all of it (byte-swapping values that never
// arrived). It decodes each payload as it arrives, in the holder of the port's data listeners
// (for its own time-stamp listeners, before any listener of the component runs), and again when
// the component reads; and it reports a read as successful even when decoding failed.
//
// GuardedInPort therefore keeps the framework's port but gives it a plain listener holder, which
// hands listeners the bytes undecoded; the time-stamp listeners go with the typed holder (Pelorin
// never reads a sample's time). Its first listener checks each payload as it arrives, before it
// is stored: a refused one is reported and replaced by a single byte, which the decoder rejects
// before it touches the port's variable. A second listener sees each entry as it is read, so
// the component learns which reads decoded nothing.
//
// The bundled runtime checks payloads itself, before it stores them, and answers the sender
// with an error; there GuardedInPort is the plain port and every read counts as decoded.
#pragma once

// The data types come first, as in Pelorin.h.
#include <rtm/idl/BasicDataTypeSkel.h>

#include <rtm/InPort.h>

namespace pelorin {

class PayloadGuard {
  public:
    // Reads the port's next entry; false when that entry was refused, and the port's variable
    // therefore still holds what an earlier read left. Execution context's thread only.
    template <typename Port>
    bool read(Port& port) {
        lastReadDecoded_ = true;
        port.read();
        return lastReadDecoded_;
    }

    // For the port's listeners.
    void entryRead(bool decoded) { lastReadDecoded_ = decoded; }

  private:
    bool lastReadDecoded_ = true;
};

class GuardedInPort : public RTC::InPort<RTC::TimedDoubleSeq> {
  public:
    // `guard` must outlive the port.
    GuardedInPort(const char* name, RTC::TimedDoubleSeq& value, PayloadGuard& guard);
};

}  // namespace pelorin
