#include "files/names.h"

#include "platform/vb.h"

#include <cmath>

namespace files {

std::string joinPath(const std::string& dir, const std::string& name) {
    if (!dir.empty() && dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

std::string withExtension(const std::string& name, const std::string& ext) {
    auto dot = name.find('.');
    if (dot == std::string::npos) return name + "." + ext;
    return name.substr(0, dot + 1) + ext;
}

std::string sizeInK(int sizeIndex, bool spectrum) {
    double k = std::pow(2.0, sizeIndex + 1);
    return vb::Str(spectrum ? k / 2 : k);
}

} // namespace files
