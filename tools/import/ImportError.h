// The one failure of an import: a message that says where (file, line, link) and what. The
// program prints it and ends with status 1; the output folder is not written.
#pragma once

#include <stdexcept>
#include <string>

namespace pelorin {

class ImportError : public std::runtime_error {
  public:
    explicit ImportError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace pelorin
