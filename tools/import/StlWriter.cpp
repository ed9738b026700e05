#include "tools/import/StlWriter.h"

#include <array>
#include <cmath>
#include <cstring>

#include "tools/import/ImportError.h"
#include "tools/import/ImportMessages.h"

namespace pelorin {
namespace {

constexpr std::size_t kHeaderBytes = 80;
constexpr std::size_t kRecordBytes = 50;
constexpr const char* kHeaderText = "binary STL written by pelorin-import";

void putFloat(char* at, double value) {
    const float f = static_cast<float>(value);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<char>((bits >> (8 * i)) & 0xffu);
}

void putVec(char* at, const Vec3& v) {
    putFloat(at, v.x);
    putFloat(at + 4, v.y);
    putFloat(at + 8, v.z);
}

Vec3 facetNormal(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 u{b.x - a.x, b.y - a.y, b.z - a.z};
    const Vec3 v{c.x - a.x, c.y - a.y, c.z - a.z};
    const Vec3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (!(length > 0.0) || !std::isfinite(length)) return {};
    return {n.x / length, n.y / length, n.z / length};
}

}  // namespace

StlWriter::StlWriter(const std::string& path) : out_(path, std::ios::binary), path_(path) {
    if (!out_) throw ImportError(std::string(import_messages::kCannotCreate) + path);
    std::array<char, kHeaderBytes + 4> header{};
    std::memcpy(header.data(), kHeaderText, std::strlen(kHeaderText));
    out_.write(header.data(), header.size());
}

void StlWriter::addFacet(const Vec3& a, const Vec3& b, const Vec3& c) {
    std::array<char, kRecordBytes> record{};
    putVec(record.data(), facetNormal(a, b, c));
    putVec(record.data() + 12, a);
    putVec(record.data() + 24, b);
    putVec(record.data() + 36, c);
    out_.write(record.data(), record.size());
    ++count_;
}

void StlWriter::finish() {
    std::array<char, 4> count{};
    for (int i = 0; i < 4; ++i) count[i] = static_cast<char>((count_ >> (8 * i)) & 0xffu);
    out_.seekp(static_cast<std::streamoff>(kHeaderBytes));
    out_.write(count.data(), count.size());
    out_.close();
    if (out_.fail()) throw ImportError(std::string(import_messages::kCannotWrite) + path_);
}

}  // namespace pelorin
