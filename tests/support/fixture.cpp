#include "support/fixture.h"

#include "platform/port.h"
#include "port/config_file.h"

#include <QDir>
#include <algorithm>
#include <fstream>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testing_support {

void MessageLog::install() {
    plat::setMessageHandler([this](const plat::Message& m) {
        shown.push_back(m);
        const plat::Answer a = answers.empty() ? plat::Answer::OK : answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    });
}

void MessageLog::uninstall() {
    plat::setMessageHandler(nullptr);
}

NoDacOverride::NoDacOverride() {
    __user_cap_header_struct h{_LINUX_CAPABILITY_VERSION_3, 0};
    syscall(SYS_capget, &h, saved_);
    uint32_t caps[2][3];
    std::copy(&saved_[0][0], &saved_[0][0] + 6, &caps[0][0]);
    caps[0][0] &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH)); // effective
    syscall(SYS_capset, &h, caps);
}

NoDacOverride::~NoDacOverride() {
    __user_cap_header_struct h{_LINUX_CAPABILITY_VERSION_3, 0};
    syscall(SYS_capset, &h, saved_);
}

Harness::Harness(sim::Options o, bool writeConfig, int configLpt) {
    oldDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    // What the program remembers between sessions goes into this folder, not the user's.
    hadConfig_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    oldConfig_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath("config")));
    clock_.setLimitMs(24LL * 3600 * 1000);
    plat::setClock(&clock_);
    sim_ = std::make_unique<sim::Wqk01>(o);
    plat::setPortBackend(sim_.get());
    messages_.install();
    if (writeConfig) portcfg::write(portcfg::FileName, configLpt);
}

Harness::~Harness() {
    w_.reset();
    plat::setPortBackend(nullptr);
    MessageLog::uninstall();
    plat::setClock(nullptr);
    QDir::setCurrent(oldDir_);
    if (hadConfig_)
        qputenv("XDG_CONFIG_HOME", oldConfig_);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

WQK& Harness::window(bool activate) {
    if (!w_) {
        w_ = std::make_unique<WQK>();
        w_->resize(1000, 700);
    }
    if (activate && !activated_) {
        activated_ = true;
        w_->activate();
    }
    return *w_;
}

// By the name's bytes, which need not be UTF-8.
std::string Harness::readFile(const std::string& name) const {
    std::ifstream f(name[0] == '/' ? name : dir() + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void Harness::writeFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(name[0] == '/' ? name : dir() + "/" + name, std::ios::binary) << bytes;
}

} // namespace testing_support
