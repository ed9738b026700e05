#include "rtcrt/ComponentNaming.h"

#include <algorithm>
#include <chrono>

#include "rtcrt/Logger.h"
#include "rtcrt/RtcMessages.h"

namespace pelorin::rtcrt {

ComponentNaming::ComponentNaming(CORBA::ORB_ptr orb, std::vector<std::string> servers)
    : registrar_(orb, std::move(servers)) {}

ComponentNaming::~ComponentNaming() {
    stopRetries();
}

bool ComponentNaming::add(RTC::RTObject_impl* component, CORBA::Object_ptr object,
                          std::vector<std::string> names) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry entry{component, CORBA::Object::_duplicate(object), std::move(names), {}};
    entry.pending = registrar_.bind(entry.names, entry.object.in());
    bool reached = entry.pending.size() < registrar_.servers().size();
    entries_.push_back(std::move(entry));
    return reached || registrar_.servers().empty();
}

void ComponentNaming::remove(RTC::RTObject_impl* component) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::find_if(entries_.begin(), entries_.end(), [component](const Entry& entry) {
        return entry.component == component;
    });
    if (it == entries_.end()) return;
    registrar_.unbind(it->names);
    entries_.erase(it);
}

void ComponentNaming::startRetries(double intervalSec) {
    if (retrier_.joinable() || !(intervalSec > 0.0)) return;
    retrier_ = std::thread([this, intervalSec] { retryLoop(intervalSec); });
}

void ComponentNaming::stopRetries() {
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stopping_ = true;
    }
    stopRequested_.notify_all();
    if (retrier_.joinable()) retrier_.join();
}

void ComponentNaming::retryLoop(double intervalSec) {
    auto interval = std::chrono::duration<double>(intervalSec);
    std::unique_lock<std::mutex> lock(stopMutex_);
    while (!stopRequested_.wait_for(lock, interval, [this] { return stopping_; })) {
        lock.unlock();
        retryOnce();
        lock.lock();
    }
}

void ComponentNaming::retryOnce() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (Entry& entry : entries_) {
        if (entry.pending.empty()) continue;
        entry.pending = registrar_.bind(entry.names, entry.object.in(), entry.pending);
    }
}

}  // namespace pelorin::rtcrt
