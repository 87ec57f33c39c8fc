#include "cli/output.h"

#include "files/file_io.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

namespace cli {

std::string number(double v) {
    if (!std::isfinite(v)) return "null";
    // Whole numbers in full (2000000, not 2e+06).
    if (std::abs(v) < 1e15 && v == std::floor(v)) return std::to_string(static_cast<long long>(v));
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string number(const analysis::Reading& r) {
    return r.ok() ? number(*r) : "null";
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
            continue;
        }
        out += c;
    }
    return out + "\"";
}

JsonObject& JsonObject::add(std::string_view key, const std::string& jsonValue) {
    if (!body_.empty()) body_ += ", ";
    body_ += quoted(key) + ": " + jsonValue;
    return *this;
}

std::string jsonArray(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i)
        out += (i ? ", " : "") + items[i];
    return out + "]";
}

std::string table(const std::vector<std::vector<std::string>>& rows) {
    std::vector<size_t> width;
    for (const auto& row : rows)
        for (size_t c = 0; c < row.size(); ++c) {
            width.resize(std::max(width.size(), row.size()));
            width[c] = std::max(width[c], row[c].size());
        }
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c)
            line +=
                row[c] + (c + 1 < row.size() ? std::string(width[c] - row[c].size() + 2, ' ') : "");
        out += line + "\n";
    }
    return out;
}

bool writeOutput(const std::string& who, const std::string& path, const std::string& bytes,
                 std::ostream& out, std::ostream& err) {
    std::string why;
    if (path == "-") {
        errno = 0;
        out.write(bytes.data(), std::streamsize(bytes.size()));
        if (out.flush()) return true;
        why = errno ? std::strerror(errno) : "the stream failed";
    } else if (files::saveWhole(path, bytes, &why)) {
        return true;
    }
    err << who << ": cannot write " << (path == "-" ? "standard output" : path) << ": " << why
        << "\n";
    return false;
}

} // namespace cli
