#include "rtcrt/PeriodicExecutionContext.h"

#include <cmath>
#include <locale>
#include <sstream>
#include <string>

#include "rtcrt/NVUtil.h"
#include "rtm/RTObject.h"

namespace pelorin::rtcrt {
namespace {

constexpr RTC::UniqueId kOwnHandle = 0;  // an owned context's handle is its index

}  // namespace

PeriodicExecutionContext::PeriodicExecutionContext(RTC::RTObject_impl& owner,
                                                   const ExecutionContextSettings& settings)
    : owner_(owner),
      settings_(settings),
      executeOnlyWhenInputArrives_(settings.executeOnlyWhenInputArrives),
      rateHz_(settings.rateHz) {}

PeriodicExecutionContext::~PeriodicExecutionContext() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        if (thread_.get_id() == std::this_thread::get_id()) {
            thread_.detach();
        } else {
            thread_.join();
        }
    }
}

void PeriodicExecutionContext::bind(PortableServer::POA_ptr poa, RTC::RTObject_ptr ownerRef) {
    poa_ = PortableServer::POA::_duplicate(poa);
    ownerRef_ = RTC::RTObject::_duplicate(ownerRef);
    PortableServer::ObjectId_var id = poa_->activate_object(this);
    CORBA::Object_var object = poa_->id_to_reference(id);
    ref_ = RTC::ExecutionContextService::_narrow(object);
    thread_ = std::thread([this] { run(); });
}

void PeriodicExecutionContext::unbind() {
    if (CORBA::is_nil(ref_)) return;
    try {
        PortableServer::ObjectId_var id = poa_->servant_to_id(this);
        poa_->deactivate_object(id);
    } catch (const CORBA::Exception&) {
        // Already inactive.
    }
    ref_ = RTC::ExecutionContextService::_nil();
}

PeriodicExecutionContext::Clock::duration PeriodicExecutionContext::period() const {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(1.0 / rateHz_));
}

void PeriodicExecutionContext::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    Clock::time_point next = Clock::now();
    while (!quit_) {
        if (!running_) {
            wake_.wait(lock, [this] { return quit_ || running_; });
            next = Clock::now();
        } else if (pending_ != Pending::None) {
            lock.unlock();
            applyPending();
            lock.lock();
        } else if (state_ == RTC::INACTIVE_STATE) {
            // No callback runs for an inactive owner: sleep until a request rather than waking
            // every period, so an idle fast context costs nothing.
            wake_.wait(lock, [this] { return quit_ || !running_ || pending_ != Pending::None; });
            next = Clock::now();
        } else if (waitingForInput()) {
            // The owner's cycle has nothing to do without new data: sleep until some arrives
            // rather than waking every period. A cycle then runs at once if its period is due.
            wake_.wait(lock, [this] {
                return quit_ || !running_ || pending_ != Pending::None || !waitingForInput();
            });
        } else if (Clock::now() >= next) {
            inputPending_ = false;  // data arriving during this cycle asks for the next one
            busy_ = true;
            lock.unlock();
            tick();
            lock.lock();
            busy_ = false;
            changed_.notify_all();
            Clock::time_point now = Clock::now();
            next += period();
            if (next < now) next = now;  // after an overrun, do not try to catch up
        } else {
            wake_.wait_until(lock, next,
                             [this] { return quit_ || !running_ || pending_ != Pending::None; });
        }
    }
}

bool PeriodicExecutionContext::waitingForInput() const {
    return executeOnlyWhenInputArrives_ && state_ == RTC::ACTIVE_STATE && !inputPending_;
}

void PeriodicExecutionContext::executeOnlyWhenInputArrives() {
    std::lock_guard<std::mutex> lock(mutex_);
    executeOnlyWhenInputArrives_ = true;
}

void PeriodicExecutionContext::inputArrived() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (inputPending_) return;
    inputPending_ = true;
    wake_.notify_all();
}

void PeriodicExecutionContext::applyPending() {
    Pending pending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending = pending_;
    }
    RTC::LifeCycleState result = RTC::ERROR_STATE;
    if (pending == Pending::Activate) {
        result =
            owner_.on_activated(kOwnHandle) == RTC::RTC_OK ? RTC::ACTIVE_STATE : RTC::ERROR_STATE;
    } else if (pending == Pending::Deactivate) {
        result = owner_.on_deactivated(kOwnHandle) == RTC::RTC_OK ? RTC::INACTIVE_STATE
                                                                  : RTC::ERROR_STATE;
    } else if (pending == Pending::Reset) {
        result =
            owner_.on_reset(kOwnHandle) == RTC::RTC_OK ? RTC::INACTIVE_STATE : RTC::ERROR_STATE;
    }
    bool aborting = result == RTC::ERROR_STATE && pending != Pending::Reset;
    if (aborting) owner_.on_aborting(kOwnHandle);
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = result;
    pending_ = Pending::None;
    changed_.notify_all();
}

void PeriodicExecutionContext::tick() {
    RTC::LifeCycleState state;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state = state_;
    }
    if (state == RTC::ACTIVE_STATE) {
        RTC::ReturnCode_t result = owner_.on_execute(kOwnHandle);
        if (result == RTC::RTC_OK) result = owner_.on_state_update(kOwnHandle);
        if (result != RTC::RTC_OK) enterError();
    } else if (state == RTC::ERROR_STATE) {
        owner_.on_error(kOwnHandle);
    }
}

void PeriodicExecutionContext::enterError() {
    owner_.on_aborting(kOwnHandle);
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = RTC::ERROR_STATE;
}

bool PeriodicExecutionContext::halt() {
    bool wasRunning;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wasRunning = running_;
        running_ = false;
        quit_ = true;
    }
    wake_.notify_all();
    changed_.notify_all();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
    RTC::LifeCycleState state = ownerState();
    if (state == RTC::ACTIVE_STATE) {
        owner_.on_deactivated(kOwnHandle);
        std::lock_guard<std::mutex> lock(mutex_);
        state_ = RTC::INACTIVE_STATE;
    }
    return wasRunning;
}

RTC::LifeCycleState PeriodicExecutionContext::ownerState() {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

bool PeriodicExecutionContext::isOwner(RTC::LightweightRTObject_ptr comp) const {
    if (CORBA::is_nil(comp) || CORBA::is_nil(ownerRef_)) return false;
    try {
        return comp->_is_equivalent(ownerRef_.in());
    } catch (const CORBA::Exception&) {
        return false;
    }
}

CORBA::Boolean PeriodicExecutionContext::is_running() {
    std::lock_guard<std::mutex> lock(mutex_);
    return running_;
}

RTC::ReturnCode_t PeriodicExecutionContext::start() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // `busy_` also marks a start or stop in progress, so two callers cannot both pass.
        if (running_ || quit_ || busy_) return RTC::PRECONDITION_NOT_MET;
        busy_ = true;
    }
    owner_.on_startup(kOwnHandle);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        busy_ = false;
        running_ = true;
    }
    wake_.notify_all();
    return RTC::RTC_OK;
}

RTC::ReturnCode_t PeriodicExecutionContext::stop() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!running_) return RTC::PRECONDITION_NOT_MET;
        running_ = false;
        wake_.notify_all();
        // Let a tick in progress finish, unless this is that tick calling stop.
        if (thread_.get_id() != std::this_thread::get_id()) {
            changed_.wait(lock, [this] { return !busy_; });
        }
    }
    owner_.on_shutdown(kOwnHandle);
    return RTC::RTC_OK;
}

CORBA::Double PeriodicExecutionContext::get_rate() {
    std::lock_guard<std::mutex> lock(mutex_);
    return rateHz_;
}

RTC::ReturnCode_t PeriodicExecutionContext::set_rate(CORBA::Double rate) {
    if (!(rate > 0.0) || !std::isfinite(rate)) return RTC::BAD_PARAMETER;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        rateHz_ = rate;
    }
    wake_.notify_all();
    owner_.on_rate_changed(kOwnHandle);
    return RTC::RTC_OK;
}

RTC::ReturnCode_t PeriodicExecutionContext::add_component(RTC::LightweightRTObject_ptr) {
    return RTC::UNSUPPORTED;
}

RTC::ReturnCode_t PeriodicExecutionContext::remove_component(RTC::LightweightRTObject_ptr) {
    return RTC::UNSUPPORTED;
}

RTC::ReturnCode_t PeriodicExecutionContext::request(RTC::LightweightRTObject_ptr comp,
                                                    RTC::LifeCycleState from, Pending pending,
                                                    RTC::LifeCycleState goal) {
    if (!isOwner(comp)) return RTC::BAD_PARAMETER;
    std::unique_lock<std::mutex> lock(mutex_);
    if (state_ != from || pending_ != Pending::None) return RTC::PRECONDITION_NOT_MET;
    pending_ = pending;
    wake_.notify_all();
    // A callback that asks for a transition cannot wait for it: this thread carries it out
    // once the callback has returned.
    bool onOwnThread = thread_.get_id() == std::this_thread::get_id();
    if (!settings_.syncTransition || onOwnThread) return RTC::RTC_OK;
    return awaitTransition(lock, goal);
}

RTC::ReturnCode_t PeriodicExecutionContext::awaitTransition(std::unique_lock<std::mutex>& lock,
                                                            RTC::LifeCycleState goal) {
    Pending requested = pending_;
    auto timeout = std::chrono::duration<double>(settings_.transitionTimeoutSec);
    bool done = changed_.wait_for(lock, timeout, [this] { return pending_ == Pending::None; });
    if (!done) return RTC::RTC_ERROR;
    if (state_ == goal) return RTC::RTC_OK;
    // A failed reset leaves the component in ERROR, which is where it started.
    if (requested == Pending::Reset) return RTC::RTC_ERROR;
    return RTC::PRECONDITION_NOT_MET;
}

RTC::ReturnCode_t PeriodicExecutionContext::activate_component(RTC::LightweightRTObject_ptr comp) {
    return request(comp, RTC::INACTIVE_STATE, Pending::Activate, RTC::ACTIVE_STATE);
}

RTC::ReturnCode_t PeriodicExecutionContext::deactivate_component(
    RTC::LightweightRTObject_ptr comp) {
    return request(comp, RTC::ACTIVE_STATE, Pending::Deactivate, RTC::INACTIVE_STATE);
}

RTC::ReturnCode_t PeriodicExecutionContext::reset_component(RTC::LightweightRTObject_ptr comp) {
    return request(comp, RTC::ERROR_STATE, Pending::Reset, RTC::INACTIVE_STATE);
}

RTC::LifeCycleState PeriodicExecutionContext::get_component_state(
    RTC::LightweightRTObject_ptr comp) {
    if (!isOwner(comp)) return RTC::CREATED_STATE;
    return ownerState();
}

RTC::ExecutionContextProfile* PeriodicExecutionContext::get_profile() {
    auto* profile = new RTC::ExecutionContextProfile;
    profile->kind = RTC::PERIODIC;
    profile->rate = get_rate();
    profile->owner = RTC::RTObject::_duplicate(ownerRef_.in());
    // Numbers as a configuration file writes them ("1000", "0.5"), as the framework shows them.
    auto number = [](double value) {
        std::ostringstream text;
        text.imbue(std::locale::classic());
        text << value;
        return text.str();
    };
    appendString(profile->properties, "name", "");
    appendString(profile->properties, "type", "PeriodicExecutionContext");
    appendString(profile->properties, "rate", number(profile->rate));
    appendString(profile->properties, "sync_transition", settings_.syncTransition ? "YES" : "NO");
    appendString(profile->properties, "transition_timeout", number(settings_.transitionTimeoutSec));
    return profile;
}

}  // namespace pelorin::rtcrt
