// What the component needs from the program around it.
//
// The component knows nothing of setting files or scenes: the program entry hands it a host that
// reads the setting file, starts the viewer and stores received values in the scene. This keeps
// the component folder free of any dependency on the application folder.
#pragma once

namespace pelorin {

class ComponentHost {
  public:
    virtual ~ComponentHost() = default;

    // Reads the setting file and starts the viewer. Called once, on the main thread, while the
    // framework creates the component. A setting file that cannot be read ends the process with
    // status 1 inside this call; the result is false only when the viewer could not be started.
    virtual bool start() = 0;

    // Number of values the scene takes (the size of the value table); 0 before start().
    // Fixed once start() has returned.
    virtual int valueCount() const = 0;

    // Hands values[0..count) to the scene in table order, as one whole set of values. Called on
    // the execution context's thread; count never exceeds valueCount().
    virtual void setValues(const double* values, int count) = 0;
};

}  // namespace pelorin
