// baseline_children FILE: the child-listing document for an ASCII client
// output, written the plain way (the whole file in one std::string, lines
// found with find, the document appended to another string and written at
// once), for bench/run to time the handler against. It gives the handler's
// document byte for byte on a listing the client printed, but does not look
// for the client's failure messages. It reads its input and escapes as
// baseline_history.cpp does, in lines of its own: each baseline is one plain
// file, and reading through a shared function made this one 9 % slower.
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  FILE* in = argc == 2 ? std::fopen(argv[1], "rb") : nullptr;
  if (in == nullptr)
    return std::fprintf(stderr, "usage: baseline_children FILE\n"), 2;
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

  // The heading "$/proj:" and its line feed come first; the first empty line
  // ends the listing (the item count follows it).
  const size_t colon = text.find(':');
  size_t start = colon == std::string::npos ? 0 : colon + 2;
  if (start > text.size()) start = text.size();
  size_t end = text.find("\n\n", start);
  end = end == std::string::npos ? text.size() : end + 1;

  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
      "<result command=\"5\" query=\"children\" succeeded=\"true\"";
  bool any = false;
  // Only lines that end with a line feed: an unfinished last one may be cut
  // off mid-name.
  for (size_t line = start, feed;
       line < end && (feed = text.find('\n', line)) < end; line = feed + 1) {
    if (feed == line) continue;
    // Sub-projects are listed with a leading '$'.
    const bool project = text[line] == '$';
    while (line < feed && text[line] == '$') ++line;
    out += any ? "\n  <item name=\"" : ">\n  <item name=\"";
    any = true;
    for (size_t i = line; i < feed; ++i) {
      const char c = text[i];
      if (c == '&')
        out += "&amp;";
      else if (c == '<')
        out += "&lt;";
      else if (c == '>')
        out += "&gt;";
      else if (c == '"')
        out += "&quot;";
      else
        out += c;
    }
    out += project ? "\" project=\"true\"/>" : "\" project=\"false\"/>";
  }
  out += any ? "\n</result>\n" : "/>\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
