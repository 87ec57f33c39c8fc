// What a client sends the SCPI server, before any instrument sees it: the framing (in
// pieces whose size the first byte picks, which must not change what comes out, and
// never a message beyond its limits), each message parsed, each command written out in
// full and parsed back to itself, and matched against the whole command tree.
#include "check.h"
#include "remote/commands.h"
#include "remote/scpi.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    constexpr size_t MaxText = 256, MaxBlock = 64;
    const size_t piece = 1 + data[0] % 64;
    const std::string_view in(reinterpret_cast<const char*>(data + 1), size - 1);
    scpi::Framer whole(MaxText, MaxBlock), pieces(MaxText, MaxBlock);
    whole.feed(in);
    for (size_t i = 0; i < in.size(); i += piece)
        pieces.feed(in.substr(i, piece));
    FUZZ_CHECK(whole.partial() == pieces.partial());
    FUZZ_CHECK(whole.partialQuery() == pieces.partialQuery());
    while (const auto m = whole.next()) {
        const auto n = pieces.next();
        FUZZ_CHECK(n && n->text == m->text && n->error == m->error);
        FUZZ_CHECK(m->text.size() <= MaxText + MaxBlock);
        FUZZ_CHECK(m->error == 0 ? true : m->text.empty() && *scpi::message(m->error));
        const scpi::Message msg = scpi::parse(m->text);
        FUZZ_CHECK(msg.error == 0 || *scpi::message(msg.error));
        for (const scpi::Command& c : msg.commands) {
            const scpi::Message again = scpi::parse(scpi::toText(c));
            FUZZ_CHECK(again.error == 0 && again.commands.size() == 1 && again.commands[0] == c);
            std::vector<int> suffixes;
            for (const remote::Entry& e : remote::commandTree())
                if (scpi::matches(e.pattern, c, suffixes))
                    for (int s : suffixes)
                        FUZZ_CHECK(s >= 0);
        }
    }
    FUZZ_CHECK(!pieces.next());
    return 0;
}
