// pelorin-test-sender: a data sender made with the framework itself, for the tests against an
// installed OpenRTM-aist. One component, "PelorinTestSender0", with an
// RTC::OutPort<RTC::TimedDoubleSeq> "out"; the framework connects it to Pelorin from the rtc.conf
// given with -f (manager.components.preconnect).
//
// Every cycle it reads "values.txt" in its working directory and writes what the file says: a
// line of numbers is one sequence; "raw HEX" puts those bytes on the wire as the payload instead
// (a connector listener swaps them in just before sending), which a framework OutPort never
// would by itself. A test changes the file (write and rename) to change what is sent.
//
// Built a second time as the module PelorinTestSender.so, which a component daemon preloads.
#include <rtm/idl/BasicDataTypeSkel.h>

#include <rtm/ConnectorListener.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/Factory.h>
#include <rtm/Manager.h>
#include <rtm/OutPort.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The payload to put instead of the encoded sequence; empty when the sequence goes as encoded.
class RawPayload : public RTC::ConnectorDataListener {
  public:
    void set(std::vector<unsigned char> bytes) {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes_ = std::move(bytes);
    }
    ReturnCode operator()(RTC::ConnectorInfo& /*info*/, RTC::ByteData& data,
                          const std::string& /*marshalingType*/) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (bytes_.empty()) return NO_CHANGE;
        data.writeData(bytes_.data(), bytes_.size());
        return DATA_CHANGED;
    }

  private:
    std::mutex mutex_;
    std::vector<unsigned char> bytes_;
};

std::vector<unsigned char> parseHex(const std::string& text) {
    std::vector<unsigned char> bytes;
    std::string digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

class TestSender : public RTC::DataFlowComponentBase {
  public:
    explicit TestSender(RTC::Manager* manager)
        : RTC::DataFlowComponentBase(manager), out_("out", value_) {}

    RTC::ReturnCode_t onInitialize() override {
        raw_ = new RawPayload;  // owned by the port
        out_.addConnectorDataListener(RTC::ConnectorDataListenerType::ON_SEND, raw_);
        addOutPort("out", out_);
        return RTC::RTC_OK;
    }

    RTC::ReturnCode_t onExecute(RTC::UniqueId /*ec_id*/) override {
        std::ifstream file("values.txt");
        std::string line;
        if (!std::getline(file, line)) return RTC::RTC_OK;
        std::vector<double> values;
        if (line.rfind("raw ", 0) == 0) {
            raw_->set(parseHex(line.substr(4)));
        } else {
            raw_->set({});
            std::istringstream numbers(line);
            for (double v; numbers >> v;) values.push_back(v);
        }
        value_.data.length(static_cast<CORBA::ULong>(values.size()));
        for (std::size_t i = 0; i < values.size(); ++i)
            value_.data[static_cast<CORBA::ULong>(i)] = values[i];
        out_.write();
        return RTC::RTC_OK;
    }

  private:
    RTC::TimedDoubleSeq value_;
    RTC::OutPort<RTC::TimedDoubleSeq> out_;
    RawPayload* raw_ = nullptr;
};

const char* const kSpec[] = {"implementation_id",
                             "PelorinTestSender",
                             "type_name",
                             "PelorinTestSender",
                             "description",
                             "Sends TimedDoubleSeq values for tests",
                             "version",
                             "1.0.0",
                             "vendor",
                             "Tarnwell",
                             "category",
                             "Test",
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
                             ""};

void registerFactory(RTC::Manager* manager) {
    coil::Properties profile(kSpec);
    manager->registerFactory(profile, RTC::Create<TestSender>, RTC::Delete<TestSender>);
}

}  // namespace

// The same sender as a module that a component daemon loads beside Pelorin.
extern "C" void PelorinTestSenderInit(RTC::Manager* manager) {
    registerFactory(manager);
}

#ifndef PELORIN_TEST_SENDER_MODULE
namespace {
void moduleInit(RTC::Manager* manager) {
    registerFactory(manager);
    if (manager->createComponent("PelorinTestSender") == nullptr) std::abort();
}
}  // namespace

int main(int argc, char** argv) {
    RTC::Manager* manager = RTC::Manager::init(argc, argv);
    manager->setModuleInitProc(moduleInit);
    manager->activateManager();
    manager->runManager(false);
    return 0;
}
#endif
