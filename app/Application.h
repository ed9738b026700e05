// The start-up object: checks the command line, reads the setting file into the scene and hands
// the values received on the data port to the scene.
//
// One instance per process, created by the main body and never destroyed: the viewer thread
// reads the tree and its live values while the component thread publishes value sets, until the
// process ends. The Application owns the parser, which owns the tree, and the live values.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelorin {

class LiveValues;
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
    // process with exit(1). Returns true when the
    // scene is ready for the viewer. Later calls change nothing and return the same answer.
    bool start();

    // Component thread. Publishes the current value set with values[i] taken for value-table
    // entry i, in ascending order, for i < min(count, valueTableSize()), as one whole set (see
    // scene/LiveValues.h); a count of 0 or less changes nothing. When an entry was taken, tells
    // the viewer once that the scene changed. `values` must hold `count` doubles.
    void setValues(const double* values, int count);

    // Replaces what start() does with the linked tree. By default the root is published to the
    // viewer and the viewer thread is started; tests and window-less tools show it elsewhere.
    void setSceneShower(SceneShower shower) { showScene_ = std::move(shower); }

    // Number of value-table entries; 0 before start(). The component sizes its hand-over by it.
    std::size_t valueTableSize() const;

    // After checkArguments: the program name and the framework options, for the manager. The
    // setting file and "-debug" are not among them: the framework's parser would read "-debug"
    // as its own letters.
    const std::vector<std::string>& managerArguments() const { return managerArguments_; }
    bool helpShown() const { return helpShown_; }

    const std::string& settingFilePath() const { return settingFilePath_; }
    Parts* root() const { return root_; }
    // The value sets the root is drawn with; null before start().
    const LiveValues* liveValues() const { return values_.get(); }
    const SettingFileParser* parser() const { return parser_.get(); }

  private:
    bool acceptOptions(int argc, char** argv, int& firstOwn);
    bool acceptOwnArguments(int count, char** own);
    bool acceptPath(const char* candidate);
    bool acceptManagerConfigFile() const;

    std::string settingFilePath_;
    std::vector<std::string> managerArguments_;
    std::string managerConfigOption_;  // "-f FILE"
    bool helpShown_ = false;
    std::unique_ptr<SettingFileParser> parser_;
    Parts* root_ = nullptr;
    std::unique_ptr<LiveValues> values_;
    SceneShower showScene_;
};

// The process-wide Application; written once by the main body before the framework starts.
extern Application* theApplication;

}  // namespace pelorin
