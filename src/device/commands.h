#pragma once
// The WQK01's side of the parallel port by name: register offsets and base addresses,
// the control-register patterns every command is built from, the command bytes with
// their qualifiers, and the status bits. The protocol (device/), the simulated
// instrument (sim/) and the tests take them from here, so the three cannot drift apart.

namespace cmd {

// ---- Registers -------------------------------------------------------------------------
constexpr int DataOffset = 0;
constexpr int StatusOffset = 1;
constexpr int ControlOffset = 2;
constexpr int EcrOffset = 0x402; // extended control register of an ECP port

// Base addresses of LPT1, LPT2 and LPT3.
constexpr int Lpt1Base = 0x378;
constexpr int Lpt2Base = 0x278;
constexpr int Lpt3Base = 0x3BC;

// The only value written to the extended control register: byte (bidirectional) mode.
constexpr int EcrByteMode = 0x20;

// ---- Control register ------------------------------------------------------------------
constexpr int CtlIdle = 0x00;
constexpr int CtlStrobe = 0x01;  // bit 0: a clock pulse or data strobe on its falling edge
constexpr int CtlCommand = 0x04; // bit 2: the command phase; its falling edge takes the byte
constexpr int CtlDataIn = 0x20;  // bit 5: the data lines turned round to input
// Read-out: data lines in with bit 1 set; the strobe clocks the memory.
constexpr int CtlRead = 0x22;
constexpr int CtlReadClock = 0x23;

// ---- Command bytes ---------------------------------------------------------------------
// The low six bits name the operation; 40H and 80H qualify it.
constexpr int Idle = 0x00;        // idle; with a pulse it restarts the sample counter
constexpr int Start = 0x02;       // ends a memory write; with a rate code first, starts sampling
constexpr int EndLoad = 0x03;     // ends a counter load; with a pulse, resets for a sweep
constexpr int SelectA = 0x04;     // channel A memory for clocked reading
constexpr int OpenCount = 0x06;   // opens the chosen counter for loading by pulses
constexpr int Reset = 0x07;       // with a pulse: reset; then status bit 3 tells power
constexpr int GenWrite = 0x0A;    // opens the generator memory; each strobe stores a byte
constexpr int GenSelect = 0x0B;   // with a pulse: selects the generator output
constexpr int LatchConfig = 0x0E; // latches the configuration counted in
constexpr int ClearConfig = 0x0F; // with a pulse: clears the configuration counter
constexpr int Arm = 0x10;         // with a rate code first: a triggered capture
constexpr int Sweep = 0x22;       // with rate code + 8 first: the generator sweep
constexpr int Continuous = 0x26;  // with a rate code first: continuous output
constexpr int SelectB = SelectA | 0x40; // channel B memory for clocked reading

// Qualifiers of the capture commands.
constexpr int SourceB = 0x40; // trigger source (and instant capture) on channel B
constexpr int Falling = 0x80; // trigger on the falling slope
constexpr int QualifierMask = SourceB | Falling;
constexpr int OperationMask = 0x3F;

// The first phase of a sweep start carries the rate code plus this.
constexpr int SweepRateOffset = 8;

// ---- Status register ---------------------------------------------------------------------
constexpr int StatusDone = 0x08;  // bit 3: the done line (no power right after a reset)
constexpr int StatusModel = 0x30; // bits 4 and 5: the model code
constexpr int StatusModelShift = 4;
constexpr int StatusChanB = 0x40;     // bit 6: channel B fitted
constexpr int StatusGenerator = 0x80; // bit 7: generator fitted
// Data bit 7: the status bits above follow it on an instrument.
constexpr int DetectBit = 0x80;

// Model codes in the status bits: the 20 MHz and the 30 MHz instrument.
constexpr int Model20 = 1;
constexpr int Model30 = 2;

// ---- Memories ------------------------------------------------------------------------------
constexpr int MemorySize = 32768; // each of the sample and generator memories
constexpr int AddressMask = MemorySize - 1;

} // namespace cmd
