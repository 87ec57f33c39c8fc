#pragma once
// The program's colours, held as the record and the picture boxes take them: whole
// numbers &HBBGGRR (red in the low byte).

namespace colours {

constexpr long rgb(int r, int g, int b) {
    return long(r) | (long(g) << 8) | (long(b) << 16);
}

constexpr long Black = rgb(0, 0, 0);
constexpr long White = rgb(255, 255, 255);
constexpr long Red = rgb(255, 0, 0);             // the stopped indicator, negative readings
constexpr long Green = rgb(0, 255, 0);           // the running indicator
constexpr long Blue = rgb(0, 0, 255);            // the guide's heading
constexpr long Yellow = rgb(255, 255, 0);        // the buffer bar
constexpr long Navy = rgb(0, 0, 128);            // panel titles and texts; trace A
constexpr long MenuBlue = rgb(0, 0, 192);        // texts of the port and print menus
constexpr long DarkGreen = rgb(0, 128, 0);       // trace B, the unit of the time axis
constexpr long TriggerGreen = rgb(0, 192, 0);    // "CH B" as trigger source
constexpr long CursorBlue = rgb(0, 0, 224);      // the cursor on trace A
constexpr long CursorGreen = rgb(0, 224, 0);     // the cursor on trace B
constexpr long Panel = rgb(224, 224, 224);       // the signal display and the menus
constexpr long Grey = rgb(192, 192, 192);        // a box that is not in use
constexpr long MidGrey = rgb(128, 128, 128);     // the grid; a channel that is ON
constexpr long DarkGrey = rgb(64, 64, 64);       // a channel that is OFF; axis numbers
constexpr long Charcoal = rgb(32, 32, 32);       // the spectrum's amplitude numbers
constexpr long LightYellow = rgb(255, 255, 192); // a box in use: readouts, settings
constexpr long LightGreen = rgb(192, 255, 192);  // a trace at its centre; Normal
constexpr long PaleGreen = rgb(128, 255, 128);   // the generator wave is up to date
constexpr long Pink = rgb(255, 128, 128);        // a trace moved off centre; Delay
// The near-blacks the channel and trigger texts are drawn in.
constexpr long InkDark = rgb(1, 0, 0);
constexpr long InkBrown = rgb(25, 0, 0);
constexpr long InkMaroon = rgb(127, 0, 0);

} // namespace colours
