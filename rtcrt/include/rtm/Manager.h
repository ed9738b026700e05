// The manager of a component process: configuration, ORB, component factories, naming
// registration and shutdown.
//
// One manager per process. init() reads the configuration (see rtcrt/ManagerConfig.h) and
// starts the ORB; activateManager() runs the module-initialisation procedure, which registers
// factories and creates components; runManager() waits until the manager shuts down.
// Shutdown (terminate(), shutdown(), SIGINT, SIGTERM, or the last component's exit when
// manager.shutdown_on_nortcs is YES) finalises every component, unbinds its names and stops
// the ORB. Thread-safety: all operations may be called from any thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "coil/Properties.h"
#include "rtm/RTC.h"

namespace RTC {

class RTObject_impl;
class Manager;
using RtcBase = RTObject_impl;
using ModuleInitProc = void (*)(Manager*);
using RtcNewFunc = RTObject_impl* (*)(Manager*);
using RtcDeleteFunc = void (*)(RTObject_impl*);

class Manager {
  public:
    // Creates the manager on the first call (later calls return it); never null. Unknown
    // arguments are skipped. A "-f" file that does not exist (unless "-i" is given) or an ORB
    // that cannot start with the configured endpoints and arguments ends the process with
    // status 255 and a message on the console.
    static Manager* init(int argc, char** argv);
    static Manager& instance();
    // Shuts the manager down (if it exists) and returns when done.
    static void terminate();

    ~Manager();
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    void shutdown();
    // Waits until the manager has shut down.
    void join();

    coil::Properties& getConfig();
    void setModuleInitProc(ModuleInitProc proc);
    // Activates the POA, runs the module-initialisation procedure and pre-activates the
    // components named in manager.components.preactivation.
    bool activateManager();
    // Blocks until shutdown unless `no_block`; the ORB serves requests on its own threads.
    void runManager(bool no_block = false);

    // Keyed by the profile's "implementation_id". False when that id is already registered.
    bool registerFactory(coil::Properties& profile, RtcNewFunc new_func, RtcDeleteFunc delete_func);
    // "Type" or "Type?key=value&key=value". Null when no factory matches, the type's
    // max_instance is reached, or initialisation fails.
    RTObject_impl* createComponent(const char* comp_args);
    RTObject_impl* getComponent(const char* instance_name);
    std::vector<RTObject_impl*> getComponents();

    CORBA::ORB_ptr getORB();                         // new reference
    PortableServer::POA_ptr getPOA();                // new reference
    PortableServer::POAManager_ptr getPOAManager();  // new reference

    // Called by a component whose exit sequence ran (any thread): unbinds its names and, when
    // it was the last component, starts the shutdown.
    void notifyComponentExited(RTObject_impl* component);

  private:
    Manager();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace RTC
