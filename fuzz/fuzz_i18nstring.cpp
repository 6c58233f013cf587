// Fuzz target of I18NString's position operations: a sequence of operations
// chosen by the fuzzer runs on two I18NString values and, side by side, on a
// plain std::u16string model that follows the rules the header documents.
// Any difference in a result or in the text traps. The strings are held one
// byte per unit (Latin text) or two, as views or whole buffers, and switch
// width as they are changed: the width must never show in a result.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <string>

#include "I18NString.h"

namespace {

using Model = std::u16string;

// Appending stops growing a text beyond this, so that a run of
// self-appends cannot double it 64 times.
constexpr size_t kMaxUnits = 4096;

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "I18NString differs from the model: %s\n", what);
  __builtin_trap();
}

int Length(const Model& m) { return static_cast<int>(m.size()); }

int ModelFind(const Model& m, const Model& needle, int from) {
  if (from < 0 || from > Length(m)) return -1;
  const size_t found = m.find(needle, static_cast<size_t>(from));
  return found == Model::npos ? -1 : static_cast<int>(found);
}

int ModelFindUnit(const Model& m, unsigned int ch, int from) {
  if (from < 0 || ch > 0xFFFF) return -1;
  for (int i = from; i < Length(m); ++i) {
    if (m[i] == ch) return i;
  }
  return -1;
}

Model ModelSubstring(const Model& m, int start, int end) {
  if (end == -1 || end > Length(m)) end = Length(m);
  if (start < 0 || start >= end) return Model();
  return m.substr(start, end - start);
}

int ModelIncrementOffset(const Model& m, int pos) {
  return (pos >= 0 && pos < Length(m)) ? pos + 1 : -1;
}

void ModelErase(Model& m, int start, int count) {
  if (start < 0 || start >= Length(m)) return;
  const int remaining = Length(m) - start;
  m.erase(start, (count == -1 || count > remaining) ? remaining : count);
}

void ModelTrimLeading(Model& m, unsigned int ch) {
  size_t first = 0;
  while (first < m.size() && m[first] == ch) ++first;
  m.erase(0, first);
}

void ModelTrimTrailing(Model& m, unsigned int ch) {
  size_t end = m.size();
  while (end > 0 && m[end - 1] == ch) --end;
  m.erase(end);
}

Model ModelReplaceAll(const Model& m, const Model& target,
                      const Model& replacement) {
  if (target.empty()) return m;
  Model out;
  size_t read = 0;
  for (size_t hit; (hit = m.find(target, read)) != Model::npos;
       read = hit + target.size()) {
    out += m.substr(read, hit - read) + replacement;
  }
  return out + m.substr(read);
}

// Both representations of one text.
struct Pair {
  I18NString string;
  Model model;
};

// True when `buffer` holds the model's units and a zero after them.
bool Terminated(const void* buffer, const Model& m) {
  const char16_t* units = static_cast<const char16_t*>(buffer);
  return Model(units, m.size()) == m && units[m.size()] == 0;
}

// Reads the text without changing its width: data() and getExternalBuffer()
// turn a narrow string wide, so they read a copy.
void CheckSame(const Pair& p) {
  Require(p.string.length() == Length(p.model), "length()");
  Require(p.string.size() == Length(p.model), "size()");
  Require(p.string.empty() == p.model.empty(), "empty()");
  for (int i = 0; i < Length(p.model); ++i)
    Require(p.string.at(i) == p.model[i], "at()");
  if (p.string.isNarrow()) {
    const unsigned char* bytes = p.string.narrowData();
    Require(Model(bytes, bytes + p.model.size()) == p.model, "narrowData()");
  }
  const I18NString copy = p.string;
  Require(copy.units() == p.model, "text");
  Require(Terminated(I18NString(p.string).getExternalBuffer(), p.model),
          "getExternalBuffer() of a copy");
}

// Code units drawn mostly from a small alphabet, so that searches and trims
// find something, with the occasional unit from anywhere in the range (below
// U+0100 for Latin text). The alphabet's units at or above U+0100 share
// their low byte with Latin ones ('a', e-acute): a narrow search or trim
// that compared only that byte would match them.
char16_t NextUnit(FuzzedDataProvider& in, bool latin = false) {
  static const char16_t kAlphabet[] = {u'a',  u'b',   u'\n',  u'$',
                                       0,     0xE9,   0xFF,   0x161,
                                       0x1E9, 0x20AC, 0xD800, 0xFFFF};
  // The first seven are below U+0100.
  const size_t choices = latin ? 7 : sizeof(kAlphabet) / 2;
  const uint8_t pick = in.ConsumeIntegral<uint8_t>();
  if (pick < 0xF0) return kAlphabet[pick % choices];
  if (latin) return in.ConsumeIntegral<uint8_t>();
  return in.ConsumeIntegral<char16_t>();
}

// Latin text half of the time, so that strings start out narrow.
Model NextText(FuzzedDataProvider& in) {
  const bool latin = in.ConsumeBool();
  Model text(in.ConsumeIntegralInRange<size_t>(0, 24), u'\0');
  for (char16_t& unit : text) unit = NextUnit(in, latin);
  return text;
}

// `text` as a new string: built from its units (narrow when they all fit),
// made wide by data(), or as a view into a larger buffer of either width.
I18NString NextString(FuzzedDataProvider& in, const Model& text) {
  const uint8_t how = in.ConsumeIntegralInRange<uint8_t>(0, 3);
  const Model around = u"\u00AB" + text + u"\u00BB";
  I18NString made = (how & 2) ? I18NString(around.data(), Length(around))
                              : I18NString(text.data(), Length(text));
  if (how & 1) made.data();
  if (how & 2) made = made.substring(1, 1 + Length(text));
  return made;
}

// A position near the text (-2 to length + 2) or, rarely, any int.
int NextPosition(FuzzedDataProvider& in, const Model& m) {
  if (in.ConsumeIntegralInRange<int>(0, 15) == 0) {
    return in.ConsumeIntegral<int>();
  }
  return in.ConsumeIntegralInRange<int>(-2, Length(m) + 2);
}

unsigned int NextUnitArgument(FuzzedDataProvider& in) {
  if (in.ConsumeBool()) return NextUnit(in);
  return in.ConsumeIntegral<unsigned int>();
}

void RunOperation(FuzzedDataProvider& in, Pair& a, Pair& b) {
  switch (in.ConsumeIntegralInRange<int>(0, 16)) {
    case 0: {
      const int from = NextPosition(in, a.model);
      Require(
          a.string.find(b.string, from) == ModelFind(a.model, b.model, from),
          "find(text)");
      break;
    }
    case 1: {
      const Model needle = NextText(in);
      const int from = NextPosition(in, a.model);
      Require(a.string.find(NextString(in, needle), from) ==
                  ModelFind(a.model, needle, from),
              "find(text) of a fresh needle");
      break;
    }
    case 2: {
      const unsigned int ch = NextUnitArgument(in);
      const int from = NextPosition(in, a.model);
      Require(a.string.find(ch, from) == ModelFindUnit(a.model, ch, from),
              "find(unit)");
      break;
    }
    case 3: {
      const int start = NextPosition(in, a.model);
      const int end = NextPosition(in, a.model);
      b.string = a.string.substring(start, end);
      b.model = ModelSubstring(a.model, start, end);
      break;
    }
    case 4: {
      const int pos = NextPosition(in, a.model);
      Require(
          a.string.incrementOffset(pos) == ModelIncrementOffset(a.model, pos),
          "incrementOffset");
      break;
    }
    case 5: {
      const int start = NextPosition(in, a.model);
      // Counts below -1 have no documented meaning; -1 means "to the end".
      const int count = in.ConsumeIntegralInRange<int>(-1, Length(a.model) + 2);
      a.string.erase(start, count);
      ModelErase(a.model, start, count);
      break;
    }
    case 6: {
      const unsigned int ch = NextUnitArgument(in);
      a.string.trimLeading(ch);
      ModelTrimLeading(a.model, ch);
      break;
    }
    case 7: {
      const unsigned int ch = NextUnitArgument(in);
      a.string.trimTrailing(ch);
      ModelTrimTrailing(a.model, ch);
      break;
    }
    case 8:
      if (a.model.size() + b.model.size() > kMaxUnits) break;
      a.string += b.string;
      a.model += b.model;
      break;
    case 9: {
      // Appending a string to itself must read the text before it grows.
      if (2 * a.model.size() > kMaxUnits) break;
      const Model before = a.model;
      a.string += a.string;
      a.model += before;
      break;
    }
    case 10:
      Require((a.string == b.string) == (a.model == b.model), "operator==");
      Require((a.string != b.string) == (a.model != b.model), "operator!=");
      break;
    case 11: {
      b.model = NextText(in);
      b.string = NextString(in, b.model);
      break;
    }
    case 12:
      // A copy is an independent value: later changes to `a` leave it be.
      b.string = a.string;
      b.model = a.model;
      break;
    case 13:
      // Turns a narrow string wide in place; its value stays.
      a.string.data();
      break;
    case 14:
      Require(Terminated(a.string.getExternalBuffer(), a.model),
              "getExternalBuffer()");
      break;
    case 15:
      // Room to append into, so that widening happens inside the buffer.
      a.string.reserve(in.ConsumeIntegralInRange<size_t>(0, kMaxUnits));
      break;
    case 16: {
      // The target is `b` or a fresh text, the replacement a fresh text.
      const bool fresh = in.ConsumeBool();
      const Model target = fresh ? NextText(in) : b.model;
      const I18NString targetString = fresh ? NextString(in, target) : b.string;
      const Model replacement = NextText(in);
      const Model replaced = ModelReplaceAll(a.model, target, replacement);
      if (replaced.size() > kMaxUnits) break;
      a.string.replaceAll(targetString, NextString(in, replacement));
      a.model = replaced;
      break;
    }
  }
  CheckSame(a);
  CheckSame(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  Pair a;
  Pair b;
  a.model = NextText(in);
  a.string = NextString(in, a.model);
  b.model = NextText(in);
  b.string = NextString(in, b.model);
  CheckSame(a);
  CheckSame(b);
  for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
    if (in.ConsumeBool()) {
      RunOperation(in, a, b);
    } else {
      RunOperation(in, b, a);
    }
  }
  return 0;
}
