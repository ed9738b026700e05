// The names of the process's components in the naming services, kept up while they live.
//
// A component's names are bound in every configured server when it is added. A thread of its own
// then looks after them every update interval: in each server, a name that is missing (the
// service restarted empty, or someone unbound it) or bound to another object is bound again, so
// a naming service started or restarted after the component still learns of it. Removing a
// component unbinds its names everywhere. Binding, updating and unbinding are serialised, so an
// update can never bring back the names of a component that has just been removed. Thread-safe.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rtcrt/NamingRegistrar.h"

namespace RTC {
class RTObject_impl;
}

namespace pelorin::rtcrt {

class ComponentNaming {
  public:
    ComponentNaming(CORBA::ORB_ptr orb, std::vector<std::string> servers);
    ~ComponentNaming();
    ComponentNaming(const ComponentNaming&) = delete;
    ComponentNaming& operator=(const ComponentNaming&) = delete;

    // Binds the names; false when no server took them. `component` is only a key.
    bool add(RTC::RTObject_impl* component, CORBA::Object_ptr object,
             std::vector<std::string> names);
    void remove(RTC::RTObject_impl* component);
    // Starts the update thread; `intervalSec` must be above zero. With `rebindAll` every name is
    // bound again at each update without looking first.
    void startUpdates(double intervalSec, bool rebindAll);
    // Ends the update thread; the names stay bound.
    void stopUpdates();
    const std::vector<std::string>& servers() const { return registrar_.servers(); }

  private:
    struct Entry {
        RTC::RTObject_impl* component;
        CORBA::Object_var object;
        std::vector<std::string> names;
    };
    void updateLoop(double intervalSec, bool rebindAll);
    void updateOnce(bool rebindAll);

    NamingRegistrar registrar_;
    std::mutex mutex_;  // entries_, and every remote naming call
    std::vector<Entry> entries_;
    std::mutex stopMutex_;
    std::condition_variable stopRequested_;
    bool stopping_ = false;
    std::thread updater_;
};

}  // namespace pelorin::rtcrt
