// What the component needs from the program around it.
//
// The component knows nothing of setting files or scenes: the program entry hands it a host that
// reads the setting file, starts the viewer and stores received values in the scene. This keeps
// the component folder free of any dependency on the application folder.
#pragma once

#include <string>

namespace pelorin {

enum class HostStart {
    Shown,          // the model is read and on screen
    WithoutWindow,  // the model is read; the viewer could not be started
    Refused,        // this component shows nothing: a message on the console said why
};

class ComponentHost {
  public:
    virtual ~ComponentHost() = default;

    // Reads the setting file and starts the viewer. Called once, on the main thread, while the
    // framework creates the component. A setting file that cannot be read ends the process with
    // status 1 inside this call, except in a process of a framework daemon, where the result is
    // Refused; so is the start of a second component in a process, which has one window.
    virtual HostStart start() = 0;

    // Number of values the scene takes (the size of the value table); 0 before start().
    // Fixed once start() has returned.
    virtual int valueCount() const = 0;

    // Hands values[0..count) to the scene in table order, as one whole set of values. Called on
    // the execution context's thread; count never exceeds valueCount().
    virtual void setValues(const double* values, int count) = 0;

    // The setting file that start() reads when the command line named none (a framework daemon
    // starts the component with no command line of its own). Before start().
    virtual void useSettingFileIfNoneGiven(const std::string& /*path*/) {}
    // The setting file in use; empty when the host reads none.
    virtual std::string settingFile() const { return {}; }
    // The component is being finalised (a tool ended it, or the process ends). Its thread.
    virtual void componentEnded() {}
    // Reads `path` and puts its model in place of the current one; on failure the current model
    // stays and the console says why. Any thread but the viewer's; may take long.
    virtual bool reload(const std::string& /*path*/) { return false; }
};

}  // namespace pelorin
