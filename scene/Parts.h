// A named rigid body of the robot: input transforms, at most one drawn object, and output paths
// to child bodies ordered by name.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scene/DrawnObject.h"
#include "scene/OutputPath.h"
#include "scene/TransformChain.h"

namespace pelorin {

class MessageStream;

class Parts {
  public:
    static constexpr const char* kInputChainName = "input trans";
    // Ordered by byte-wise comparison of the names.
    using PathMap = std::map<std::string, std::unique_ptr<OutputPath>>;

    explicit Parts(std::string name);
    Parts(const Parts&) = delete;
    Parts& operator=(const Parts&) = delete;

    // Creates a path named `name`. When the node already holds a path of that name, the first
    // one stays registered and the new path is returned without being registered (it is kept
    // alive by the node but never drawn, linked or dumped); `wasRegistered` tells which.
    OutputPath* addOutputPath(const std::string& name, bool* wasRegistered = nullptr);
    OutputPath* findOutputPath(const std::string& name) const;
    const PathMap& outputPaths() const { return outputPaths_; }

    TransformChain& inputTransforms() { return inputTransforms_; }
    const TransformChain& inputTransforms() const { return inputTransforms_; }

    DrawnObject* drawnObject() const { return drawnObject_.get(); }
    // Replaces the drawn object; the earlier one is kept alive but no longer drawn.
    void setDrawnObject(std::unique_ptr<DrawnObject> object);

    const std::string& getName() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    void dump(int indent, MessageStream& out) const;
    void dumpToConsole() const;

  private:
    PathMap outputPaths_;
    std::vector<std::unique_ptr<OutputPath>> unregisteredPaths_;
    TransformChain inputTransforms_;
    std::unique_ptr<DrawnObject> drawnObject_;
    std::vector<std::unique_ptr<DrawnObject>> replacedObjects_;
    std::string name_;
};

}  // namespace pelorin
