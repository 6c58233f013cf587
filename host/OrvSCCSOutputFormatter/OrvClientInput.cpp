#include "OrvClientInput.h"

#include <algorithm>
#include <cstring>

#include "I18NDecode.h"
#include "OrvFormatterErrors.h"
#include "OrvMessage.h"
#include "PortSystem.h"

namespace {

// Standard input grows its buffer from this size on.
const std::size_t kFirstChunk = 64 * 1024;
const char16_t kByteOrderMark = 0xFEFF;

// The client output is read as the command line is processed.
const char kReadFunction[] = "OrvCmdLineArg::ProcessCmdParams()";

std::string DescribeSource(const std::string& path) {
  return path == "-" ? std::string("standard input") : "'" + path + "'";
}

[[noreturn]] void RaiseUnreadable(const std::string& path, PortError error) {
  ORV_RAISE(ORV_MSG_INPUT_UNREADABLE,
            OrvFromUtf8(DescribeSource(path) + ": " + PortErrorText(error)),
            kReadFunction);
}

[[noreturn]] void RaiseTooLarge(const std::string& path) {
  ORV_RAISE(ORV_MSG_INPUT_TOO_LARGE,
            OrvFromUtf8(DescribeSource(path) + " holds more than " +
                        std::to_string(kOrvMaxClientOutputBytes) + " bytes"),
            kReadFunction);
}

// The size of a regular file, which is known before it is read.
struct SourceSize {
  bool known;
  std::size_t bytes;
};

void OpenSource(PortInput& input, const std::string& path) {
  PortError error = input.Open(path == "-" ? nullptr : path.c_str());
  if (error != 0) RaiseUnreadable(path, error);
}

SourceSize SizeOfSource(PortInput& input, const std::string& path) {
  PortInputKind kind = PortInputKind::kStream;
  std::size_t size = 0;
  PortError error = input.Inspect(kind, size);
  if (error != 0) RaiseUnreadable(path, error);
  if (kind != PortInputKind::kRegularFile) return {false, 0};
  if (size > kOrvMaxClientOutputBytes) RaiseTooLarge(path);
  return {true, size};
}

// Drops a leading byte-order mark and makes every CR LF pair one LF.
I18NString CleanLineEnds(I18NString text, OrvClientInputFacts* facts) {
  if (!text.empty() && text.at(0) == kByteOrderMark) {
    text.erase(0, 1);
    if (facts != nullptr) facts->byteOrderMark = true;
  }
  // The client wrote its text in text mode: CR LF is its line end.
  text.replaceAll(I18NString(u"\r\n"), I18NString(u"\n"));
  return text;
}

void CountInvalidSequence(void* facts) {
  ++static_cast<OrvClientInputFacts*>(facts)->invalidSequences;
}

}  // namespace

I18NString OrvReadClientOutput(const std::string& path,
                               OrvClientInputFacts* facts) {
  PortInput input;
  OpenSource(input, path);
  const SourceSize size = SizeOfSource(input, path);
  // A regular file is read into a buffer of its own size and one byte more, to
  // see its end without a second allocation; a stream into a chunk that
  // doubles. The bytes go straight into the storage of the text they decode to.
  I18NStringBuilder bytes;
  std::size_t capacity = size.known ? size.bytes + 1 : kFirstChunk;
  unsigned char* storage = bytes.ReserveNarrow(capacity);
  std::size_t used = 0;
  for (;;) {
    if (used == capacity) {
      // One byte past the limit is enough to know the input is too large.
      capacity = std::min(2 * capacity, kOrvMaxClientOutputBytes + 1);
      storage = bytes.ReserveNarrow(capacity);
    }
    std::size_t count = 0;
    PortError error = input.Read(storage + used, capacity - used, count);
    if (error != 0) RaiseUnreadable(path, error);
    if (count == 0) break;
    used += count;
    if (used > kOrvMaxClientOutputBytes) RaiseTooLarge(path);
  }
  if (facts == nullptr)
    return CleanLineEnds(I18NDecodeInPlace(bytes, used, nullptr), nullptr);
  facts->bytes = used;
  return CleanLineEnds(
      I18NDecodeInPlace(bytes, used, nullptr, &CountInvalidSequence, facts),
      facts);
}

I18NString OrvDecodeClientOutput(const std::string& bytes) {
  // Decoded the way a read client output is, so both take the same path.
  I18NStringBuilder storage;
  if (!bytes.empty())
    std::memcpy(storage.ReserveNarrow(bytes.size()), bytes.data(),
                bytes.size());
  return CleanLineEnds(I18NDecodeInPlace(storage, bytes.size(), nullptr),
                       nullptr);
}
