#include "component/Pelorin.h"

#include "component/RuntimeVariant.h"

// Tools write values into a configuration set, then may make it active: both reach the component
// through these listeners, on the ORB thread of the request.
class Pelorin::SettingFileWritten : public RTC::ConfigurationSetListener {
  public:
    explicit SettingFileWritten(Pelorin& owner) : owner_(owner) {}
    void operator()(const coil::Properties& configurationSet) override {
        owner_.settingFileWritten(configurationSet);
    }

  private:
    Pelorin& owner_;
};

class Pelorin::ConfigurationSetActivated : public RTC::ConfigurationSetNameListener {
  public:
    explicit ConfigurationSetActivated(Pelorin& owner) : owner_(owner) {}
    void operator()(const char* name) override { owner_.configurationSetActivated(name); }

  private:
    Pelorin& owner_;
};

Pelorin::Pelorin(RTC::Manager* manager, pelorin::ComponentHost& host)
    : RTC::DataFlowComponentBase(manager),
      host_(host),
      doubleValueIn_(kDoubleValuePort, doubleValue_, payloadGuard_),
      boolValueIn_(kBoolValuePort, boolValue_),
      handOver_(host) {}

Pelorin::~Pelorin() = default;

// The port is added here, not in the constructor: a framework names a port after its owner's
// instance name at the moment it is added, and that name is set only after construction. A port
// added earlier would be published as ".doubleValue", which no connection request names.
RTC::ReturnCode_t Pelorin::onInitialize() {
    pelorin::configureInPort(doubleValueIn_);
    pelorin::configureInPort(boolValueIn_);
    addInPort(kDoubleValuePort, doubleValueIn_);
    pelorin::sleepBetweenSequences(*this);
    host_.useSettingFileIfNoneGiven(configuredSettingFile());
    if (host_.start() == pelorin::HostStart::Refused) return RTC::RTC_ERROR;
    started_ = true;
    getProperties().setProperty(std::string("conf.default.") + kSettingFileParameter,
                                host_.settingFile());
    addConfigurationSetListener(RTC::ConfigurationSetListenerType::ON_SET_CONFIG_SET,
                                new SettingFileWritten(*this));
    addConfigurationSetNameListener(RTC::ConfigurationSetNameListenerType::ON_ACTIVATE_CONFIG_SET,
                                    new ConfigurationSetActivated(*this));
    return RTC::RTC_OK;
}

std::string Pelorin::configuredSettingFile() {
    const std::string key = std::string("conf.default.") + kSettingFileParameter;
    const std::string own = getProperties().getProperty(key);
    if (!own.empty() || m_pManager == nullptr) return own;
    return m_pManager->getConfig().getProperty(key);
}

// Only a file written into the active set is read: the others are not in use.
void Pelorin::settingFileWritten(const coil::Properties& configurationSet) {
    if (configurationSet.hasKey(kSettingFileParameter) == nullptr) return;
    {
        std::lock_guard<std::mutex> lock(activeSetMutex_);
        if (activeSet_ != configurationSet.getName()) return;
    }
    host_.reload(configurationSet.getProperty(kSettingFileParameter));
}

void Pelorin::configurationSetActivated(const char* name) {
    std::lock_guard<std::mutex> lock(activeSetMutex_);
    activeSet_ = name == nullptr ? "" : name;
}

RTC::ReturnCode_t Pelorin::onFinalize() {
    if (started_) host_.componentEnded();
    return RTC::RTC_OK;
}

RTC::ReturnCode_t Pelorin::onActivated(RTC::UniqueId /*ec_id*/) {
    return RTC::RTC_OK;
}

RTC::ReturnCode_t Pelorin::onExecute(RTC::UniqueId /*ec_id*/) {
    if (!doubleValueIn_.isNew()) return RTC::RTC_OK;
    // Drain to the newest entry: several sequences may have arrived within one period, and a
    // runtime may hand out its buffer oldest first.
    bool decoded = false;
    while (doubleValueIn_.isNew()) decoded = payloadGuard_.read(doubleValueIn_) || decoded;
    // Every entry was refused: the variable still holds a pose that was applied before.
    if (!decoded) return RTC::RTC_OK;
    const CORBA::ULong length = doubleValue_.data.length();
    handOver_.deliver(length > 0 ? &doubleValue_.data[0] : nullptr, length);
    return RTC::RTC_OK;
}
