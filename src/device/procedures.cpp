// The four procedures that own a complete command sequence: clearing the generator
// memory, loading the sample-stop counter, sending the channel configuration and
// restarting the sample counter.
#include "app/wqk.h"
#include "device/protocol.h"

#include <algorithm>

using namespace proto;

proto::Link WQK::link() const {
    return Link{s.dataPort(), s.statusPort(), s.controlPort(), s.CmdPrefix};
}

proto::ChannelSettings WQK::channelSettings() const {
    return ChannelSettings{s.dcA(), s.rangeSelA() == 1, s.dcB(), s.rangeSelB() == 1};
}

void WQK::ClearGeneratorMemory() {
    const Link l = link();
    CommandPulse(l, cmd::Reset);
    CommandWrite(l, cmd::GenWrite);
    for (int i = 0; i < cmd::MemorySize; ++i)
        DataStrobe(l, 0); // every byte of the memory to 0 V
    CommandWrite(l, cmd::Start);
}

void WQK::SETMAXLOOP() {
    const Link l = link();
    CommandPulse(l, cmd::Reset);
    CommandWrite(l, cmd::OpenCount);
    // The counter is 15 bits wide: a read count below 0 cannot ask for more than 32768.
    const long pulses = std::min(long(cmd::MemorySize), cmd::MemorySize - long(s.ReadCount));
    for (long i = 1; i <= pulses; ++i)
        ClockPulse(l);
    CommandWrite(l, cmd::EndLoad);
    CommandWrite(l, cmd::Idle);
}

void WQK::SETCHAB() {
    const Link l = link();
    CommandPulse(l, cmd::ClearConfig);
    CommandWrite(l, cmd::OpenCount);
    // Before run control has computed it (at start-up) the configuration is empty: 0.
    for (int i = 0; i < s.chanConfig(); ++i)
        ClockPulse(l);
    CommandWrite(l, cmd::LatchConfig);
    CommandWrite(l, cmd::OpenCount);
}

void WQK::reloadloop() {
    const Link l = link();
    CommandPulse(l, cmd::Idle);
    CommandWriteFirst(l, 0, cmd::Start); // a literal 0 first, whatever the prefix
}
