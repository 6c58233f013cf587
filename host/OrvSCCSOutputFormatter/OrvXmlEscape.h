#ifndef ORVSCCSOUTPUTFORMATTER_ORVXMLESCAPE_H_
#define ORVSCCSOUTPUTFORMATTER_ORVXMLESCAPE_H_

#include "I18NString.h"

// Replaces, in one pass from left to right, & by &amp;, < by &lt;, > by
// &gt;, " by &quot; and ' by &apos;; changes nothing else.
void OrvXmlEscape(I18NString& text);

#endif  // ORVSCCSOUTPUTFORMATTER_ORVXMLESCAPE_H_
