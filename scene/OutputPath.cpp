#include "scene/OutputPath.h"

#include "scene/SceneMessages.h"
#include "util/MessageStream.h"
#include "util/TextHelpers.h"

namespace pelorin {

void OutputPath::dump(int indent, MessageStream& out) const {
    const std::string pad = repeatChar(indent, ' ');
    out.raw(pad).msg(scene_messages::kPathName).raw(name_).endl();
    out.raw(pad).msg(scene_messages::kChildPartsObject);
    if (childName_.empty()) {
        out.msg(scene_messages::kNoChildName).endl();
    } else {
        out.raw(childName_).endl();
    }
    out.raw(pad).msg(scene_messages::kDumpOutputTransform).endl();
    transforms_.dump(indent + 2, out);
}

}  // namespace pelorin
