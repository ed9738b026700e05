#include "app/PelorinProfile.h"

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
    // Reads the setting file and shows the scene in the viewer.
    bool start() override { return pelorin::theApplication->start(); }
    int valueCount() const override {
        return static_cast<int>(pelorin::theApplication->valueTableSize());
    }
    void setValues(const double* values, int count) override {
        pelorin::theApplication->setValues(values, count);
    }
};

ApplicationHost& applicationHost() {
    static ApplicationHost* host = new ApplicationHost;  // never destroyed: see above
    return *host;
}

// The largest long: the empty key alone ends the table.
constexpr long kUnlimitedSpecLength = 2147483647L;

}  // namespace

// "exec_cxt.periodic.rate" is one cycle per second unless the framework's configuration (rtc.conf)
// sets a rate; samples/rtc.conf sets one fast enough for smooth motion.
const char* const pelorinSpec[] = {"implementation_id",
                                   "Pelorin",
                                   "type_name",
                                   "Pelorin",
                                   "description",
                                   "${rtcParam.description}",
                                   "version",
                                   "1.0.0",
                                   "vendor",
                                   "Tarnwell",
                                   "category",
                                   "Category",
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
                                   ""};

void PelorinInit(RTC::Manager* manager) {
    coil::Properties profile(pelorinSpec, kUnlimitedSpecLength);
    manager->registerFactory(profile, createPelorin, deletePelorin);
}

RTC::RTObject_impl* createPelorin(RTC::Manager* manager) {
    return new Pelorin(manager, applicationHost());
}

void deletePelorin(RTC::RTObject_impl* component) {
    delete component;
}

void moduleInit(RTC::Manager* manager) {
    PelorinInit(manager);
    RTC::RTObject_impl* component = manager->createComponent("Pelorin");
    if (component == nullptr) {
        pelorin::Console::err().msg(pelorin::entry_messages::kComponentCreateFailed).endl();
        std::abort();
    }
}
