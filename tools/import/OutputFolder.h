// An output folder written all or nothing: the files go into a fresh folder beside the target,
// which `commit` renames to the target at the end. Until then (and when the import fails) the
// target is untouched, and the fresh folder is removed when the object goes away.
#pragma once

#include <filesystem>

namespace pelorin {

class OutputFolder {
  public:
    // Throws ImportError when `target` exists and `replace` is false, or the folder beside it
    // cannot be made.
    OutputFolder(std::filesystem::path target, bool replace);
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    const std::filesystem::path& work() const { return work_; }
    // Puts the written folder in the target's place (an existing target, when replacing, goes
    // only once the new one is in place). Throws ImportError when a rename fails.
    void commit();

  private:
    std::filesystem::path target_;
    std::filesystem::path work_;
    bool committed_ = false;
};

}  // namespace pelorin
