#include "platform/text_encoding.h"

#include <errno.h>
#include <iconv.h>

#include "core/names.h"

namespace zantrel {
namespace {

class Converter {
 public:
  Converter(std::string_view to, std::string_view from) {
    handle_ = iconv_open(std::string(to).c_str(), std::string(from).c_str());
    if (handle_ == reinterpret_cast<iconv_t>(-1))
      throw EncodingError("unknown character set '" + std::string(IsUtf8Charset(to) ? from : to) + "'");
  }
  ~Converter() { iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts what it can; stops at the first sequence it cannot convert and
  // leaves in/left there. Returns the errno of the stop, 0 when all converted.
  int Convert(const char*& in, std::size_t& left, std::string& out) {
    char buffer[16384];
    while (left > 0) {
      char* dst = buffer;
      std::size_t room = sizeof buffer;
      std::size_t rc = iconv(handle_, const_cast<char**>(&in), &left, &dst, &room);
      out.append(buffer, dst - buffer);
      if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) return errno;
    }
    char* dst = buffer;
    std::size_t room = sizeof buffer;
    iconv(handle_, nullptr, nullptr, &dst, &room);  // the shift state's end, for stateful charsets
    out.append(buffer, dst - buffer);
    return 0;
  }

 private:
  iconv_t handle_;
};

}  // namespace

bool IsUtf8Charset(std::string_view charset) { return charset.empty() || NameEquals(charset, "utf-8"); }

std::string EncodeForXml(std::string_view utf8, std::string_view charset) {
  if (IsUtf8Charset(charset)) return std::string(utf8);
  Converter conv(charset, "UTF-8");
  std::string out;
  out.reserve(utf8.size());
  const char* in = utf8.data();
  std::size_t left = utf8.size();
  while (conv.Convert(in, left, out) != 0 && left > 0) {
    std::size_t pos = in - utf8.data();
    std::size_t start = pos;
    char32_t c = DecodeUtf8(utf8, pos);
    std::string reference = "&#" + std::to_string(static_cast<uint32_t>(c)) + ";";
    const char* refIn = reference.data();
    std::size_t refLeft = reference.size();
    conv.Convert(refIn, refLeft, out);
    in += pos - start;
    left -= pos - start;
  }
  return out;
}

std::string DecodeToUtf8(std::string_view bytes, std::string_view charset) {
  if (IsUtf8Charset(charset)) return std::string(bytes);
  Converter conv("UTF-8", charset);
  std::string out;
  out.reserve(bytes.size());
  const char* in = bytes.data();
  std::size_t left = bytes.size();
  if (conv.Convert(in, left, out) != 0)
    throw EncodingError("text is not valid " + std::string(charset) + " at byte " +
                        std::to_string(bytes.size() - left));
  return out;
}

}  // namespace zantrel
