// The case files of tests/cases, read for the case runner and as seeds of the fuzz targets.
//
// A case file is a list of cases; a line beginning with "//" is a comment. A case begins with
// "== title" and has one field a line, "key: value" or "key NAME: value"; a line beginning with
// "| " continues the value before it. Values are bytes with escapes: \r, \n, \t, \\, \xHH, and
// \{N:TEXT} for TEXT written N times, where \# in TEXT stands for the round, 0 to N - 1 (\} is a
// brace in TEXT). The fields are those the case runner describes.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct CaseField {
  std::string key;    // "route", "expect", "stderr", ...
  std::string name;   // the file a field names, if any
  std::string value;  // as written, escapes and all
};

struct TestCase {
  std::string where;  // file:line of its heading
  std::string title;
  std::vector<CaseField> fields;
};

// Every case of tests/cases/*.txt below the source folder, file by file in name order, then the
// examples of the guide for route authors (docs/route-authors.md), each in a block that begins
// with "```case". A field before the first case makes a case of its own, titled so.
std::vector<TestCase> readCaseFiles(const std::string& sourceDir);

// The bytes a value stands for.
std::string decodeCaseValue(const std::string& text);

// The klv.cfg that an "options" field stands for: the folders sim, routes and trains, then the
// field's bytes with each " | " as a line break.
std::string optionsConfig(const std::string& options);

// The bytes with CR, LF, tab, backslash and bytes outside printable ASCII written as escapes.
std::string visible(const std::string& bytes);

}  // namespace testing_support
