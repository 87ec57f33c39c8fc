#pragma once
// A capture as a session file of the open-source logic-analyser and scope viewer (.sr):
// a zip archive holding "version" (2), "metadata" (an INI text: the sampling rate and
// the analog channels' names) and one chunk per analog channel, "analog-1-N-1", of
// little-endian 32-bit floats in volts. The archive is written here, with stored
// (uncompressed) entries and their CRC-32: the format needs nothing more, and a capture
// of 8-bit samples as floats is at most 256 KB.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct InstrumentState;

namespace exporting {

// The zip's CRC-32 (reflected polynomial EDB88320H).
uint32_t crc32(std::string_view bytes);

// A zip archive of the named entries, stored, in the order given. Entries carry the
// zip epoch (1980-01-01) as their time, so the same data gives the same bytes.
std::string storedZip(const std::vector<std::pair<std::string, std::string>>& entries);

struct SessionChannel {
    std::string name; // "A", "B"
    std::vector<float> volts;
};
// The session file of channels sampled at rateHz (a whole number of hertz).
std::string encodeSession(const std::vector<SessionChannel>& channels, double rateHz);

// The channels of the last capture, in volts as the CSV export gives them (the probe
// included) but unrounded, at the rate they were taken with; false with the reason when
// nothing was captured.
bool encodeSessionOf(const InstrumentState& s, std::string& out, std::string& error);

} // namespace exporting
