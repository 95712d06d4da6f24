// What the csv and the rw rewriting share: the frame of one rewriting pass (source in, prepared
// route out, with its failure messages), the writing of fields and their terminators, the rules
// that turn the starting options into numbers, and the reading of signal and relay commands that
// are handed to the signal templates.
#pragma once

#include <memory>

#include "text/text_buffer.h"

// Fields of a route command are read into buffers of this size: at most 1022 characters.
constexpr int routeFieldSize = 1023;
// A signal's label keeps at most 31 characters.
constexpr int signalLabelSize = 32;

// The end of the text as every reader sees it: -1, or a 0xFF byte that reads the same.
inline bool isEndOfText(int c) { return (c & 0xFF) == 0xFF; }

// One rewriting pass: the loaded source, the output of passOutputSize characters and the
// progress bar that follows the reading of the source.
struct RewritePass {
  std::unique_ptr<TextBuffer> source;
  std::unique_ptr<TextBuffer> output;
  ProgressReporter progress;

  // Reports how much of the source has been read.
  void reportProgress() { progress.update(source->getPosition(), source->getLength()); }
  // The source position up to which plain text can be copied in one run without passing a
  // position at which a new percentage is due.
  int runLimit() const { return progress.samePercentUntil - 1; }
};

// Deletes the old prepared route at `outputPath`, loads the source and makes the output buffer.
// False after "Unable to open source file for rewriting." (the source path as detail) when the
// source cannot be loaded, sourceEndsEarlyText when its text ends before the file does, or
// "Unable to write the prepared route." when there is no memory for the output.
bool beginRewritePass(RewritePass& pass, const char* sourcePath, const char* outputPath, WindowHandle progressBar);

// Releases the source and writes the output to `outputPath`. A prepared route that did not fit
// into the output, or that could not be written whole, is reported ("The prepared route would be
// longer than 1048576 characters." or "Unable to write the prepared route.", the path as detail)
// and leaves no file behind: the result is then false.
bool finishRewritePass(RewritePass& pass, const char* outputPath);

// Writes the character that ended a field back. A field that ended at the end of the text (or at
// a NUL) has no terminator, and nothing is written.
void putTerminator(TextBuffer& out, int terminator);
// Writes a field and its terminator back as they were read.
void putField(TextBuffer& out, const char* field, int terminator);
// Writes a whole number in decimal.
void putNumber(TextBuffer& out, int value);

// One draw of the random generator reduced to 0..n-1; a range that is empty (n below 1, which
// the starting options never allow) still takes its draw and gives 0.
int drawBelow(int n);

// A shift of -spread..spread. One draw.
long long drawShift(int spread);

// A train interval of `field` seconds moved by up to intervalSpread seconds either way, kept
// within 20..600. One draw.
int intervalPlusOrMinus(const char* field);
// A train interval from intervalMin to intervalMax. One draw.
int forcedInterval();
// The cant a tilting train gets on a curve: 400000 / radius, truncated, within -160..160, with
// the radius first kept within -400000..400000; a radius of 0 gives 0.
int cantForRadius(int radius);
// A starter aspect of 0 or 1. One draw.
int randomStarterAspect();

// Reads the fields of a signal command (number, label, x, y, type; the csv form ends a command
// with ',', the rw form with ')') up to the terminator of the last field read, and writes the
// command anew from the chosen signal system's template. Fields after the fifth stay unread.
void rewriteSignalCommand(TextBuffer& source, TextBuffer& out, bool csvForm);
// The same for a relay command: x and y.
void rewriteRelayCommand(TextBuffer& source, TextBuffer& out, bool csvForm);
