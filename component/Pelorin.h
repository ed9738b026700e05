// Pelorin's RT-Component: a periodic data-flow component with one in-port, "doubleValue"
// (RTC::TimedDoubleSeq), whose elements drive the scene's values in table order.
//
// The configuration parameter "setting_file" holds the setting file in use. A tool that writes
// it into the active configuration set has the component read that file and put its model in
// place of the current one (the host's reload); when the file does not read, the current model
// stays and the console says why. Choosing another set reads nothing.
//
// Created by the framework through the factory of the program entry; the framework owns the
// instance and destroys it through the virtual destructor. Callbacks run on the framework's
// threads: onInitialize on the main thread during creation, onActivated and onExecute on the
// execution context's thread, the configuration listeners on the ORB thread of the tool's
// request.
#pragma once

// The data types come first: the framework's port templates find the types' Any operators
// (declared at global scope) only when they are declared before the templates.
#include <rtm/idl/BasicDataTypeSkel.h>

#include <rtm/DataFlowComponentBase.h>
#include <rtm/InPort.h>
#include <rtm/Manager.h>

#include <mutex>
#include <string>

#include "component/ComponentHost.h"
#include "component/PayloadGuard.h"
#include "component/ValueHandOver.h"

class Pelorin : public RTC::DataFlowComponentBase {
  public:
    // `host` must outlive the component (the program's host lives until the process ends).
    Pelorin(RTC::Manager* manager, pelorin::ComponentHost& host);
    ~Pelorin() override;

    // Adds the in-port, reads the setting file and starts the viewer through the host, and
    // publishes the file in use as "setting_file" of the default configuration set; RTC_OK
    // whatever the viewer start gave (the component still hands values over without a window).
    // The file is the command line's, else the configured "conf.default.setting_file": the
    // component's own (rtc.conf's "<category>.<type_name>.conf.default.setting_file" or its
    // configuration file), else rtc.conf's top-level key.
    RTC::ReturnCode_t onInitialize() override;
    // Tells the host that the component that shows the model ends.
    RTC::ReturnCode_t onFinalize() override;
    RTC::ReturnCode_t onActivated(RTC::UniqueId ec_id) override;
    // Applies the newest received sequence, if any arrived and decoded since the last cycle.
    // Always RTC_OK: a bad sequence is reported and skipped, the component stays active.
    RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;

    static constexpr const char* kDoubleValuePort = "doubleValue";
    static constexpr const char* kBoolValuePort = "boolValue";
    static constexpr const char* kSettingFileParameter = "setting_file";

  private:
    class SettingFileWritten;
    class ConfigurationSetActivated;
    std::string configuredSettingFile();
    void settingFileWritten(const coil::Properties& configurationSet);
    void configurationSetActivated(const char* name);

    pelorin::ComponentHost& host_;
    bool started_ = false;  // the host started for this component (a refused one did not)
    pelorin::PayloadGuard payloadGuard_;  // outlives the port
    RTC::TimedDoubleSeq doubleValue_;
    pelorin::GuardedInPort doubleValueIn_;
    // Constructed like the double port but never registered nor read: no boolean data reaches
    // the program, and nothing in the scene is driven by it.
    RTC::TimedBooleanSeq boolValue_;
    RTC::InPort<RTC::TimedBooleanSeq> boolValueIn_;
    pelorin::ValueHandOver handOver_;
    std::mutex activeSetMutex_;
    std::string activeSet_ = "default";
};
