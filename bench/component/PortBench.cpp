// Port benchmark: how long a sequence takes from a sender's put to its hand-over to the scene, and
// how many puts a second the in-port accepts from one sender.
//
//   pelorin-port-bench receive              runs the component (framework settings from
//                                           RTC_MANAGER_CONFIG); prints the latency figures when
//                                           the sender asks it to exit
//   pelorin-port-bench probe PORT           succeeds once the receiver's name is bound
//   pelorin-port-bench send PORT [SAMPLES]  finds it on the naming service at 127.0.0.1:PORT,
//                                           measures, and prints the put rate
//   pelorin-port-bench idle [SECONDS]       runs the component with the manager's default rate
//                                           and no naming service, and prints the processor
//                                           share of its idle execution context
//
// Latency: the sender puts its monotonic clock reading as value 0; the receiver subtracts it from
// its own reading when the component hands the value over. Both processes run on one
// machine, so the clocks agree.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <rtm/Manager.h>

#include "app/PelorinProfile.h"
#include "component/ComponentHost.h"
#include "component/Pelorin.h"
#include "tools/send/ComponentClient.h"
#include "tools/send/OutPortPeer.h"

namespace {

double monotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// Records put-to-cell delays; values below zero come from the flood phase and are not timed.
// Only the execution context's thread writes; the main thread reads after the manager stopped.
class TimingHost : public pelorin::ComponentHost {
  public:
    pelorin::HostStart start() override { return pelorin::HostStart::Shown; }
    int valueCount() const override { return 1; }
    void setValues(const double* values, int count) override {
        if (count > 0 && values[0] >= 0) delays.push_back(monotonicSeconds() - values[0]);
    }
    std::vector<double> delays;
};

TimingHost* host = nullptr;

RTC::RTObject_impl* createBench(RTC::Manager* manager) {
    return new Pelorin(manager, *host);
}
void deleteBench(RTC::RTObject_impl* component) {
    delete component;
}

void benchInit(RTC::Manager* manager) {
    // The program's own profile, so the benchmark measures the component as users run it.
    coil::Properties profile(pelorinSpec, 2147483647L);
    manager->registerFactory(profile, createBench, deleteBench);
    if (manager->createComponent("Pelorin") == nullptr) {
        std::fprintf(stderr, "component creation failed\n");
        std::_Exit(1);
    }
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t at = static_cast<std::size_t>(fraction * (values.size() - 1) + 0.5);
    return values[at];
}

int receive(int argc, char** argv) {
    host = new TimingHost;
    RTC::Manager* manager = RTC::Manager::init(1, argv);
    (void)argc;
    manager->setModuleInitProc(benchInit);
    manager->activateManager();
    manager->runManager(false);
    std::printf(
        "put -> value cell at the configured rate: median %.1f us, p99 %.1f us (%zu samples)\n",
        percentile(host->delays, 0.5) * 1e6, percentile(host->delays, 0.99) * 1e6,
        host->delays.size());
    std::fflush(nullptr);
    std::_Exit(0);
}

void timedPuts(pelorin::send::OutPortPeer& peer, int samples) {
    // Spaced well apart so every put meets its own execution cycle (newer data replaces older).
    for (int i = 0; i < samples; ++i) {
        peer.put({monotonicSeconds()});
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void floodPuts(pelorin::send::OutPortPeer& peer) {
    const std::vector<double> value = {-1.0};
    const double start = monotonicSeconds();
    long accepted = 0, refused = 0;
    while (monotonicSeconds() - start < 3.0) {
        if (peer.put(value) == OpenRTM::PORT_OK)
            ++accepted;
        else
            ++refused;
    }
    const double elapsed = monotonicSeconds() - start;
    std::printf("puts accepted from one sender: %.0f per second (%ld in %.2f s, %ld refused)\n",
                accepted / elapsed, accepted, elapsed, refused);
}

// Finds the component, or throws; run.sh waits with it until the receiver is up.
int probe(const std::string& port) {
    int orbArgc = 1;
    char name[] = "pelorin-port-bench";
    char* orbArgv[] = {name, nullptr};
    CORBA::ORB_var orb = CORBA::ORB_init(orbArgc, orbArgv);
    RTC::RTObject_var component = pelorin::send::findComponentByName(
        orb, "127.0.0.1", std::atoi(port.c_str()), pelorin::send::defaultComponentName());
    orb->destroy();
    return 0;
}

int send(const std::string& port, int samples) {
    int orbArgc = 1;
    char name[] = "pelorin-port-bench";
    char* orbArgv[] = {name, nullptr};
    CORBA::ORB_var orb = CORBA::ORB_init(orbArgc, orbArgv);
    CORBA::Object_var object = orb->resolve_initial_references("RootPOA");
    PortableServer::POA_var poa = PortableServer::POA::_narrow(object);
    PortableServer::POAManager_var poaManager = poa->the_POAManager();
    poaManager->activate();
    RTC::RTObject_var component = pelorin::send::findComponentByName(
        orb, "127.0.0.1", std::atoi(port.c_str()), pelorin::send::defaultComponentName());
    pelorin::send::activateComponent(component);
    RTC::PortService_var inPort = pelorin::send::findPort(component, "doubleValue");
    {
        pelorin::send::OutPortPeer peer(orb, poa, pelorin::send::ByteOrder::Little);
        peer.connect(inPort);
        timedPuts(peer, samples);
        floodPuts(peer);
        peer.disconnect();
    }
    component->exit();
    orb->destroy();
    return 0;
}

}  // namespace

// Processor time of the whole process, in seconds.
double processSeconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + used.tv_nsec * 1e-9;
}

// Share of one core the process used while `wait` ran for `seconds`, in percent.
template <class Wait>
double coreShare(double seconds, Wait wait) {
    const double cpu = processSeconds();
    const double start = monotonicSeconds();
    wait(seconds);
    return (processSeconds() - cpu) / (monotonicSeconds() - start) * 100.0;
}

void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// The least any 1 kHz periodic thread costs here: it wakes each millisecond and does nothing.
void bareKilohertzLoop(double seconds) {
    auto next = std::chrono::steady_clock::now();
    const auto end = next + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double>(seconds));
    while (next < end) {
        next += std::chrono::milliseconds(1);
        std::this_thread::sleep_until(next);
    }
}

int idle(double seconds) {
    host = new TimingHost;
    const char* args[] = {"pelorin-port-bench", "-o", "naming.enable:NO",           "-o",
                          "logger.enable:NO",   "-o", "corba.endpoints:127.0.0.1:", nullptr};
    RTC::Manager* manager = RTC::Manager::init(7, const_cast<char**>(args));
    manager->setModuleInitProc(benchInit);
    manager->activateManager();
    manager->runManager(true);
    RTC::RTObject_impl* component = manager->getComponent("Pelorin0");
    RTC::ExecutionContext_var context = component->get_context(0);
    context->stop();
    const double bare = coreShare(seconds, bareKilohertzLoop);
    context->start();
    const double inactive = coreShare(seconds, sleepFor);
    context->activate_component(component->getObjRef());
    const double active = coreShare(seconds, sleepFor);
    std::printf(
        "idle execution context at %.0f Hz (the manager's default), share of one core: "
        "inactive %.2f %%, active with no data %.2f %%\n",
        context->get_rate(), inactive, active);
    std::printf(
        "baseline, a bare 1 kHz sleep loop in the same process with the context stopped: "
        "%.2f %%; active context / baseline: %.2f\n",
        bare, bare > 0 ? active / bare : 0.0);
    std::fflush(nullptr);
    std::_Exit(0);
}

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "receive") return receive(argc, argv);
        if (mode == "probe" && argc > 2) return probe(argv[2]);
        if (mode == "send" && argc > 2) return send(argv[2], argc > 3 ? std::atoi(argv[3]) : 1000);
        if (mode == "idle") return idle(argc > 2 ? std::atof(argv[2]) : 5.0);
    } catch (const pelorin::send::SendError& e) {
        std::fprintf(stderr, "pelorin-port-bench: %s\n", e.what());
        return 1;
    } catch (const CORBA::Exception& e) {
        std::fprintf(stderr, "pelorin-port-bench: CORBA error %s\n", e._name());
        return 1;
    }
    std::fprintf(
        stderr,
        "usage: pelorin-port-bench receive | probe PORT | send PORT [SAMPLES] | idle [SECONDS]\n");
    return 2;
}
