#include "scene/Parts.h"

#include "scene/ConsoleDump.h"
#include "scene/SceneMessages.h"
#include "util/MessageStream.h"
#include "util/TextHelpers.h"

namespace pelorin {

Parts::Parts(std::string name) : inputTransforms_(kInputChainName), name_(std::move(name)) {}

OutputPath* Parts::addOutputPath(const std::string& name, bool* wasRegistered) {
    auto path = std::make_unique<OutputPath>(name);
    OutputPath* created = path.get();
    const bool inserted = outputPaths_.emplace(name, std::move(path)).second;
    if (!inserted) {
        // emplace leaves `path` untouched when the key exists; keep the object alive so the
        // caller's pointer stays valid, but it is never drawn, linked or dumped.
        unregisteredPaths_.push_back(std::move(path));
    }
    if (wasRegistered != nullptr) *wasRegistered = inserted;
    return created;
}

OutputPath* Parts::findOutputPath(const std::string& name) const {
    const auto found = outputPaths_.find(name);
    return found == outputPaths_.end() ? nullptr : found->second.get();
}

void Parts::setDrawnObject(std::unique_ptr<DrawnObject> object) {
    // Someone may still hold the earlier object (a setting-file handler's current object), so
    // it stays alive for the life of the node.
    if (drawnObject_) replacedObjects_.push_back(std::move(drawnObject_));
    drawnObject_ = std::move(object);
}

void Parts::dump(int indent, MessageStream& out) const {
    const std::string inner = repeatChar(indent + 2, ' ');
    const std::string paths = repeatChar(indent + 4, ' ');
    out.raw(repeatChar(indent, ' ')).msg(scene_messages::kDumpParts).endl();
    out.raw(inner).msg(scene_messages::kName).raw(name_).endl();
    out.raw(inner).msg(scene_messages::kDumpInputTransform).endl();
    inputTransforms_.dump(indent + 2, out);
    out.raw(inner).msg(scene_messages::kDumpOutputPath).endl();
    out.raw(paths).msg(scene_messages::kNumberOfOutputPath)
        << static_cast<unsigned long>(outputPaths_.size());
    out.endl();
    int ordinal = 1;
    for (const auto& entry : outputPaths_) {
        out.raw(paths).msg(scene_messages::kOrdinal) << ordinal++;
        out.endl();
        out.raw(paths).msg(scene_messages::kMapKey).raw(entry.first).endl();
        entry.second->dump(indent + 6, out);
    }
    if (outputPaths_.empty()) out.raw(paths).msg(scene_messages::kNoChildren).endl();
    out.raw(inner).msg(scene_messages::kDumpDrawnObject).endl();
    if (drawnObject_) {
        drawnObject_->dump(indent + 4, out);
    } else {
        out.raw(paths).msg(scene_messages::kNoDrawnObject).endl();
    }
    out.msg(scene_messages::kDumpComplete);
    out.flush();
}

void Parts::dumpToConsole() const {
    dumpToConsoleVia([this](MessageStream& out) { dump(0, out); });
}

}  // namespace pelorin
