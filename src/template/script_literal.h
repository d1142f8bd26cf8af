// Literal template text as a VBScript string expression: the text split at CR LF
// into quoted pieces (quotes doubled) joined by &vbCrLf&, so that two lines give
// "a"&vbCrLf&"b". An empty text gives "". A lone LF stays inside its piece.
#pragma once

#include <string>
#include <string_view>

namespace zantrel {

std::string ToScriptLiteral(std::string_view text);

// A VBScript string literal of text: quoted, quotes doubled, line breaks kept.
std::string QuoteScriptString(std::string_view text);

}  // namespace zantrel
