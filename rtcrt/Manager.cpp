#include "rtm/Manager.h"

#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "rtcrt/ComponentNaming.h"
#include "rtcrt/Logger.h"
#include "rtcrt/ManagerConfig.h"
#include "rtcrt/NamingRegistrar.h"
#include "rtcrt/OrbEndpoints.h"
#include "rtcrt/RtcMessages.h"
#include "rtm/RTObject.h"
#include "util/ManagerConfigFile.h"
#include "util/MessageStream.h"
#include "util/NumberText.h"

namespace RTC {
namespace {

namespace rt = pelorin::rtcrt;

volatile std::sig_atomic_t signalled = 0;
extern "C" void onTerminationSignal(int) {
    signalled = 1;
}

constexpr auto kSignalPollInterval = std::chrono::milliseconds(100);
constexpr double kDefaultNamingUpdateSec = 10.0;
constexpr long kMaxInstanceLimit = 1000000;

// Keys of the manager's configuration that replace the component profile's values, as the
// framework's manager copies them. The rate is among them: the manager always has one (1000 Hz
// by default), so a rate in a component's own profile never holds.
const char* const kInheritedKeys[] = {"config.version",
                                      "openrtm.name",
                                      "openrtm.version",
                                      "os.name",
                                      "os.release",
                                      "os.version",
                                      "os.arch",
                                      "os.hostname",
                                      "corba.endpoints",
                                      "corba.endpoints_ipv4",
                                      "corba.endpoints_ipv6",
                                      "corba.id",
                                      "exec_cxt.periodic.type",
                                      "exec_cxt.periodic.rate",
                                      "exec_cxt.sync_transition",
                                      "exec_cxt.transition_timeout",
                                      "logger.enable",
                                      "logger.log_level",
                                      "naming.enable",
                                      "naming.type",
                                      "naming.formats",
                                      "manager.instance_name"};
constexpr const char kRateKey[] = "exec_cxt.periodic.rate";

struct Factory {
    coil::Properties profile;
    RtcNewFunc create = nullptr;
    RtcDeleteFunc destroy = nullptr;
};

struct Component {
    RTObject_impl* object = nullptr;
    std::string type;
    RtcDeleteFunc destroy = nullptr;
};

// Connections this process opened (calls to a peer's port during a handshake, liveness checks,
// the naming service) are closed once idle for 1 to 2 s instead of omniORB's default 120 s:
// a peer that ends, such as a one-shot sender, leaves its socket in CLOSE-WAIT here until the
// scan closes it, so a stream of short-lived senders would otherwise pile up descriptors until
// the descriptor limit refuses new ones. Opening a loopback or LAN connection again costs well
// under a millisecond, and this process calls out only at those rare moments. The scan runs
// once a second (its finest step). Connections that peers opened (their puts) are left alone:
// the framework's default "-ORBinConScanPeriod 0" keeps them. rtc.conf's corba.args may set
// other values; they win.
const char* kOrbOptions[][2] = {
    {"outConScanPeriod", "2"}, {"scanGranularity", "1"}, {nullptr, nullptr}};

std::vector<std::string> orbArguments(const coil::Properties& config) {
    std::vector<std::string> args{"pelorin"};
    for (const std::string& endpoint : rt::splitCommaList(
             config.getProperty("corba.endpoints") + "," + config.getProperty("corba.endpoint"))) {
        args.push_back("-ORBendPoint");
        if (endpoint == "all") {
            args.push_back("giop:tcp::");
            args.push_back("-ORBendPointPublish");
            args.push_back("all(addr)");
        } else {
            args.push_back("giop:tcp:" + endpoint);
        }
    }
    std::istringstream extra(config.getProperty("corba.args"));
    for (std::string word; extra >> word;) args.push_back(word);
    return args;
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (size_t i = 1; i < words.size(); ++i) text += (i > 1 ? " " : "") + words[i];
    return text;
}

// "Type?key=value&key2=value2" into the type and its arguments.
std::string parseComponentArgs(const std::string& text, coil::Properties& args) {
    size_t question = text.find('?');
    if (question == std::string::npos) return text;
    std::string rest = text.substr(question + 1);
    size_t start = 0;
    while (start < rest.size()) {
        size_t amp = rest.find('&', start);
        if (amp == std::string::npos) amp = rest.size();
        std::string pair = rest.substr(start, amp - start);
        size_t eq = pair.find('=');
        if (eq != std::string::npos && eq > 0)
            args.setProperty(pair.substr(0, eq), pair.substr(eq + 1));
        start = amp + 1;
    }
    return text.substr(0, question);
}

}  // namespace

struct Manager::Impl {
    coil::Properties config;
    CORBA::ORB_var orb;
    PortableServer::POA_var poa;
    PortableServer::POAManager_var poaManager;
    ModuleInitProc moduleInit = nullptr;
    std::unique_ptr<rt::ComponentNaming> naming;  // null when naming.enable is NO

    std::mutex mutex;  // guards everything below
    std::condition_variable stateChanged;
    std::map<std::string, Factory> factories;
    std::vector<Component> components;
    std::vector<Component> retired;  // exited; deleted once the ORB has stopped
    bool shutdownRequested = false;
    bool shutdownStarted = false;
    bool shutdownDone = false;
    bool runBlocking = false;

    bool startOrb();
    void publishEndpoints();
    void bindNames(RTObject_impl& object);
    void startNamingUpdates();
    std::vector<std::string> namesFor(RTObject_impl& object);
    coil::Properties componentProperties(const Factory& factory, const coil::Properties& args,
                                         const std::string& instanceName);
    std::string nextInstanceName(const std::string& type);
    void requestShutdown();
    void preactivate();
};

namespace {
// Never deleted: the process may end through exit() while ORB and context threads still run,
// and nothing they use may be destroyed under them.
Manager* theManager = nullptr;
std::mutex theManagerMutex;
}  // namespace

Manager::Manager() : impl_(std::make_unique<Impl>()) {}

Manager::~Manager() = default;

namespace {

// The content of the configuration file the framework would read, or null when there is none.
// A "-f" file that does not open ends the process as in the framework (unless "-i" was given);
// a FIFO, directory or device is never opened, wherever it was named.
std::unique_ptr<std::istream> readConfigFile(const rt::ManagerArguments& args) {
    const pelorin::ManagerConfigFile found =
        pelorin::findManagerConfigFile(args.configFile, std::getenv("RTC_MANAGER_CONFIG"));
    if (found.status == pelorin::OpenStatus::NotRegularFile) {
        pelorin::Console::err().msg(rt::messages::kConfigFileNotRegular).raw(found.path).endl();
        std::exit(-1);
    }
    if (!args.configFile.empty() && found.path != args.configFile && !args.ignoreMissingFile) {
        pelorin::Console::err().msg(rt::messages::kConfigFileMissing).raw(args.configFile).endl();
        std::exit(-1);
    }
    if (found.path.empty()) return nullptr;
    pelorin::InputFile file;
    std::string content;
    if (file.open(found.path) == pelorin::OpenStatus::Ok) {
        content.resize(static_cast<std::size_t>(file.size()));
        content.resize(file.read(content.data(), content.size()));
    }
    return std::make_unique<std::istringstream>(content);
}

}  // namespace

Manager* Manager::init(int argc, char** argv) {
    std::lock_guard<std::mutex> lock(theManagerMutex);
    if (theManager != nullptr) return theManager;
    rt::ManagerArguments args = rt::parseManagerArguments(argc, argv);
    for (const std::string& problem : args.problems) pelorin::Console::err().raw(problem).endl();
    auto* manager = new Manager;
    manager->impl_->config = rt::buildManagerConfig(args, readConfigFile(args).get());
    for (const std::string& path : rt::Logger::instance().configure(manager->impl_->config)) {
        pelorin::Console::err().msg(rt::messages::kLogFileFailed).raw(path).endl();
    }
    for (const std::string& operand : args.operands) {
        rt::Logger::instance().write(rt::LogLevel::Debug,
                                     std::string(rt::messages::kLogArgumentLeft) + operand);
    }
    // Without an ORB nothing can work; the reason is on the console.
    if (!manager->impl_->startOrb()) std::exit(-1);
    rt::Logger::instance().write(rt::LogLevel::Info,
                                 std::string(rt::messages::kLogManagerStarted) +
                                     manager->impl_->config.getProperty("manager.pid"));
    theManager = manager;
    return theManager;
}

bool Manager::Impl::startOrb() {
    std::vector<std::string> words = orbArguments(config);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(words.size());
    try {
        orb = CORBA::ORB_init(argc, argv.data(), "omniORB4", kOrbOptions);
        CORBA::Object_var object = orb->resolve_initial_references("RootPOA");
        poa = PortableServer::POA::_narrow(object);
        poaManager = poa->the_POAManager();
        publishEndpoints();
    } catch (const CORBA::Exception& e) {
        pelorin::Console::err()
            .msg(rt::messages::kOrbInitFailed)
            .raw(e._name())
            .msg(rt::messages::kOrbArgumentsWere)
            .raw(joined(words))
            .endl();
        return false;
    }
    if (rt::isYes(config.getProperty("naming.enable"))) {
        naming = std::make_unique<rt::ComponentNaming>(
            orb, rt::splitCommaList(config.getProperty("corba.nameservers")));
    }
    return true;
}

Manager& Manager::instance() {
    {
        std::lock_guard<std::mutex> lock(theManagerMutex);
        if (theManager != nullptr) return *theManager;
    }
    char name[] = "pelorin";
    char* argv[] = {name, nullptr};
    return *init(1, argv);
}

void Manager::terminate() {
    Manager* manager;
    {
        std::lock_guard<std::mutex> lock(theManagerMutex);
        manager = theManager;
    }
    if (manager != nullptr) manager->shutdown();
}

coil::Properties& Manager::getConfig() {
    return impl_->config;
}

void Manager::setModuleInitProc(ModuleInitProc proc) {
    impl_->moduleInit = proc;
}

bool Manager::activateManager() {
    try {
        impl_->poaManager->activate();
    } catch (const CORBA::Exception&) {
        return false;
    }
    if (impl_->moduleInit != nullptr) impl_->moduleInit(this);
    impl_->preactivate();
    impl_->startNamingUpdates();
    return true;
}

void Manager::Impl::preactivate() {
    std::vector<std::string> wanted =
        rt::splitCommaList(config.getProperty("manager.components.preactivation"));
    std::vector<RTObject_impl*> objects;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (const Component& component : components) objects.push_back(component.object);
    }
    for (RTObject_impl* object : objects) {
        for (const std::string& name : wanted) {
            if (name != object->getInstanceName()) continue;
            ExecutionContext_var context = object->get_context(0);
            if (!CORBA::is_nil(context)) context->activate_component(object->getObjRef());
        }
    }
}

void Manager::runManager(bool no_block) {
    if (no_block) return;
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    {
        std::unique_lock<std::mutex> lock(impl_->mutex);
        impl_->runBlocking = true;
        while (!impl_->shutdownRequested && !impl_->shutdownStarted && signalled == 0) {
            impl_->stateChanged.wait_for(lock, kSignalPollInterval);
        }
        impl_->runBlocking = false;
    }
    shutdown();
}

void Manager::join() {
    std::unique_lock<std::mutex> lock(impl_->mutex);
    impl_->stateChanged.wait(lock, [this] { return impl_->shutdownDone; });
}

bool Manager::registerFactory(coil::Properties& profile, RtcNewFunc new_func,
                              RtcDeleteFunc delete_func) {
    std::string id = profile.getProperty("implementation_id");
    if (id.empty() || new_func == nullptr) return false;
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->factories.emplace(id, Factory{profile, new_func, delete_func}).second;
}

std::string Manager::Impl::nextInstanceName(const std::string& type) {
    for (int number = 0;; ++number) {
        std::string candidate = type + std::to_string(number);
        bool taken = false;
        for (const Component& component : components) {
            if (candidate == component.object->getInstanceName()) taken = true;
        }
        if (!taken) return candidate;
    }
}

coil::Properties Manager::Impl::componentProperties(const Factory& factory,
                                                    const coil::Properties& args,
                                                    const std::string& instanceName) {
    coil::Properties properties = factory.profile;
    for (const char* key : kInheritedKeys) {
        if (config.hasKey(key) != nullptr) properties.setProperty(key, config.getProperty(key));
    }
    // The component's configuration set, empty unless its profile gives parameters.
    properties.setProperty("conf.default", properties.getProperty("conf.default"));
    // Port settings ("port.inport.<name>.*", "port.inport.dataport.*") reach the ports.
    for (const std::string& key : config.propertyNames()) {
        if (key.compare(0, 5, "port.") == 0) properties.setProperty(key, config.getProperty(key));
    }
    const std::string& configuredRate = config.getProperty(kRateKey);
    double rate = 0.0;
    if (!rt::parsePositiveRate(configuredRate, rate)) {
        pelorin::Console::err().msg(rt::messages::kBadRate).raw(configuredRate).endl();
        properties.setProperty(kRateKey, rt::defaultManagerConfig().getProperty(kRateKey));
    }
    properties << args;
    std::string category = properties.getProperty("category");
    properties << rt::subtree(config, category + "." + properties.getProperty("type_name"));
    properties << rt::subtree(config, category + "." + instanceName);
    properties.setProperty("instance_name", instanceName);
    return properties;
}

RTObject_impl* Manager::createComponent(const char* comp_args) {
    coil::Properties args;
    std::string type = parseComponentArgs(comp_args == nullptr ? "" : comp_args, args);
    Factory factory;
    std::string instanceName;
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        auto it = impl_->factories.find(type);
        if (it == impl_->factories.end() || impl_->shutdownStarted) {
            pelorin::Console::err().msg(rt::messages::kUnknownFactory).raw(type).endl();
            return nullptr;
        }
        factory = it->second;
        // A limit that does not read as a count is no limit.
        long maxInstance = 0;
        pelorin::readWholeNumber(factory.profile.getProperty("max_instance"), 0, kMaxInstanceLimit,
                                 maxInstance);
        long existing = 0;
        for (const Component& component : impl_->components) existing += component.type == type;
        if (maxInstance > 0 && existing >= maxInstance) {
            pelorin::Console::err().msg(rt::messages::kTooManyInstances).raw(type).endl();
            return nullptr;
        }
        instanceName = args.getProperty("instance_name");
        if (instanceName.empty()) instanceName = impl_->nextInstanceName(type);
    }
    RTObject_impl* object = factory.create(this);
    if (object == nullptr) return nullptr;
    object->setProperties(impl_->componentProperties(factory, args, instanceName));
    object->setInstanceName(instanceName.c_str());
    rt::Logger::instance().write(rt::LogLevel::Info,
                                 std::string(rt::messages::kLogRateFrom) +
                                     object->getProperties().getProperty("exec_cxt.periodic.rate"));
    Component component{object, type, factory.destroy};
    if (!object->activateObject(impl_->poa) || object->initialize() != RTC_OK) {
        rt::Logger::instance().write(rt::LogLevel::Error,
                                     std::string(rt::messages::kLogComponentFailed) + instanceName);
        object->exitInternal();
        std::lock_guard<std::mutex> lock(impl_->mutex);
        impl_->retired.push_back(component);
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        impl_->components.push_back(component);
    }
    impl_->bindNames(*object);
    rt::Logger::instance().write(rt::LogLevel::Info,
                                 std::string(rt::messages::kLogComponentCreated) + instanceName);
    return object;
}

std::vector<std::string> Manager::Impl::namesFor(RTObject_impl& object) {
    std::vector<std::string> names;
    const coil::Properties& properties = object.getProperties();
    std::string formats =
        properties.getProperty("naming.formats", config.getProperty("naming.formats"));
    for (const std::string& format : rt::splitCommaList(formats)) {
        names.push_back(rt::formatComponentName(format, properties, config));
    }
    return names;
}

void Manager::Impl::bindNames(RTObject_impl& object) {
    std::vector<std::string> names = namesFor(object);
    std::string joinedNames;
    for (const std::string& name : names) joinedNames += (joinedNames.empty() ? "" : ",") + name;
    object.getProperties().setProperty("naming.names", joinedNames);
    if (naming == nullptr) return;
    if (names.empty() || naming->add(&object, object.getObjRef(), names)) return;
    std::string tried;
    for (const std::string& server : naming->servers()) {
        tried += (tried.empty() ? "" : ",") + server;
    }
    pelorin::Console::err().msg(rt::messages::kNoNameServer).raw(tried).endl();
    rt::Logger::instance().write(rt::LogLevel::Warn,
                                 std::string(rt::messages::kNoNameServer) + tried);
}

void Manager::Impl::publishEndpoints() {
    // Components show where peers reach them; any reference of the root POA carries it.
    CORBA::Object_var sample = poa->create_reference("IDL:omg.org/CORBA/Object:1.0");
    std::string all, v4, v6;
    for (const std::string& endpoint : rt::publishedEndpoints(sample)) {
        std::string& family = endpoint[0] == '[' ? v6 : v4;
        family += (family.empty() ? "" : ",") + endpoint;
        all += (all.empty() ? "" : ",") + endpoint;
    }
    config.setProperty("corba.endpoints", all);
    config.setProperty("corba.endpoints_ipv4", v4);
    config.setProperty("corba.endpoints_ipv6", v6);
}

void Manager::Impl::startNamingUpdates() {
    if (naming == nullptr || !rt::isYes(config.getProperty("naming.update.enable"))) return;
    // As in the framework, an interval that does not read falls back to the default.
    double interval = kDefaultNamingUpdateSec;
    const std::string& intervalText = config.getProperty("naming.update.interval");
    if (!rt::parsePositiveRate(intervalText, interval)) {
        rt::Logger::instance().write(
            rt::LogLevel::Warn, rt::describeBadPositive("naming.update.interval", intervalText));
    }
    naming->startUpdates(interval, rt::isYes(config.getProperty("naming.update.rebind")));
}

RTObject_impl* Manager::getComponent(const char* instance_name) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    for (const Component& component : impl_->components) {
        if (std::string(instance_name) == component.object->getInstanceName()) {
            return component.object;
        }
    }
    return nullptr;
}

std::vector<RTObject_impl*> Manager::getComponents() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    std::vector<RTObject_impl*> objects;
    for (const Component& component : impl_->components) objects.push_back(component.object);
    return objects;
}

CORBA::ORB_ptr Manager::getORB() {
    return CORBA::ORB::_duplicate(impl_->orb);
}

PortableServer::POA_ptr Manager::getPOA() {
    return PortableServer::POA::_duplicate(impl_->poa);
}

PortableServer::POAManager_ptr Manager::getPOAManager() {
    return PortableServer::POAManager::_duplicate(impl_->poaManager);
}

void Manager::notifyComponentExited(RTObject_impl* object) {
    Component component;
    bool last = false;
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        auto& list = impl_->components;
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (it->object != object) continue;
            component = *it;
            list.erase(it);
            impl_->retired.push_back(component);
            last = list.empty();
            break;
        }
    }
    if (component.object == nullptr) return;
    if (impl_->naming != nullptr) impl_->naming->remove(object);
    if (last && rt::isYes(impl_->config.getProperty("manager.shutdown_on_nortcs"))) {
        impl_->requestShutdown();
    }
}

void Manager::Impl::requestShutdown() {
    bool someoneWaits;
    {
        std::lock_guard<std::mutex> lock(mutex);
        shutdownRequested = true;
        someoneWaits = runBlocking;
    }
    stateChanged.notify_all();
    // Without a thread in runManager, the shutdown must not run on the ORB thread that asked
    // for it: stopping the ORB waits for that very call to finish.
    if (!someoneWaits) std::thread([] { Manager::terminate(); }).detach();
}

void Manager::shutdown() {
    {
        std::unique_lock<std::mutex> lock(impl_->mutex);
        if (impl_->shutdownStarted) {
            impl_->stateChanged.wait(lock, [this] { return impl_->shutdownDone; });
            return;
        }
        impl_->shutdownStarted = true;
    }
    rt::Logger::instance().write(rt::LogLevel::Info, std::string(rt::messages::kLogShutdown));
    if (impl_->naming != nullptr) impl_->naming->stopUpdates();
    std::vector<Component> active;
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        active.swap(impl_->components);
    }
    for (Component& component : active) {
        component.object->exitInternal();
        if (impl_->naming != nullptr) impl_->naming->remove(component.object);
    }
    try {
        impl_->orb->shutdown(true);
    } catch (const CORBA::BAD_INV_ORDER&) {
        impl_->orb->shutdown(false);  // called from within a request
    }
    std::vector<Component> retired;
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        retired.swap(impl_->retired);
    }
    for (Component& component : active) {
        if (component.destroy != nullptr) component.destroy(component.object);
    }
    for (Component& component : retired) {
        if (component.destroy != nullptr) component.destroy(component.object);
    }
    rt::Logger::instance().close();
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        impl_->shutdownDone = true;
    }
    impl_->stateChanged.notify_all();
}

}  // namespace RTC
