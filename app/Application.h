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

    // Main thread. Accepts "prog FILE" and "prog -debug FILE"; stores FILE when it is a regular
    // file (or a link to one) that opens for reading. Otherwise prints why on the console
    // (nothing for a first argument that is not "-debug") and returns false; a FIFO is refused
    // at once, not waited on.
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

    const std::string& settingFilePath() const { return settingFilePath_; }
    Parts* root() const { return root_; }
    // The value sets the root is drawn with; null before start().
    const LiveValues* liveValues() const { return values_.get(); }
    const SettingFileParser* parser() const { return parser_.get(); }

  private:
    bool acceptPath(const char* candidate);

    std::string settingFilePath_;
    std::unique_ptr<SettingFileParser> parser_;
    Parts* root_ = nullptr;
    std::unique_ptr<LiveValues> values_;
    SceneShower showScene_;
};

// The process-wide Application; written once by the main body before the framework starts.
extern Application* theApplication;

}  // namespace pelorin
