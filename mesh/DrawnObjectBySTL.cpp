#include "mesh/DrawnObjectBySTL.h"

#include "mesh/MeshMessages.h"
#include "mesh/StlFile.h"
#include "scene/ConsoleDump.h"
#include "util/MessageStream.h"
#include "util/TextHelpers.h"

namespace pelorin {
DrawnObjectBySTL::DrawnObjectBySTL(std::string name) : DrawnObject(std::move(name)) {}

DrawnObjectBySTL::DrawnObjectBySTL(float r, float g, float b, std::string name)
    : DrawnObject(std::move(name)), color_{r, g, b} {}

DrawnObjectBySTL::~DrawnObjectBySTL() {
    Console::out().msg(mesh_messages::kDestructStl).endl();
}

void DrawnObjectBySTL::setColor(double r, double g, double b) {
    color_[0] = static_cast<float>(r);
    color_[1] = static_cast<float>(g);
    color_[2] = static_cast<float>(b);
}

bool DrawnObjectBySTL::loadStl(const std::string& path, StlLoadResult* result) {
    std::optional<std::string> solidName;
    const StlLoadResult outcome = readStlFile(path, triangles_, solidName);
    if (result != nullptr) *result = outcome;
    if (outcome.status != StlLoadStatus::Ok) return false;
    bounds_.add(outcome.bounds);
    if (solidName) setName(*solidName);
    filePath_ = path;
    return true;
}

void DrawnObjectBySTL::dump(int indent, MessageStream& out) const {
    const std::string pad = repeatChar(indent, ' ');
    out.raw(pad).msg(mesh_messages::kTypeStl).endl();
    out.raw(pad).msg(mesh_messages::kName).raw(getName()).endl();
    out.raw(pad).msg(mesh_messages::kFilePath).raw(filePath_).endl();
    out.raw(pad).msg(mesh_messages::kColor) << static_cast<double>(color_[0]);
    out.msg(mesh_messages::kColorSeparator) << static_cast<double>(color_[1]);
    out.msg(mesh_messages::kColorSeparator) << static_cast<double>(color_[2]);
    out.endl();
    out.raw(pad).msg(mesh_messages::kNumberOfTriangles)
        << static_cast<unsigned long>(triangles_.size());
    out.endl();
    out.raw(pad).msg(mesh_messages::kDumpTransform).endl();
    preTrans().dump(indent + 2, out);
}

void DrawnObjectBySTL::dumpToConsole() const {
    dumpToConsoleVia([this](MessageStream& out) { dump(0, out); });
}

}  // namespace pelorin
