#include "ClientOutputs.h"

#include <cstdarg>
#include <cstdio>

namespace {

const char* const kUsers[] = {"Admin", "alice",    "bob.smith",
                              "Carol", "d.o'neil", "Zoe"};
const int kUserCount = sizeof(kUsers) / sizeof(kUsers[0]);

const char* const kComments[] = {
    "Fixed the parser",
    "Handle <empty> lines & trailing blanks",
    "Reworked the \"status\" refresh so that a large project no longer "
    "stalls the",
    "Merged from the release branch|Second line of the comment||"
    "After a blank line",
};
const int kCommentCount = sizeof(kComments) / sizeof(kComments[0]);

// Appends `text` with every '|' turned into a line end.
void AppendLines(std::string& out, const char* text,
                 const std::string& lineEnd) {
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '|') {
      out += lineEnd;
    } else {
      out += *c;
    }
  }
  out += lineEnd;
}

void AppendFormatted(std::string& out, const std::string& lineEnd,
                     const char* format, ...)
    __attribute__((format(printf, 3, 4)));

void AppendFormatted(std::string& out, const std::string& lineEnd,
                     const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof(line), format, args);
  va_end(args);
  out += line;
  out += lineEnd;
}

void AppendHistoryRecord(std::string& out, int version,
                         const std::string& lineEnd) {
  AppendFormatted(out, lineEnd,
                  "*****************  Version %-2d  *****************",
                  version);
  AppendFormatted(
      out, lineEnd, "User: %-8s     Date: %2d/%02d/05   Time: %2d:%02d%c",
      kUsers[version % kUserCount], 1 + version % 12, 1 + version % 28,
      1 + version % 12, version % 60, "ap"[version % 2]);
  if (version == 1) {
    AppendLines(out, "Created|Comment: Initial version", lineEnd);
  } else if (version % 10 == 0) {
    AppendFormatted(out, lineEnd, "Labeled");
    AppendFormatted(out, lineEnd, "Label comment: \"build %d\"", version);
  } else if (version % 7 == 0) {
    AppendFormatted(out, lineEnd, "file%d.c added", version);
  } else {
    AppendLines(out, "Checked in $/proj/src", lineEnd);
    out += "Comment: ";
    AppendLines(out, kComments[version % kCommentCount], lineEnd);
  }
  out += lineEnd;
}

}  // namespace

std::string HistoryOutput(int versions, const std::string& lineEnd) {
  std::string out = "History of $/proj/src/parser.c ..." + lineEnd + lineEnd;
  for (int version = versions; version >= 1; --version)
    AppendHistoryRecord(out, version, lineEnd);
  return out;
}

std::string ChildListingOutput(int children, const std::string& lineEnd) {
  std::string out = "$/proj:" + lineEnd;
  const int projects = children / 10;
  for (int child = 0; child < children; ++child) {
    if (child < projects) {
      AppendFormatted(out, lineEnd, "$Sub%d", child);
    } else {
      AppendFormatted(out, lineEnd, "file_%d.cpp", child);
    }
  }
  out += lineEnd;
  AppendFormatted(out, lineEnd, "%d item(s)", children);
  return out;
}

std::string CheckOutOutput(int lines, const std::string& lineEnd) {
  std::string out = "$/proj:" + lineEnd;
  for (int line = 0; line < lines; ++line) {
    AppendFormatted(out, lineEnd, "%-19.19s %-12.12s Exc  08-02-21 14:58  %s",
                    ("parser" + std::to_string(line) + ".cpp").c_str(),
                    kUsers[line % kUserCount], "C:\\work\\proj");
  }
  return out;
}

std::string PropertiesOutput(int lines, const std::string& lineEnd) {
  std::string out;
  AppendFormatted(out, lineEnd, "Project:  $/proj");
  for (int line = 0; line < lines; ++line)
    AppendFormatted(out, lineEnd, "  Latest: Version %d  Date: 8/02/21", line);
  AppendFormatted(out, lineEnd, "Contains: %d files, 3 subprojects", lines);
  return out;
}

std::string DiffOutput(int lines, const std::string& lineEnd) {
  std::string out;
  AppendFormatted(out, lineEnd, "Diffing: C:\\work\\proj\\parser.cpp");
  AppendFormatted(out, lineEnd, "Against: $/proj/parser.cpp;12");
  out += lineEnd;
  AppendFormatted(out, lineEnd, "The files are different.");
  out += lineEnd;
  for (int line = 0; line < lines; ++line)
    AppendFormatted(out, lineEnd, "%6d Change:   return ParseLine(line);",
                    line);
  return out;
}

std::string ExistOutput(int lines, const std::string& lineEnd) {
  std::string out = "$/proj:" + lineEnd;
  for (int line = 0; line < lines; ++line)
    AppendFormatted(out, lineEnd, "file_%d.cpp", line);
  return out;
}

I18NString DecodeWindows1252(const std::string& bytes) {
  return I18NString(bytes.data(), "windows-1252",
                    static_cast<int>(bytes.size()), nullptr, nullptr);
}
