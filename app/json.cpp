#include "json.h"

#include <cstdio>

#include "core/convert.h"
#include "core/dispatch.h"

namespace zantrel::cli {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string JsonValue(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Null:
      return "null";
    case VarType::Boolean:
      return v.AsBoolean() ? "true" : "false";
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
      return CStr(v);
    case VarType::Object:
      return JsonString(v.AsObject() ? v.AsObject()->TypeName() : "Nothing");
    case VarType::Array: {
      std::string out = "[";
      for (const Variant& item : v.AsArray().data()) out += (out.size() > 1 ? "," : "") + JsonValue(item);
      return out + "]";
    }
    default:
      return JsonString(CStr(v));
  }
}

}  // namespace zantrel::cli
