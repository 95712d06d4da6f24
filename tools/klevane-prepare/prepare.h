// The whole of klevane-prepare behind its command line, so that the tests run it in-process: the
// arguments as main receives them, standard output and standard error as streams. The message
// handler it installs stays until another replaces it.
#pragma once

#include <iosfwd>

int runPrepare(int argc, char** argv, std::ostream& out, std::ostream& err);
