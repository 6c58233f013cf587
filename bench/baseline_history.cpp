// baseline_history FILE: the history document for an ASCII client output,
// written the plain way (the whole file in one std::string, fields found with
// find, the document appended to another string and written at once), for
// bench/run to time the handler against. It gives the handler's document byte
// for byte on the layouts the client prints, not on every odd input.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static const char kMarker[] = "*****************  Version";

static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Moves `at` past white space, then past the word there, and returns the word.
static std::string Word(const std::string& s, size_t& at) {
  while (at < s.size() && IsSpace(s[at])) ++at;
  const size_t start = at;
  while (at < s.size() && !IsSpace(s[at])) ++at;
  return s.substr(start, at - start);
}

// True when `label` follows white space at `at`; `at` then moves past it.
static bool Expect(const std::string& s, size_t& at, const char* label) {
  while (at < s.size() && IsSpace(s[at])) ++at;
  if (s.compare(at, std::strlen(label), label) != 0) return false;
  at += std::strlen(label);
  return true;
}

// Appends `c` as the document holds it; returns how many characters that
// took. In an attribute the apostrophe stands as it is inside the quotes.
static size_t Append(std::string& out, char c, bool inAttribute) {
  const size_t before = out.size();
  if (c == '&')
    out += "&amp;";
  else if (c == '<')
    out += "&lt;";
  else if (c == '>')
    out += "&gt;";
  else if (c == '"')
    out += "&quot;";
  else if (c == '\'' && !inAttribute)
    out += "&apos;";
  else
    out += c;
  return out.size() - before;
}

static void Attribute(std::string& out, const char* name,
                      const std::string& value) {
  out += std::string(" ") + name + "=\"";
  for (char c : value) Append(out, c, true);
  out += '"';
}

int main(int argc, char** argv) {
  FILE* in = argc == 2 ? std::fopen(argv[1], "rb") : nullptr;
  if (in == nullptr)
    return std::fprintf(stderr, "usage: baseline_history FILE\n"), 2;
  std::fseek(in, 0, SEEK_END);
  std::string text(static_cast<size_t>(std::ftell(in)), '\0');
  std::fseek(in, 0, SEEK_SET);
  text.resize(std::fread(&text[0], 1, text.size(), in));
  std::fclose(in);

  // The client writes CR LF; a lone CR stays.
  size_t kept = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
      text[kept++] = text[i];
  text.resize(kept);

  std::vector<size_t> starts;
  for (size_t at = text.find(kMarker); at != std::string::npos;
       at = text.find(kMarker, at + 1))
    starts.push_back(at);

  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
      "<result command=\"4\" query=\"history\"";
  bool any = false;
  // The client lists the newest version first; the document the oldest.
  for (size_t r = starts.size(); r-- > 0;) {
    const size_t end = r + 1 < starts.size() ? starts[r + 1] : text.size();
    const std::string record = text.substr(starts[r], end - starts[r]);
    size_t at = sizeof(kMarker) - 1;
    const std::string version = Word(record, at);
    if (!Expect(record, at, "*****************") ||
        !Expect(record, at, "User:"))
      continue;
    const std::string user = Word(record, at);
    // A user name with a blank in it leaves a word where "Date:" should be.
    if (!Expect(record, at, "Date:")) continue;
    const std::string date = Word(record, at);
    if (!Expect(record, at, "Time:")) continue;
    const std::string time = Word(record, at);
    while (at < record.size() && IsSpace(record[at])) ++at;

    // A creation or a check-in: the comment runs to the end of the record.
    // Anything else: the first line after the header says what was done.
    size_t from, to;
    const size_t comment = record.find("Comment:");
    if (comment != std::string::npos &&
        (record.find("Created") != std::string::npos ||
         record.find("Checked in") != std::string::npos)) {
      from = comment + 8;
      while (from < record.size() && IsSpace(record[from])) ++from;
      to = record.size();
    } else {
      if (at == record.size()) continue;  // a header alone is no version
      from = at;
      to = std::min(record.find('\n', at), record.size());
    }
    while (to > from && record[to - 1] == '\n') --to;

    out += any ? "\n  <entry" : ">\n  <entry";
    any = true;
    Attribute(out, "version", version);
    Attribute(out, "user", user);
    Attribute(out, "date", date + " " + time);
    if (from == to) {
      out += ">\n    <comment/>\n  </entry>";
      continue;
    }
    out += ">\n    <comment>";
    // The client wraps a comment at 80 columns; the line feeds at 0, 79,
    // 159, ... of the escaped comment are its wraps, not the author's.
    size_t column = 0;
    for (size_t i = from; i < to; ++i) {
      if (record[i] == '\n' &&
          (column == 0 || (column >= 79 && (column - 79) % 80 == 0)))
        ++column;
      else
        column += Append(out, record[i], false);
    }
    out += "</comment>\n  </entry>";
  }
  out += any ? "\n</result>\n" : "/>\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
