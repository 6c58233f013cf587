// Hostile client output, run through the built handler as a host runs it:
// huge listings, binary junk, over-long lines and fields, files that are not
// valid in their encoding, a standard output that is closed or full, and
// files that cannot be read. Every test checks the document and the exit
// status, not only that the handler did not crash.
//
// Documents are read back with a streaming (SAX) parser that validates them
// against schema/result.xsd, so that a document of a million entries costs
// the test little memory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLUni.hpp>

namespace fs = std::filesystem;
using xercesc::XMLUni;

namespace {

// ---------------------------------------------------------------- documents

std::string Utf8(const XMLCh* text) {
  std::string out;
  if (text == nullptr) return out;
  for (const XMLCh* p = text; *p != 0; ++p) {
    uint32_t cp = *p;
    if (cp >= 0xD800 && cp <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (p[1] - 0xDC00);
      ++p;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::u16string Utf16(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

using Attributes = std::map<std::string, std::string>;

// One child of the root (an item or an entry) as a reader sees it.
struct Child {
  std::string name;
  Attributes attributes;
  std::string comment;  // an entry's comment element's text
};

// What a document says, read in one pass.
struct Document {
  std::string problem;  // the first parse or validation error; empty if none
  std::string root;
  Attributes attributes;
  std::string text;  // the root's own text (the exception's message)
  size_t children = 0;

  // The root and its attributes in one line, then the number of children:
  // "result command=1 exists=true query=exists succeeded=true; 0".
  std::string Summary() const {
    std::string line = root;
    for (const auto& [name, value] : attributes) {
      line += " " + name + "=" + value;
    }
    return line + "; " + std::to_string(children);
  }
};

std::string Describe(const Attributes& attributes) {
  std::string text;
  for (const auto& [name, value] : attributes) {
    text += name + "=\"" + value + "\" ";
  }
  return text;
}

Attributes ReadAttributes(const xercesc::Attributes& attributes) {
  Attributes read;
  for (XMLSize_t i = 0; i < attributes.getLength(); ++i) {
    read[Utf8(attributes.getLocalName(i))] = Utf8(attributes.getValue(i));
  }
  return read;
}

// Collects the root, hands each child to `onChild` as soon as it ends, and
// keeps the first error.
class DocumentReader : public xercesc::DefaultHandler {
 public:
  DocumentReader(Document& document, std::function<void(const Child&)> onChild)
      : document_(document), onChild_(std::move(onChild)) {}

  void startElement(const XMLCh*, const XMLCh* localname, const XMLCh*,
                    const xercesc::Attributes& attributes) override {
    ++depth_;
    if (depth_ == 1) {
      document_.root = Utf8(localname);
      document_.attributes = ReadAttributes(attributes);
    } else if (depth_ == 2) {
      child_ = Child{Utf8(localname), ReadAttributes(attributes), ""};
    }
  }

  void endElement(const XMLCh*, const XMLCh*, const XMLCh*) override {
    if (depth_ == 2) {
      ++document_.children;
      if (onChild_) onChild_(child_);
    }
    --depth_;
  }

  void characters(const XMLCh* chars, const XMLSize_t length) override {
    const std::string text =
        Utf8(std::u16string(chars, chars + length).c_str());
    if (depth_ == 1) document_.text += text;
    if (depth_ == 3) child_.comment += text;
  }

  void error(const xercesc::SAXParseException& e) override { Keep(e); }
  void fatalError(const xercesc::SAXParseException& e) override { Keep(e); }

 private:
  void Keep(const xercesc::SAXParseException& e) {
    if (document_.problem.empty()) {
      document_.problem = "line " + std::to_string(e.getLineNumber()) + ": " +
                          Utf8(e.getMessage());
    }
  }

  Document& document_;
  std::function<void(const Child&)> onChild_;
  int depth_ = 0;
  Child child_;
};

// Parses `bytes` as a UTF-8 document, validating it against the result
// schema, and checks the declaration and the final line feed.
Document ReadDocument(const std::string& bytes,
                      std::function<void(const Child&)> onChild = nullptr) {
  Document document;
  if (bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0) != 0) {
    document.problem = "no XML declaration at the start";
    return document;
  }
  if (bytes.back() != '\n') {
    document.problem = "no line feed at the end";
    return document;
  }
  std::unique_ptr<xercesc::SAX2XMLReader> parser(
      xercesc::XMLReaderFactory::createXMLReader());
  parser->setFeature(XMLUni::fgSAX2CoreNameSpaces, true);
  parser->setFeature(XMLUni::fgSAX2CoreValidation, true);
  parser->setFeature(XMLUni::fgXercesDynamic, false);
  parser->setFeature(XMLUni::fgXercesSchema, true);
  parser->setFeature(XMLUni::fgXercesSchemaFullChecking, true);
  const std::u16string schema = Utf16(VSS_SCHEMA_PATH);
  parser->setProperty(XMLUni::fgXercesSchemaExternalNoNameSpaceSchemaLocation,
                      const_cast<char16_t*>(schema.c_str()));
  DocumentReader reader(document, std::move(onChild));
  parser->setContentHandler(&reader);
  parser->setErrorHandler(&reader);
  xercesc::MemBufInputSource source(
      reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(), "stdout");
  try {
    parser->parse(source);
  } catch (...) {
    if (document.problem.empty()) document.problem = "the parser threw";
  }
  return document;
}

// ---------------------------------------------------------------- processes

enum class Output { kCaptured, kClosed, kFull };

struct Outcome {
  std::string output;
  int exitStatus = -1;  // -1 when the handler did not exit normally
  int signal = 0;
  long peakKilobytes = 0;  // the handler's own peak resident set
};

class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "vss-hostile-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    dir_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, ignored);
    fs::remove_all(dir_, ignored);
  }
  fs::path Path(const std::string& name) const { return dir_ / name; }

 private:
  fs::path dir_;
};

Scratch* g_scratch = nullptr;

// Runs the handler with `arguments`, standard input from /dev/null and
// standard output as `output` says; waits for it with wait4 so that its own
// peak memory is known.
Outcome Launch(const std::vector<std::string>& arguments,
               Output output = Output::kCaptured) {
  std::vector<std::string> argvText{VSS_HANDLER_BINARY};
  argvText.insert(argvText.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : argvText) argv.push_back(argument.data());
  argv.push_back(nullptr);

  const std::string captured = g_scratch->Path("stdout").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  switch (output) {
    case Output::kCaptured:
      posix_spawn_file_actions_addopen(&actions, 1, captured.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0600);
      break;
    case Output::kClosed:
      posix_spawn_file_actions_addclose(&actions, 1);
      break;
    case Output::kFull:
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
      break;
  }
  pid_t child;
  const int failed =
      posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  Outcome run;
  if (failed != 0) return run;
  int status = 0;
  struct rusage usage {};
  while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  run.peakKilobytes = usage.ru_maxrss;
  if (output == Output::kCaptured) {
    std::ifstream in(captured, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    run.output = text.str();
  }
  return run;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  ASSERT_TRUE(out.good()) << path;
}

// The queries by the name the command line takes, with the identifier that
// the result document carries.
struct Query {
  const char* command;
  const char* id;
};
const Query kQueries[] = {
    {"exists", "1"}, {"checkout", "3"},   {"history", "4"}, {"5", "5"},
    {"6", "6"},      {"properties", "8"}, {"diff", "9"}};

// The exception document of the comparison that says neither sentence.
const char kUnrecognisedComparison[] = "error code=0x56177B77; 0";

// Runs `command` on `file` and checks that the document is valid, that its
// summary is `expected`, and that the exit status fits the document.
void ExpectAnswer(const std::string& command, const fs::path& file,
                  const std::string& encoding, const std::string& expected) {
  SCOPED_TRACE(command + " on " + file.filename().string());
  const Outcome run = Launch({command, "--encoding", encoding, file.string()});
  ASSERT_EQ(run.signal, 0);
  const Document document = ReadDocument(run.output);
  ASSERT_EQ(document.problem, "") << run.output.substr(0, 2000);
  EXPECT_EQ(document.Summary(), expected);
  EXPECT_EQ(run.exitStatus, document.root == "result" ? 1 : 0);
  if (document.root == "error") {
    EXPECT_NE(document.text, "");
  }
}

// The answers of every query to a client output in which no query finds
// anything it knows: an empty one, or junk without colon or line feed.
std::map<std::string, std::string> NothingKnownAnswers() {
  return {
      {"exists", "result command=1 exists=true query=exists succeeded=true; 0"},
      {"checkout", "result checkedOut=false command=3 query=checkout user=; 0"},
      {"history", "result command=4 query=history; 0"},
      {"5", "result command=5 query=children succeeded=true; 0"},
      {"6", "result command=6 query=children succeeded=true; 0"},
      {"properties", "result command=8 project=false query=properties; 0"},
      {"diff", kUnrecognisedComparison},
  };
}

void ExpectEveryQuery(const fs::path& file, const std::string& encoding,
                      const std::map<std::string, std::string>& answers) {
  for (const Query& query : kQueries) {
    ExpectAnswer(query.command, file, encoding, answers.at(query.command));
  }
}

// ------------------------------------------------------- huge client output

// The peak resident set that a client output of `bytes` bytes may cost the
// handler: `bytesPerInputByte` for each input byte and 64 MB besides. The
// text is held as UTF-16 (two bytes per byte) in a handful of copies (the
// decoded input, the parser's working text and its pieces, the document and
// its UTF-8 bytes), so the bound is linear in the input: a quadratic or
// runaway allocation breaks it long before the input ends. Measured in a
// release build: 0.83 GB for the 141 MB history (6 bytes per byte: a
// substring shares the storage of its text) and 269 MB for the 12 MB
// listing (22 bytes per byte: a short line becomes a child record and a
// longer item element). Under the sanitizers the shadow memory and the
// allocator's quarantine come on top.
long MemoryBoundKilobytes(size_t bytes, int bytesPerInputByte) {
#ifdef VSS_HOSTILE_SANITIZED
  bytesPerInputByte *= 2;
  const long fixedKilobytes = 512 * 1024;
#else
  const long fixedKilobytes = 64 * 1024;
#endif
  return static_cast<long>(bytes / 1024) * bytesPerInputByte + fixedKilobytes;
}

constexpr int kHugeCount = 1000000;

// A history of kHugeCount versions as the client prints it, newest first:
// every third version was created without a comment ("Comment: " alone), the
// others were checked in with the comment "change N".
std::string HugeHistoryText() {
  std::string text = "History of $/proj/big.c ...\r\n\r\n";
  text.reserve(static_cast<size_t>(kHugeCount) * 130);
  char record[256];
  for (int version = kHugeCount; version >= 1; --version) {
    const bool created = version % 3 == 0;
    std::snprintf(record, sizeof record,
                  "*****************  Version %-2d  *****************\r\n"
                  "User: Admin        Date:  3/14/05   Time: 10:02a\r\n",
                  version);
    text += record;
    if (created) {
      // The client ends "Comment:" with a blank when there is no comment.
      text += "Created\r\nComment: \r\n\r\n";
    } else {
      std::snprintf(record, sizeof record,
                    "Checked in $/proj\r\nComment: change %d\r\n\r\n", version);
      text += record;
    }
  }
  return text;
}

TEST(HugeInput, HistoryOfAMillionVersionsIsAnsweredInBoundedMemory) {
  const fs::path file = g_scratch->Path("huge-history.txt");
  size_t bytes;
  {
    const std::string text = HugeHistoryText();
    bytes = text.size();
    WriteFile(file, text);
  }
  const Outcome run =
      Launch({"history", "--encoding", "windows-1252", file.string()});
  ASSERT_EQ(run.signal, 0);
  ASSERT_EQ(run.exitStatus, 1);

  // The last version in the listing is the first entry.
  int expectedVersion = 1;
  int mismatches = 0;
  const Document document = ReadDocument(run.output, [&](const Child& entry) {
    const bool created = expectedVersion % 3 == 0;
    const Attributes expected = {{"version", std::to_string(expectedVersion)},
                                 {"user", "Admin"},
                                 {"date", "3/14/05 10:02a"}};
    const std::string comment =
        created ? "" : "change " + std::to_string(expectedVersion);
    if (entry.name != "entry" || entry.attributes != expected ||
        entry.comment != comment) {
      if (++mismatches <= 3) {
        ADD_FAILURE() << "entry " << expectedVersion << ": " << entry.name
                      << " " << Describe(entry.attributes)
                      << " comment=" << entry.comment;
      }
    }
    ++expectedVersion;
  });
  ASSERT_EQ(document.problem, "");
  EXPECT_EQ(document.Summary(), "result command=4 query=history; 1000000");
  EXPECT_EQ(mismatches, 0);
  std::printf("history of %d versions: %zu bytes in, peak %ld kB\n", kHugeCount,
              bytes, run.peakKilobytes);
  EXPECT_LE(run.peakKilobytes, MemoryBoundKilobytes(bytes, 16));
}

TEST(HugeInput, ListingOfAMillionChildrenIsAnsweredInBoundedMemory) {
  std::string text = "$/proj:\r\n";
  char line[64];
  for (int i = 0; i < kHugeCount; ++i) {
    std::snprintf(line, sizeof line,
                  i % 10 == 0 ? "$Sub%07d\r\n" : "f%07d.c\r\n", i);
    text += line;
  }
  text += "\r\n1000000 item(s)\r\n";
  const fs::path file = g_scratch->Path("huge-children.txt");
  WriteFile(file, text);

  const Outcome run =
      Launch({"5", "--encoding", "windows-1252", file.string()});
  ASSERT_EQ(run.signal, 0);
  ASSERT_EQ(run.exitStatus, 1);
  int index = 0;
  int mismatches = 0;
  const Document document = ReadDocument(run.output, [&](const Child& item) {
    std::snprintf(line, sizeof line, index % 10 == 0 ? "Sub%07d" : "f%07d.c",
                  index);
    const Attributes expected = {
        {"name", line}, {"project", index % 10 == 0 ? "true" : "false"}};
    if (item.name != "item" || item.attributes != expected) {
      if (++mismatches <= 3) {
        ADD_FAILURE() << "item " << index << ": " << Describe(item.attributes);
      }
    }
    ++index;
  });
  ASSERT_EQ(document.problem, "");
  EXPECT_EQ(document.Summary(),
            "result command=5 query=children succeeded=true; 1000000");
  EXPECT_EQ(mismatches, 0);
  std::printf("listing of %d children: %zu bytes in, peak %ld kB\n", kHugeCount,
              text.size(), run.peakKilobytes);
  EXPECT_LE(run.peakKilobytes, MemoryBoundKilobytes(text.size(), 32));
}

// ------------------------------------------------------------ junk bytes

TEST(JunkInput, EveryQueryOnAnEmptyFile) {
  const fs::path file = g_scratch->Path("empty.txt");
  WriteFile(file, "");
  for (const char* encoding : {"windows-1252", "UTF-8", "IBM437"}) {
    SCOPED_TRACE(encoding);
    ExpectEveryQuery(file, encoding, NothingKnownAnswers());
  }
}

TEST(JunkInput, EveryQueryOnAMegabyteOfNulBytes) {
  const fs::path file = g_scratch->Path("nul.txt");
  WriteFile(file, std::string(1 << 20, '\0'));
  ExpectEveryQuery(file, "windows-1252", NothingKnownAnswers());
}

TEST(JunkInput, EveryQueryOnOneTenMegabyteLineWithoutLineFeed) {
  // One colon near the start: the checked-out query counts its byte window
  // from two characters after it, the child listing cuts there.
  const fs::path file = g_scratch->Path("long-line.txt");
  WriteFile(file, "x: " + std::string(10 << 20, 'a'));
  std::map<std::string, std::string> answers = NothingKnownAnswers();
  answers["checkout"] =
      "result checkedOut=true command=3 query=checkout user=aaaaaaaaaaaaaa; 0";
  ExpectEveryQuery(file, "windows-1252", answers);
}

TEST(JunkInput, RecordMarkerRepeatedBackToBackYieldsNoEntry) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "*****************  Version";
  const fs::path file = g_scratch->Path("markers.txt");
  WriteFile(file, text);
  ExpectEveryQuery(file, "windows-1252", NothingKnownAnswers());
}

TEST(JunkInput, EveryQueryOnRandomBytes) {
  // A fixed seed keeps the bytes, and so the answers, the same in every run.
  std::mt19937 generator(20240611);
  std::string bytes(1 << 20, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  const fs::path file = g_scratch->Path("random.bin");
  WriteFile(file, bytes);

  for (const Query& query : kQueries) {
    SCOPED_TRACE(query.command);
    const Outcome run =
        Launch({query.command, "--encoding", "UTF-8", file.string()});
    ASSERT_EQ(run.signal, 0);
    const Document document = ReadDocument(run.output);
    ASSERT_EQ(document.problem, "");
    EXPECT_EQ(run.exitStatus, document.root == "result" ? 1 : 0);
    const std::string id = query.id;
    if (id == "9") {
      EXPECT_EQ(document.Summary(), kUnrecognisedComparison);
      continue;
    }
    ASSERT_EQ(document.root, "result");
    EXPECT_EQ(document.attributes.at("command"), id);
    // Random bytes hold none of the client's sentences (the shortest that
    // matters, "Contains:", is nine bytes long), but colons and line feeds.
    if (id == "1") {
      EXPECT_EQ(document.attributes.at("exists"), "true");
    }
    if (id == "4") {
      EXPECT_EQ(document.children, 0u);
    }
    if (id == "5" || id == "6") {
      EXPECT_EQ(document.attributes.at("succeeded"), "true");
    }
    if (id == "8") {
      EXPECT_EQ(document.attributes.at("project"), "false");
    }
  }
}

TEST(JunkInput, BytesInvalidInTheEncodingBecomeReplacementCharacters) {
  // Not UTF-8: a lone 0xFF, a lead byte without its continuation, an encoded
  // surrogate, an overlong slash. The first two each make one U+FFFD, so the
  // checked-out query's byte window (bytes 20 to 33 after the colon cut)
  // falls on the valid file name: "h-a-long-name.".
  const fs::path file = g_scratch->Path("invalid-utf8.txt");
  WriteFile(file,
            "$/proj:\r\n\xFFname\r\n\xC3\r\nfile-with-a-long-name.c\r\n"
            "\xED\xA0\x80x\r\n\xC0\xAF\r\n\r\n");
  std::map<std::string, std::string> answers = NothingKnownAnswers();
  answers["checkout"] =
      "result checkedOut=true command=3 query=checkout user=h-a-long-name.; 0";
  answers["5"] = "result command=5 query=children succeeded=true; 5";
  answers["6"] = "result command=6 query=children succeeded=true; 5";
  ExpectEveryQuery(file, "UTF-8", answers);

  std::vector<std::string> names;
  const Outcome run = Launch({"5", "--encoding", "UTF-8", file.string()});
  ReadDocument(run.output, [&](const Child& item) {
    names.push_back(item.attributes.at("name"));
  });
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], "\xEF\xBF\xBDname");
  EXPECT_EQ(names[1], "\xEF\xBF\xBD");
  EXPECT_EQ(names[2], "file-with-a-long-name.c");
  // However many U+FFFD the decoder makes of a longer bad sequence, nothing
  // of it survives but replacement characters and the valid text after it.
  for (const std::string& name : {names[3], names[4]}) {
    std::string rest = name;
    while (rest.rfind("\xEF\xBF\xBD", 0) == 0) rest.erase(0, 3);
    EXPECT_NE(rest, name);
    EXPECT_TRUE(rest.empty() || rest == "x") << name;
  }
}

TEST(JunkInput, BytesUndefinedInWindows1252BecomeReplacementCharacters) {
  // windows-1252 leaves 0x81, 0x8D, 0x8F, 0x90 and 0x9D undefined.
  const fs::path file = g_scratch->Path("invalid-1252.txt");
  WriteFile(file, "$/proj:\r\n\x81\x8D\x8F\x90\x9D.c\r\n$\x81\r\n\r\n");
  std::map<std::string, std::string> answers = NothingKnownAnswers();
  answers["5"] = "result command=5 query=children succeeded=true; 2";
  answers["6"] = "result command=6 query=children succeeded=true; 2";
  ExpectEveryQuery(file, "windows-1252", answers);

  std::vector<Attributes> items;
  const Outcome run =
      Launch({"5", "--encoding", "windows-1252", file.string()});
  ReadDocument(run.output,
               [&](const Child& item) { items.push_back(item.attributes); });
  std::string replaced;
  for (int i = 0; i < 5; ++i) replaced += "\xEF\xBF\xBD";
  EXPECT_EQ(items, (std::vector<Attributes>{
                       {{"name", replaced + ".c"}, {"project", "false"}},
                       {{"name", "\xEF\xBF\xBD"}, {"project", "true"}}}));
}

// --------------------------------------------------- fields over capacity

TEST(HistoryFields, AFieldOneCodeUnitOverItsBufferYieldsNoEntry) {
  // Versions 2 to 5 each have one field one code unit too long for its scan
  // buffer (12 for version, date and time, 32 for user); version 6 has every
  // field exactly as long as fits, version 1 is ordinary.
  struct Record {
    std::string version, user, date, time;
  };
  const std::vector<Record> records = {
      {std::string(11, '6'), std::string(31, 'u'), "01/02/2005x",
       "10:02:03.4a"},
      {"5", "Admin", "3/14/05", "10:02:03.45a"},
      {"4", "Admin", "03/14/2005xy", "10:02a"},
      {"3", std::string(32, 'u'), "3/14/05", "10:02a"},
      {"123456789012", "Admin", "3/14/05", "10:02a"},
      {"1", "Admin", "3/14/05", "10:02a"},
  };
  std::string text = "History of $/proj/f.c ...\r\n\r\n";
  for (const Record& r : records) {
    text += "*****************  Version " + r.version +
            "  *****************\r\nUser: " + r.user + "     Date: " + r.date +
            "   Time: " + r.time + "\r\nChecked in $/proj\r\nComment: v" +
            r.version + "\r\n\r\n";
  }
  const fs::path file = g_scratch->Path("over-capacity.txt");
  WriteFile(file, text);

  std::vector<Child> entries;
  const Outcome run =
      Launch({"history", "--encoding", "windows-1252", file.string()});
  ASSERT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, 1);
  const Document document = ReadDocument(
      run.output, [&](const Child& entry) { entries.push_back(entry); });
  ASSERT_EQ(document.problem, "");
  ASSERT_EQ(entries.size(), 2u) << run.output;
  EXPECT_EQ(entries[0].attributes, (Attributes{{"version", "1"},
                                               {"user", "Admin"},
                                               {"date", "3/14/05 10:02a"}}));
  EXPECT_EQ(entries[0].comment, "v1");
  EXPECT_EQ(entries[1].attributes,
            (Attributes{{"version", std::string(11, '6')},
                        {"user", std::string(31, 'u')},
                        {"date", "01/02/2005x 10:02:03.4a"}}));
  EXPECT_EQ(entries[1].comment, "v" + std::string(11, '6'));
}

// ------------------------------------------------------ standard output

// A history big enough that its document does not fit a pipe's or a stdio
// buffer, so that the failure shows on a write, not only on the flush.
fs::path SmallHistoryFile() {
  std::string text = "History of $/proj/f.c ...\r\n\r\n";
  for (int v = 200; v >= 1; --v) {
    text += "*****************  Version " + std::to_string(v) +
            "  *****************\r\nUser: Admin        Date:  3/14/05   Time: "
            "10:02a\r\nChecked in $/proj\r\nComment: change\r\n\r\n";
  }
  const fs::path file = g_scratch->Path("history.txt");
  std::ofstream(file, std::ios::binary) << text;
  return file;
}

TEST(StandardOutput, ClosedOrFullEndsWithoutCrashAndNotWithStatusOne) {
  const fs::path file = SmallHistoryFile();
  for (Output output : {Output::kClosed, Output::kFull}) {
    SCOPED_TRACE(output == Output::kClosed ? "closed" : "/dev/full");
    for (const char* command : {"history", "diff", "exists"}) {
      SCOPED_TRACE(command);
      const Outcome run = Launch(
          {command, "--encoding", "windows-1252", file.string()}, output);
      EXPECT_EQ(run.signal, 0);
      EXPECT_EQ(run.exitStatus, 0);
    }
  }
}

// Runs the handler with `arguments` in a child process whose standard input
// and output are the descriptors `input` and `output` and whose file-size
// limit is `sizeLimit` bytes (0: none); returns the child's pid, or -1.
pid_t Start(const std::vector<std::string>& arguments, int input, int output,
            rlim_t sizeLimit = 0) {
  std::vector<std::string> argvText{VSS_HANDLER_BINARY};
  argvText.insert(argvText.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : argvText) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    dup2(input, 0);
    dup2(output, 1);
    if (sizeLimit != 0) {
      const struct rlimit limit = {sizeLimit, sizeLimit};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

// Waits for the child and says how it ended.
Outcome Finish(pid_t child) {
  Outcome run;
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  return run;
}

// Waits until the non-blocking `fd` is ready for `events`.
void AwaitReady(int fd, short events) {
  struct pollfd ready = {fd, events, 0};
  while (poll(&ready, 1, -1) < 0 && errno == EINTR) {
  }
}

// A listing of `count` children, one file each.
fs::path ListingFile(int count) {
  std::string text = "$/proj:\r\n";
  for (int i = 0; i < count; ++i) text += "f" + std::to_string(i) + ".c\r\n";
  text += "\r\n" + std::to_string(count) + " item(s)\r\n";
  const fs::path file = g_scratch->Path("listing.txt");
  WriteFile(file, text);
  return file;
}

std::string ReadWhole(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A host may hand over a pipe in non-blocking mode and be slower than the
// handler at its other end: the handler waits, as on a blocking pipe.
TEST(NonBlockingPipe, IsWaitedForAndCarriesTheWholeAnswer) {
  const fs::path file = ListingFile(20000);
  const Outcome expected =
      Launch({"5", "--encoding", "windows-1252", file.string()});
  ASSERT_EQ(expected.exitStatus, 1);
  const std::string clientOutput = ReadWhole(file);
  // A handler that gives up on its input must fail this test, not end it.
  signal(SIGPIPE, SIG_IGN);
  for (bool pipeIsInput : {false, true}) {
    SCOPED_TRACE(pipeIsInput ? "standard input" : "standard output");
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
    const fs::path captured = g_scratch->Path("non-blocking-out");
    const int other = pipeIsInput
                          ? open(captured.c_str(),
                                 O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)
                          : open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    const pid_t child =
        pipeIsInput
            ? Start({"5", "--encoding", "windows-1252"}, ends[0], other)
            : Start({"5", "--encoding", "windows-1252"}, other, ends[1]);
    ASSERT_GT(child, 0);
    close(other);
    close(pipeIsInput ? ends[0] : ends[1]);
    // Slower than the handler: it meets a pipe with nothing, or no room.
    usleep(200 * 1000);
    std::string answer;
    if (pipeIsInput) {
      for (std::size_t at = 0; at < clientOutput.size();) {
        AwaitReady(ends[1], POLLOUT);
        const ssize_t put =
            write(ends[1], clientOutput.data() + at,
                  std::min<std::size_t>(4096, clientOutput.size() - at));
        if (put < 0 && errno != EAGAIN) break;  // the handler gave up
        if (put > 0) at += static_cast<std::size_t>(put);
      }
      close(ends[1]);
    } else {
      char block[4096];
      for (;;) {
        AwaitReady(ends[0], POLLIN);
        const ssize_t got = read(ends[0], block, sizeof block);
        if (got == 0 || (got < 0 && errno != EAGAIN)) break;
        if (got > 0) answer.append(block, static_cast<std::size_t>(got));
      }
      close(ends[0]);
    }
    const Outcome run = Finish(child);
    if (pipeIsInput) answer = ReadWhole(captured);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(answer.size(), expected.output.size());
    EXPECT_TRUE(answer == expected.output) << answer.substr(0, 300);
  }
}

// A file-size limit is an output fault like a full device: the write fails,
// the process is not killed, and no result is claimed.
TEST(StandardOutput, FileSizeLimitIsAFailureNotASignal) {
  const fs::path file = ListingFile(100000);
  const fs::path captured = g_scratch->Path("limited-out");
  const int output =
      open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(output, 0);
  ASSERT_GE(input, 0);
  const pid_t child = Start({"5", "--encoding", "windows-1252", file.string()},
                            input, output, 100 * 1024);
  close(output);
  close(input);
  ASSERT_GT(child, 0);
  const Outcome run = Finish(child);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(fs::file_size(captured), 100u * 1024);
}

// ------------------------------------------------------- unreadable input

// Runs `arguments`, expects the exception document and exit status 0, and
// returns the message.
std::string ExpectFailure(const std::vector<std::string>& arguments) {
  const Outcome run = Launch(arguments);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, 0);
  const Document document = ReadDocument(run.output);
  EXPECT_EQ(document.problem, "") << run.output;
  EXPECT_EQ(document.root, "error") << run.output;
  EXPECT_EQ(document.children, 0u);
  return document.text;
}

TEST(UnreadableInput, MissingFileIsReportedByName) {
  const std::string missing = g_scratch->Path("no-such-file.txt").string();
  const std::string message = ExpectFailure({"history", missing});
  EXPECT_NE(message.find(missing), std::string::npos) << message;
}

TEST(UnreadableInput, DirectoryIsReportedByName) {
  const std::string dir = g_scratch->Path("a-directory").string();
  fs::create_directory(dir);
  const std::string message = ExpectFailure({"children", dir});
  EXPECT_NE(message.find(dir), std::string::npos) << message;
}

TEST(UnreadableInput, FileWithoutReadPermissionIsReportedByName) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads a file whatever its mode";
  const fs::path file = g_scratch->Path("no-read.txt");
  WriteFile(file, "\r\n\r\nNo differences.\r\n");
  fs::permissions(file, fs::perms::none);
  const std::string message = ExpectFailure({"diff", file.string()});
  EXPECT_NE(message.find(file.string()), std::string::npos) << message;
}

TEST(UnreadableInput, UnknownEncodingIsReportedByName) {
  const fs::path file = g_scratch->Path("fine.txt");
  WriteFile(file, "\r\n\r\nNo differences.\r\n");
  const std::string message =
      ExpectFailure({"diff", "--encoding", "NO-SUCH-ENCODING", file.string()});
  EXPECT_NE(message.find("NO-SUCH-ENCODING"), std::string::npos) << message;
}

class XmlPlatform : public testing::Environment {
 public:
  void SetUp() override {
    xercesc::XMLPlatformUtils::Initialize();
    g_scratch = new Scratch;
  }
  void TearDown() override {
    delete g_scratch;
    g_scratch = nullptr;
    xercesc::XMLPlatformUtils::Terminate();
  }
};

[[maybe_unused]] const testing::Environment* const kXmlPlatform =
    testing::AddGlobalTestEnvironment(new XmlPlatform);

}  // namespace
