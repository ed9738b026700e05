// Process entry of Pelorin: the main body runs under ACE's main wrapper, creates the
// Application, checks the command line and hands the main thread to the framework's manager.
//
// Ending. The process ends when the manager's run returns: after SIGINT or SIGTERM, after the
// window was closed, or after a tool asked the component to exit. The manager unbinds the names
// on its way out. The viewer thread may still be inside GLUT at that moment, so the process must
// not run static destructors under its feet: stdio is flushed and the process ends with _Exit.
#include <ace/Init_ACE.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <rtm/Manager.h>

#include "app/AppMessages.h"
#include "app/Application.h"
#include "app/PelorinProfile.h"
#include "util/MessageStream.h"
#include "viewer/Viewer.h"

namespace {

// Guards the manager against a stop request arriving while the main thread leaves the process.
// Set once the manager has been activated: from then on a stop goes through it, so the names it
// bound are removed. Until then the start may be waiting on something that never comes (a
// naming service that takes the connection and never answers), and only ending the process at
// once can stop it; a name bound in the last moments of the activation may then stay behind, as
// after SIGKILL, until the next start binds it again.
std::mutex managerMutex;
RTC::Manager* runningManager = nullptr;

// SIGINT and SIGTERM are blocked in every thread (they inherit the mask of the main thread) and
// taken by one watcher thread, so no framework call ever runs inside a signal handler.
sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// Asks the manager to stop until the process has ended: a request that comes before the manager
// entered its run would otherwise be lost.
[[noreturn]] void stopManagerRepeatedly() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(managerMutex);
            if (runningManager != nullptr) runningManager->terminate();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

// The signal's own ending, as if it had not been blocked.
[[noreturn]] void endBySignal(int signal) {
    std::fflush(nullptr);
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
    std::_Exit(1);
}

void watchStopSignals() {
    std::thread([] {
        const sigset_t set = stopSignals();
        int signal = 0;
        while (sigwait(&set, &signal) != 0) {
        }
        {
            std::lock_guard<std::mutex> lock(managerMutex);
            if (runningManager == nullptr) endBySignal(signal);
        }
        stopManagerRepeatedly();
    }).detach();
}

[[noreturn]] void endProcess(int status) {
    std::lock_guard<std::mutex> lock(managerMutex);
    runningManager = nullptr;
    std::fflush(nullptr);
    std::_Exit(status);
}

// The manager takes the program name and the framework's options only.
RTC::Manager* initManager(const std::vector<std::string>& arguments) {
    static std::vector<std::string> words = arguments;  // the manager may keep the pointers
    static std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    return RTC::Manager::init(static_cast<int>(words.size()), argv.data());
}

int mainBody(int argc, char** argv) {
    pelorin::theApplication = new pelorin::Application();
    if (!pelorin::theApplication->checkArguments(argc, argv)) {
        if (pelorin::theApplication->helpShown()) return 0;
        pelorin::Console::out().msg(pelorin::app_messages::kStartFailed).flush();
        return 1;
    }
    // Closing the window stops the manager like SIGTERM does, so the names are unbound.
    pelorin::setWindowClosedHandler([] { kill(getpid(), SIGTERM); });
    RTC::Manager* manager = initManager(pelorin::theApplication->managerArguments());
    manager->setModuleInitProc(moduleInit);
    manager->activateManager();
    {
        std::lock_guard<std::mutex> lock(managerMutex);
        runningManager = manager;
    }
    manager->runManager(false);
    return 0;
}

// Sets the ACE library up around the main body and closes it afterwards; the role that
// ACE_Main_Base plays where ACE declares it (Debian's ACE initialises through its static object
// manager and offers the explicit init/fini pair instead).
class PelorinMain {
  public:
    int run(int argc, char** argv) {
        ACE::init();
        const int status = run_i(argc, argv);
        ACE::fini();
        return status;
    }

  private:
    int run_i(int argc, char** argv) { return mainBody(argc, argv); }
};

}  // namespace

int main(int argc, char** argv) {
    const sigset_t set = stopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    watchStopSignals();
    PelorinMain body;
    endProcess(body.run(argc, argv));
}
