// A fresh directory under the system's temporary directory, removed with its files at the end,
// and a guard that works in another directory for a while.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace pelorin::testing {

class TempDir {
  public:
    // A directory that cannot be made ends the test (GoogleTest reports the exception).
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pelorin-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes `bytes` to `name` inside the directory and returns the full path; a failed write
    // fails the test.
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(file(name), std::ios::binary);
        out << bytes << std::flush;
        EXPECT_FALSE(out.fail()) << "cannot write " << file(name);
        return file(name);
    }

  private:
    std::string path_;
};

// Changes the working directory for the life of the guard.
class WorkingDirectory {
  public:
    explicit WorkingDirectory(const std::filesystem::path& dir)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous_); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

  private:
    std::filesystem::path previous_;
};

}  // namespace pelorin::testing
