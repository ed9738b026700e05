#include "app/PelorinProfile.h"

#include <atomic>
#include <cstdlib>

#include "app/Application.h"
#include "app/EntryMessages.h"
#include "component/ComponentHost.h"
#include "component/Pelorin.h"
#include "util/MessageStream.h"

namespace {

// The component's view of the Application. It lives as long as the process, like the
// Application itself.
class ApplicationHost : public pelorin::ComponentHost {
  public:
    // Reads the setting file and shows the scene in the viewer: the first component of the
    // process takes the window for good.
    pelorin::HostStart start() override {
        if (windowTaken_.exchange(true)) {
            pelorin::Console::out().msg(pelorin::entry_messages::kSecondComponentRefused).flush();
            return pelorin::HostStart::Refused;
        }
        const bool shown = pelorin::theApplication->start();
        if (pelorin::theApplication->model() == nullptr) {
            windowTaken_ = false;  // nothing is shown: a later component may try again
            return pelorin::HostStart::Refused;
        }
        return shown ? pelorin::HostStart::Shown : pelorin::HostStart::WithoutWindow;
    }
    int valueCount() const override {
        return static_cast<int>(pelorin::theApplication->valueTableSize());
    }
    void setValues(const double* values, int count) override {
        pelorin::theApplication->setValues(values, count);
    }
    void useSettingFileIfNoneGiven(const std::string& path) override {
        pelorin::theApplication->useSettingFileIfNoneGiven(path);
    }
    std::string settingFile() const override { return pelorin::theApplication->settingFilePath(); }
    bool reload(const std::string& path) override { return pelorin::theApplication->reload(path); }
    void componentEnded() override { pelorin::theApplication->componentEnded(); }

  private:
    std::atomic<bool> windowTaken_{false};
};

ApplicationHost& applicationHost() {
    static ApplicationHost* host = new ApplicationHost;  // never destroyed: see above
    return *host;
}

// The largest long: the empty key alone ends the table.
constexpr long kUnlimitedSpecLength = 2147483647L;

}  // namespace

// The framework's manager replaces "exec_cxt.periodic.rate" with its own rate: rtc.conf's, else
// 1000 Hz. The 1.0 here is what component tools write and never holds.
const char* const pelorinSpec[] = {"implementation_id",
                                   "Pelorin",
                                   "type_name",
                                   kPelorinTypeName,
                                   "description",
                                   "Robot model viewer: draws a robot from a setting file and "
                                   "poses it from TimedDoubleSeq values",
                                   "version",
                                   "1.0.0",
                                   "vendor",
                                   "Tarnwell",
                                   "category",
                                   "Viewer",
                                   "activity_type",
                                   "PERIODIC",
                                   "kind",
                                   "DataFlowComponent",
                                   "max_instance",
                                   "1",
                                   "language",
                                   "C++",
                                   "lang_type",
                                   "compile",
                                   "exec_cxt.periodic.rate",
                                   "1.0",
                                   "conf.default.setting_file",
                                   "",
                                   ""};

void registerPelorinFactory(RTC::Manager* manager, RTC::RtcNewFunc create) {
    coil::Properties profile(pelorinSpec, kUnlimitedSpecLength);
    manager->registerFactory(profile, create, deletePelorin);
}

RTC::RTObject_impl* createPelorin(RTC::Manager* manager) {
    return new Pelorin(manager, applicationHost());
}

void deletePelorin(RTC::RTObject_impl* component) {
    delete component;
}

void moduleInit(RTC::Manager* manager) {
    registerPelorinFactory(manager);
    RTC::RTObject_impl* component = manager->createComponent("Pelorin");
    if (component == nullptr) {
        pelorin::Console::err().msg(pelorin::entry_messages::kComponentCreateFailed).endl();
        std::abort();
    }
}
