// The formatter library's documents, its escaping and its writer: every
// document form byte for byte, read back by a validating parser against
// schema/result.xsd.
#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "FormatterTestSupport.h"
#include "OrvCheckedOut.h"
#include "OrvEnumChildren.h"
#include "OrvErrorDocument.h"
#include "OrvException.h"
#include "OrvExist.h"
#include "OrvHistory.h"
#include "OrvIsFileDifferent.h"
#include "OrvMessage.h"
#include "OrvProperties.h"
#include "OrvStdOut.h"
#include "OrvXmlEscape.h"
#include "WexException.h"

namespace {

using formatter_test::Attribute;
using formatter_test::ParsedDocument;
using formatter_test::ReadFile;
using formatter_test::RedirectedDescriptor;
using formatter_test::TextOf;
using formatter_test::U;

const char kDeclaration[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n";

OrvInputParams ParamsFor(int commandId) {
  OrvInputParams params;
  params.SetCommandID(commandId);
  params.SetClientOutput(U(u"client output"));
  return params;
}

// Query bases with the parser's part filled in by the test.
class Diff : public OrvIsFileDifferent {
 public:
  Diff(OrvInputParams params, bool different) : OrvIsFileDifferent(params) {
    isDifferent = different;
  }
  void ProceesOutPut() override {}
};

class Exist : public OrvExist {
 public:
  Exist(OrvInputParams params, bool ok, bool found) : OrvExist(params) {
    succeeded = ok;
    exists = found;
  }
  void ProceesOutPut() override {}
  I18NString Path() const { return ClientOutput(); }
};

class CheckedOut : public OrvCheckedOut {
 public:
  CheckedOut(OrvInputParams params, bool out, I18NString user)
      : OrvCheckedOut(params) {
    isCheckedOut = out;
    checkedOutBy = user;
  }
  void ProceesOutPut() override {}
};

class Properties : public OrvProperties {
 public:
  Properties(OrvInputParams params, bool project) : OrvProperties(params) {
    isProject = project;
  }
  void ProceesOutPut() override {}
};

class ChildList : public OrvEnumChildren {
 public:
  ChildList(OrvInputParams params, bool ok) : OrvEnumChildren(params) {
    succeeded = ok;
  }
  void ProceesOutPut() override {}
  void Add(const I18NString& name, bool project) { AddItem(name, project); }
};

class History : public OrvHistory {
 public:
  explicit History(OrvInputParams params) : OrvHistory(params) {}
  void ProceesOutPut() override {}
  void Add(OrvHistoryRecord* record) { AddEntry(record); }
};

std::string DocumentOf(OrvCmdObject& query) {
  return query.ConverToOrvFormat().toUTF8();
}

class FormatterDocumentTest : public formatter_test::XmlPlatformSuite {};

TEST_F(FormatterDocumentTest, RootOnlyDocumentsAreExact) {
  struct Case {
    std::string document;
    std::string expected;
  };
  Diff different(ParamsFor(9), true);
  Diff same(ParamsFor(9), false);
  Exist exists(ParamsFor(1), true, false);
  Properties project(ParamsFor(8), true);
  CheckedOut nobody(ParamsFor(3), false, I18NString());
  ChildList none(ParamsFor(6), false);
  History noVersions(ParamsFor(4));
  const Case cases[] = {
      {DocumentOf(different),
       "<result command=\"9\" query=\"diff\" different=\"true\"/>\n"},
      {DocumentOf(same),
       "<result command=\"9\" query=\"diff\" different=\"false\"/>\n"},
      {DocumentOf(exists),
       "<result command=\"1\" query=\"exists\" succeeded=\"true\" "
       "exists=\"false\"/>\n"},
      {DocumentOf(project),
       "<result command=\"8\" query=\"properties\" project=\"true\"/>\n"},
      {DocumentOf(nobody),
       "<result command=\"3\" query=\"checkout\" checkedOut=\"false\" "
       "user=\"\"/>\n"},
      {DocumentOf(none),
       "<result command=\"6\" query=\"children\" succeeded=\"false\"/>\n"},
      {DocumentOf(noVersions), "<result command=\"4\" query=\"history\"/>\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.document, kDeclaration + c.expected);
    EXPECT_EQ(ParsedDocument(c.document).errors(), "") << c.document;
  }
}

TEST_F(FormatterDocumentTest, ExistenceAndPropertiesHandTheClientOutputOn) {
  Exist exists(ParamsFor(1), false, false);
  EXPECT_EQ(exists.Path(), U(u"client output"));
}

TEST_F(FormatterDocumentTest, CheckoutUserReadsBackExactly) {
  const std::u16string user = u"a\tb\rc&d<e\"f'g>h\ni";
  CheckedOut query(ParamsFor(3), true, U(user));
  std::string document = DocumentOf(query);
  EXPECT_EQ(document, std::string(kDeclaration) +
                          "<result command=\"3\" query=\"checkout\" "
                          "checkedOut=\"true\" user=\"a&#x9;b&#xD;c&amp;d&lt;"
                          "e&quot;f'g&gt;h&#xA;i\"/>\n");
  ParsedDocument parsed(document);
  ASSERT_EQ(parsed.errors(), "");
  EXPECT_EQ(Attribute(parsed.root(), u"user"), user);
}

TEST_F(FormatterDocumentTest, ChildrenAreIndentedInOrder) {
  ChildList query(ParamsFor(5), true);
  query.Add(U(u"$Sub"), true);
  query.Add(U(u"a&b.c"), false);
  query.Add(U(u"caf\u00E9.txt"), false);
  std::string document = DocumentOf(query);
  EXPECT_EQ(document,
            std::string(kDeclaration) +
                "<result command=\"5\" query=\"children\" succeeded=\"true\">\n"
                "  <item name=\"$Sub\" project=\"true\"/>\n"
                "  <item name=\"a&amp;b.c\" project=\"false\"/>\n"
                "  <item name=\"caf\xC3\xA9.txt\" project=\"false\"/>\n"
                "</result>\n");
  ParsedDocument parsed(document);
  ASSERT_EQ(parsed.errors(), "");
  xercesc::DOMNodeList* items = parsed.root()->getElementsByTagName(u"item");
  ASSERT_EQ(items->getLength(), 3u);
  EXPECT_EQ(
      Attribute(static_cast<xercesc::DOMElement*>(items->item(1)), u"name"),
      u"a&b.c");
  EXPECT_EQ(query.Children().size(), 3u);
}

TEST_F(FormatterDocumentTest, HistoryCommentStandsAsHeldAndReadsBackDecoded) {
  History query(ParamsFor(4));
  query.Add(new OrvHistoryRecord(
      U(u"Admin"), U(u"2"), U(u"3/15/05 9:30a"),
      U(u"Fix &amp; test &lt;b&gt;\nsaid &quot;hi&quot; &apos;x&apos;")));
  query.Add(nullptr);  // ignored
  query.Add(new OrvHistoryRecord(U(u"Admin"), U(u"1"), U(u"3/14/05 10:02a"),
                                 U(u"Created")));
  query.Add(new OrvHistoryRecord(U(u"Bo"), U(u"0"), U(u"1/1/05 1:00p"),
                                 I18NString()));
  std::string document = DocumentOf(query);
  EXPECT_EQ(
      document,
      std::string(kDeclaration) +
          "<result command=\"4\" query=\"history\">\n"
          "  <entry version=\"2\" user=\"Admin\" date=\"3/15/05 9:30a\">\n"
          "    <comment>Fix &amp; test &lt;b&gt;\nsaid &quot;hi&quot; "
          "&apos;x&apos;</comment>\n"
          "  </entry>\n"
          "  <entry version=\"1\" user=\"Admin\" date=\"3/14/05 10:02a\">\n"
          "    <comment>Created</comment>\n"
          "  </entry>\n"
          "  <entry version=\"0\" user=\"Bo\" date=\"1/1/05 1:00p\">\n"
          "    <comment/>\n"
          "  </entry>\n"
          "</result>\n");
  EXPECT_EQ(query.Entries().size(), 3u);
  ParsedDocument parsed(document);
  ASSERT_EQ(parsed.errors(), "");
  xercesc::DOMNodeList* comments =
      parsed.root()->getElementsByTagName(u"comment");
  ASSERT_EQ(comments->getLength(), 3u);
  EXPECT_EQ(TextOf(comments->item(0)), u"Fix & test <b>\nsaid \"hi\" 'x'");
  EXPECT_EQ(TextOf(comments->item(2)), u"");
}

TEST_F(FormatterDocumentTest, HistoryCommentRefusesToPassMarkupThrough) {
  // Text that OrvXmlEscape cannot have made: a bare '&', an unknown
  // reference and a raw '<' must still give a well-formed document that
  // reads back as the characters held.
  History query(ParamsFor(4));
  query.Add(new OrvHistoryRecord(U(u"u"), U(u"1"), U(u"d t"),
                                 U(u"a & b &copy; <x> &amp\r&lt;")));
  std::string document = DocumentOf(query);
  EXPECT_NE(document.find("<comment>a &amp; b &amp;copy; &lt;x&gt; "
                          "&amp;amp&#xD;&lt;</comment>"),
            std::string::npos)
      << document;
  ParsedDocument parsed(document);
  ASSERT_EQ(parsed.errors(), "");
  EXPECT_EQ(TextOf(parsed.root()->getElementsByTagName(u"comment")->item(0)),
            u"a & b &copy; <x> &amp\r<");
}

TEST_F(FormatterDocumentTest, CharactersXmlCannotCarryBecomeReplacements) {
  const std::u16string raw = {u'a',   0x0001, 0x0000, 0xFFFE, 0xFFFF,
                              0xD800, u'b',   0xDC00, 0xD83D, 0xDE00,
                              0x0085, u'\t',  0xDBFF};
  const std::u16string safe = {u'a',   0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD,
                               0xFFFD, u'b',   0xFFFD, 0xD83D, 0xDE00,
                               0x0085, u'\t',  0xFFFD};
  CheckedOut checkout(ParamsFor(3), true, U(raw));
  ChildList children(ParamsFor(5), true);
  children.Add(U(raw), false);
  History history(ParamsFor(4));
  history.Add(new OrvHistoryRecord(U(raw), U(raw), U(raw), U(raw)));

  ParsedDocument checkoutDocument(DocumentOf(checkout));
  ASSERT_EQ(checkoutDocument.errors(), "");
  EXPECT_EQ(Attribute(checkoutDocument.root(), u"user"), safe);

  ParsedDocument childrenDocument(DocumentOf(children));
  ASSERT_EQ(childrenDocument.errors(), "");
  EXPECT_EQ(Attribute(childrenDocument.root()->getFirstElementChild(), u"name"),
            safe);

  ParsedDocument historyDocument(DocumentOf(history));
  ASSERT_EQ(historyDocument.errors(), "");
  xercesc::DOMElement* entry = historyDocument.root()->getFirstElementChild();
  EXPECT_EQ(Attribute(entry, u"date"), safe);
  EXPECT_EQ(TextOf(entry->getFirstElementChild()), safe);
}

// The exception document for whatever `thrower` throws, taken inside the
// handler as the driver takes it.
template <class Thrower>
std::string ExceptionDocumentFor(Thrower thrower) {
  try {
    thrower();
  } catch (...) {
    return OrvErrorDocument().toUTF8();
  }
  ADD_FAILURE() << "nothing was thrown";
  return "";
}

class ExceptionDocumentTest : public formatter_test::XmlPlatformSuite {};

TEST_F(ExceptionDocumentTest, ReportsCodeAndTextOfTheFailure) {
  struct Case {
    const char* what;
    std::string document;
    std::string expected;
  };
  const Case cases[] = {
      {"OrvException raised with its message", ExceptionDocumentFor([] {
         OrvMessage message(ORV_MSG_DIFF_UNRECOGNISED);
         OrvException exception(ORV_MSG_DIFF_UNRECOGNISED);
         (exception << message).raise(nullptr, "f()", "WEX_THROW");
       }),
       "<error code=\"0x56177B77\">The client output of the comparison says "
       "neither that the files differ nor that they are the same.</error>\n"},
      {"code without text: the host's text for the code",
       ExceptionDocumentFor([] { throw OrvException(ORV_MSG_OUTPUT_FAILED); }),
       "<error code=\"0x56170004\">The result document could not be written "
       "to standard output.</error>\n"},
      {"WexException without a code", ExceptionDocumentFor([] {
         WexException exception;
         exception << U(u"plain <text>\r\nwith lines");
         throw exception;
       }),
       "<error>plain &lt;text&gt;&#xD;\nwith lines</error>\n"},
      {"out of memory", ExceptionDocumentFor([] { throw std::bad_alloc(); }),
       "<error>Out of memory.</error>\n"},
      {"standard exception",
       ExceptionDocumentFor([] { throw std::runtime_error("x & y"); }),
       "<error>x &amp; y</error>\n"},
      {"a type the host does not know", ExceptionDocumentFor([] { throw 42; }),
       "<error>The handler failed for an unknown reason.</error>\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.document, kDeclaration + c.expected) << c.what;
    EXPECT_EQ(ParsedDocument(c.document).errors(), "") << c.what;
  }
}

TEST_F(ExceptionDocumentTest, OutsideAHandlerReportsAGenericFailure) {
  EXPECT_EQ(OrvErrorDocument().toUTF8(),
            std::string(kDeclaration) +
                "<error>The handler failed for an unknown reason.</error>\n");
}

TEST(OrvXmlEscapeTest, ReplacesTheFiveCharactersInOnePass) {
  struct Case {
    std::u16string in;
    std::u16string out;
  };
  const Case cases[] = {
      {u"", u""},
      {u"plain text", u"plain text"},
      {u"&", u"&amp;"},
      {u"<>", u"&lt;&gt;"},
      {u"\"'", u"&quot;&apos;"},
      // Already escaped text is escaped again: one pass, no exceptions.
      {u"&amp;", u"&amp;amp;"},
      {u"a<b>&\"c\"'d'", u"a&lt;b&gt;&amp;&quot;c&quot;&apos;d&apos;"},
      {std::u16string(u"\r\n\t\0\u00E9\uFFFF", 6),
       std::u16string(u"\r\n\t\0\u00E9\uFFFF", 6)},
  };
  for (const Case& c : cases) {
    I18NString text = U(c.in);
    OrvXmlEscape(text);
    EXPECT_EQ(text.units(), c.out);
  }
}

TEST(OrvXmlEscapeTest, LongTextTakesLinearTime) {
  // Escaping in place one character at a time would move the rest of the
  // text for each of these; this size would take minutes then.
  I18NString text = U(std::u16string(400000, u'&'));
  OrvXmlEscape(text);
  EXPECT_EQ(text.length(), 400000 * 5);
  EXPECT_EQ(text.units().substr(0, 10), u"&amp;&amp;");
}

TEST(WriteToStdOutTest, WritesTheDocumentAsUtf8) {
  formatter_test::TempFile output("");
  uint32_t status;
  {
    RedirectedDescriptor redirect(STDOUT_FILENO, output.path().c_str(),
                                  O_WRONLY | O_TRUNC);
    status = OrvWriteToStdOut(U(u"<a b=\"caf\u00E9\">\U0001F600</a>\n"));
  }
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(ReadFile(output.path()),
            "<a b=\"caf\xC3\xA9\">\xF0\x9F\x98\x80</a>\n");
}

TEST(WriteToStdOutTest, FullDeviceIsAFailure) {
  uint32_t status;
  {
    RedirectedDescriptor redirect(STDOUT_FILENO, "/dev/full", O_WRONLY);
    status = OrvWriteToStdOut(U(u"<result/>\n"));
  }
  EXPECT_EQ(status, static_cast<uint32_t>(ENOSPC));
}

TEST(WriteToStdOutTest, ClosedReaderIsAFailureNotASignal) {
  struct sigaction before;
  sigaction(SIGPIPE, nullptr, &before);
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  close(pipeEnds[0]);
  std::fflush(stdout);
  int saved = dup(STDOUT_FILENO);
  dup2(pipeEnds[1], STDOUT_FILENO);
  close(pipeEnds[1]);
  uint32_t status = OrvWriteToStdOut(U(u"<result/>\n"));
  dup2(saved, STDOUT_FILENO);
  close(saved);
  EXPECT_EQ(status, static_cast<uint32_t>(EPIPE));
  // The handler that was in place before is back.
  struct sigaction current;
  sigaction(SIGPIPE, nullptr, &current);
  EXPECT_EQ(current.sa_handler, before.sa_handler);
}

class CmdObjectWriteTest : public formatter_test::XmlPlatformSuite {};

TEST_F(CmdObjectWriteTest, LostAnswerThrowsOutputFailed) {
  Diff query(ParamsFor(9), true);
  I18NString document = query.ConverToOrvFormat();
  RedirectedDescriptor redirect(STDOUT_FILENO, "/dev/full", O_WRONLY);
  try {
    query.WriteToStdOut(document);
    ADD_FAILURE() << "a lost answer was taken for a written one";
  } catch (const OrvException& exception) {
    EXPECT_EQ(exception.getCode(), static_cast<long>(ORV_MSG_OUTPUT_FAILED));
    EXPECT_NE(exception.getText().toUTF8().find("No space left on device"),
              std::string::npos)
        << exception.getText().toUTF8();
  }
}

class SchemaTest : public formatter_test::XmlPlatformSuite {};

TEST_F(SchemaTest, RejectsWhatNoDocumentOfTheHandlerHolds) {
  const char* const invalid[] = {
      "<result command=\"9\" query=\"diff\" different=\"1\"/>",
      "<result command=\"9\" query=\"diff\" different=\"TRUE\"/>",
      "<result command=\"9\" query=\"compare\"/>",
      "<result command=\"nine\" query=\"diff\"/>",
      "<result query=\"diff\"/>",
      "<result command=\"9\" query=\"diff\" size=\"3\"/>",
      "<result command=\"5\" query=\"children\"><item name=\"a\"/>"
      "</result>",
      "<result command=\"5\" query=\"children\"><item name=\"a\" "
      "project=\"false\"/><entry version=\"1\" user=\"u\" date=\"d\">"
      "<comment/></entry></result>",
      "<result command=\"4\" query=\"history\"><entry version=\"1\" "
      "user=\"u\" date=\"d\"/></result>",
      "<result command=\"4\" query=\"history\"><entry version=\"1\" "
      "user=\"u\" date=\"d\"><comment><b/></comment></entry></result>",
      "<error code=\"0x56177b77\">text</error>",
      "<error code=\"56177B77\">text</error>",
      "<error><code/></error>",
      "<answer/>",
  };
  for (const char* body : invalid) {
    EXPECT_NE(ParsedDocument(kDeclaration + std::string(body)).errors(), "")
        << body;
  }
}

}  // namespace
