#include "scene/OutputPath.h"

#include "scene/SceneMessages.h"
#include "util/MessageStream.h"
#include "util/TextHelpers.h"

namespace pelorin {

void OutputPath::dump(int indent, MessageStream& out) const {
    const std::string pad = repeatChar(indent, ' ');
    out.raw(pad).msg(scene_text::kPathName).raw(name_).endl();
    out.raw(pad).msg(scene_text::kChildPartsObject);
    if (childName_.empty()) {
        out.msg(scene_text::kNoChildName).endl();
    } else {
        out.raw(childName_).endl();
    }
    out.raw(pad).msg(scene_text::kDumpOutputTransform).endl();
    transforms_.dump(indent + 2, out);
}

}  // namespace pelorin
