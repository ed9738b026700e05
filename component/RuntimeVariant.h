// What Pelorin does differently on the two runtimes it builds against. CMake compiles exactly
// one of RuntimeBundled.cpp (the bundled runtime) and RuntimeOpenRtm.cpp (an installed
// OpenRTM-aist); each calls its runtime's interface directly, so a runtime that changes it
// fails to compile instead of quietly losing the behaviour.
#pragma once

// The data types come first, as in Pelorin.h.
#include <rtm/idl/BasicDataTypeSkel.h>

#include <rtm/DataFlowComponentBase.h>
#include <rtm/InPortBase.h>

namespace pelorin {

// Port settings: a ring of 64 sequences, neither reading nor writing ever waits. A full ring
// overwrites its oldest entry, because only the newest pose matters. Before the port is added.
void configureInPort(RTC::InPortBase& port);

// onExecute does nothing until a sequence arrives: where the runtime can, its execution context
// sleeps between sequences instead of waking every period. During onInitialize.
void sleepBetweenSequences(RTC::DataFlowComponentBase& component);

}  // namespace pelorin
