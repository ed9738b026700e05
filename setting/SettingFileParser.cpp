#include "setting/SettingFileParser.h"

#include <ctime>
#include <fstream>

#include "scene/Parts.h"
#include "setting/SettingMessages.h"
#include "util/TextHelpers.h"

namespace pelorin {
namespace {

namespace m = setting_messages;

// Stands in for the log until parse(path) creates the file.
class DiscardSink : public TextSink {
  public:
    void write(std::string_view) override {}
};

constexpr char kCommentMark = '#';
constexpr char kCarriageReturn = '\r';

// asctime form of the current UTC time, with its own trailing line feed.
std::string currentUtcTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char buffer[64] = {};
    if (asctime_r(&utc, buffer) == nullptr) return "\n";
    return buffer;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

// Slot order is the order of the search; no keyword is a prefix of another.
const SettingFileParser::Keyword SettingFileParser::kKeywordTable[] = {
    {"BEGIN PARTS", &SettingFileParser::OnBEGIN_PARTS},
    {"END PARTS", &SettingFileParser::OnEND_PARTS},
    {"BEGIN ASSEM", &SettingFileParser::OnBEGIN_ASSEM},
    {"END ASSEM", &SettingFileParser::OnEND_ASSEM},
    {"COLOR", &SettingFileParser::OnColor},
    {"BEGIN CHILD", &SettingFileParser::OnBEGIN_CHILD},
    {"END CHILD", &SettingFileParser::OnEND_CHILD},
    {"BEGIN DRAWN STL", &SettingFileParser::OnBEGIN_DRAWN_STL},
    {"END DRAWN STL", &SettingFileParser::OnEND_DRAWN_STL},
    {"TRANS", &SettingFileParser::OnTrans},
    {"PATH", &SettingFileParser::OnPATH},
    {"NEXT", &SettingFileParser::OnNEXT},
    {"BEGIN DATAPORT", &SettingFileParser::OnBEGIN_DATAPORT},
    {"END DATAPORT", &SettingFileParser::OnEnd_DATAPORT},
    {"#", &SettingFileParser::OnComment},
    {"BEGIN SWITCH", &SettingFileParser::OnBEGIN_SWITCH},
    {"END SWITCH", &SettingFileParser::OnEND_SWITCH},
};

SettingFileParser::SettingFileParser()
    : logSink_(std::make_unique<DiscardSink>()),
      ownedLog_(std::make_unique<MessageStream>(*logSink_, TextEncoding::Cp932)),
      logHandedIn_(false),
      log_(ownedLog_.get()),
      out_(&Console::out()),
      err_(&Console::err()) {}

SettingFileParser::SettingFileParser(MessageStream& log, MessageStream& out, MessageStream& err)
    : logHandedIn_(true), log_(&log), out_(&out), err_(&err) {}

SettingFileParser::~SettingFileParser() = default;

Parts* SettingFileParser::parse(const std::string& path) {
    if (!logHandedIn_) {
        logSink_ = std::make_unique<FileSink>(kLogFileName);
        ownedLog_ = std::make_unique<MessageStream>(*logSink_, TextEncoding::Cp932);
        log_ = ownedLog_.get();
    }
    std::ifstream file(path, std::ios::binary);
    return parse(file, path);
}

Parts* SettingFileParser::parse(std::istream& in, const std::string& sourceName) {
    writeLogHeader(sourceName);
    if (!readLines(in)) return nullptr;
    log_->msg(m::kFinishParse).endl();
    if (!linkParts()) {
        out_->msg(m::kPartsLinkFailed).endl();
        return nullptr;
    }
    if (!linkDataPorts()) {
        out_->msg(m::kDataPortLinkFailed).endl();
        return nullptr;
    }
    out_->msg(m::kParseSucceeded).flush();
    return root_;
}

void SettingFileParser::writeLogHeader(const std::string& sourceName) {
    log_->msg(m::kLogTitle).endl();
    log_->msg(m::kLogSource).raw(sourceName).endl();
    lineNumber_ = 0;
    log_->msg(m::kLogTime).raw(currentUtcTimeText()).endl();
}

// Lines may be of any length. A CR before the LF belongs to the line end, so files written with
// CRLF read the same as files with LF.
bool SettingFileParser::readLines(std::istream& in) {
    std::string line;
    while (std::getline(in, line)) {
        ++lineNumber_;
        if (!line.empty() && line.back() == kCarriageReturn) line.pop_back();
        if (line.empty()) continue;
        if (!handleLine(line)) return false;
    }
    return true;
}

bool SettingFileParser::handleLine(std::string_view line) {
    const std::string_view text = afterSpaces(line);
    if (!text.empty() && text.front() == kCommentMark) {
        logLine(m::kCommentTag).raw(text).endl();
        return true;
    }
    for (const Keyword& keyword : kKeywordTable) {
        if (!startsWith(text, keyword.text)) continue;
        if ((this->*keyword.handler)(text.substr(keyword.text.size()))) return true;
        reportSyntaxError();
        return false;
    }
    return collectPlainLine(text);
}

bool SettingFileParser::collectPlainLine(std::string_view text) {
    if (inMode(kModeDataPort)) {
        dataPortLines_.emplace_back(text);
        return true;
    }
    if (inMode(kModeSwitch)) {
        switchLines_.emplace_back(text);
        out_->msg(m::kAddSwitchElement).raw(text).endl();
        return true;
    }
    logLine(m::kUndefinedCodeTag).raw(text).endl();
    return false;
}

void SettingFileParser::reportSyntaxError() {
    out_->msg(m::kLinePrefix) << lineNumber_;
    out_->msg(m::kSyntaxError).endl();
    logLine(m::kSyntaxError).endl();
}

MessageStream& SettingFileParser::logLine(std::string_view entry) {
    log_->msg(m::kLinePrefix) << lineNumber_;
    return log_->msg(entry);
}

}  // namespace pelorin
