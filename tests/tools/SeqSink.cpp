// seq-sink: a component for pelorin-send's tests, written against the framework's C++ API as a
// user's component is. Like the framework's SeqIn example it names its in-ports after their
// types: "DoubleSeq" (RTC::TimedDoubleSeq) and "Double" (RTC::TimedDouble).
//
// In every period in which a sequence arrived on DoubleSeq it prints one line:
//     DoubleSeq 1 -2.5 3 | connections 1 | dataport.subscription_type=new | ...
// the values read, the number of connections the port has at that moment, and the "dataport."
// properties of those connections (without the in-port's endpoint references).
#include <rtm/idl/BasicDataTypeSkel.h>

#include <rtm/DataFlowComponentBase.h>
#include <rtm/InPort.h>
#include <rtm/Manager.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace {

const char* const kSinkSpec[] = {
    "implementation_id", "SeqSink",  "type_name", "SeqSink",           "description", "Test sink",
    "version",           "1.0.0",    "vendor",    "Pelorin tests",     "category",    "Test",
    "activity_type",     "PERIODIC", "kind",      "DataFlowComponent", "language",    "C++",
    "lang_type",         "compile",  ""};

std::string connectorText(const RTC::ConnectorProfileList& connectors) {
    std::string text = " | connections " + std::to_string(connectors.length());
    for (CORBA::ULong c = 0; c < connectors.length(); ++c) {
        const SDOPackage::NVList& properties = connectors[c].properties;
        for (CORBA::ULong i = 0; i < properties.length(); ++i) {
            const std::string name(properties[i].name);
            const char* value = nullptr;
            if (name.rfind("dataport.", 0) != 0 || name.rfind("dataport.corba_cdr.", 0) == 0 ||
                !(properties[i].value >>= value))
                continue;
            text += " | " + name + "=" + value;
        }
    }
    return text;
}

class SeqSink : public RTC::DataFlowComponentBase {
  public:
    explicit SeqSink(RTC::Manager* manager)
        : RTC::DataFlowComponentBase(manager),
          doubleSeqIn_("DoubleSeq", doubleSeq_),
          doubleIn_("Double", double_) {}

    RTC::ReturnCode_t onInitialize() override {
        addInPort("DoubleSeq", doubleSeqIn_);
        addInPort("Double", doubleIn_);
        return RTC::RTC_OK;
    }

    RTC::ReturnCode_t onExecute(RTC::UniqueId /*ec_id*/) override {
        if (!doubleSeqIn_.isNew()) return RTC::RTC_OK;
        doubleSeqIn_.read();
        std::ostringstream line;
        line << "DoubleSeq";
        for (CORBA::ULong i = 0; i < doubleSeq_.data.length(); ++i)
            line << " " << doubleSeq_.data[i];
        RTC::ConnectorProfileList_var connectors = doubleSeqIn_.get_connector_profiles();
        std::printf("%s%s\n", line.str().c_str(), connectorText(connectors.in()).c_str());
        std::fflush(stdout);
        return RTC::RTC_OK;
    }

  private:
    RTC::TimedDoubleSeq doubleSeq_;
    RTC::InPort<RTC::TimedDoubleSeq> doubleSeqIn_;
    RTC::TimedDouble double_;
    RTC::InPort<RTC::TimedDouble> doubleIn_;
};

RTC::RTObject_impl* createSink(RTC::Manager* manager) {
    return new SeqSink(manager);
}

void deleteSink(RTC::RTObject_impl* component) {
    delete component;
}

void initModule(RTC::Manager* manager) {
    coil::Properties profile(kSinkSpec);
    manager->registerFactory(profile, createSink, deleteSink);
    manager->createComponent("SeqSink");
}

}  // namespace

int main(int argc, char** argv) {
    RTC::Manager* manager = RTC::Manager::init(argc, argv);
    manager->setModuleInitProc(initModule);
    manager->activateManager();
    manager->runManager(false);
    return 0;
}
