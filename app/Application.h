// The start-up object: checks the command line, reads the setting file into the scene, reads it
// again on request, and hands the values received on the data port to the scene.
//
// One instance per process, created by the main body and never destroyed. The model in use (see
// app/LoadedModel.h) sits behind one pointer: a reload reads the new file completely beside the
// old model and then puts it in place in one step, so the viewer and the component see either
// the old model or the new one, never a part of each. The old model is freed once the last
// frame or hand-over holding it is done.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/ReloadThread.h"

namespace pelorin {

class LiveValues;
class LoadedModel;
class Parts;
class SettingFileParser;

class Application {
  public:
    static constexpr const char* kDebugOption = "-debug";
    // Shows a linked scene posed with its live values; returns whether a viewer was started.
    using SceneShower = std::function<bool(Parts* root, const LiveValues* values)>;

    // Prints "RTM起動" and a line end on the console.
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Main thread. Accepts "prog [framework options] [-debug] FILE", the framework options being
    // those every component program takes (util/ManagerOptions.h). Stores FILE when it is a
    // regular file (or a link to one) that opens for reading, and keeps the options for the
    // manager. Otherwise prints why and returns false: an unknown option or a missing value as
    // the framework's parser words it (on standard error), no FILE or too many arguments,
    // nothing for two arguments whose first is not "-debug", a FILE that does not open; a FIFO
    // is refused at once, not waited on. "--help" prints the usage and returns false, with
    // helpShown() true. An rtc.conf that the manager would read (util/ManagerConfigFile.h) and
    // that is not a regular file is refused too, before the manager could block on it.
    bool checkArguments(int argc, char** argv);

    // Called once, while the component initialises. Reads and links the stored setting file
    // (writing "PASER_LOG.txt" in the working directory, complete when the read ends); on
    // failure, memory running out included, prints "設定ファイルの構文解析に失敗" and ends the
    // process with exit(1), or returns false with no model where the process must live on (see
    // keepProcessWhenStartFails). Returns true when the scene is ready for the viewer. Once a
    // model is read, later calls change nothing and return the same answer.
    bool start();
    // For a process that belongs to a framework daemon, whose other components must run on: a
    // setting file that does not read at start fails start() instead of ending the process, and
    // the window closes when the component ends (see componentEnded).
    void runInSharedProcess() { sharedProcess_ = true; }
    bool inSharedProcess() const { return sharedProcess_; }
    // The component that shows the model has ended. In a shared process its window goes too; a
    // process of its own is about to end anyway.
    void componentEnded();

    // Where the command line named no setting file (a process started by a framework daemon),
    // `path` becomes the file that start() reads. Main thread, before start().
    void useSettingFileIfNoneGiven(const std::string& path);

    // Reads `path` as start() does, with the same messages, and on success puts the new model in
    // place of the current one (the viewer shows it from its next frame; the value table is the
    // new file's, its cells holding the file's values until the next sequence) and makes `path`
    // the setting file in use. When the file does not read, the current model stays and the
    // console says which file could not be read after the parser's own message. Any thread but
    // the viewer's: it reads files. Reloads run one at a time.
    bool reload(const std::string& path);
    // Reads the setting file in use again on the reload thread and returns at once. Any thread;
    // the viewer's reload key calls it.
    void requestReload();
    // Waits until no requested reload is waiting or running; false when `timeout` passed first.
    bool waitForRequestedReloads(std::chrono::nanoseconds timeout);

    // Component thread. Publishes the current model's value set with values[i] taken for
    // value-table entry i, in ascending order, for i < min(count, valueTableSize()), as one whole
    // set (see scene/LiveValues.h); a count of 0 or less changes nothing. When an entry was
    // taken, tells the viewer once that the scene changed. `values` must hold `count` doubles.
    void setValues(const double* values, int count);

    // Replaces what start() does with the linked tree. By default the model is published to the
    // viewer, the viewer thread is started and the viewer's reload key is bound to
    // requestReload(), and each reload shows its model in the viewer; tests and window-less
    // tools show the tree elsewhere, and reloads then only replace the model.
    void setSceneShower(SceneShower shower) { showScene_ = std::move(shower); }

    // Number of value-table entries of the current model; 0 before start(). The component
    // sizes its hand-over by it.
    std::size_t valueTableSize() const;

    // After checkArguments: the program name and the framework options, for the manager. The
    // setting file and "-debug" are not among them: the framework's parser would read "-debug"
    // as its own letters.
    const std::vector<std::string>& managerArguments() const { return managerArguments_; }
    bool helpShown() const { return helpShown_; }

    // The setting file in use: the command line's (or the configured one) until a reload has
    // read another.
    std::string settingFilePath() const;
    // The current model; null before start(). Any thread.
    std::shared_ptr<const LoadedModel> model() const;
    // The current model's root and parser; valid until the next reload (hold model() instead
    // where a reload may come in between).
    Parts* root() const;
    const SettingFileParser* parser() const;
    // The value sets the current root is drawn with; null before start(). Valid as root().
    const LiveValues* liveValues() const;

  private:
    bool acceptOptions(int argc, char** argv, int& firstOwn);
    bool acceptOwnArguments(int count, char** own);
    bool acceptPath(const char* candidate);
    bool acceptManagerConfigFile() const;
    bool showInViewer(const std::shared_ptr<const LoadedModel>& model);
    void putInPlace(std::shared_ptr<const LoadedModel> model);

    mutable std::mutex modelMutex_;  // guards the path and the model pointer, never held long
    std::string settingFilePath_;
    std::vector<std::string> managerArguments_;
    std::string managerConfigOption_;  // "-f FILE"
    bool helpShown_ = false;
    std::shared_ptr<const LoadedModel> model_;
    bool started_ = false;  // main thread only
    bool sharedProcess_ = false;
    std::atomic<bool> showsInViewer_{false};
    SceneShower showScene_;   // replaces showing in the viewer (tests, tools)
    std::mutex reloadMutex_;  // one reload at a time
    ReloadThread reloadThread_{[this] { reload(settingFilePath()); }};
};

// The process-wide Application; written once by the main body before the framework starts.
extern Application* theApplication;

}  // namespace pelorin
