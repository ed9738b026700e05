// Reads a setting file into a linked tree of Parts and the table of values that the data port
// drives.
//
// The file is read line by line. Blanks and tabs before a line's first word are skipped; a line
// whose first character is then "#" is a comment; a line that begins with a keyword of the table
// (case-sensitive prefix, slot order) goes to that keyword's handler with the rest of the line;
// other lines are collected inside DATAPORT and SWITCH blocks and are an error elsewhere. After
// the last line the parts link attaches every output path to its child and the data-port link
// turns the DATAPORT lines into the value table. Every step is traced in the parser log.
//
// Ownership: the parser owns every Parts it creates, registered or not, and through them every
// path, chain, element and drawn object. The program never destroys the parser, so the tree and
// the value table stay valid until the process ends. Not thread-safe: parse once, on one thread,
// before anything else reads the tree.
#pragma once

#include <istream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scene/PoseValues.h"
#include "util/MessageStream.h"

namespace pelorin {

class ByteSource;
class DrawnObjectBySTL;
class OutputPath;
struct StlLoadResult;
enum class StlNoFacets;
class Parts;
class TransformChain;
class TransformElement;
class TransformValue;

// What one value-table entry drives; pelorin-check and the tests describe the table with it.
enum class ValueKind { Angle, X, Y, Z };

struct ValueBinding {
    TransformValue* cell;  // not owned; lives as long as the parser; holds its slot
    std::string source;    // the DATAPORT line that bound it, leading blanks removed
    ValueKind kind;
};

class SettingFileParser {
  public:
    static constexpr const char* kLogFileName = "PASER_LOG.txt";
    static constexpr const char* kRootName = "ROOT";
    // Separates a keyword from its value, as in "PATH = base.stl".
    static constexpr char kValueMark = '=';

    // Mode numbers of the open blocks; the empty mode stack is the top level.
    static constexpr int kModeParts = 2;
    static constexpr int kModeChild = 3;
    static constexpr int kModeStl = 4;
    static constexpr int kModeDataPort = 5;
    static constexpr int kModeSwitch = 6;

    // Console messages go to Console::out() and Console::err(); parse(path) creates the log
    // (parse(stream) alone writes no log).
    SettingFileParser();
    // Writes to the given streams (which must outlive the parser); parse(path) then writes its
    // log to `log` as well instead of creating the log file.
    SettingFileParser(MessageStream& log, MessageStream& out, MessageStream& err);
    ~SettingFileParser();
    SettingFileParser(const SettingFileParser&) = delete;
    SettingFileParser& operator=(const SettingFileParser&) = delete;

    // Creates or truncates "PASER_LOG.txt" in the working directory (CP932) unless a log was
    // handed in, then reads the file at `path` (a file that does not open reads as empty; a
    // FIFO, directory, device or socket is refused). Returns the Parts named "ROOT" of the
    // linked tree, or nullptr after a syntax error, a line longer than kMaxLineBytes, a failed
    // link or memory running out; the messages say which line and what. The log is flushed
    // before the call returns, so it is complete whatever the program does next. Call once per
    // parser.
    Parts* parse(const std::string& path);
    // The same for text from a stream (or from memory); `sourceName` is written to the log
    // header.
    Parts* parse(std::istream& in, const std::string& sourceName);

    // Entry i is the number that element i of a received sequence drives; several entries may
    // drive one number. Each driven number has one slot of the model's value sets.
    const std::vector<TransformValue*>& valueTable() const { return valueTable_; }
    // The file's values of the slots: what the model is drawn with before any sequence arrives.
    const PoseValues& defaultValues() const { return defaultValues_; }
    const std::vector<ValueBinding>& valueBindings() const { return valueBindings_; }
    // Registered Parts by name, in byte-wise name order.
    const std::map<std::string, Parts*>& partsByName() const { return partsByName_; }
    const std::vector<std::string>& dataPortLines() const { return dataPortLines_; }
    const std::vector<std::string>& switchLines() const { return switchLines_; }
    Parts* root() const { return root_; }
    // After a parse that failed: the line the reading stopped at, or 0 when the lines were read
    // and the linking failed (or nothing was read).
    int failedLine() const { return failedLine_; }

  private:
    using Handler = bool (SettingFileParser::*)(std::string_view argument);
    struct Keyword {
        std::string_view text;
        Handler handler;
    };
    static const Keyword kKeywordTable[];

    // Reading loop (SettingFileParser.cpp).
    Parts* parseSource(ByteSource& source, const std::string& sourceName);
    Parts* readAndLink(ByteSource& source, const std::string& sourceName);
    void writeLogHeader(const std::string& sourceName);
    bool readLines(ByteSource& source);
    bool keepPending(std::string& pending, std::string_view piece);
    bool takeLine(std::string_view line);
    void reportLineTooLong();
    bool handleLine(std::string_view line);
    bool collectPlainLine(std::string_view text);
    void reportSyntaxError();
    MessageStream& logLine(std::string_view entry);

    // Section handlers (SectionHandlers.cpp, TransHandler.cpp).
    bool OnBEGIN_PARTS(std::string_view argument);
    bool OnEND_PARTS(std::string_view argument);
    bool OnBEGIN_ASSEM(std::string_view argument);
    bool OnEND_ASSEM(std::string_view argument);
    bool OnColor(std::string_view argument);
    bool OnBEGIN_CHILD(std::string_view argument);
    bool OnEND_CHILD(std::string_view argument);
    bool OnBEGIN_DRAWN_STL(std::string_view argument);
    bool OnEND_DRAWN_STL(std::string_view argument);
    bool OnTrans(std::string_view argument);
    bool OnPATH(std::string_view argument);
    bool OnNEXT(std::string_view argument);
    bool OnBEGIN_DATAPORT(std::string_view argument);
    bool OnEnd_DATAPORT(std::string_view argument);
    bool OnComment(std::string_view argument);
    bool OnBEGIN_SWITCH(std::string_view argument);
    bool OnEND_SWITCH(std::string_view argument);

    bool inMode(int mode) const { return !modeStack_.empty() && modeStack_.back() == mode; }
    void popMode() { modeStack_.pop_back(); }
    DrawnObjectBySTL* currentStlObject() const;
    bool loadStlInto(DrawnObjectBySTL& object, const std::string& path);
    void logStlRefusal(const StlLoadResult& result, const std::string& path);
    void warnNoFacets(MessageStream& out, StlNoFacets look, const std::string& path);
    TransformChain* chainOfCurrentMode();
    std::unique_ptr<TransformElement> createTransform(std::string_view value);

    // Link passes (LinkPasses.cpp).
    bool linkParts();
    bool linkChildrenOf(Parts& parts);
    bool checkForCycles();
    bool linkDataPorts();
    bool linkDataPortLine(std::string_view line);
    bool linkInputElement(Parts& parts, const std::vector<std::string_view>& tokens,
                          std::string_view source);
    bool linkPathElement(Parts& parts, const std::vector<std::string_view>& tokens,
                         std::string_view source);
    bool bindRotation(TransformElement* element, std::string_view source);
    bool bindTranslation(TransformElement* element, char letter, std::string_view source);
    void bindCell(TransformValue* cell, std::string_view source, ValueKind kind);

    // State of the read; the tree itself is owned through ownedParts_.
    std::vector<TransformValue*> valueTable_;
    std::vector<ValueBinding> valueBindings_;
    PoseValues defaultValues_;
    int lineNumber_ = 0;
    int failedLine_ = 0;
    std::unique_ptr<TextSink> logSink_;  // the log file, or a sink that drops everything
    std::unique_ptr<MessageStream> ownedLog_;
    bool logHandedIn_;
    MessageStream* log_;
    MessageStream* out_;
    MessageStream* err_;
    Parts* currentParts_ = nullptr;
    std::map<std::string, Parts*> partsByName_;
    std::vector<int> modeStack_;
    OutputPath* currentPath_ = nullptr;
    Parts* root_ = nullptr;
    std::vector<std::string> dataPortLines_;
    std::vector<std::string> switchLines_;
    std::vector<std::unique_ptr<Parts>> ownedParts_;
};

}  // namespace pelorin
