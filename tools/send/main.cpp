// pelorin-send: an independent data sender for Pelorin's "doubleValue" in-port.
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "tools/send/ComponentClient.h"
#include "tools/send/OutPortPeer.h"
#include "tools/send/SendMessages.h"
#include "tools/send/SendOptions.h"
#include "tools/send/ValueSources.h"

namespace {

using namespace pelorin::send;
namespace m = messages;

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) {
    interrupted = true;
}

void catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void report(const std::string& text) {
    std::cerr << m::kPrefix << text << std::endl;
}

// A put that is not PORT_OK is reported but does not end the run: a full buffer is a passing
// state, and the receiver may recover.
void putOne(OutPortPeer& peer, const std::vector<double>& values) {
    const OpenRTM::PortStatus status = peer.put(values);
    if (status != OpenRTM::PORT_OK) report(std::string(m::kPutFailed) + portStatusName(status));
}

void runSweep(OutPortPeer& peer, const SendOptions& options) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto step = std::chrono::duration<double>(1.0 / options.rate);
    for (long tick = 0; !interrupted; ++tick) {
        const double t = tick * step.count();
        if (options.duration > 0 && t > options.duration) break;
        std::this_thread::sleep_until(start +
                                      std::chrono::duration_cast<Clock::duration>(tick * step));
        std::vector<double> values =
            sweepValues(t, options.count, options.amplitude, options.period);
        for (std::size_t i = 0; i < values.size() && i < options.centres.size(); ++i)
            values[i] += options.centres[i];
        putOne(peer, values);
    }
}

void runStdin(OutPortPeer& peer) {
    std::string line;
    std::vector<double> values;
    for (long number = 1; !interrupted && std::getline(std::cin, line); ++number) {
        std::string bad;
        if (!parseNumberLine(line, values, bad)) {
            report(std::string(m::kStdinLine) + std::to_string(number) + ": " +
                   std::string(m::kNotANumber) + bad + std::string(m::kSkipped));
            continue;
        }
        if (!values.empty()) putOne(peer, values);
    }
}

void send(CORBA::ORB_ptr orb, RTC::RTObject_ptr component, const SendOptions& options) {
    CORBA::Object_var object = orb->resolve_initial_references("RootPOA");
    PortableServer::POA_var poa = PortableServer::POA::_narrow(object);
    PortableServer::POAManager_var manager = poa->the_POAManager();
    manager->activate();
    RTC::PortService_var port = findPort(component, options.portName);
    OutPortPeer peer(orb, poa, options.byteOrder);
    peer.connect(port);
    try {
        if (options.mode == SendMode::Values) putOne(peer, options.values);
        if (options.mode == SendMode::Sweep) runSweep(peer, options);
        if (options.mode == SendMode::Stdin) runStdin(peer);
    } catch (...) {
        peer.disconnect();
        throw;
    }
    peer.disconnect();
}

int run(CORBA::ORB_ptr orb, const SendOptions& options) {
    RTC::RTObject_var component =
        options.reference.empty()
            ? findComponentByName(orb, options.namingHost, options.namingPort,
                                  options.name.empty() ? defaultComponentName() : options.name)
            : findComponentByReference(orb, options.reference);
    if (options.mode == SendMode::State) {
        std::cout << componentState(component) << std::endl;
        return 0;
    }
    if (options.mode == SendMode::Profile) {
        std::cout << componentProfileText(component) << std::flush;
        return 0;
    }
    if (options.mode == SendMode::Exit) {
        component->exit();
        return 0;
    }
    if (options.activate) activateComponent(component);
    if (options.mode == SendMode::Values && options.values.empty()) return 0;
    send(orb, component, options);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    SendOptions options;
    std::string error;
    if (!parseSendOptions(argc, argv, options, error)) {
        report(error);
        std::cerr << sendUsage();
        return 2;
    }
    if (options.mode == SendMode::Help) {
        std::cout << sendUsage();
        return 0;
    }
    catchInterrupts();
    // The ORB gets no arguments of ours; only a short call time-out so a hung peer cannot hold
    // the tool for ever.
    int orbArgc = 3;
    const char* orbArgv[] = {argv[0], "-ORBclientCallTimeOutPeriod", "10000", nullptr};
    CORBA::ORB_var orb = CORBA::ORB_init(orbArgc, const_cast<char**>(orbArgv));
    int status = 1;
    try {
        status = run(orb, options);
    } catch (const SendError& e) {
        report(e.what());
    } catch (const CORBA::Exception& e) {
        report(std::string(m::kCorbaError) + e._name());
    }
    orb->destroy();
    return status;
}
