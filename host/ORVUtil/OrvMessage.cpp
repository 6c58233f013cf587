#include "OrvMessage.h"

#include <cstdio>

namespace {

struct MessageText {
  unsigned long code;
  const char16_t* text;
};

const MessageText kMessageTexts[] = {
    {ORV_MSG_COMMAND_LINE_ERROR, u"The command line is not valid:"},
    {ORV_MSG_INPUT_UNREADABLE, u"The client output cannot be read:"},
    {ORV_MSG_INPUT_TOO_LARGE, u"The client output is too large:"},
    {ORV_MSG_OUTPUT_FAILED,
     u"The result document could not be written to standard output."},
    {ORV_MSG_ANSWER_TOO_LARGE,
     u"The result document would hold more than 2147483647 characters."},
    {ORV_MSG_DIFF_UNRECOGNISED,
     u"The client output of the comparison says neither that the files "
     u"differ nor that they are the same."},
};

std::u16string TextOf(unsigned long code) {
  for (const MessageText& message : kMessageTexts) {
    if (message.code == code) return message.text;
  }
  char generic[32];
  std::snprintf(generic, sizeof(generic), "Message 0x%08lX.", code);
  return std::u16string(generic,
                        generic + std::char_traits<char>::length(generic));
}

}  // namespace

OrvMessage::OrvMessage(unsigned long code) : code_(code) {}

OrvMessage::OrvMessage(unsigned long code, const I18NString& detail)
    : code_(code), detail_(detail) {}

OrvMessage::~OrvMessage() = default;

I18NString OrvMessage::getText() const {
  std::u16string text = TextOf(code_);
  if (!detail_.empty()) {
    text += u' ';
    text += detail_.units();
  }
  return I18NString(std::move(text));
}
