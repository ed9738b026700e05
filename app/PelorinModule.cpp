// Pelorin.so: the component as a module that a framework manager loads beside other components
// (rtcd2 with "manager.modules.preload: Pelorin.so" and "manager.components.precreate: Pelorin").
//
// The manager calls PelorinInit, found by the module's name. There is no command line of
// Pelorin's own in such a process: the setting file comes from the component's configuration
// parameter "setting_file" (rtc.conf's "Viewer.Pelorin.conf.default.setting_file"). The process
// belongs to the manager, so closing the window ends the Pelorin component alone, as exit on it
// would, and the manager and its other components run on.
#include <rtm/Manager.h>
#include <rtm/RTObject.h>

#include <string>

#include "app/Application.h"
#include "app/PelorinProfile.h"
#include "viewer/Viewer.h"

namespace {

RTC::RTObject_impl* createPelorinInModule(RTC::Manager* manager) {
    if (pelorin::theApplication == nullptr) {
        pelorin::theApplication = new pelorin::Application();
        pelorin::theApplication->runInSharedProcess();
    }
    return createPelorin(manager);
}

// Looks the component up when the window closes rather than keeping a pointer: a tool may have
// ended it already, and there is at most one Pelorin (the one with the window) in a process.
void exitPelorinComponents(RTC::Manager* manager) {
    for (RTC::RTObject_impl* component : manager->getComponents())
        if (std::string(component->getTypeName()) == kPelorinTypeName) component->exit();
}

}  // namespace

extern "C" void PelorinInit(RTC::Manager* manager) {
    pelorin::setWindowClosedHandler([manager] { exitPelorinComponents(manager); });
    registerPelorinFactory(manager, createPelorinInModule);
}
