// SaveProject: the project file. One element per object, every setting an
// attribute in bag order, CR LF line ends, no indentation:
//
//   <?xml version="1.0" encoding="utf-8" standalone="yes"?>
//   <Project Version="1.0.0.0" ProjName="shop" … >
//   <Database DBName="shop" … >
//   <Table TblSeq="1" TblName="orders" … >
//   <Field FldSeq="1" FldName="id" … />
//   </Table>
//   </Database>
//   </Project>
//
// The text is built in memory, transcoded to the declared charset and written to
// a temporary file that replaces the old file only when all went well.
#include <charconv>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "core/names.h"
#include "core/text.h"
#include "persist/charset.h"
#include "persist/project_file.h"
#include "platform/atomic_file.h"
#include "platform/registry.h"
#include "platform/text_encoding.h"

namespace zantrel {
namespace {


constexpr bool NeedsEscape(char c) { return c == '&' || c == '<' || c == '>' || c == '"'; }

void AppendEscaped(std::string& out, std::string_view text) {
  std::size_t run = 0;  // start of the characters not yet appended
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!NeedsEscape(text[i])) continue;
    out.append(text.data() + run, i - run);
    switch (text[i]) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += "&quot;"; break;
    }
    run = i + 1;
  }
  out.append(text.data() + run, text.size() - run);
}

void AppendValueText(std::string& out, const Variant& v) {
  char digits[16];
  switch (v.type()) {
    case VarType::Empty:
      return;
    case VarType::String:
      AppendEscaped(out, v.AsString());
      return;
    case VarType::Integer:
    case VarType::Long: {
      int32_t n = v.type() == VarType::Integer ? v.AsInteger() : v.AsLong();
      auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
      out.append(digits, end);
      return;
    }
    default:
      AppendEscaped(out, CStr(v));
  }
}

// Boolean settings are "1" or "0"; an empty value is "0".
bool BooleanText(const Variant& v) { return !v.IsEmpty() && CBool(v); }

bool IsTagValues(std::string_view name) { return name.size() == 12 && NameEquals(name, "fldtagvalues"); }

void AppendAttributes(std::string& out, const ObProperties& bag) {
  for (int32_t i = 0; i < bag.Count(); ++i) {
    const PropertyMeta& meta = bag.MetaAt(i);
    if (!meta.fileSave) continue;
    AppendEscaped(out, meta.name);
    out += "=\"";
    const Variant& value = bag.ValueAt(i);
    if (SettingTypeOf(meta.dataType) == SettingType::Boolean) {
      out += BooleanText(value) ? '1' : '0';
    } else if (IsTagValues(meta.name)) {
      std::string text;
      AppendValueText(text, value);
      for (std::size_t at; (at = text.find(kCrLf)) != std::string::npos;) text.replace(at, 2, "|");
      out += text;
    } else {
      AppendValueText(out, value);
    }
    out += "\" ";
  }
}

// The text goes to the file in pieces of about this size, cut at line ends (so
// never inside a character): a large project is never held twice in memory.
constexpr std::size_t kChunk = 4 << 20;

class ChunkedOutput {
 public:
  ChunkedOutput(AtomicFile& file, std::string charset) : file_(file), charset_(std::move(charset)) {
    text.reserve(kChunk + (kChunk >> 2));
  }
  // Writes what is buffered once a piece is full; call at line ends.
  void LineDone() {
    if (text.size() >= kChunk) Flush();
  }
  void Flush() {
    if (text.empty()) return;
    if (IsUtf8Charset(charset_)) file_.Write(text);
    else file_.Write(EncodeForXml(text, charset_));
    text.clear();
  }
  std::string text;

 private:
  AtomicFile& file_;
  std::string charset_;
};

// The items of a list in sequence order: position s - 1 holds the first item
// whose sequence number is s, as the list's Seq lookup finds it. A gap raises 91.
template <class List>
auto InSequenceOrder(List& list) {
  std::vector<decltype(list.At(0))> ordered(list.Count(), nullptr);
  for (int32_t i = 0; i < list.Count(); ++i) {
    auto* item = list.At(i);
    int32_t seq = item->SeqNo();
    if (seq >= 1 && seq <= list.Count() && !ordered[seq - 1]) ordered[seq - 1] = item;
  }
  for (auto* item : ordered)
    if (!item) Raise(err::kObjectNotSet);
  return ordered;
}

void AppendTable(ChunkedOutput& output, ObPTable& table) {
  std::string& out = output.text;
  out += "<Table ";
  AppendAttributes(out, table.Properties());
  out += ">";
  out += kCrLf;
  if (table.HasFields()) {
    for (ObPField* field : InSequenceOrder(table.Fields())) {
      out += "<Field ";
      AppendAttributes(out, field->Properties());
      out += "/>";
      out += kCrLf;
      output.LineDone();
    }
  }
  out += "</Table>";
  out += kCrLf;
  output.LineDone();
}

// The charset named in the declaration: the system's, unless the user's
// "XMLEncodeCharSet" value names another; the choice is written back.
std::string DeclaredCharset() {
  std::string charset = SystemCharset();
  cRegistry& reg = Context().Service<cRegistry>();
  reg.ClassKey = kHKeyCurrentUser;
  reg.SectionKey = Context().SettingsKey();
  reg.ValueKey = "XMLEncodeCharSet";
  reg.ValueType = 1;
  reg.Default = Variant();
  Variant stored = reg.Value();
  std::string text = stored.IsString() ? stored.AsString() : std::string();
  if (!text.empty()) charset = text;
  reg.ValueType = 1;
  reg.Value(Variant(charset));
  return charset;
}

}  // namespace

void SaveProject(ObPModel& project, const std::string& projFile) {
  if (!project.newerFileVersion.empty())
    throw Error(err::kProjectReadOnly,
                ProductError(": The project file was written by version " + project.newerFileVersion +
                             " and is read-only for version " + project.versionText() +
                             ", which would lose what it does not know."));
  std::string charset = DeclaredCharset();
  try {
    AtomicFile file(projFile, /*durable=*/true);
    ChunkedOutput output(file, charset);
    std::string& out = output.text;
    out += charset.empty() ? "<?xml version=\"1.0\" standalone=\"yes\"?>"
                           : "<?xml version=\"1.0\" encoding=\"" + charset + "\" standalone=\"yes\"?>";
    out += kCrLf;
    out += "<Project Version=\"" + project.versionText() + "\" ";
    AppendAttributes(out, project.Properties());
    out += ">";
    out += kCrLf;
    if (project.DBCnt() > 0) {
      Ref<ObPDatabase> database = project.db();
      out += "<Database ";
      AppendAttributes(out, database->Properties());
      out += ">";
      out += kCrLf;
      for (ObPTable* table : InSequenceOrder(database->tables())) AppendTable(output, *table);
      out += "</Database>";
      out += kCrLf;
    }
    out += "</Project>";
    out += kCrLf;
    output.Flush();
    file.Commit();
  } catch (const FileError& e) {
    Raise(err::kPathFileAccess, e.what(), "zantrel.ObP.Save");
  } catch (const EncodingError& e) {
    Raise(err::kPathFileAccess, e.what(), "zantrel.ObP.Save");
  }
}

}  // namespace zantrel
