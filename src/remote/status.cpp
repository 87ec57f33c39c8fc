#include "remote/status.h"

#include "remote/scpi.h"

namespace scpi {

void Status::error(int code, const std::string& info) {
    if (code <= -100 && code > -200)
        setEvent(CommandErr);
    else if (code <= -200 && code > -300)
        setEvent(ExecError);
    else if (code <= -300 && code > -400)
        setEvent(DeviceError);
    else if (code <= -400 && code > -500)
        setEvent(QueryError);
    if (queue_.size() >= QueueSize) {
        queue_.back() = {QueueOverflow, ""};
        return;
    }
    queue_.emplace_back(code, info);
}

std::string Status::next() {
    if (queue_.empty()) return "0," + quoted(message(NoError));
    const auto [code, info] = queue_.front();
    queue_.pop_front();
    return std::to_string(code) + "," +
           quoted(std::string(message(code)) + (info.empty() ? "" : ";" + info));
}

int Status::takeEvents() {
    const int e = esr_;
    esr_ = 0;
    return e;
}

int Status::statusByte(bool messageAvailable) const {
    int stb = (queue_.empty() ? 0 : 4) | (messageAvailable ? 16 : 0) | ((esr_ & ese) ? 32 : 0);
    if (stb & sre) stb |= 64;
    return stb;
}

void Status::clear() {
    queue_.clear();
    esr_ = 0;
}

} // namespace scpi
