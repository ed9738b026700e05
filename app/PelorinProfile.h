// The component profile of Pelorin and its registration with the framework's manager.
//
// All functions run on the main thread, inside the manager's activateManager() (moduleInit and
// what it calls) or when the framework creates and disposes of the component.
#pragma once

#include <rtm/Manager.h>

// Key/value pairs of the profile, ended by an empty key.
extern const char* const pelorinSpec[];
// The profile's type name.
inline constexpr const char* kPelorinTypeName = "Pelorin";

// Factory functions handed to the manager. The component reads the setting file and starts the
// viewer through the process-wide Application (theApplication, which must be set first).
RTC::RTObject_impl* createPelorin(RTC::Manager* manager);
void deletePelorin(RTC::RTObject_impl* component);

// Registers the component factory under the profile. The result of the registration is not
// examined: a failed registration shows as a failed creation in moduleInit.
void registerPelorinFactory(RTC::Manager* manager, RTC::RtcNewFunc create = createPelorin);

// Module initialisation: registers the factory and creates the one component. When the manager
// returns no component it writes "Component create failed." to standard error and aborts.
void moduleInit(RTC::Manager* manager);
