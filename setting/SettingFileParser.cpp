#include "setting/SettingFileParser.h"

#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#include "scene/Parts.h"
#include "setting/SettingMessages.h"
#include "util/InputFile.h"
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
constexpr char kLineFeed = '\n';
constexpr std::size_t kReadBlockSize = std::size_t{64} << 10;

// asctime form of the current UTC time, with its own trailing line feed.
std::string currentUtcTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char buffer[64] = {};
    if (asctime_r(&utc, buffer) == nullptr) return "\n";
    return buffer;
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
    InputFile file;
    if (file.open(path) == OpenStatus::NotRegularFile) {
        writeLogHeader(path);
        log_->msg(m::kNotRegularFileOpen).raw(path).msg(m::kNotRegularFileClose).endl();
        out_->msg(m::kNotRegularFileOpen).raw(path).msg(m::kNotRegularFileClose).endl();
        log_->flush();
        return nullptr;
    }
    return parseSource(file, path);
}

Parts* SettingFileParser::parse(std::istream& in, const std::string& sourceName) {
    StreamSource source(in);
    return parseSource(source, sourceName);
}

Parts* SettingFileParser::parseSource(ByteSource& source, const std::string& sourceName) {
    Parts* root = nullptr;
    try {
        root = readAndLink(source, sourceName);
    } catch (const std::bad_alloc&) {
        // What was built stays as it is; nothing uses a tree whose read failed. Writing the
        // message needs a little memory too, which the failed large request has left.
        try {
            log_->msg(m::kOutOfMemory).endl();
            out_->msg(m::kOutOfMemory).endl();
        } catch (const std::bad_alloc&) {
        }
    }
    log_->flush();
    return root;
}

Parts* SettingFileParser::readAndLink(ByteSource& source, const std::string& sourceName) {
    writeLogHeader(sourceName);
    if (!readLines(source)) {
        failedLine_ = lineNumber_;
        return nullptr;
    }
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

// Lines end at LF; a CR before the LF belongs to the line end, so files written with CRLF read
// the same as files with LF. A line may be up to kMaxLineBytes long: no input makes the reader
// hold more than that of one line.
bool SettingFileParser::readLines(ByteSource& source) {
    const std::unique_ptr<char[]> block(new char[kReadBlockSize]);
    std::string pending;  // the start of a line that the block ended in
    std::size_t got = kReadBlockSize;
    // A short read is the end of the input.
    while (got == kReadBlockSize && (got = source.read(block.get(), kReadBlockSize)) > 0) {
        std::string_view bytes(block.get(), got);
        for (;;) {
            const void* lf = std::memchr(bytes.data(), kLineFeed, bytes.size());
            if (lf == nullptr) {
                if (!keepPending(pending, bytes)) return false;
                break;
            }
            const auto length =
                static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data());
            if (pending.empty()) {
                if (!takeLine(bytes.substr(0, length))) return false;
            } else {
                if (!keepPending(pending, bytes.substr(0, length)) || !takeLine(pending)) {
                    return false;
                }
                pending.clear();
            }
            bytes.remove_prefix(length + 1);
        }
    }
    return pending.empty() || takeLine(pending);
}

// The line end's CR may come on top of the longest line.
bool SettingFileParser::keepPending(std::string& pending, std::string_view piece) {
    if (pending.size() + piece.size() <= kMaxLineBytes + 1) {
        pending.append(piece);
        return true;
    }
    ++lineNumber_;
    reportLineTooLong();
    return false;
}

bool SettingFileParser::takeLine(std::string_view line) {
    ++lineNumber_;
    if (!line.empty() && line.back() == kCarriageReturn) line.remove_suffix(1);
    if (line.size() > kMaxLineBytes) {
        reportLineTooLong();
        return false;
    }
    if (line.empty()) return true;
    return handleLine(line);
}

void SettingFileParser::reportLineTooLong() {
    logLine(m::kLineTooLong) << static_cast<unsigned long>(kMaxLineBytes);
    log_->endl();
    reportSyntaxError();
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
