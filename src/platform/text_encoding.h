// Conversion between the UTF-8 text held in memory and the charset a file is
// written in (iconv). Characters the charset cannot hold are written as XML
// character references (&#NNNN;), so an XML file never loses text.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace zantrel {

class EncodingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// True for "utf-8" (any case) and for the empty name.
bool IsUtf8Charset(std::string_view charset);

// UTF-8 text in the given charset; throws EncodingError for a charset iconv
// does not know.
std::string EncodeForXml(std::string_view utf8, std::string_view charset);

// Bytes in the given charset as UTF-8; throws EncodingError for an unknown
// charset or bytes that are not valid in it.
std::string DecodeToUtf8(std::string_view bytes, std::string_view charset);

}  // namespace zantrel
