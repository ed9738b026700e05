#include "scene/TransformElement.h"

#include "scene/ConsoleDump.h"

namespace pelorin {

void TransformElement::dumpToConsole() const {
    dumpToConsoleVia([this](MessageStream& out) { dump(out); });
}

}  // namespace pelorin
