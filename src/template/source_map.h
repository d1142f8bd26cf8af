// Where the prepared script came from. Script preparation cuts template files
// into sessions, expands includes and turns blocks into statements; the texts
// here let an error of the prepared script, or of the block parser, be told at
// the template file, line and column the author wrote:
//
//   list.php(4, 12): VBScript compilation error: Expected ')'
//       <td><!--##=Foo(##--></td>
//                  ^
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zantrel {

namespace script {
struct ScriptError;
}

// A template file as it was read: its name (relative to the template folder)
// and its text.
struct SourceText {
  std::string name;
  std::string text;
};
using SourceTextRef = std::shared_ptr<const SourceText>;

// A place in a template file; line 0 when unknown.
struct TemplatePos {
  std::string file;
  int line = 0;
  int column = 0;         // in characters, from 1
  std::string lineText;   // the line, without its line end
  explicit operator bool() const { return line > 0; }
};

// The place of a byte offset of a file.
TemplatePos PositionIn(const SourceText& file, std::size_t offset);

// Where the pieces of a text assembled from files came from: from origin i on
// (its offset `at` in the text) the bytes are those of file from `offset` on.
struct TextOrigin {
  std::size_t at = 0;
  SourceTextRef file;
  std::size_t offset = 0;
};
class TextOrigins {
 public:
  TextOrigins() = default;
  // A text that is one whole file.
  explicit TextOrigins(SourceTextRef file) { Add(0, std::move(file), 0); }
  void Add(std::size_t at, SourceTextRef file, std::size_t offset);
  // The file and offset of byte `at` of the text; a null file when unknown.
  TextOrigin Locate(std::size_t at) const;
  TemplatePos PositionOf(std::size_t at) const;
  bool empty() const { return list_.empty(); }

 private:
  std::vector<TextOrigin> list_;
};

// For a prepared script: marks that tie offsets of the script to places in
// template files. A mark of a nonzero length covers text copied as it stands
// (code, expressions), so a column inside it maps to the same column of the
// template; other marks (literal text, phrases) map to where the block starts.
class SourceMap {
 public:
  void Mark(std::size_t scriptOffset, const TextOrigin& origin, std::size_t length);
  // Adds the marks of a map of a text placed at offset delta of this one.
  void Append(const SourceMap& other, std::size_t delta);
  std::size_t size() const { return marks_.size(); }
  // The template place of a line and column (both from 1, column in bytes as the
  // engine counts) of script; unknown when no mark covers it.
  TemplatePos Find(std::string_view script, int line, int column) const;

 private:
  struct Entry {
    std::size_t scriptOffset;
    TextOrigin origin;
    std::size_t length;
  };
  std::vector<Entry> marks_;
};

// A problem found in a template, as the command line shows it.
struct TemplateDiagnostic {
  TemplatePos pos;
  std::string kind;         // "VBScript compilation error", "VBScript runtime error", "template error"
  std::string description;  // the engine's or parser's short text
  std::string message;      // the worded report (ProjErr) that follows, when there is one
  std::string page;         // the output page it concerns, when there is one
};

// The position line, the template line and a caret under the column.
std::string FormatPosition(const TemplateDiagnostic& d);

// A diagnostic for an error of the engine in a prepared script.
TemplateDiagnostic DiagnoseScriptError(const script::ScriptError& error, const SourceMap& map,
                                       std::string_view script);

}  // namespace zantrel
