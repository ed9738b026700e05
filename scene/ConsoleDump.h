// Writes a dump to the console the way every scene class's dumpToConsole does: the whole text is
// produced at indentation 0 into a buffer first and then written to the console at once, with
// nothing added.
#pragma once

#include <functional>

#include "util/MessageStream.h"

namespace pelorin {

// `dumpInto` writes into the stream it is given; that stream uses the console's encoding.
void dumpToConsoleVia(const std::function<void(MessageStream&)>& dumpInto);

}  // namespace pelorin
