// The names of the process's components in the naming services, kept up while they live.
//
// A component's names are bound in every configured server when it is added; servers that do
// not answer then are tried again by a thread of its own every update interval, so a naming
// service started after the component still learns of it. Removing a component unbinds its
// names everywhere. Binding, retrying and unbinding are serialised, so a retry can never bring
// back the names of a component that has just been removed. Thread-safe.
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
    // Starts the retry thread; `intervalSec` must be above zero.
    void startRetries(double intervalSec);
    // Ends the retry thread; the names stay bound.
    void stopRetries();
    const std::vector<std::string>& servers() const { return registrar_.servers(); }

  private:
    struct Entry {
        RTC::RTObject_impl* component;
        CORBA::Object_var object;
        std::vector<std::string> names;
        std::vector<std::string> pending;  // servers still to be told
    };
    void retryLoop(double intervalSec);
    void retryOnce();

    NamingRegistrar registrar_;
    std::mutex mutex_;  // entries_, and every remote naming call
    std::vector<Entry> entries_;
    std::mutex stopMutex_;
    std::condition_variable stopRequested_;
    bool stopping_ = false;
    std::thread retrier_;
};

}  // namespace pelorin::rtcrt
