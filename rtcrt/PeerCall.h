// Calls to another process that survive a connection left over from a process that ended.
//
// The ORB keeps its connection to an address after the last call. When the process there ends
// and another one starts at the same address (a component restarted on a fixed port, or an
// ephemeral port used again) before that connection is closed as idle, the next call on it fails
// with COMM_FAILURE without having reached anyone: omniORB retries such a call by itself only
// when no call time-out is set, and the framework's configuration always sets one.
#pragma once

#include <omniORB4/CORBA.h>

namespace pelorin::rtcrt {

// Runs `call`, and once more when it fails with COMM_FAILURE (the failed connection is closed by
// then, so the second attempt opens a new one). Other exceptions pass through.
template <class Call>
auto callPeer(Call&& call) -> decltype(call()) {
    try {
        return call();
    } catch (const CORBA::COMM_FAILURE&) {
        return call();
    }
}

}  // namespace pelorin::rtcrt
