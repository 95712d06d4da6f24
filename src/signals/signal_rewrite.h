// Signal and relay commands written anew from the templates of the engaged signal system.
#pragma once

class TextBuffer;

// The escape byte of the templates (the section sign of the Windows code page); the byte after
// it is a lower-case code letter that stands for a value of the command.
constexpr unsigned char templateEscape = 0xA7;

// Writes the signaldef template (isSignal) or the relaydef template into `out` at its current
// place, with the codes replaced by the command's values: a and t as whole numbers, x and y with
// six decimals, the label, and the command start, argument separator and command end of the csv
// form (".Signal ", ".Relay ", ";", ",") or the rw form ("@signal(", "@relay(", ",", ")").
// Every other byte after the escape vanishes with it; an empty template writes nothing.
void rewriteSignal(TextBuffer& out, int a, const char* label, float x, float y, int t, bool isSignal, bool csvForm);
