// A component process built on the bundled runtime, driven over CORBA the way tools and
// data-port peers drive it: found through a private naming service, activated through its
// execution context, connected and fed through the corba_cdr handshake, and unregistered when
// it ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <omniORB4/Naming.hh>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "rtm/DataFlowComponentBase.h"
#include "rtm/InPort.h"
#include "rtm/Manager.h"
#include "tests/component/EndToEnd.h"
#include "tests/support/SpecialFiles.h"

namespace {

using namespace std::chrono_literals;
namespace pt = pelorin::testing;

// ---- the component process ----

std::string gOutputPath;

// Polls `done` until it holds or the patience runs out; whether it held.
bool eventually(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + pt::kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// Values with a meaning for the recorder.
constexpr double kFailActivation = -2.0;  // the next activation fails
constexpr double kOverrun = -1.0;    // onExecute indexes past the end, as a short sequence does
constexpr double kTerminate = -3.0;  // the program ends the manager from a thread of its own
constexpr double kDeactivateSelf = -4.0;  // onExecute deactivates its own component

RTC::ReturnCode_t record(const std::string& line) {
    std::ofstream(gOutputPath, std::ios::app) << line << '\n';
    return RTC::RTC_OK;
}

class Recorder : public RTC::DataFlowComponentBase {
  public:
    explicit Recorder(RTC::Manager* manager)
        : DataFlowComponentBase(manager), port_("in", value_) {}
    RTC::ReturnCode_t onInitialize() override {
        addInPort("in", port_);  // named "Recorder0.in": the instance name is known from here on
        countIdleCycles_ = getProperties().getProperty("execute_on_input") == "1";
        if (countIdleCycles_) executeOnlyWhenInputArrives();
        return RTC::RTC_OK;
    }
    RTC::ReturnCode_t onActivated(RTC::UniqueId) override {
        if (port_.isNew() && port_.read() && value_.data[0] == kFailActivation) {
            return RTC::RTC_ERROR;
        }
        return RTC::RTC_OK;
    }
    RTC::ReturnCode_t onExecute(RTC::UniqueId) override {
        if (!port_.isNew()) return countIdleCycles_ ? record("idle cycle") : RTC::RTC_OK;
        port_.read();
        if (value_.data[0] == kOverrun) record("beyond " + std::to_string(value_.data[5]));
        if (value_.data[0] == kTerminate) std::thread([] { RTC::Manager::terminate(); }).detach();
        if (value_.data[0] == kDeactivateSelf) {
            RTC::ExecutionContext_var own = get_context(0);
            record("self-deactivation " + std::to_string(own->deactivate_component(getObjRef())));
        }
        return record(std::to_string(value_.tm.sec) + ' ' + std::to_string(value_.data[0]));
    }
    RTC::ReturnCode_t onDeactivated(RTC::UniqueId) override { return record("deactivated"); }
    RTC::ReturnCode_t onFinalize() override { return record("finalized"); }
    RTC::ReturnCode_t onAborting(RTC::UniqueId) override { return record("aborting"); }
    RTC::ReturnCode_t onError(RTC::UniqueId) override { return record("error"); }

  private:
    RTC::TimedDoubleSeq value_;
    RTC::InPort<RTC::TimedDoubleSeq> port_;
    bool countIdleCycles_ = false;
};

// clang-format off
const char* const kRecorderSpec[] = {
    "implementation_id", "Recorder", "type_name", "Recorder", "description", "test recorder",
    "version", "1.0.0", "vendor", "Tarnwell", "category", "Test", "activity_type", "PERIODIC",
    "kind", "DataFlowComponent", "max_instance", "1", "language", "C++",
    "exec_cxt.periodic.rate", "20.0", "",
};
// clang-format on

RTC::RTObject_impl* createRecorder(RTC::Manager* manager) {
    return new Recorder(manager);
}
void deleteRecorder(RTC::RTObject_impl* component) {
    delete component;
}

void recorderInit(RTC::Manager* manager) {
    coil::Properties profile(kRecorderSpec, 2147483647);
    manager->registerFactory(profile, createRecorder, deleteRecorder);
    if (manager->createComponent("Recorder") == nullptr) std::_Exit(3);
}

struct ProcessOptions {
    std::string nameServer;
    std::string stderrPath;  // empty: inherit
    std::string preactivation;
    std::vector<std::string> extra;  // further "-o key:value" settings
    rlim_t maxOpenFiles = 0;         // descriptor limit; 0 leaves it as it is
};

int runComponentProcess(void* argument) {
    auto* options = static_cast<ProcessOptions*>(argument);
    if (options->maxOpenFiles > 0) {
        const rlimit limit{options->maxOpenFiles, options->maxOpenFiles};
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0) return 5;
    }
    if (!options->stderrPath.empty()) {
        if (std::freopen(options->stderrPath.c_str(), "w", stderr) == nullptr) return 4;
    }
    std::vector<std::string> words = {"recorder", "robot.txt"};
    std::vector<std::string> settings = {
        "corba.nameservers:" + options->nameServer,
        "corba.endpoints:127.0.0.1:", "logger.enable:NO", "manager.shutdown_on_nortcs:YES",
        "manager.components.preactivation:" + options->preactivation};
    settings.insert(settings.end(), options->extra.begin(), options->extra.end());
    for (const std::string& setting : settings) {
        words.push_back("-o");
        words.push_back(setting);
    }
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    RTC::Manager* manager = RTC::Manager::init(static_cast<int>(words.size()), argv.data());
    manager->setModuleInitProc(recorderInit);
    manager->activateManager();
    manager->runManager(false);
    return 0;
}

// ---- the tool side ----

bool hasKey(const SDOPackage::NVList& list, const std::string& key) {
    for (CORBA::ULong i = 0; i < list.length(); ++i) {
        if (key == list[i].name.in()) return true;
    }
    return false;
}

std::string findString(const SDOPackage::NVList& list, const std::string& key) {
    for (CORBA::ULong i = 0; i < list.length(); ++i) {
        const char* text = nullptr;
        if (key == list[i].name.in() && (list[i].value >>= text)) return text;
    }
    return "";
}

// A 1.2-style peer port: while the connection is set up it asks the in-port for its
// connector profiles, as such peers do for their duplicate check.
class PeerPort : public POA_RTC::PortService {
  public:
    RTC::PortService_var target;
    std::atomic<int> listedDuringConnect{-1};
    std::atomic<bool> sawIor{false};
    std::atomic<bool> sawDisconnect{false};

    RTC::ReturnCode_t notify_connect(RTC::ConnectorProfile& profile) override {
        RTC::ConnectorProfileList_var listed = target->get_connector_profiles();
        listedDuringConnect = static_cast<int>(listed->length());
        sawIor = hasKey(profile.properties, "dataport.corba_cdr.inport_ior");
        return RTC::RTC_OK;
    }
    RTC::ReturnCode_t notify_disconnect(const char*) override {
        sawDisconnect = true;
        return RTC::RTC_OK;
    }
    RTC::PortProfile* get_port_profile() override { return new RTC::PortProfile; }
    RTC::ConnectorProfileList* get_connector_profiles() override {
        return new RTC::ConnectorProfileList;
    }
    RTC::ConnectorProfile* get_connector_profile(const char*) override {
        return new RTC::ConnectorProfile;
    }
    RTC::ReturnCode_t connect(RTC::ConnectorProfile&) override { return RTC::RTC_ERROR; }
    RTC::ReturnCode_t disconnect(const char*) override { return RTC::RTC_ERROR; }
    RTC::ReturnCode_t disconnect_all() override { return RTC::RTC_OK; }
};

class Tool {
  public:
    // Listens on `port` of 127.0.0.1, or on a free one when 0.
    explicit Tool(const std::string& nameServer, int port = 0) {
        int argc = 3;
        const std::string endpoint =
            "giop:tcp:127.0.0.1:" + (port == 0 ? std::string() : std::to_string(port));
        const char* argv[] = {"tool", "-ORBendPoint", endpoint.c_str(), nullptr};
        orb_ = CORBA::ORB_init(argc, const_cast<char**>(argv));
        CORBA::Object_var object = orb_->resolve_initial_references("RootPOA");
        poa_ = PortableServer::POA::_narrow(object);
        PortableServer::POAManager_var manager = poa_->the_POAManager();
        manager->activate();
        CORBA::Object_var naming =
            orb_->string_to_object(("corbaloc:iiop:" + nameServer + "/NameService").c_str());
        // Unchecked: a checked narrow asks the service at once and throws while a busy machine
        // has not started it yet; calls through it are retried by their callers instead.
        naming_ = CosNaming::NamingContext::_unchecked_narrow(naming);
    }
    ~Tool() { orb_->destroy(); }

    CosNaming::Name componentName(const std::string& instance) {
        CosNaming::Name name;
        name.length(2);
        name[0].id = pt::hostName().c_str();
        name[0].kind = "host_cxt";
        name[1].id = instance.c_str();
        name[1].kind = "rtc";
        return name;
    }

    // Null when the name is not bound, or the naming service or component does not answer yet.
    RTC::RTObject_ptr find(const std::string& instance) {
        try {
            CORBA::Object_var object = naming_->resolve(componentName(instance));
            return RTC::RTObject::_narrow(object);
        } catch (const CORBA::Exception&) {
            return RTC::RTObject::_nil();
        }
    }

    bool isBound(const std::string& instance) {
        RTC::RTObject_var found = find(instance);
        return !CORBA::is_nil(found);
    }

    RTC::RTObject_ptr waitFor(const std::string& instance) {
        RTC::RTObject_var found;
        eventually([&] {
            found = find(instance);
            return !CORBA::is_nil(found);
        });
        return found._retn();
    }

    // A reference to `servant`, activated in this tool's POA under `id`.
    RTC::PortService_ptr serve(PortableServer::Servant servant, PortableServer::ObjectId_var& id) {
        id = poa_->activate_object(servant);
        CORBA::Object_var object = poa_->id_to_reference(id);
        return RTC::PortService::_narrow(object);
    }

    CORBA::ORB_var orb_;
    PortableServer::POA_var poa_;
    CosNaming::NamingContext_var naming_;
};

OpenRTM::CdrData sample(unsigned char sec, double first, bool little = true) {
    cdrMemoryStream stream;
    stream.setByteSwapFlag(little);
    RTC::TimedDoubleSeq value;
    value.tm.sec = sec;
    value.tm.nsec = 0;
    value.data.length(2);
    value.data[0] = first;
    value.data[1] = 0.0;
    value >>= stream;
    OpenRTM::CdrData data;
    data.length(stream.bufSize());
    memcpy(data.get_buffer(), stream.bufPtr(), stream.bufSize());
    return data;
}

using Settings = std::vector<std::pair<const char*, const char*>>;
const Settings kPushCdr = {{"dataport.dataflow_type", "push"},
                           {"dataport.interface_type", "corba_cdr"},
                           {"dataport.subscription_type", "flush"}};

RTC::ConnectorProfile connectorOf(const std::vector<RTC::PortService_ptr>& ports,
                                  const Settings& settings) {
    RTC::ConnectorProfile connector;
    connector.name = "test";
    connector.ports.length(static_cast<CORBA::ULong>(ports.size()));
    for (CORBA::ULong i = 0; i < ports.size(); ++i) {
        connector.ports[i] = RTC::PortService::_duplicate(ports[i]);
    }
    connector.properties.length(static_cast<CORBA::ULong>(settings.size()));
    for (CORBA::ULong i = 0; i < settings.size(); ++i) {
        connector.properties[i].name = settings[i].first;
        connector.properties[i].value <<= settings[i].second;
    }
    return connector;
}

OpenRTM::InPortCdr_ptr sinkOf(Tool& tool, const RTC::ConnectorProfile& connector) {
    std::string ior = findString(connector.properties, "dataport.corba_cdr.inport_ior");
    CORBA::Object_var object = tool.orb_->string_to_object(ior.c_str());
    return OpenRTM::InPortCdr::_narrow(object);
}

RTC::LifeCycleState waitForState(RTC::ExecutionContext_ptr context, RTC::RTObject_ptr component,
                                 RTC::LifeCycleState wanted) {
    RTC::LifeCycleState state = context->get_component_state(component);
    eventually([&] {
        state = context->get_component_state(component);
        return state == wanted;
    });
    return state;
}

bool waitForText(const std::string& path, const std::string& text) {
    return eventually([&] { return pt::readFile(path).find(text) != std::string::npos; });
}

struct ComponentProcessTest : ::testing::Test {
    void SetUp() override { gOutputPath = dir.file("received.txt"); }
    pt::TempDir dir;
};

// Ends a forked process on every path out of a test, by its id.
struct ChildProcess {
    explicit ChildProcess(pid_t forked) : pid(forked) {}
    ~ChildProcess() { end(SIGKILL); }
    // Its exit status, or -1 when it was no longer there.
    int end(int signal) {
        if (pid <= 0) return -1;
        kill(pid, signal);
        const int status = pt::waitForExit(pid);
        pid = -1;
        return status;
    }
    pid_t pid;
};

// A running component process with the tool's handles on it.
struct Session {
    explicit Session(const std::string& preactivation = "", std::vector<std::string> extra = {},
                     const std::string& stderrPath = "")
        : options{naming.address(), stderrPath, preactivation, std::move(extra)},
          child(pt::forkProcess(runComponentProcess, &options)),
          tool(naming.address()),
          component(tool.waitFor("Recorder0")) {
        if (CORBA::is_nil(component)) {
            end();
            throw std::runtime_error("Recorder0 never appeared in the naming service" +
                                     naming.error());
        }
        context = component->get_context(0);
        RTC::PortServiceList_var ports = component->get_ports();
        port = RTC::PortService::_duplicate(ports[0].in());
    }
    ~Session() { end(); }
    int end() { return child.end(SIGTERM); }
    // Connects a push corba_cdr connection with the in-port alone; its sink.
    OpenRTM::InPortCdr_ptr connectSink() {
        RTC::ConnectorProfile connector = connectorOf({port.in()}, kPushCdr);
        EXPECT_EQ(port->connect(connector), RTC::RTC_OK);
        return sinkOf(tool, connector);
    }
    pt::NamingService naming;
    ProcessOptions options;
    ChildProcess child;
    Tool tool;
    RTC::RTObject_var component;
    RTC::ExecutionContext_var context;
    RTC::PortService_var port;
};

TEST_F(ComponentProcessTest, ToolActivatesConnectsFeedsAndSeesItUnbound) {
    Session session;
    Tool& tool = session.tool;
    RTC::RTObject_ptr component = session.component.in();

    RTC::ComponentProfile_var profile = component->get_component_profile();
    EXPECT_STREQ(profile->instance_name, "Recorder0");
    ASSERT_EQ(profile->port_profiles.length(), 1u);
    EXPECT_STREQ(profile->port_profiles[0].name, "Recorder0.in");
    EXPECT_EQ(findString(profile->port_profiles[0].properties, "dataport.data_type"),
              "IDL:RTC/TimedDoubleSeq:1.0");
    // What the framework's manager adds to a component's profile.
    const SDOPackage::NVList& properties = profile->properties;
    EXPECT_EQ(findString(properties, "naming.names"), pt::hostName() + ".host_cxt/Recorder0.rtc");
    EXPECT_EQ(findString(properties, "exec_cxt.periodic.rate"), "1000");
    EXPECT_EQ(findString(properties, "os.hostname"), pt::hostName());
    EXPECT_EQ(findString(properties, "openrtm.name").rfind("pelorin-rtcrt-", 0), 0u);
    EXPECT_EQ(findString(properties, "manager.instance_name"), "manager");
    const std::string endpoints = findString(properties, "corba.endpoints");
    EXPECT_EQ(endpoints.rfind("127.0.0.1:", 0), 0u) << endpoints;  // the port it was given
    EXPECT_GT(std::atoi(endpoints.c_str() + 10), 0) << endpoints;
    EXPECT_EQ(findString(properties, "corba.endpoints_ipv4"), endpoints);
    for (const char* key : {"conf.default", "port.inport.in", "port.inport.dataport"}) {
        EXPECT_TRUE(hasKey(properties, key)) << key;
    }

    // Execution context: the manager's 1000 Hz replaces the profile's 20 Hz, the component
    // starts INACTIVE.
    RTC::ExecutionContextList_var contexts = component->get_owned_contexts();
    ASSERT_EQ(contexts->length(), 1u);
    RTC::ExecutionContextService_var context =
        RTC::ExecutionContextService::_narrow(contexts[0].in());
    ASSERT_FALSE(CORBA::is_nil(context));
    EXPECT_DOUBLE_EQ(context->get_rate(), 1000.0);
    EXPECT_TRUE(context->is_running());
    EXPECT_EQ(context->get_component_state(component), RTC::INACTIVE_STATE);
    EXPECT_EQ(context->set_rate(0.0), RTC::BAD_PARAMETER);
    EXPECT_EQ(context->activate_component(component), RTC::RTC_OK);
    EXPECT_EQ(context->activate_component(component), RTC::PRECONDITION_NOT_MET);

    // Handshake with the in-port first and a 1.2-style peer second.
    RTC::PortServiceList_var ports = component->get_ports();
    ASSERT_EQ(ports->length(), 1u);
    PeerPort peer;
    peer.target = RTC::PortService::_duplicate(ports[0].in());
    PortableServer::ObjectId_var peerId;
    RTC::PortService_var peerRef = tool.serve(&peer, peerId);
    RTC::ConnectorProfile connector = connectorOf({ports[0].in(), peerRef.in()}, kPushCdr);
    ASSERT_EQ(ports[0]->connect(connector), RTC::RTC_OK);
    EXPECT_EQ(std::string(connector.connector_id).size(), 36u);
    EXPECT_TRUE(hasKey(connector.properties, "dataport.inport"));
    EXPECT_EQ(peer.listedDuringConnect.load(), 0) << "a connection under way was listed";
    EXPECT_TRUE(peer.sawIor.load());
    RTC::ConnectorProfileList_var listed = ports[0]->get_connector_profiles();
    EXPECT_EQ(listed->length(), 1u);

    OpenRTM::InPortCdr_var sink = sinkOf(tool, connector);
    ASSERT_FALSE(CORBA::is_nil(sink));
    EXPECT_EQ(sink->put(sample(11, 1.5)), OpenRTM::PORT_OK);
    EXPECT_TRUE(waitForText(gOutputPath, "11 1.500000\n"));
    // 0x20000000 doubles announced in 16 bytes: 4 GiB asked for, once.
    const unsigned char wraps[16] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0, 0};
    OpenRTM::CdrData absurd(16, 16, const_cast<CORBA::Octet*>(wraps), false);
    EXPECT_EQ(sink->put(absurd), OpenRTM::PORT_ERROR);
    EXPECT_EQ(sink->put(sample(12, -4.25)), OpenRTM::PORT_OK);
    EXPECT_TRUE(waitForText(gOutputPath, "12 -4.250000\n"));

    EXPECT_EQ(ports[0]->disconnect(connector.connector_id), RTC::RTC_OK);
    EXPECT_TRUE(peer.sawDisconnect.load());
    listed = ports[0]->get_connector_profiles();
    EXPECT_EQ(listed->length(), 0u);
    EXPECT_THROW(sink->put(sample(13, 0.0)), CORBA::OBJECT_NOT_EXIST);
    tool.poa_->deactivate_object(peerId);

    // A tool's exit ends the process of its only component, and the name goes.
    EXPECT_EQ(component->exit(), RTC::RTC_OK);
    EXPECT_EQ(session.child.end(0), 0);
    EXPECT_FALSE(tool.isBound("Recorder0"));
}

// Without a naming service the component warns once and keeps running; a service started later
// on that address learns of it, and an orderly end takes the name away again.
TEST_F(ComponentProcessTest, NamingServiceMissingAtStartIsWarnedOnceAndLearnsOfItLater) {
    const int port = pt::freeLoopbackPort();
    const std::string address = "127.0.0.1:" + std::to_string(port);
    ProcessOptions options{address, dir.file("stderr.txt"), "", {"naming.update.interval:0.1"}};
    ChildProcess child(pt::forkProcess(runComponentProcess, &options));
    const std::string warning =
        "Warning: no naming service answered; the component is unregistered for now. Tried: " +
        address + "\n";
    ASSERT_TRUE(waitForText(options.stderrPath, warning)) << pt::readFile(options.stderrPath);
    std::this_thread::sleep_for(500ms);  // several retries
    EXPECT_EQ(pt::readFile(options.stderrPath), warning);
    pt::NamingService naming(port);
    ASSERT_TRUE(naming.ok()) << naming.error();
    Tool tool(naming.address());
    RTC::RTObject_var component = tool.waitFor("Recorder0");
    EXPECT_FALSE(CORBA::is_nil(component));
    EXPECT_EQ(child.end(SIGTERM), 0);
    EXPECT_FALSE(tool.isBound("Recorder0"));
}

// A configured rate replaces the manager's; an invalid one is named and the default kept.
TEST_F(ComponentProcessTest, ConfiguredRateAppliesAndAnInvalidOneIsNamed) {
    for (const auto& [setting, rate] : {std::pair{"5", 5.0}, std::pair{"fast", 1000.0}}) {
        // One session at a time: a process must not be forked while this one's ORB is alive.
        Session session("", {std::string("exec_cxt.periodic.rate:") + setting},
                        dir.file("stderr.txt"));
        EXPECT_DOUBLE_EQ(session.context->get_rate(), rate) << setting;
        EXPECT_EQ(session.end(), 0);
    }
    EXPECT_EQ(pt::readFile(dir.file("stderr.txt")),
              "Ignored an invalid exec_cxt.periodic.rate: fast\n");
}

// Whether the component's name resolves to the component itself within `seconds`.
bool boundToComponent(Session& session, std::chrono::duration<double> seconds = pt::kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + seconds;
    do {
        RTC::RTObject_var found = session.tool.find("Recorder0");
        if (!CORBA::is_nil(found) && found->_is_equivalent(session.component)) return true;
        std::this_thread::sleep_for(50ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

// The name comes back after the naming service restarts empty, after someone unbinds it and
// after someone binds another object under it; not when updates are off.
TEST_F(ComponentProcessTest, NameIsBoundAgainByTheUpdatesUnlessTheyAreOff) {
    {  // one session at a time: no fork while this one's ORB is alive
        Session session("", {"naming.update.interval:1"});
        CosNaming::Name name = session.tool.componentName("Recorder0");
        session.tool.naming_->unbind(name);
        EXPECT_TRUE(boundToComponent(session)) << "not bound again after an unbind";
        session.tool.naming_->rebind(name, session.context);
        EXPECT_TRUE(boundToComponent(session)) << "another object kept the name";
        session.naming.restartEmpty();
        EXPECT_TRUE(boundToComponent(session)) << "not bound in the restarted service";
    }
    Session off("", {"naming.update.interval:0.2", "naming.update.enable:NO"});
    off.tool.naming_->unbind(off.tool.componentName("Recorder0"));
    EXPECT_FALSE(boundToComponent(off, 1s)) << "bound again with updates off";
}

TEST_F(ComponentProcessTest, FailedCallbacksLeadToErrorAndResetRecovers) {
    Session session;
    OpenRTM::InPortCdr_var sink = session.connectSink();
    RTC::ExecutionContext_ptr context = session.context.in();
    RTC::RTObject_ptr component = session.component.in();

    // Data is accepted while INACTIVE; the activation that reads it fails.
    EXPECT_EQ(sink->put(sample(1, kFailActivation)), OpenRTM::PORT_OK);
    EXPECT_EQ(context->activate_component(component), RTC::PRECONDITION_NOT_MET);
    EXPECT_EQ(context->get_component_state(component), RTC::ERROR_STATE);
    EXPECT_EQ(context->deactivate_component(component), RTC::PRECONDITION_NOT_MET);
    EXPECT_TRUE(waitForText(gOutputPath, "aborting\nerror\n"));
    EXPECT_EQ(context->reset_component(component), RTC::RTC_OK);
    EXPECT_EQ(context->get_component_state(component), RTC::INACTIVE_STATE);
    EXPECT_EQ(context->reset_component(component), RTC::PRECONDITION_NOT_MET);

    // An index past the end of a short sequence ends the cycle in ERROR; nothing is recorded.
    EXPECT_EQ(context->activate_component(component), RTC::RTC_OK);
    EXPECT_EQ(sink->put(sample(2, kOverrun)), OpenRTM::PORT_OK);
    EXPECT_EQ(waitForState(context, component, RTC::ERROR_STATE), RTC::ERROR_STATE);
    EXPECT_EQ(pt::readFile(gOutputPath).find("beyond"), std::string::npos);
    EXPECT_EQ(context->reset_component(component), RTC::RTC_OK);
    EXPECT_EQ(context->activate_component(component), RTC::RTC_OK);
    EXPECT_EQ(sink->put(sample(3, 7.0)), OpenRTM::PORT_OK);
    EXPECT_TRUE(waitForText(gOutputPath, "3 7.000000\n"));
}

// A component whose cycle has nothing to do without input lets its context sleep: at 1000 Hz
// no cycle runs while nothing arrives, and a sample is still taken at once.
TEST_F(ComponentProcessTest, ContextSleepsUntilInputWhenTheComponentAsks) {
    Session session("", {"Test.Recorder.execute_on_input:1", "exec_cxt.periodic.rate:1000"});
    OpenRTM::InPortCdr_var sink = session.connectSink();
    EXPECT_EQ(session.context->activate_component(session.component), RTC::RTC_OK);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(sink->put(sample(4, 2.0)), OpenRTM::PORT_OK);
    EXPECT_TRUE(waitForText(gOutputPath, "4 2.000000\n"));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(pt::readFile(gOutputPath).find("idle cycle"), std::string::npos);
    EXPECT_EQ(sink->put(sample(5, 3.0)), OpenRTM::PORT_OK);
    EXPECT_TRUE(waitForText(gOutputPath, "5 3.000000\n"));
}

// A callback that deactivates its own component, and Manager::terminate() called from the
// program: it finalises the component and ends the process, and the name goes.
TEST_F(ComponentProcessTest, SelfDeactivationThenTerminateFinalisesAndUnbinds) {
    Session session("Recorder0");
    OpenRTM::InPortCdr_var sink = session.connectSink();
    EXPECT_EQ(sink->put(sample(1, kDeactivateSelf)), OpenRTM::PORT_OK);
    EXPECT_TRUE(waitForText(gOutputPath, "self-deactivation 0\n")) << pt::readFile(gOutputPath);
    EXPECT_EQ(waitForState(session.context, session.component, RTC::INACTIVE_STATE),
              RTC::INACTIVE_STATE);
    EXPECT_EQ(session.context->activate_component(session.component), RTC::RTC_OK);
    EXPECT_EQ(sink->put(sample(2, kTerminate)), OpenRTM::PORT_OK);
    EXPECT_EQ(pt::waitForExit(session.child.pid), 0);
    session.child.pid = -1;
    EXPECT_NE(pt::readFile(gOutputPath).find("deactivated\nfinalized\n"), std::string::npos)
        << pt::readFile(gOutputPath);
    EXPECT_FALSE(session.tool.isBound("Recorder0"));
}

TEST_F(ComponentProcessTest, RefusedConnectionsLeaveNothingBehind) {
    Session session;
    RTC::PortService_ptr port = session.port.in();
    auto refused = [&](const Settings& settings) {
        RTC::ConnectorProfile connector = connectorOf({port}, settings);
        RTC::ReturnCode_t result = port->connect(connector);
        RTC::ConnectorProfileList_var left = port->get_connector_profiles();
        EXPECT_EQ(left->length(), 0u);
        return result;
    };
    const std::pair<Settings, RTC::ReturnCode_t> cases[] = {
        {{{"dataport.dataflow_type", "push"}, {"dataport.interface_type", "shared_memory"}},
         RTC::BAD_PARAMETER},
        {{{"dataport.interface_type", "corba_cdr"}}, RTC::BAD_PARAMETER},
        {{{"dataport.dataflow_type", "pull"}, {"dataport.interface_type", "corba_cdr"}},
         RTC::BAD_PARAMETER},
        {{{"dataport.dataflow_type", "push"},
          {"dataport.interface_type", "corba_cdr"},
          {"dataport.serializer.cdr.endian", "middle,little"}},
         RTC::UNSUPPORTED},
    };
    for (const auto& [settings, expected] : cases) EXPECT_EQ(refused(settings), expected);

    RTC::ConnectorProfile_var empty = port->get_connector_profile("no-such-id");
    EXPECT_STREQ(empty->connector_id, "");
    EXPECT_EQ(port->disconnect("no-such-id"), RTC::BAD_PARAMETER);
    EXPECT_EQ(port->notify_disconnect("no-such-id"), RTC::BAD_PARAMETER);

    RTC::ConnectorProfile fixed = connectorOf({port}, kPushCdr);
    fixed.connector_id = "fixed-id";
    EXPECT_EQ(port->connect(fixed), RTC::RTC_OK);
    RTC::ConnectorProfile again = connectorOf({port}, kPushCdr);
    again.connector_id = "fixed-id";
    EXPECT_EQ(port->connect(again), RTC::PRECONDITION_NOT_MET);
    EXPECT_EQ(port->disconnect_all(), RTC::RTC_OK);
    RTC::ConnectorProfileList_var left = port->get_connector_profiles();
    EXPECT_EQ(left->length(), 0u);
}

TEST_F(ComponentProcessTest, OutPortFirstBigEndianAndDeadPeerCleanup) {
    Session session("Recorder0");
    PeerPort peer;
    peer.target = RTC::PortService::_duplicate(session.port.in());
    PortableServer::ObjectId_var peerId;
    RTC::PortService_var peerRef = session.tool.serve(&peer, peerId);

    // An OutPort that connects first forwards notify_connect to the in-port, last in the list.
    Settings bigEndian = kPushCdr;
    bigEndian.push_back({"dataport.serializer.cdr.endian", "BIG, little"});
    RTC::ConnectorProfile connector = connectorOf({peerRef.in(), session.port.in()}, bigEndian);
    connector.connector_id = "from-outport";
    ASSERT_EQ(session.port->notify_connect(connector), RTC::RTC_OK);
    OpenRTM::InPortCdr_var sink = sinkOf(session.tool, connector);
    ASSERT_FALSE(CORBA::is_nil(sink));
    EXPECT_EQ(sink->put(sample(4, 2.5, false)), OpenRTM::PORT_OK);
    EXPECT_TRUE(waitForText(gOutputPath, "4 2.500000\n"));

    // The peer disappears: the next profile query drops its connector and closes the sink.
    session.tool.poa_->deactivate_object(peerId);
    RTC::ConnectorProfileList_var left = session.port->get_connector_profiles();
    EXPECT_EQ(left->length(), 0u);
    EXPECT_THROW(sink->put(sample(5, 0.0)), CORBA::OBJECT_NOT_EXIST);
}

// ---- data-port peers in processes of their own ----

// A one-shot sender as `pelorin-send VALUES` is one: a process with its own ORB and out-port
// that connects through the in-port (which then calls its port), puts one sample, and either
// disconnects or, as a killed sender would, just ends. With `serve` it stays, serving its port.
struct OneShotOptions {
    std::string nameServer;
    bool disconnect = true;
    int port = 0;  // the sender's own endpoint port; 0 for a free one
    bool serve = false;
};

// An out-port as the framework's: it takes part in the handshake and passes it on.
class ForwardingPort : public PeerPort {
  public:
    RTC::ReturnCode_t notify_connect(RTC::ConnectorProfile& profile) override {
        return target->notify_connect(profile);
    }
    RTC::ReturnCode_t notify_disconnect(const char* id) override {
        return target->notify_disconnect(id);
    }
};

// Activates `servant` under an object key of this process's own. A process forked from one that
// once ran an ORB inherits its key sequence, so its first object would have the same key as its
// siblings'; a real sender's keys are its own.
CORBA::Object_ptr activateWithOwnKey(Tool& side, PortableServer::Servant servant) {
    CORBA::PolicyList policies;
    policies.length(1);
    policies[0] = side.poa_->create_id_assignment_policy(PortableServer::USER_ID);
    PortableServer::POAManager_var manager = side.poa_->the_POAManager();
    PortableServer::POA_var poa = side.poa_->create_POA("sender", manager, policies);
    PortableServer::ObjectId_var id =
        PortableServer::string_to_ObjectId(std::to_string(getpid()).c_str());
    poa->activate_object_with_id(id, servant);
    return poa->id_to_reference(id);
}

int runOneShotSender(void* argument) {
    auto* options = static_cast<OneShotOptions*>(argument);
    Tool side(options->nameServer, options->port);
    RTC::RTObject_var recorder = side.waitFor("Recorder0");
    if (CORBA::is_nil(recorder)) return 2;
    RTC::PortServiceList_var ports = recorder->get_ports();
    RTC::PortService_ptr inPort = ports[0].in();
    // Never deleted: the process ends right after, and a call may still hold it.
    auto* outPort = new ForwardingPort;
    outPort->target = RTC::PortService::_duplicate(inPort);
    CORBA::Object_var object = activateWithOwnKey(side, outPort);
    RTC::PortService_var self = RTC::PortService::_narrow(object);
    RTC::ConnectorProfile connector = connectorOf({self.in(), inPort}, kPushCdr);
    if (inPort->connect(connector) != RTC::RTC_OK) return 3;
    OpenRTM::InPortCdr_var sink = sinkOf(side, connector);
    if (sink->put(sample(1, 1.0)) != OpenRTM::PORT_OK) return 4;
    if (options->disconnect && inPort->disconnect(connector.connector_id) != RTC::RTC_OK) return 5;
    if (options->serve) side.orb_->run();
    return 0;
}

int waitForRecorder(void* naming) {
    Tool side(static_cast<pt::NamingService*>(naming)->address());
    RTC::RTObject_var recorder = side.waitFor("Recorder0");
    return CORBA::is_nil(recorder) ? 2 : 0;
}

TEST_F(ComponentProcessTest, PeerProcessKilledAfterConnectingIsDropped) {
    pt::NamingService naming;
    ASSERT_TRUE(naming.ok()) << naming.error();
    ProcessOptions options{naming.address(), "", "Recorder0", {}};
    ChildProcess component(pt::forkProcess(runComponentProcess, &options));
    OneShotOptions peerOptions{naming.address(), false, 0, true};
    ChildProcess peer(pt::forkProcess(runOneShotSender, &peerOptions));
    ASSERT_TRUE(waitForText(gOutputPath, "1 1.000000\n")) << "the peer's sample never arrived";

    // Both processes forked: this one may have its ORB now.
    Tool tool(naming.address());
    RTC::RTObject_var recorder = tool.waitFor("Recorder0");
    ASSERT_FALSE(CORBA::is_nil(recorder));
    RTC::PortServiceList_var ports = recorder->get_ports();
    RTC::ConnectorProfileList_var listed = ports[0]->get_connector_profiles();
    ASSERT_EQ(listed->length(), 1u);
    const std::string id(listed[0].connector_id);

    // A stopped peer takes the liveness check but does not answer: it is not dead.
    ASSERT_EQ(kill(peer.pid, SIGSTOP), 0);
    listed = ports[0]->get_connector_profiles();
    EXPECT_EQ(listed->length(), 1u) << "the connection of a live but stopped peer was dropped";

    // Killed, it refuses the check: the component's profile, as tools read it, and the port's
    // own lists no longer show the connection.
    EXPECT_EQ(peer.end(SIGKILL), 128 + SIGKILL);
    RTC::ComponentProfile_var profile = recorder->get_component_profile();
    ASSERT_EQ(profile->port_profiles.length(), 1u);
    EXPECT_EQ(profile->port_profiles[0].connector_profiles.length(), 0u);
    listed = ports[0]->get_connector_profiles();
    EXPECT_EQ(listed->length(), 0u);
    RTC::ConnectorProfile_var gone = ports[0]->get_connector_profile(id.c_str());
    EXPECT_STREQ(gone->connector_id, "");
    EXPECT_EQ(component.end(SIGTERM), 0);
}

int openDescriptors(pid_t pid) {
    const std::string list = "ls /proc/" + std::to_string(pid) + "/fd | wc -l";
    std::FILE* pipe = popen(list.c_str(), "r");
    int count = -1;
    if (pipe != nullptr && std::fscanf(pipe, "%d", &count) != 1) count = -1;
    if (pipe != nullptr) pclose(pipe);
    return count;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// A forked sender costs up to 0.3 s there; 60 of them still show a socket left per sender.
constexpr int kSenderCycles = 60;
#else
constexpr int kSenderCycles = 1000;
#endif
// Back-to-back runs of a one-shot sender program take about 20 ms each. The component closes its
// side of a finished sender's connection within two seconds, so it holds at most two seconds'
// worth of senders at a time: the pace keeps that below the 256 descriptors it is allowed.
constexpr auto kSenderPace = 15ms;

// Senders in a row, one in four ending without a disconnect, against a component allowed 256
// descriptors: every one gets through, and soon after the last one the component holds
// no more descriptors than before. A socket to each finished sender used to stay open (in
// CLOSE-WAIT) for two minutes, and connections of senders that died filled the port.
TEST_F(ComponentProcessTest, FinishedSendersLeaveNoSocketsBehind) {
    pt::NamingService naming;
    ASSERT_TRUE(naming.ok()) << naming.error();
    ProcessOptions options{naming.address(), "", "", {}, 256};
    ChildProcess component(pt::forkProcess(runComponentProcess, &options));
    ASSERT_EQ(pt::waitForExit(pt::forkProcess(waitForRecorder, &naming)), 0);
    const int before = openDescriptors(component.pid);
    ASSERT_GT(before, 0);

    OneShotOptions sender{naming.address(), true};
    std::string failures;  // "cycle:status" of each sender that failed
    for (int cycle = 0; cycle < kSenderCycles; ++cycle) {
        const auto next = std::chrono::steady_clock::now() + kSenderPace;
        sender.disconnect = cycle % 4 != 0;
        const int status = pt::waitForExit(pt::forkProcess(runOneShotSender, &sender));
        if (status != 0) failures += " " + std::to_string(cycle) + ":" + std::to_string(status);
        std::this_thread::sleep_until(next);
    }
    EXPECT_EQ(failures, "") << "of " << kSenderCycles << " senders";
    EXPECT_TRUE(eventually([&] { return openDescriptors(component.pid) <= before + 10; }))
        << "descriptors before: " << before << ", now: " << openDescriptors(component.pid);
}

// A sender that died without disconnecting and runs again at the same address: the component's
// connection to that address is a dead one, and the new sender gets through all the same.
TEST_F(ComponentProcessTest, PeerStartedAgainAtTheSameAddressIsANewPeer) {
    pt::NamingService naming;
    ASSERT_TRUE(naming.ok()) << naming.error();
    ProcessOptions options{naming.address(), "", "", {}};
    ChildProcess component(pt::forkProcess(runComponentProcess, &options));
    OneShotOptions sender{naming.address(), false, pt::freeLoopbackPort()};
    EXPECT_EQ(pt::waitForExit(pt::forkProcess(runOneShotSender, &sender)), 0);
    sender.disconnect = true;
    EXPECT_EQ(pt::waitForExit(pt::forkProcess(runOneShotSender, &sender)), 0);
}

TEST(ManagerStartTest, OrbThatCannotStartOrMissingConfigurationFileEndsTheProcess) {
    const char* orbArgs[] = {"pelorin",          "-o",   "corba.args:-ORBnoSuchOption 1", "-o",
                             "logger.enable:NO", nullptr};
    EXPECT_EXIT(RTC::Manager::init(5, const_cast<char**>(orbArgs)), ::testing::ExitedWithCode(255),
                "The CORBA ORB could not be initialised: .*; ORB arguments: "
                "-ORBnoSuchOption 1");
    const char* fileArgs[] = {"pelorin", "-f", "/nonexistent/pelorin-rtc.conf", nullptr};
    EXPECT_EXIT(RTC::Manager::init(3, const_cast<char**>(fileArgs)), ::testing::ExitedWithCode(255),
                "Configuration file not found: /nonexistent/pelorin-rtc.conf");
}

// A FIFO is never opened; the unblocker turns a wait for a writer into a failure. The death test
// runs in a fresh process: a forked copy of this one would inherit the unblocker's thread state.
TEST(ManagerStartTest, AFifoNamedAsTheConfigurationFileEndsTheProcessUnopened) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    pelorin::testing::TempDir dir;
    const std::string fifo = dir.file("rtc.conf");
    ASSERT_TRUE(pelorin::testing::makeFifo(fifo));
    const pelorin::testing::FifoUnblocker unblocker(fifo, std::chrono::seconds(2));
    const char* fifoArgs[] = {"pelorin", "-f", fifo.c_str(), nullptr};
    EXPECT_EXIT(RTC::Manager::init(3, const_cast<char**>(fifoArgs)), ::testing::ExitedWithCode(255),
                "Configuration file is not a regular file .*, not read: .*rtc.conf");
}

}  // namespace
