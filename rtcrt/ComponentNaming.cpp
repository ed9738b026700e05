#include "rtcrt/ComponentNaming.h"

#include <algorithm>
#include <chrono>

#include "rtcrt/Logger.h"
#include "rtcrt/RtcMessages.h"

namespace pelorin::rtcrt {

ComponentNaming::ComponentNaming(CORBA::ORB_ptr orb, std::vector<std::string> servers)
    : registrar_(orb, std::move(servers)) {}

ComponentNaming::~ComponentNaming() {
    stopUpdates();
}

bool ComponentNaming::add(RTC::RTObject_impl* component, CORBA::Object_ptr object,
                          std::vector<std::string> names) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry entry{component, CORBA::Object::_duplicate(object), std::move(names)};
    bool reached =
        registrar_.bind(entry.names, entry.object.in()).size() < registrar_.servers().size();
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

void ComponentNaming::startUpdates(double intervalSec, bool rebindAll) {
    if (updater_.joinable() || !(intervalSec > 0.0)) return;
    updater_ = std::thread([this, intervalSec, rebindAll] { updateLoop(intervalSec, rebindAll); });
}

void ComponentNaming::stopUpdates() {
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stopping_ = true;
    }
    stopRequested_.notify_all();
    if (updater_.joinable()) updater_.join();
}

void ComponentNaming::updateLoop(double intervalSec, bool rebindAll) {
    auto interval = std::chrono::duration<double>(intervalSec);
    std::unique_lock<std::mutex> lock(stopMutex_);
    while (!stopRequested_.wait_for(lock, interval, [this] { return stopping_; })) {
        lock.unlock();
        updateOnce(rebindAll);
        lock.lock();
    }
}

void ComponentNaming::updateOnce(bool rebindAll) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& server : registrar_.servers()) {
        for (Entry& entry : entries_) {
            // A server that does not answer is left until the next update.
            if (!registrar_.refresh(entry.names, entry.object.in(), server, rebindAll)) break;
        }
    }
}

}  // namespace pelorin::rtcrt
