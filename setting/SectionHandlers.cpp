// The handlers of the block keywords and of COLOR, PATH and NEXT. Each writes its entry text to
// the log, tests the mode, reads its value and returns false for a syntax error; the reading
// loop then reports the line.
#include <optional>

#include "mesh/DrawnObjectBySTL.h"
#include "scene/Parts.h"
#include "setting/SettingFileParser.h"
#include "setting/SettingMessages.h"
#include "setting/TransArguments.h"
#include "util/TextHelpers.h"

namespace pelorin {
namespace {

namespace m = setting_messages;

constexpr char kColorSeparator = ',';
constexpr std::size_t kColorComponents = 3;

// The value after the first "=" and its blanks, up to the line's end (trailing blanks included).
// None when there is no "=" or nothing after it.
std::optional<std::string_view> readValue(std::string_view argument) {
    const std::size_t mark = argument.find(SettingFileParser::kValueMark);
    if (mark == std::string_view::npos) return std::nullopt;
    const std::string_view value = afterSpaces(argument.substr(mark + 1));
    if (value.empty()) return std::nullopt;
    return value;
}

}  // namespace

bool SettingFileParser::OnBEGIN_PARTS(std::string_view argument) {
    logLine(m::kEntryBeginParts);
    const auto name = readValue(argument);
    if (!name) return false;
    ownedParts_.push_back(std::make_unique<Parts>(std::string(*name)));
    currentParts_ = ownedParts_.back().get();
    modeStack_.push_back(kModeParts);
    log_->msg(m::kEnterParts).raw(*name).endl();
    return true;
}

bool SettingFileParser::OnEND_PARTS(std::string_view) {
    logLine(m::kEntryEndParts);
    if (!inMode(kModeParts)) {
        log_->msg(m::kSequenceErrorOccurred).endl();
        return false;
    }
    const std::string& name = currentParts_->getName();
    log_->raw(name).msg(m::kPartsAdded).endl();
    log_->msg(m::kLeaveParts).endl();
    popMode();
    // The first Parts of a name stays registered; a later one is built but cannot be found.
    if (!partsByName_.emplace(name, currentParts_).second) {
        logLine(m::kWarningTag).msg(m::kDuplicatePartsOpen).raw(name);
        log_->msg(m::kDuplicateClose).endl();
    }
    return true;
}

bool SettingFileParser::OnBEGIN_ASSEM(std::string_view) {
    return true;
}

bool SettingFileParser::OnEND_ASSEM(std::string_view) {
    return true;
}

bool SettingFileParser::OnColor(std::string_view argument) {
    logLine(m::kEntryColor);
    if (!inMode(kModeStl)) {
        log_->msg(m::kSequenceError).endl();
        return false;
    }
    const auto value = readValue(argument);
    if (!value) return false;
    const auto items = splitLine(*value, kColorSeparator);
    if (items.size() != kColorComponents) {
        log_->msg(m::kFormatError).endl();
        return false;
    }
    const double r = readNumber(items[0]);
    const double g = readNumber(items[1]);
    const double b = readNumber(items[2]);
    DrawnObjectBySTL* object = currentStlObject();
    if (object == nullptr) {
        log_->msg(m::kDowncastFailedNl);
        return false;
    }
    object->setColor(r, g, b);
    log_->msg(m::kColorValues) << r;
    log_->raw(" ") << g;
    log_->raw(" ") << b;
    log_->endl();
    return true;
}

bool SettingFileParser::OnBEGIN_CHILD(std::string_view argument) {
    logLine(m::kEntryBeginChild);
    if (!inMode(kModeParts)) {
        out_->msg(m::kBeginChildSequenceError).endl();
        return false;
    }
    const auto name = readValue(argument);
    if (!name) return false;
    bool registered = true;
    currentPath_ = currentParts_->addOutputPath(std::string(*name), &registered);
    modeStack_.push_back(kModeChild);
    log_->msg(m::kPathName).raw(*name).endl();
    if (!registered) {
        logLine(m::kWarningTag).msg(m::kDuplicatePathOpen).raw(*name);
        log_->msg(m::kDuplicateClose).endl();
    }
    return true;
}

bool SettingFileParser::OnEND_CHILD(std::string_view) {
    logLine(m::kEntryEndChild);
    if (!inMode(kModeChild)) {
        log_->msg(m::kSequenceError);
        return false;
    }
    popMode();
    log_->msg(m::kLeaveChild).endl();
    return true;
}

bool SettingFileParser::OnBEGIN_DRAWN_STL(std::string_view argument) {
    logLine(m::kEntryBeginDrawnStl);
    if (!inMode(kModeParts)) {
        log_->msg(m::kSequenceError).endl();
        return false;
    }
    modeStack_.push_back(kModeStl);
    log_->msg(m::kEnterStl);
    const auto name = readValue(argument);
    if (!name) return false;
    log_->msg(m::kModelName).raw(*name).endl();
    currentParts_->setDrawnObject(std::make_unique<DrawnObjectBySTL>(std::string(*name)));
    return true;
}

bool SettingFileParser::OnEND_DRAWN_STL(std::string_view) {
    logLine(m::kEntryEndDrawnStl);
    if (!inMode(kModeStl)) {
        log_->msg(m::kSequenceError).endl();
        return false;
    }
    log_->msg(m::kLeaveStl).endl();
    popMode();
    return true;
}

bool SettingFileParser::OnPATH(std::string_view argument) {
    logLine(m::kEntryPath);
    if (!inMode(kModeStl)) {
        log_->msg(m::kSequenceError).endl();
        return false;
    }
    const auto path = readValue(argument);
    if (!path) return false;
    log_->msg(m::kPathValue).raw(*path).endl();
    DrawnObjectBySTL* object = currentStlObject();
    if (object == nullptr) {
        log_->msg(m::kDowncastFailed).endl();
        return false;
    }
    return loadStlInto(*object, std::string(*path));
}

// A refused file fails the PATH line with its reason in the log; a padded binary file loads
// with a warning that gives both sizes. A file without facets loads too (the rest of the robot
// still shows), with a warning on the console as well, since the part it should draw is
// invisible.
bool SettingFileParser::loadStlInto(DrawnObjectBySTL& object, const std::string& path) {
    StlLoadResult result;
    if (!object.loadStl(path, &result)) {
        logStlRefusal(result, path);
        return false;
    }
    if (result.paddedBinary) {
        logLine(m::kWarningTag).msg(m::kStlPadded)
            << static_cast<unsigned long>(result.expectedSize);
        log_->msg(m::kStlActualSize) << static_cast<unsigned long>(result.actualSize);
        log_->endl();
    }
    if (result.noFacets != StlNoFacets::None) {
        warnNoFacets(*log_, result.noFacets, path);
        warnNoFacets(*out_, result.noFacets, path);
    }
    return true;
}

void SettingFileParser::warnNoFacets(MessageStream& out, StlNoFacets look,
                                     const std::string& path) {
    out.msg(m::kLinePrefix) << lineNumber_;
    out.msg(m::kWarningTag).msg(m::kStlFileOpen).raw(path).msg(m::kStlNoFacets);
    switch (look) {
        case StlNoFacets::None:
        case StlNoFacets::Text:
            out.msg(m::kStlLooksText);
            break;
        case StlNoFacets::EmptyFile:
            out.msg(m::kStlLooksEmpty);
            break;
        case StlNoFacets::LfsPointer:
            out.msg(m::kStlLooksLfsPointer);
            break;
        case StlNoFacets::Xml:
            out.msg(m::kStlLooksXml);
            break;
        case StlNoFacets::Binary:
            out.msg(m::kStlLooksBinary);
            break;
    }
    out.endl();
}

void SettingFileParser::logStlRefusal(const StlLoadResult& result, const std::string& path) {
    switch (result.status) {
        case StlLoadStatus::Ok:
        case StlLoadStatus::CannotOpen:
            log_->msg(m::kStlOpenFailed);
            break;
        case StlLoadStatus::NotRegularFile:
            log_->msg(m::kStlFileOpen).raw(path).msg(m::kStlNotRegularClose);
            break;
        case StlLoadStatus::TruncatedBinary:
            log_->msg(m::kStlTruncated) << static_cast<unsigned long>(result.expectedSize);
            log_->msg(m::kStlActualSize) << static_cast<unsigned long>(result.actualSize);
            break;
        case StlLoadStatus::LineTooLong:
            log_->msg(m::kStlFileOpen).raw(path).msg(m::kStlLineAt)
                << static_cast<unsigned long>(result.line);
            log_->msg(m::kStlLineTooLong) << static_cast<unsigned long>(kMaxLineBytes);
            break;
        case StlLoadStatus::OutOfMemory:
            log_->msg(m::kStlFileOpen).raw(path).msg(m::kStlOutOfMemory)
                << static_cast<unsigned long>(result.facets);
            break;
    }
    log_->endl();
}

bool SettingFileParser::OnNEXT(std::string_view argument) {
    logLine(m::kEntryNext).raw(argument).raw("\t");
    if (!inMode(kModeChild)) {
        log_->msg(m::kSequenceError).endl();
        return false;
    }
    const std::size_t mark = argument.find(kValueMark);
    if (mark == std::string_view::npos) return false;
    const std::string_view name = afterSpaces(argument.substr(mark + 1));
    log_->msg(m::kNextValue).raw(name).endl();
    currentPath_->setChildName(std::string(name));
    return true;
}

bool SettingFileParser::OnBEGIN_DATAPORT(std::string_view) {
    logLine(m::kEntryBeginDataPort);
    if (!modeStack_.empty()) return false;
    modeStack_.push_back(kModeDataPort);
    log_->msg(m::kEnterDataPort).endl();
    return true;
}

bool SettingFileParser::OnEnd_DATAPORT(std::string_view) {
    logLine(m::kEntryEndDataPort);
    if (!inMode(kModeDataPort)) {
        log_->msg(m::kSequenceError).endl();
        return false;
    }
    popMode();
    log_->msg(m::kLeaveDataPort).endl();
    return true;
}

// Comment lines are handled before the table is searched, so this slot is never reached.
bool SettingFileParser::OnComment(std::string_view) {
    return true;
}

bool SettingFileParser::OnBEGIN_SWITCH(std::string_view) {
    out_->msg(m::kLinePrefix) << lineNumber_;
    out_->msg(m::kBeginSwitchTag).endl();
    modeStack_.push_back(kModeSwitch);
    return true;
}

bool SettingFileParser::OnEND_SWITCH(std::string_view) {
    out_->msg(m::kLinePrefix) << lineNumber_;
    out_->msg(m::kEndSwitchTag).endl();
    if (!inMode(kModeSwitch)) {
        log_->msg(m::kEndSwitchSequenceError).endl();
        return false;
    }
    popMode();
    return true;
}

DrawnObjectBySTL* SettingFileParser::currentStlObject() const {
    if (currentParts_ == nullptr) return nullptr;
    return dynamic_cast<DrawnObjectBySTL*>(currentParts_->drawnObject());
}

}  // namespace pelorin
