// The fuzz targets with their seeds: the examples and test inputs, texts that reach the corners of
// each format, and texts of N - 1, N and N + 1 characters around every fixed limit N.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "fuzz/fuzz_support.h"

namespace fuzzing {

using namespace std::string_literals;  // "\0"s keeps its NUL bytes

// The pattern with each "{unit}" written `count` times, a '*' in the unit as the copy's number.
static std::string expand(const std::string& pattern, std::size_t count) {
  std::string text;
  for (std::size_t at = 0, open; at < pattern.size(); at = pattern.find('}', open) + 1) {
    open = pattern.find('{', at);
    text += pattern.substr(at, open - at);
    if (open == std::string::npos) break;
    for (std::size_t i = 0; i < count; ++i) {
      for (std::size_t c = open + 1; pattern[c] != '}'; ++c)
        text += pattern[c] == '*' ? std::to_string(i) : pattern.substr(c, 1);
    }
  }
  return text;
}

// "|" and the pattern around the limit: its units written limit - 1, limit and limit + 1 times.
static std::string around(std::size_t limit, const std::string& pattern) {
  return "|" + expand(pattern, limit - 1) + "|" + expand(pattern, limit) + "|" + expand(pattern, limit + 1);
}

const std::vector<FuzzTarget>& fuzzTargets() {
  static const std::string nested = expand("{#add<}1{,1>}", 129);  // 1033 characters: 129 commands in first arguments
  static const std::string inlineTexts =
      "#rnd<1,6>|#rnd25<0,100>|#rnd<-2147483648,2147483647>|#chance<50>|#time<23,59,60>|#time<-1,-1,-1>|#div<1,0>|"
      "#div<0,0>|#mul<1e300,1e300>|#sub<-1e308,1e308>|#value<big>#dv<big,1e300>|#rndset<s>#rndset<empty>#rndset<>|"
      "#word<long>#word<w>|#value<nothere>after|#choice<a,b>|#add<1,2,3>|#RND{1,6}|#if<1>#macro<m>|"
      "#selectedtrain<>#train<Local>|#add<#value<a>,#rnd<1,3>>|#x#add<|#add<1\n,2>" +
      around(259, "#train<{x}>") + around(30, "#word<{w}>#value<{a}>") + around(1039 - 1033, nested + "{2}") +
      around(1039, "{p}");
  static const std::string macroTexts =
      "#include<route.klf>|#include<part.txt>#include<part.txt>|#include<nothere.txt>|#repeat<>x#endrepeat<>|"
      "#repeat<>#endrepeat<>|#breakrepeat<>|#endrepeat<>|#macro<later>#definemacro<later>m#endmacro<>|"
      "#div<1,0> #mul<1e300,1e300>|#if<1>#if<0>#elseif<1>#else<>#endif<>|#choice<go?>|#notes<>n#endnotes<>\r\n|"
      "#version<1.2>#playerselectstrain<no>#message<Hi,there>#customfile<a.txt,b.txt>#annmaker<1,2,3,4,5,6>|"
      "#sub<1,3>#equal<1.0,1>#less<2,1>#not<1,2>|#setvalue<x,1\r\n,2>|#if<#equal<1,1>|\xFF\x80\1#rnd<1,6>\0#x"s +
      around(30, "#setvalue<{n},1>#value<{n}>\r\n") + around(30, "#definemacro<{m}>b#endmacro<>\r\n") +
      around(31, "#setword<w,{w}>#word<w>\r\n") + around(259, "#setvalue<v,{7}>#value<v>\r\n") +
      around(259, "#if<{1}>x#endif<>\r\n") + around(1039 - 1033, nested + "{2}\r\n") +
      around(1039 - 4, "#add<{1},1>\r\n") + around(8190, "#definemacro<m>{b}#endmacro<>#macro<m>\r\n") +
      around(15, "#definerndset<s,{i},b>#rndset<s>\r\n") + around(32, "#definerndset<s{,*}>#rndset<s>\r\n") +
      around(64, "{#setvalue<v*,1>}\r\n") +
      around(8,
             "#setvalue<i,0>{#repeat<>}x#setvalue<i,#add<#value<i>,1>>#if<#greater<#value<i>,2>>#breakrepeat<>"
             "#endif<>{#endrepeat<>}") +
      // The output limit: 1023 runs of a 1024-character section, then 1023 to 1025 characters.
      around(1024, "#setvalue<i,0>#repeat<>#if<#equal<#value<i>,1023>>#breakrepeat<>#endif<>" + std::string(1024, 'x') +
                       "#setvalue<i,#add<#value<i>,1>>#endrepeat<>{y}");
  static const std::string rewriteTexts =
      ".folder Old\r\n.runinterval 300\r\n.accuracy 2\r\n.curve 600;50,\r\n.signal(3) t,\r\n.relay 1;2,|.sta A\r\n|"
      ".curve -2147483648;1,|.adhesion 2147483647,|.runinterval -99999999999,|@relay(1e40,-1e40)|@Station(x|"
      "File=Old\r\nVelocity=100\r\nInterval=120 ; note\r\nDeveloperID=1\r\n[Railway]\r\n@sta(a,b,c,d)|"
      ".signal 1e39;;1e39;-1e39;2147483648,|\xFF.folder|.folder\0x|x.folder y.sig z|Profile=x\r\n"s +
      around(1022, ".adhesion {9},\r\n") + around(1022, ".sta {s},P,,,,0,,,30,10,\r\n") +
      around(31, ".sig 4;{l};1.5;2.5;2,\r\n") + around(1022, "@curve({6},50)\r\n") +
      around(31, "[Railway]\r\n@sig(4,{l},1,2,3)\r\n");
  static const std::string signalTexts =
      "S|S\r\n|S\r\nonly a description|S\r\n#speeds#open|S\r\n#signaldef#a#relaydef#b|S\r\n#SignalDef#x#5#end#|"
      "S\r\n#speeds#a#end##speeds#b#end#|  Std\t\r\n|S\r\n$chr(13)$chr(44)$abc(10)x\r\n#end#|\xFF\xFF\r\n#end|"
      "S\0#speeds#x#end#"s +
      around(15, "{N}\r\ndescription\r\n") + around(2047, "S\r\n#speeds#{s}#end#\r\n#signaldef#\247s#end#") +
      around(127, "S\r\n{d}\r\n{e}\r\n#end#");
  static const std::string options = "0 0 0 0 0 0\n650 0 30 240\n653 0\n";
  static const std::string configTexts =
      "|a\nb\nc\n|a\r\nb\r\nc\r\n0 0 x 0 0 0\r\n|\n\n\n|\\\n\\\\\n\r\n|\xFF\0\1|"
      "c:\\sim\nc:\\routes\nc:\\trains\n1 1 1 1 1 1\n651 30 30 240\n654 20\nSemaphores|"
      "a\nb\nc\n99999999999 -99999999999 0 0 0 0\n1 2 3 4\n5 6\nZelvik Default\n|a\nb\nc\n"s +
      options + "  Semaphores\r\n" + around(260, "{f}\nr\nt\n" + options + "Name") +
      around(260 - 1, "s\n{r}\\\nt\n1 1 1 1 1 1\n652 1 10 600\n655 200\nX") + around(15, "s\nr\nt\n" + options + "{n}");
  static const std::string infoTexts =
      ".comment This is a line$chr(13)Second line$chr(44) with comma\r\n|.timetable a$chr(13)b\r\n|x$chr(13)|a$b|"
      "a$bcdefghijk|#notes<>a#5bc a#noxyz#endnotes<>|#NOTES{}Hello#ENDNOTES{}|[Train]|.comment|file|$(12)$$$$$$$$$|"
      ";c\r\n[Route]\r\nComment=Hello World\r\n[Train]\r\n" +
      around(1021, ".timetable {t}\r\n.comment {c}\r\n") + around(4091, "{d}\r\n[Train]\r\nFile=x") +
      around(4090, "#notes<>{n}#endnotes<>");
  static const std::string examples =
      "examples/routes/harbour-line.csv|examples/routes/mountain-pass.rw|examples/routes/valley-line.klf|"
      "examples/routes/valley-line/stations.txt";
  static const std::string n(16, '7'), rewriteHeaders = "\0\0\1"s + n + "|\1\0\1"s + n + "|\x7E\4\1"s + n +
                                                        "|\x7F\x08\1"s + n + "|\xFE\4\1"s + n + "|\xFF\x08\1"s + n;
  static const std::vector<FuzzTarget> targets = {
      {"inline_eval", fuzzInlineEval, 3, 4096, "\4\1\0|\3\2\1"s, inlineTexts, examples},
      {"macro_run", fuzzMacroRun, 2, 12288, "\1\0|\2\3|\1\1"s, macroTexts, examples},
      {"route_rewrite", fuzzRouteRewrite, 19, 4096, rewriteHeaders, rewriteTexts, examples},
      {"signal_system", fuzzSignalSystem, 18, 4096, "\0\6SSSSSSSSSSSSSSSS|\1\0Std\0\0\0\0\0\0\0\0\0\0\0\0\0"s,
       signalTexts, "examples/program/semaphore/sigsys.txt"},
      {"config", fuzzConfig, 1, 4096, "\0|\2|\x81"s, configTexts, ""},
      {"route_info", fuzzRouteInfo, 1, 8192, "\0|\x0D|\2"s, infoTexts, examples},
  };
  return targets;
}

int runTarget(const std::string& name, const std::uint8_t* data, std::size_t size) {
  for (const FuzzTarget& target : fuzzTargets()) {
    if (name != target.name) continue;
    std::vector<std::uint8_t> option(data, data + std::min(size, target.options));
    option.resize(target.options);
    return target.run(option.data(), size > target.options ? std::string(data + target.options, data + size) : "");
  }
  check(false, "a fuzz target of that name exists");
  return 0;
}

// The parts of a list separated by '|'; none of an empty list.
static std::vector<std::string> split(const std::string& list) {
  std::vector<std::string> parts;
  std::istringstream in(list);
  for (std::string part; std::getline(in, part, '|');) parts.push_back(part);
  return parts;
}

std::vector<std::string> seedInputs(const FuzzTarget& target, const std::string& sourceDir) {
  std::vector<std::string> texts = split(target.texts), seeds;
  for (const std::string& file : split(target.files)) {
    std::string text = testing_support::readBytes(sourceDir + "/" + file);
    check(text != "<missing>", ("a seed file is there: " + file).c_str());
    const std::string included = "valley-line\\stations.txt";  // named as the macro run has it
    for (std::size_t at; (at = text.find(included)) != std::string::npos;)
      text.replace(at, included.size(), "part.txt");
    texts.push_back(text);
  }
  for (const std::string& header : split(target.headers)) {
    for (const std::string& text : texts) seeds.push_back(header + text);
  }
  return seeds;
}

void check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n", property);
  std::abort();
}

}  // namespace fuzzing
