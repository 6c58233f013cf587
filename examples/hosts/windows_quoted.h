// How a Windows host quotes the words of vss-handler's command line: the
// handler splits it as CommandLineToArgvW does. Part of windows_host.cpp's
// recipe; the handler's own tests quote with it too.
#ifndef EXAMPLES_HOSTS_WINDOWS_QUOTED_H_
#define EXAMPLES_HOSTS_WINDOWS_QUOTED_H_

#include <string>

// `argument` as one word that CommandLineToArgvW gives back unchanged: a FILE
// with blanks stands in quotes, and backslashes are literal except in front
// of a quote.
inline std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() &&
      argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring quoted = L"\"";
  std::wstring::size_type backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes in front of a quote are doubled, and the quote escaped.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  // So are those in front of the closing quote.
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

#endif  // EXAMPLES_HOSTS_WINDOWS_QUOTED_H_
