// The cleaning of description escapes that route and signal-system descriptions share.
#pragma once

// Rewrites a description text in place, within a buffer of `size` characters (terminator
// included): a line feed becomes CR LF; a CR becomes CR LF when keepBreaks is set (and room is
// left); a '$' with at least eight characters behind it either begins an escape $xxx(nn), which
// becomes a line break (nn 13: CR LF with keepBreaks, else a blank), a comma (44) or nothing, or
// is dropped alone. The result ends where the next addition would pass size - 1 characters.
void cleanInfoText(char* text, int size, bool keepBreaks);
