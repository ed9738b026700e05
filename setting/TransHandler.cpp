// TRANS: creates a translation or rotation and appends it to the chain that the current mode
// selects (the Parts' input chain, the output path's chain or the drawn object's "PreTrans").
#include "scene/Parts.h"
#include "scene/RotateTransform.h"
#include "scene/TranslateTransform.h"
#include "setting/SettingFileParser.h"
#include "setting/SettingMessages.h"
#include "setting/TransArguments.h"
#include "util/TextHelpers.h"

namespace pelorin {
namespace {

namespace m = setting_messages;

}  // namespace

bool SettingFileParser::OnTrans(std::string_view argument) {
    logLine(m::kEntryTrans);
    const std::size_t mark = argument.find(kValueMark);
    if (mark == std::string_view::npos) {
        out_->msg(m::kUndefinedCode).endl();
        return false;
    }
    const std::string_view value = afterSpaces(argument.substr(mark + 1));
    if (value.empty()) {
        // Accepted and ignored; the line end keeps the next log entry on a line of its own.
        log_->endl();
        return true;
    }
    std::unique_ptr<TransformElement> element = createTransform(value);
    if (!element) return false;
    TransformChain* chain = chainOfCurrentMode();
    if (chain == nullptr) return false;
    chain->pushBack(std::move(element));
    return true;
}

// Creates the element and logs it; nullptr after writing the message of a malformed value.
std::unique_ptr<TransformElement> SettingFileParser::createTransform(std::string_view value) {
    TransArguments spec;
    switch (readTransArguments(value, lineNumber_, spec)) {
        case TransReadResult::UnknownForm:
            out_->msg(m::kUndefinedCode).endl();
            return nullptr;
        case TransReadResult::FormatError:
            err_->msg(m::kFormatError).endl();
            return nullptr;
        case TransReadResult::Ok:
            break;
    }
    if (spec.kind == TransArguments::Kind::Translation) {
        log_->msg(m::kTranslationCreated).raw(spec.name).raw(",") << spec.x;
        log_->raw(",") << spec.y;
        log_->raw(",") << spec.z;
        log_->endl();
        return std::make_unique<TranslateTransform>(spec.x, spec.y, spec.z, spec.name);
    }
    log_->msg(m::kRotationCreated).raw(spec.name).raw(",");
    log_->raw(std::string(1, RotateTransform::axisLetter(spec.axis))).raw(",") << spec.angle;
    log_->endl();
    auto rotation = std::make_unique<RotateTransform>(spec.axis, spec.angle, spec.name);
    // A "-" before the axis letter turns the rotation the other way, received angles included.
    rotation->setInverted(spec.inverted);
    return rotation;
}

// The chain for the current mode; nullptr after logging why there is none.
TransformChain* SettingFileParser::chainOfCurrentMode() {
    if (inMode(kModeParts)) return &currentParts_->inputTransforms();
    if (inMode(kModeChild)) return &currentPath_->transforms();
    if (inMode(kModeStl)) {
        // A PARTS block opened and closed inside the DRAWN STL block leaves a current Parts
        // without a drawn object.
        DrawnObject* object = currentParts_->drawnObject();
        if (object != nullptr) return &object->preTrans();
        log_->msg(m::kNoDrawnObject).endl();
        return nullptr;
    }
    log_->msg(m::kUndefinedSequence).endl();
    return nullptr;
}

}  // namespace pelorin
