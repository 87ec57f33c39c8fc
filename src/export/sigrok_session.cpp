#include "export/sigrok_session.h"

#include "analysis/record.h"
#include "app/instrument_state.h"

#include <array>
#include <cmath>
#include <cstring>

namespace exporting {

namespace {

void put16(std::string& out, uint32_t v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Zip record signatures and fields of a stored entry.
constexpr uint32_t LocalHeader = 0x04034B50, CentralHeader = 0x02014B50, EndRecord = 0x06054B50;
constexpr uint32_t Version = 20;                      // 2.0: what a reader needs for stored entries
constexpr uint32_t DosDate = (0 << 9) | (1 << 5) | 1; // 1980-01-01
constexpr uint32_t DosTime = 0;

// Version, flags, method, time, date, CRC and both sizes: the same in both headers.
void entryFields(std::string& out, const std::string& data) {
    put16(out, Version);
    put16(out, 0); // no flags: sizes and CRC are in the header
    put16(out, 0); // stored
    put16(out, DosTime);
    put16(out, DosDate);
    put32(out, crc32(data));
    put32(out, uint32_t(data.size()));
    put32(out, uint32_t(data.size()));
}

// The libsigrok release whose session format (version 2) this follows.
constexpr const char* FormatRelease = "0.5.2";

} // namespace

uint32_t crc32(std::string_view bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = table[(c ^ uint8_t(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string storedZip(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string out, central;
    for (const auto& [name, data] : entries) {
        const uint32_t offset = uint32_t(out.size());
        put32(out, LocalHeader);
        entryFields(out, data);
        put16(out, uint32_t(name.size()));
        put16(out, 0); // no extra field
        out += name;
        out += data;

        put32(central, CentralHeader);
        put16(central, Version); // made by: MS-DOS attributes, version 2.0
        entryFields(central, data);
        put16(central, uint32_t(name.size()));
        put16(central, 0); // extra field
        put16(central, 0); // comment
        put16(central, 0); // disk
        put16(central, 0); // internal attributes
        put32(central, 0); // external attributes
        put32(central, offset);
        central += name;
    }
    const uint32_t centralAt = uint32_t(out.size());
    out += central;
    put32(out, EndRecord);
    put16(out, 0); // this disk
    put16(out, 0); // the disk of the directory
    put16(out, uint32_t(entries.size()));
    put16(out, uint32_t(entries.size()));
    put32(out, uint32_t(central.size()));
    put32(out, centralAt);
    put16(out, 0); // no comment
    return out;
}

std::string encodeSession(const std::vector<SessionChannel>& channels, double rateHz) {
    std::string meta = std::string("[global]\nsigrok version=") + FormatRelease +
                       "\n\n[device 1]\ntotal analog=" + std::to_string(channels.size()) +
                       "\nsamplerate=" + std::to_string(std::llround(rateHz)) + "\n";
    std::vector<std::pair<std::string, std::string>> entries = {{"version", "2"}, {}};
    for (size_t i = 0; i < channels.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        meta += "analog" + n + "=" + channels[i].name + "\n";
        std::string chunk;
        chunk.reserve(channels[i].volts.size() * 4);
        for (const float v : channels[i].volts) {
            uint32_t bits = 0;
            std::memcpy(&bits, &v, 4);
            put32(chunk, bits);
        }
        entries.push_back({"analog-1-" + n + "-1", std::move(chunk)});
    }
    entries[1] = {"metadata", meta};
    return storedZip(entries);
}

bool encodeSessionOf(const InstrumentState& s, std::string& out, std::string& error) {
    const size_t count = analysis::capturedCount(s);
    std::vector<SessionChannel> channels;
    for (const analysis::Channel c : {analysis::Channel::A, analysis::Channel::B}) {
        const bool a = c == analysis::Channel::A;
        if (!(a ? s.chanAOn() : s.chanBOn())) continue;
        const analysis::Trace t = analysis::traceOf(s, c, 0, count);
        SessionChannel ch{a ? "A" : "B", {}};
        ch.volts.reserve(t.count);
        for (size_t i = 0; i < t.count; ++i)
            ch.volts.push_back(float((t.data[i] - InstrumentState::MidScale) * t.voltsPerUnit));
        channels.push_back(std::move(ch));
    }
    const double rate = analysis::channelScale(s, analysis::Channel::A).sampleRateHz;
    if (channels.empty() || count == 0 || rate <= 0) {
        error = "there is no capture to write";
        return false;
    }
    out = encodeSession(channels, rate);
    return true;
}

} // namespace exporting
