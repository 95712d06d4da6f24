// The inline command evaluator: turns a piece of macro text into plain text, every inline command
// ("#rnd<1,6>", "#value<x>", "#add<a,b>", ...) replaced by its result and all other characters
// copied. Commands nest: each argument is cut out and evaluated before its command uses it.
//
// The input is consumed in place: every byte dealt with is overwritten with consumedMark, so the
// next unread part is always found by skipping the marks, and the input is spent afterwards.
#pragma once

// Clears all `capacity` bytes of `output` and fills it with the expansion of `input`, at most
// capacity - 1 characters (a full output ends the call; the rest of the input has no effect).
// A lookup that fails ("value<", "word<", "rndset<", "dv<" of an unknown name) shows its message
// and ends the call at once, the output holding what was produced before the command.
void evaluateInline(char* output, char* input, int capacity);

// Cuts the next argument out of the unread input (consuming it and its terminator: ',', '>', '}'
// or a line feed at the command's own bracket level) and evaluates it into `destination`.
// At most capacity - 1 characters are cut: the rest starts the next argument.
void nextInlineArgument(char* input, char* destination, int capacity);

// How many inline commands have been evaluated since the program started, nested ones included:
// the processor charges those of a repeat section read again against its bound.
long long inlineCommandsEvaluated();

// The sentence appended to every "choice<" question.
constexpr const char* choiceSuffix = "Press \"Yes\" for the first option, and \"No\" for the second option:";
