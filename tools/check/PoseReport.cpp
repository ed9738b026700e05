#include "tools/check/PoseReport.h"

#include <cstdio>
#include <limits>

#include "scene/DrawnObject.h"
#include "scene/OutputPath.h"
#include "scene/Parts.h"
#include "scene/PartsPose.h"
#include "scene/PosedBounds.h"
#include "util/MessageStream.h"
#include "util/NumberText.h"

namespace pelorin {
namespace {

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void printNumber(MessageStream& out, double value) {
    char text[32];
    std::snprintf(text, sizeof text, " %.12g", value);
    out.raw(text);
}

// ROOT/path/node/.../path/node for the visit at `index`. A path longer than kMaxPathBytes keeps
// its last names after "...": a chain of thousands of bodies read from a file must not make the
// output grow with the square of its depth.
constexpr std::size_t kMaxPathBytes = 1000;

std::string pathOf(const std::vector<PartsPose>& poses, std::size_t index) {
    std::vector<const std::string*> names;
    std::size_t bytes = 0;
    auto add = [&](const std::string& name) {
        names.push_back(&name);
        bytes += name.size() + 1;
    };
    std::size_t i = index;
    for (; i != PartsPose::kNoParent && bytes <= kMaxPathBytes; i = poses[i].parent) {
        add(poses[i].parts->getName());
        if (poses[i].via != nullptr) add(poses[i].via->getName());
    }
    std::string path = i != PartsPose::kNoParent ? "..." : "";
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        if (!path.empty() || name != names.rbegin()) path += '/';
        path += **name;
    }
    return path;
}

}  // namespace

bool readValueList(std::string_view list, std::vector<double>& values, std::string& badItem) {
    values.clear();
    if (trimBlanks(list).empty()) return true;
    constexpr double kLargest = std::numeric_limits<double>::max();
    for (;;) {
        const std::size_t comma = list.find(',');
        const std::string_view item = trimBlanks(list.substr(0, comma));
        double value = 0.0;
        if (readNumber(item, -kLargest, kLargest, value) != NumberProblem::None) {
            badItem = std::string(item);
            return false;
        }
        values.push_back(value);
        if (comma == std::string_view::npos) return true;
        list.remove_prefix(comma + 1);
    }
}

void printPoses(const Parts& root, const PoseValues& values, MessageStream& out) {
    std::vector<PartsPose> poses;
    composePartsPoses(root, values, poses);
    for (std::size_t i = 0; i < poses.size(); ++i) {
        if (poses[i].object == nullptr) continue;
        const Matrix4& pose = poses[i].objectPose;
        out.raw("pose");
        for (int row = 0; row < 3; ++row) printNumber(out, pose.at(row, 3));
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) printNumber(out, pose.at(row, column));
        }
        out.raw(" ").raw(pathOf(poses, i)).endl();
    }
    const Box3 bounds = posedBounds(root, values);
    out.raw("bounds");
    if (bounds.empty()) {
        out.raw(" empty").endl();
        return;
    }
    for (double v :
         {bounds.min.x, bounds.min.y, bounds.min.z, bounds.max.x, bounds.max.y, bounds.max.z}) {
        printNumber(out, v);
    }
    out.endl();
}

}  // namespace pelorin
