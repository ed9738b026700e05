// pelorin-send: an independent data sender for Pelorin's "doubleValue" in-port, or for any
// RTC::TimedDoubleSeq in-port of another component.
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

constexpr auto kLingerStep = std::chrono::milliseconds(50);

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

// Returns whether anything was put.
bool runSweep(OutPortPeer& peer, const SendOptions& options) {
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
    return true;
}

bool runStdin(OutPortPeer& peer) {
    std::string line;
    std::vector<double> values;
    bool sent = false;
    for (long number = 1; !interrupted && std::getline(std::cin, line); ++number) {
        std::string bad;
        if (!parseNumberLine(line, values, bad)) {
            report(std::string(m::kStdinLine) + std::to_string(number) + ": " +
                   std::string(m::kNotANumber) + bad + std::string(m::kSkipped));
            continue;
        }
        if (values.empty()) continue;
        putOne(peer, values);
        sent = true;
    }
    return sent;
}

// A framework in-port reads through its connections only: disconnecting before the receiver's
// next read would leave the last sequence unread (until another sender connects, or for good).
void linger(double seconds) {
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                         std::chrono::duration<double>(seconds));
    while (!interrupted && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            kLingerStep, end - std::chrono::steady_clock::now()));
}

// The POA that serves our out-port, ready for the in-port's calls. Its first use opens the
// ORB's endpoint.
PortableServer::POA_ptr activeRootPoa(CORBA::ORB_ptr orb) {
    CORBA::Object_var object = orb->resolve_initial_references("RootPOA");
    PortableServer::POA_var poa = PortableServer::POA::_narrow(object);
    PortableServer::POAManager_var manager = poa->the_POAManager();
    manager->activate();
    return poa._retn();
}

void send(CORBA::ORB_ptr orb, RTC::RTObject_ptr component, const SendOptions& options) {
    PortableServer::POA_var poa = activeRootPoa(orb);
    RTC::PortService_var port = findPort(component, options.portName);
    OutPortPeer peer(orb, poa, options.byteOrder);
    peer.connect(port, options.connectorProperties);
    try {
        bool sent = false;
        if (options.mode == SendMode::Values) {
            putOne(peer, options.values);
            sent = true;
        }
        if (options.mode == SendMode::Sweep) sent = runSweep(peer, options);
        if (options.mode == SendMode::Stdin) sent = runStdin(peer);
        if (sent) linger(options.linger);
    } catch (...) {
        peer.disconnect();
        throw;
    }
    peer.disconnect();
}

int talkTo(CORBA::ORB_ptr orb, RTC::RTObject_ptr component, const SendOptions& options) {
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

int run(CORBA::ORB_ptr orb, const SendOptions& options) {
    RTC::RTObject_var component =
        options.reference.empty()
            ? findComponentByName(orb, options.namingHost, options.namingPort,
                                  options.name.empty() ? defaultComponentName() : options.name)
            : findComponentByReference(orb, options.reference);
    try {
        return talkTo(orb, component, options);
    } catch (const CORBA::TRANSIENT&) {
        throw unreachableComponent(component);
    }
}

// The ORB gets no arguments of ours; only a short call time-out so a hung peer cannot hold the
// tool for ever, and the addresses it publishes for the in-port's calls back: the one given, or
// every address of this machine, as a framework component does by default.
CORBA::ORB_ptr startOrb(const char* program, const SendOptions& options) {
    std::vector<std::string> args = {program, "-ORBclientCallTimeOutPeriod", "10000"};
    if (options.endpoint.empty()) {
        args.insert(args.end(), {"-ORBendPoint", "giop:tcp::", "-ORBendPointPublish", "all(addr)"});
    } else {
        const bool hasPort = options.endpoint.find(':') != std::string::npos;
        args.insert(args.end(),
                    {"-ORBendPoint", "giop:tcp:" + options.endpoint + (hasPort ? "" : ":")});
    }
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(args.size());
    return CORBA::ORB_init(argc, argv.data());
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
    CORBA::ORB_var orb = startOrb(argv[0], options);
    if (!options.endpoint.empty()) {
        try {
            PortableServer::POA_var poa = activeRootPoa(orb);
        } catch (const CORBA::INITIALIZE&) {
            report(std::string(m::kEndpointUnusable) + options.endpoint);
            orb->destroy();
            return 2;
        }
    }
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
