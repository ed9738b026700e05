// The passes that run after the last line: the parts link resolves child names into the tree,
// the data-port link turns DATAPORT lines into the value table.
#include <algorithm>
#include <set>

#include "scene/Parts.h"
#include "scene/RotateTransform.h"
#include "scene/TranslateTransform.h"
#include "setting/SettingFileParser.h"
#include "setting/SettingMessages.h"
#include "util/TextHelpers.h"

namespace pelorin {
namespace {

namespace m = setting_messages;

constexpr char kNameSeparator = '.';
constexpr std::size_t kPartsElementTokens = 2;  // Parts.Element
constexpr std::size_t kThreeTokens = 3;         // Parts.Element.Axis or Parts.Path.Element
constexpr std::size_t kPathAxisTokens = 4;      // Parts.Path.Element.Axis

bool isAxisLetter(char ch) {
    return ch == 'X' || ch == 'Y' || ch == 'Z';
}

// At most this many bodies drawn from ROOT. A sound robot has far fewer; every change of a value
// works out the pose of each one again (about 0.2 s for this many), and a tree 100,000 Parts deep
// still links.
constexpr std::size_t kMaxDrawnBodies = 200000;

// The number of bodies drawn from `root`, capped at `limit` + 1. A Parts reached along several
// paths is drawn once per path, so shared Parts in a row multiply: forty Parts, each with two
// paths to the next, draw a million million bodies from a file of a few kilobytes. Counted once per
// Parts, bottom-up, with a stack of its own. The tree must be free of cycles.
std::size_t countDrawnBodies(const Parts& root, std::size_t limit) {
    std::map<const Parts*, std::size_t> counts;
    std::vector<const Parts*> stack{&root};
    while (!stack.empty()) {
        const Parts* parts = stack.back();
        if (counts.count(parts) != 0) {  // reached along another path meanwhile
            stack.pop_back();
            continue;
        }
        bool childrenCounted = true;
        for (const auto& entry : parts->outputPaths()) {
            const Parts* child = entry.second->child();
            if (child != nullptr && counts.count(child) == 0) {
                stack.push_back(child);
                childrenCounted = false;
            }
        }
        if (!childrenCounted) continue;
        std::size_t count = 1;
        for (const auto& entry : parts->outputPaths()) {
            const Parts* child = entry.second->child();
            if (child != nullptr) count = std::min(count + counts[child], limit + 1);
        }
        counts[parts] = count;
        stack.pop_back();
    }
    return counts[&root];
}

}  // namespace

bool SettingFileParser::linkParts() {
    log_->msg(m::kLinkStart).endl();
    if (partsByName_.empty()) {
        log_->msg(m::kNoParts).endl();
        return false;
    }
    const auto rootEntry = partsByName_.find(kRootName);
    if (rootEntry == partsByName_.end()) {
        log_->msg(m::kRootMissing).endl();
        return false;
    }
    root_ = rootEntry->second;
    // Every registered Parts, not only those below the root.
    for (const auto& [name, parts] : partsByName_) {
        log_->msg(m::kLinkTarget).raw(name).endl();
        if (!linkChildrenOf(*parts)) return false;
        log_->msg(m::kLinkSucceeded).endl().endl();
    }
    if (!checkForCycles()) return false;
    if (countDrawnBodies(*root_, kMaxDrawnBodies) > kMaxDrawnBodies) {
        log_->msg(m::kTooManyBodies) << static_cast<unsigned long>(kMaxDrawnBodies);
        log_->endl();
        return false;
    }
    return true;
}

bool SettingFileParser::linkChildrenOf(Parts& parts) {
    log_->msg(m::kChildCount) << static_cast<unsigned long>(parts.outputPaths().size());
    log_->endl();
    for (const auto& entry : parts.outputPaths()) {
        OutputPath& path = *entry.second;
        if (path.childName().empty()) continue;
        log_->msg(m::kChildName).raw(path.childName());
        const auto child = partsByName_.find(path.childName());
        if (child == partsByName_.end()) {
            log_->msg(m::kChildMiss).endl();
            return false;
        }
        path.setChild(child->second);
        log_->msg(m::kChildHit).endl();
    }
    return true;
}

// Drawing follows the output paths without end when a Parts can reach itself, so such a tree is
// refused. Every registered Parts is a starting point: a cycle need not hang below ROOT. The walk
// keeps its own stack, so a deep tree cannot exhaust the thread's stack.
bool SettingFileParser::checkForCycles() {
    enum class Mark { Unvisited, OnStack, Done };
    std::map<const Parts*, Mark> marks;
    struct Frame {
        const Parts* parts;
        Parts::PathMap::const_iterator next;
    };
    for (const auto& start : partsByName_) {
        if (marks[start.second] != Mark::Unvisited) continue;
        std::vector<Frame> stack{{start.second, start.second->outputPaths().begin()}};
        marks[start.second] = Mark::OnStack;
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next == top.parts->outputPaths().end()) {
                marks[top.parts] = Mark::Done;
                stack.pop_back();
                continue;
            }
            const Parts* child = (top.next++)->second->child();
            if (child == nullptr || marks[child] == Mark::Done) continue;
            if (marks[child] == Mark::OnStack) {
                log_->msg(m::kCycleFound);
                const auto first = std::find_if(stack.begin(), stack.end(),
                                                [&](const Frame& f) { return f.parts == child; });
                for (auto it = first; it != stack.end(); ++it) {
                    log_->raw(it->parts->getName()).msg(m::kCycleArrow);
                }
                log_->raw(child->getName()).endl();
                return false;
            }
            marks[child] = Mark::OnStack;
            stack.push_back({child, child->outputPaths().begin()});
        }
    }
    return true;
}

bool SettingFileParser::linkDataPorts() {
    log_->msg(m::kDataPortLinkStart).endl();
    for (const std::string& line : dataPortLines_) {
        if (!linkDataPortLine(afterSpaces(line))) return false;
    }
    return true;
}

bool SettingFileParser::linkDataPortLine(std::string_view line) {
    log_->msg(m::kDataPortTarget).raw(line).endl();
    const std::vector<std::string_view> tokens = splitLine(line, kNameSeparator);
    if (tokens.size() < kPartsElementTokens) {
        log_->msg(m::kTooFewSeparators).endl();
        return false;
    }
    log_->msg(m::kLookingForParts).raw(tokens[0]).msg(m::kLookingForSuffix);
    const auto parts = partsByName_.find(std::string(tokens[0]));
    if (parts == partsByName_.end()) {
        log_->msg(m::kPartsMissingOpen).raw(tokens[0]).msg(m::kNotFoundClose);
        return false;
    }
    log_->msg(m::kFound).endl();
    if (tokens.size() == kPartsElementTokens) return linkInputElement(*parts->second, tokens, line);
    if (tokens.size() == kThreeTokens && isAxisLetter(tokens[2].front())) {
        return linkInputElement(*parts->second, tokens, line);
    }
    if (tokens.size() <= kPathAxisTokens) return linkPathElement(*parts->second, tokens, line);
    return true;  // five or more tokens bind nothing
}

// Parts.Element (a rotation) or Parts.Element.Axis (a translation) in the Parts' input chain.
bool SettingFileParser::linkInputElement(Parts& parts, const std::vector<std::string_view>& tokens,
                                         std::string_view source) {
    TransformElement* element = parts.inputTransforms().find(std::string(tokens[1]));
    if (element == nullptr) {
        log_->msg(m::kElementMissingOpen).raw(tokens[1]).msg(m::kNotFoundClose).endl();
        return false;
    }
    if (tokens.size() == kPartsElementTokens) return bindRotation(element, source);
    return bindTranslation(element, tokens[2].front(), source);
}

// Parts.Path.Element (a rotation) or Parts.Path.Element.Axis (a translation) in a path's chain.
bool SettingFileParser::linkPathElement(Parts& parts, const std::vector<std::string_view>& tokens,
                                        std::string_view source) {
    OutputPath* path = parts.findOutputPath(std::string(tokens[1]));
    if (path == nullptr) {
        log_->raw(tokens[1]).msg(m::kNotFoundNl);
        return false;
    }
    if (tokens.size() == kPathAxisTokens) {
        log_->msg(m::kLookingForTranslation).raw(tokens[2]).msg(m::kLookingForSuffix);
    }
    TransformElement* element = path->transforms().find(std::string(tokens[2]));
    if (element == nullptr) {
        log_->raw(tokens[2]).msg(m::kNotFoundNl);
        return false;
    }
    if (tokens.size() == kThreeTokens) return bindRotation(element, source);
    return bindTranslation(element, tokens[3].front(), source);
}

bool SettingFileParser::bindRotation(TransformElement* element, std::string_view source) {
    auto* rotation = dynamic_cast<RotateTransform*>(element);
    if (rotation == nullptr) {
        log_->msg(m::kDowncastFailed).endl();
        return false;
    }
    bindCell(rotation->angleCell(), source, ValueKind::Angle);
    return true;
}

bool SettingFileParser::bindTranslation(TransformElement* element, char letter,
                                        std::string_view source) {
    auto* translation = dynamic_cast<TranslateTransform*>(element);
    if (translation == nullptr) {
        log_->msg(m::kDowncastFailed).endl();
        return false;
    }
    switch (letter) {
        case 'X':
            bindCell(translation->xCell(), source, ValueKind::X);
            return true;
        case 'Y':
            bindCell(translation->yCell(), source, ValueKind::Y);
            return true;
        case 'Z':
            bindCell(translation->zCell(), source, ValueKind::Z);
            return true;
        default:
            return false;
    }
}

void SettingFileParser::bindCell(TransformValue* cell, std::string_view source, ValueKind kind) {
    if (!cell->isDriven()) {
        cell->setSlot(defaultValues_.size());
        defaultValues_.push_back(cell->initial());
    }
    valueTable_.push_back(cell);
    valueBindings_.push_back({cell, std::string(source), kind});
}

}  // namespace pelorin
