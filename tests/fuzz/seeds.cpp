// The seed inputs of every fuzz target: the examples and test inputs, each behind the option bytes
// of its target, and for every fixed limit a text of N - 1, N and N + 1 characters.
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace fuzzing {

namespace {

using Texts = std::vector<std::string>;

std::string repeated(std::size_t count, char c) { return std::string(count, c); }

// make(n) for n = limit - 1, limit and limit + 1.
template <typename Make>
void around(Texts& texts, std::size_t limit, Make make) {
  for (std::size_t n = limit - 1; n <= limit + 1; ++n) texts.push_back(make(n));
}

// Commands nested in their first argument until the text has `length` characters.
std::string nestedCommands(std::size_t length) {
  std::string text = "1";
  while (text.size() + 8 <= length) text = "#add<" + text + ",1>";
  return text + repeated(length - text.size(), '2');
}

std::string withHeader(const std::string& header, const std::string& body) { return header + body; }

Texts macroTexts() {
  Texts t;
  around(t, 30,
         [](std::size_t n) { return "#setvalue<" + repeated(n, 'n') + ",1>#value<" + repeated(n, 'n') + ">\r\n"; });
  around(t, 30, [](std::size_t n) { return "#definemacro<" + repeated(n, 'm') + ">b#endmacro<>\r\n"; });
  around(t, 31, [](std::size_t n) { return "#setword<w," + repeated(n, 'w') + ">#word<w>\r\n"; });
  around(t, 259, [](std::size_t n) { return "#setvalue<v," + repeated(n, '7') + ">#value<v>\r\n"; });
  around(t, 259, [](std::size_t n) { return "#if<" + repeated(n, '1') + ">x#endif<>\r\n"; });
  around(t, 1039, [](std::size_t n) { return nestedCommands(n) + "\r\n"; });
  around(t, 1039, [](std::size_t n) { return "#add<" + repeated(n - 4, '1') + ",1>\r\n"; });
  around(t, 8190, [](std::size_t n) { return "#definemacro<m>" + repeated(n, 'b') + "#endmacro<>#macro<m>\r\n"; });
  around(t, 15, [](std::size_t n) { return "#definerndset<s," + repeated(n, 'i') + ",b>#rndset<s>\r\n"; });
  around(t, 32, [](std::size_t n) {
    std::string text = "#definerndset<s";
    for (std::size_t i = 0; i < n; ++i) text += "," + std::to_string(i);
    return text + ">#rndset<s>\r\n";
  });
  around(t, 64, [](std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += "#setvalue<v" + std::to_string(i) + ",1>";
    return text + "\r\n";
  });
  around(t, 8, [](std::size_t n) {
    std::string text = "#setvalue<i,0>";
    for (std::size_t i = 0; i < n; ++i) text += "#repeat<>";
    text += "x#setvalue<i,#add<#value<i>,1>>#if<#greater<#value<i>,2>>#breakrepeat<>#endif<>";
    for (std::size_t i = 0; i < n; ++i) text += "#endrepeat<>";
    return text;
  });
  // The output limit: 1023 runs of a 1024-character section, then 1023 to 1025 characters.
  around(t, 1024, [](std::size_t n) {
    return "#setvalue<i,0>#repeat<>#if<#equal<#value<i>,1023>>#breakrepeat<>#endif<>" + repeated(1024, 'x') +
           "#setvalue<i,#add<#value<i>,1>>#endrepeat<>" + repeated(n, 'y');
  });
  for (const char* text : {"#include<route.klf>", "#include<part.txt>#include<part.txt>", "#include<nothere.txt>",
                           "#repeat<>x#endrepeat<>", "#repeat<>#endrepeat<>", "#breakrepeat<>", "#endrepeat<>",
                           "#macro<later>#definemacro<later>m#endmacro<>", "#div<1,0> #mul<1e300,1e300>",
                           "#if<1>#if<0>#elseif<1>#else<>#endif<>", "#choice<go?>", "#notes<>n#endnotes<>\r\n",
                           "#setvalue<x,1\r\n,2>", "#if<#equal<1,1>", "\xFF\x80\x01#rnd<1,6>\x00#x"}) {
    t.push_back(text);
  }
  return t;
}

Texts inlineTexts() {
  Texts t;
  around(t, 259, [](std::size_t n) { return "#train<" + repeated(n, 'x') + ">"; });
  around(t, 30, [](std::size_t n) { return "#word<" + repeated(n, 'w') + ">#value<" + repeated(n, 'a') + ">"; });
  around(t, 1039, [](std::size_t n) { return nestedCommands(n); });
  around(t, 1039, [](std::size_t n) { return repeated(n, 'p'); });
  for (const char* text : {"#rnd<1,6>",
                           "#rnd25<0,100>",
                           "#rnd<-2147483648,2147483647>",
                           "#chance<50>",
                           "#time<23,59,60>",
                           "#time<-1,-1,-1>",
                           "#div<1,0>",
                           "#div<0,0>",
                           "#mul<1e300,1e300>",
                           "#sub<-1e308,1e308>",
                           "#value<big>#dv<big,1e300>",
                           "#rndset<s>#rndset<empty>#rndset<>",
                           "#word<long>#word<w>",
                           "#value<nothere>after",
                           "#choice<a,b>",
                           "#add<1,2,3>",
                           "#RND{1,6}",
                           "#if<1>#macro<m>",
                           "#selectedtrain<>#train<Local>",
                           "#add<#value<a>,#rnd<1,3>>",
                           "#x#add<",
                           "#add<1\n,2>"}) {
    t.push_back(text);
  }
  return t;
}

Texts rewriteTexts() {
  Texts t;
  around(t, 1022, [](std::size_t n) { return ".adhesion " + repeated(n, '9') + ",\r\n"; });
  around(t, 1022, [](std::size_t n) { return ".sta " + repeated(n, 's') + ",P,,,,0,,,30,10,\r\n"; });
  around(t, 31, [](std::size_t n) { return ".sig 4;" + repeated(n, 'l') + ";1.5;2.5;2,\r\n"; });
  around(t, 1022, [](std::size_t n) { return "@curve(" + repeated(n, '6') + ",50)\r\n"; });
  around(t, 31, [](std::size_t n) { return "[Railway]\r\n@sig(4," + repeated(n, 'l') + ",1,2,3)\r\n"; });
  for (const char* text :
       {".folder Old\r\n.runinterval 300\r\n.accuracy 2\r\n.curve 600;50,\r\n.signal(3) t,\r\n.relay 1;2,",
        ".sta A\r\n", ".curve -2147483648;1,", ".adhesion 2147483647,", ".runinterval -99999999999,",
        "File=Old\r\nVelocity=100\r\nInterval=120 ; note\r\nDeveloperID=1\r\n[Railway]\r\n@sta(a,b,c,d)", "@Station(x",
        "@relay(1e40,-1e40)", ".signal 1e39;;1e39;-1e39;2147483648,", "\xFF.folder", ".folder\x00x", "x.folder y.sig z",
        "Profile=x\r\n"}) {
    t.push_back(text);
  }
  return t;
}

Texts signalTexts() {
  Texts t;
  around(t, 15, [](std::size_t n) { return repeated(n, 'N') + "\r\ndescription\r\n"; });
  around(t, 2047, [](std::size_t n) { return "S\r\n#speeds#" + repeated(n, 's') + "#end#\r\n#signaldef#\xA7s#end#"; });
  around(t, 127, [](std::size_t n) { return "S\r\n" + repeated(n, 'd') + "\r\n" + repeated(n, 'e') + "\r\n#end#"; });
  for (const char* text : {"S", "S\r\n", "S\r\nonly a description", "S\r\n#speeds#open", "S\r\n#signaldef#a#relaydef#b",
                           "S\r\n#speeds#a#end##speeds#b#end#", "S\r\n#SignalDef#x#5#end#", "  Std\t\r\n",
                           "S\r\n$chr(13)$chr(44)$abc(10)x\r\n#end#", "\xFF\xFF\r\n#end", "S\x00#speeds#x#end#"}) {
    t.push_back(text);
  }
  return t;
}

Texts configTexts() {
  Texts t;
  around(t, 260, [](std::size_t n) { return repeated(n, 'f') + "\nr\nt\n0 0 0 0 0 0\n650 0 30 240\n653 0\nName"; });
  around(t, 260,
         [](std::size_t n) { return "s\n" + repeated(n - 1, 'r') + "\\\nt\n1 1 1 1 1 1\n652 1 10 600\n655 200\nX"; });
  around(t, 15, [](std::size_t n) { return "s\nr\nt\n0 0 0 0 0 0\n650 0 30 240\n653 0\n" + repeated(n, 'n'); });
  for (const char* text : {"", "a\nb\nc\n", "a\r\nb\r\nc\r\n0 0 x 0 0 0\r\n", "\n\n\n", "\\\n\\\\\n\r\n",
                           "a\nb\nc\n99999999999 -99999999999 0 0 0 0\n1 2 3 4\n5 6\nZelvik Default\n", "\xFF\x00\x01",
                           "a\nb\nc\n0 0 0 0 0 0\n650 0 30 240\n653 0\n  Semaphores\r\n"}) {
    t.push_back(text);
  }
  return t;
}

Texts infoTexts() {
  Texts t;
  around(t, 1021,
         [](std::size_t n) { return ".timetable " + repeated(n, 't') + "\r\n.comment " + repeated(n, 'c') + "\r\n"; });
  around(t, 4091, [](std::size_t n) { return repeated(n, 'd') + "\r\n[Train]\r\nFile=x"; });
  around(t, 4090, [](std::size_t n) { return "#notes<>" + repeated(n, 'n') + "#endnotes<>"; });
  for (const char* text :
       {".comment This is a line$chr(13)Second line$chr(44) with comma\r\n", ".timetable a$chr(13)b\r\n", "x$chr(13)",
        "a$b", "a$bcdefghijk", "#notes<>a#5bc a#noxyz#endnotes<>", "#NOTES{}Hello#ENDNOTES{}",
        ";c\r\n[Route]\r\nComment=Hello World\r\n[Train]\r\n", "[Train]", ".comment", "file", "$(12)$$$$$$$$$"}) {
    t.push_back(text);
  }
  return t;
}

std::string fileText(const std::string& path) {
  std::string text = readFile(path);
  return text == "<missing>" ? "" : text;
}

// Every example route and test input, with the name of the included file as the macro run has it.
Texts exampleTexts(const std::string& sourceDir) {
  Texts t;
  for (const char* file :
       {"examples/routes/harbour-line.csv", "examples/routes/mountain-pass.rw", "examples/routes/valley-line.klf",
        "examples/routes/valley-line/stations.txt", "tests/data/macro/every_command.klf",
        "tests/data/macro/every_command_part.txt", "tests/data/macro/every_command.expected",
        "tests/data/examples/harbour-line.options.expected", "tests/data/examples/mountain-pass.options.expected",
        "tests/data/examples/valley-line.options.expected"}) {
    std::string text = fileText(sourceDir + "/" + file);
    for (const char* name : {"every_command_part.txt", "valley-line\\stations.txt", "valley-line/stations.txt"}) {
      for (std::size_t at; (at = text.find(name)) != std::string::npos;)
        text.replace(at, std::string(name).size(), "part.txt");
    }
    t.push_back(text);
  }
  return t;
}

std::string bytes(std::initializer_list<unsigned> values) {
  std::string text;
  for (unsigned v : values) text.push_back(static_cast<char>(v));
  return text;
}

// The rewriting's option bytes: flags, modes, seed and sixteen bytes of numbers.
std::string rewriteHeader(unsigned flags, unsigned modes) { return bytes({flags, modes, 1}) + std::string(16, '\x37'); }

}  // namespace

std::vector<std::string> seedInputs(const std::string& target, const std::string& sourceDir) {
  std::vector<std::string> seeds;
  auto add = [&seeds](const std::vector<std::string>& headers, const Texts& texts) {
    for (const std::string& header : headers) {
      for (const std::string& text : texts) seeds.push_back(withHeader(header, text));
    }
  };
  const Texts examples = exampleTexts(sourceDir);
  if (target == "inline_eval") {
    add({bytes({4, 1, 0}), bytes({3, 2, 1})}, inlineTexts());
  } else if (target == "macro_run") {
    add({bytes({1, 0}), bytes({2, 3})}, macroTexts());
    add({bytes({1, 1})}, examples);
  } else if (target == "route_rewrite") {
    Texts texts = rewriteTexts();
    texts.insert(texts.end(), examples.begin(), examples.end());
    add({rewriteHeader(0, 0), rewriteHeader(1, 0), rewriteHeader(0x7E, 4), rewriteHeader(0x7F, 8),
         rewriteHeader(0xFE, 4), rewriteHeader(0xFF, 8)},
        texts);
  } else if (target == "signal_system") {
    Texts texts = signalTexts();
    texts.push_back(fileText(sourceDir + "/examples/program/semaphore/sigsys.txt"));
    add({bytes({0, 6}) + std::string(16, 'S'), bytes({1, 0}) + "Std" + std::string(13, '\0')}, texts);
  } else if (target == "config") {
    Texts texts = configTexts();
    texts.push_back(fileText(sourceDir + "/tests/data/examples/all-options.cfg"));
    add({bytes({0}), bytes({2}), bytes({0x81})}, texts);
  } else if (target == "route_info") {
    Texts texts = infoTexts();
    texts.insert(texts.end(), examples.begin(), examples.end());
    add({bytes({0}), bytes({1 | 4 | 8}), bytes({2})}, texts);
  }
  return seeds;
}

}  // namespace fuzzing
