#include "tools/import/OutputFolder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <string>
#include <system_error>

#include "tools/import/ImportError.h"
#include "tools/import/ImportMessages.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;
namespace m = import_messages;

// A fresh folder "TARGET.partXXXXXX" beside `target`.
fs::path makeBeside(const fs::path& target, const char* tag) {
    std::string pattern = target.string() + tag + "XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw ImportError(std::string(m::kCannotCreate) + pattern);
    // mkdtemp makes the folder private; the result is an ordinary folder of the user's.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(pattern.c_str(), 0777 & ~mask);
    return pattern;
}

}  // namespace

OutputFolder::OutputFolder(fs::path target, bool replace) : target_(std::move(target)) {
    while (!target_.empty() && target_.filename().empty()) target_ = target_.parent_path();
    std::error_code error;
    if (fs::exists(fs::symlink_status(target_, error)) && !replace) {
        throw ImportError(target_.string() + ": " + std::string(m::kOutputExists));
    }
    work_ = makeBeside(target_, ".part");
}

OutputFolder::~OutputFolder() {
    if (committed_) return;
    std::error_code ignored;
    fs::remove_all(work_, ignored);
}

void OutputFolder::commit() {
    std::error_code error;
    fs::path old;
    if (fs::exists(fs::symlink_status(target_, error))) {
        old = makeBeside(target_, ".old");
        fs::rename(target_, old / "replaced", error);
        if (error) throw ImportError(std::string(m::kCannotWrite) + target_.string());
    }
    fs::rename(work_, target_, error);
    if (error) {
        if (!old.empty()) fs::rename(old / "replaced", target_, error);
        throw ImportError(std::string(m::kCannotWrite) + target_.string());
    }
    committed_ = true;
    if (!old.empty()) fs::remove_all(old, error);
}

}  // namespace pelorin
