// The periodic execution context a component owns (handle 0): its own thread calls the owner's
// on_execute and on_state_update once per period while the owner is ACTIVE, on_error while it
// is in ERROR, and carries out requested state transitions.
//
// Transitions requested by activate/deactivate/reset wake the thread at once rather than at
// the next period, so a synchronous activation does not depend on the rate (a 1 Hz context
// still answers within the transition time-out). A request made from the context's own thread
// (a callback) answers RTC_OK at once; the transition follows when the callback returns.
// Transitions are carried out only while the context is running. While the owner is INACTIVE
// no callback is due and the thread sleeps until a request. Only the owner takes part;
// add_component answers UNSUPPORTED.
//
// Thread-safety: the CORBA operations may be called from any ORB thread; the owner's
// callbacks other than on_startup/on_shutdown/on_rate_changed run on the context's thread,
// never with the context's lock held.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "coil/Properties.h"
#include "rtm/RTC.h"

namespace RTC {
class RTObject_impl;
}

namespace pelorin::rtcrt {

struct ExecutionContextSettings {
    double rateHz = 1000.0;
    bool syncTransition = true;
    double transitionTimeoutSec = 0.5;
    // An ACTIVE owner's cycle runs only after inputArrived(): see
    // RTObject_impl::executeOnlyWhenInputArrives.
    bool executeOnlyWhenInputArrives = false;
};

class PeriodicExecutionContext : public virtual POA_RTC::ExecutionContextService {
  public:
    PeriodicExecutionContext(RTC::RTObject_impl& owner, const ExecutionContextSettings& settings);
    ~PeriodicExecutionContext() override;

    // Activates the servant in `poa` and remembers the owner's reference.
    void bind(PortableServer::POA_ptr poa, RTC::RTObject_ptr ownerRef);
    RTC::ExecutionContextService_ptr getRef() const { return ref_.in(); }

    // For the owner's exit: ends the thread, then brings an ACTIVE owner to INACTIVE with
    // on_deactivated. Returns whether the context was running (the caller then runs
    // on_shutdown). Safe to call from the context's own thread.
    bool halt();
    void unbind();

    RTC::LifeCycleState ownerState();
    // One of the owner's ports stored a sample; wakes a context that sleeps for want of input.
    // Any thread.
    void inputArrived();
    // From now on an ACTIVE owner's cycle runs only after inputArrived() (see
    // RTObject_impl::executeOnlyWhenInputArrives). Any thread.
    void executeOnlyWhenInputArrives();

    // RTC::ExecutionContext / ExecutionContextService
    CORBA::Boolean is_running() override;
    RTC::ReturnCode_t start() override;
    RTC::ReturnCode_t stop() override;
    CORBA::Double get_rate() override;
    RTC::ReturnCode_t set_rate(CORBA::Double rate) override;
    RTC::ReturnCode_t add_component(RTC::LightweightRTObject_ptr comp) override;
    RTC::ReturnCode_t remove_component(RTC::LightweightRTObject_ptr comp) override;
    RTC::ReturnCode_t activate_component(RTC::LightweightRTObject_ptr comp) override;
    RTC::ReturnCode_t deactivate_component(RTC::LightweightRTObject_ptr comp) override;
    RTC::ReturnCode_t reset_component(RTC::LightweightRTObject_ptr comp) override;
    RTC::LifeCycleState get_component_state(RTC::LightweightRTObject_ptr comp) override;
    RTC::ExecutionKind get_kind() override { return RTC::PERIODIC; }
    RTC::ExecutionContextProfile* get_profile() override;

  private:
    enum class Pending { None, Activate, Deactivate, Reset };
    using Clock = std::chrono::steady_clock;

    bool isOwner(RTC::LightweightRTObject_ptr comp) const;
    RTC::ReturnCode_t request(RTC::LightweightRTObject_ptr comp, RTC::LifeCycleState from,
                              Pending pending, RTC::LifeCycleState goal);
    RTC::ReturnCode_t awaitTransition(std::unique_lock<std::mutex>& lock, RTC::LifeCycleState goal);
    void run();
    bool waitingForInput() const;
    void applyPending();
    void tick();
    void enterError();
    Clock::duration period() const;

    RTC::RTObject_impl& owner_;
    ExecutionContextSettings settings_;
    PortableServer::POA_var poa_;
    RTC::ExecutionContextService_var ref_;
    RTC::RTObject_var ownerRef_;

    std::mutex mutex_;                 // guards everything below
    std::condition_variable wake_;     // the thread: a request, a start, or the end
    std::condition_variable changed_;  // callers waiting for a transition
    RTC::LifeCycleState state_ = RTC::INACTIVE_STATE;
    Pending pending_ = Pending::None;
    bool running_ = false;
    bool quit_ = false;
    bool busy_ = false;          // a tick's callbacks are in progress
    bool inputPending_ = false;  // a sample arrived since the last cycle began
    bool executeOnlyWhenInputArrives_;
    double rateHz_;
    std::thread thread_;
};

}  // namespace pelorin::rtcrt
