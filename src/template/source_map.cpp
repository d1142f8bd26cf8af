#include "template/source_map.h"

#include <algorithm>

#include "core/names.h"
#include "script/engine.h"
#include "template/block_parser.h"

namespace zantrel {
namespace {

// Offset of the start of line (from 1) of text, npos past its end; lines end at LF as the engine counts them.
std::size_t LineStart(std::string_view text, int line) {
  std::size_t at = 0;
  for (int l = 1; l < line; ++l) {
    at = text.find('\n', at);
    if (at == std::string_view::npos) return at;
    ++at;
  }
  return at;
}

std::string_view LineAt(std::string_view text, std::size_t start) {
  std::size_t end = text.find('\n', start);
  std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

TemplatePos PositionIn(const SourceText& file, std::size_t offset) {
  TemplatePos pos;
  pos.file = file.name;
  offset = std::min(offset, file.text.empty() ? 0 : file.text.size() - 1);
  // A line end stands at the end of the line it ends.
  std::string head = file.text.substr(0, offset + 1);
  if (!head.empty() && (head.back() == '\n' || head.back() == '\r')) head.back() = ' ';
  std::tie(pos.line, pos.column) = ObParser::LineAndColumn(head, offset);
  pos.column = std::max(pos.column, 1);
  std::string_view text = file.text;
  std::size_t start = text.find_last_of("\r\n", offset == 0 ? 0 : offset - 1);
  start = start == std::string_view::npos || start >= offset ? 0 : start + 1;
  std::size_t end = text.find_first_of("\r\n", start);
  pos.lineText = std::string(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
  return pos;
}

void TextOrigins::Add(std::size_t at, SourceTextRef file, std::size_t offset) {
  list_.push_back({at, std::move(file), offset});
}

TextOrigin TextOrigins::Locate(std::size_t at) const {
  auto next = std::upper_bound(list_.begin(), list_.end(), at,
                               [](std::size_t a, const TextOrigin& o) { return a < o.at; });
  if (next == list_.begin()) return {at, nullptr, 0};
  const TextOrigin& o = *(next - 1);
  return {at, o.file, o.offset + (at - o.at)};
}

TemplatePos TextOrigins::PositionOf(std::size_t at) const {
  TextOrigin o = Locate(at);
  return o.file ? PositionIn(*o.file, o.offset) : TemplatePos{};
}

void SourceMap::Mark(std::size_t scriptOffset, const TextOrigin& origin, std::size_t length) {
  if (origin.file) marks_.push_back({scriptOffset, origin, length});
}

void SourceMap::Append(const SourceMap& other, std::size_t delta) {
  for (const Entry& m : other.marks_) marks_.push_back({m.scriptOffset + delta, m.origin, m.length});
}

TemplatePos SourceMap::Find(std::string_view script, int line, int column) const {
  if (line < 1) return {};
  std::size_t start = LineStart(script, line);
  if (start == std::string_view::npos) return {};
  std::size_t end = start + LineAt(script, start).size();
  std::size_t offset = start + static_cast<std::size_t>(std::max(column, 1) - 1);
  const Entry* best = nullptr;       // the last mark at or before offset on the line
  const Entry* firstOnLine = nullptr;  // the first on the line, code or an expression before literal text
  const Entry* lastCopied = nullptr;   // the last code or expression on the line
  const Entry* before = nullptr;     // the last mark before the line
  for (const Entry& m : marks_) {
    if (m.scriptOffset < start) {
      if (!before || m.scriptOffset >= before->scriptOffset) before = &m;
    } else if (m.scriptOffset <= end) {
      if (!firstOnLine || (m.length > 0 && firstOnLine->length == 0)) firstOnLine = &m;
      if (m.scriptOffset <= offset && (!best || m.scriptOffset >= best->scriptOffset)) best = &m;
      if (m.length > 0) lastCopied = &m;
    }
  }
  // A statement that ended too soon ("Expected ')'" at the line's end) is the
  // last expression's doing, not the literal text that follows it.
  if (offset >= end && lastCopied) best = lastCopied;
  const Entry* m = best ? best : firstOnLine ? firstOnLine : before;
  if (!m) return {};
  std::size_t at = m->origin.offset;
  // Inside text copied as it stands the column carries over; just behind it
  // (a missing ")" found at the next term) the place is the copy's end.
  if (m == best && m->length > 0) at += std::min(offset - m->scriptOffset, m->length);
  return PositionIn(*m->origin.file, at);
}

std::string FormatPosition(const TemplateDiagnostic& d) {
  std::string out;
  if (d.pos) out += d.pos.file + "(" + std::to_string(d.pos.line) + ", " + std::to_string(d.pos.column) + "): ";
  else if (!d.pos.file.empty()) out += d.pos.file + ": ";
  out += d.kind + ": " + d.description + "\n";
  if (!d.pos) return out;
  out += "    " + d.pos.lineText + "\n    ";
  std::string_view text = d.pos.lineText;
  std::size_t at = 0;
  for (int c = 1; c < d.pos.column && at < text.size(); ++c) {
    out += text[at] == '\t' ? '\t' : ' ';
    DecodeUtf8(text, at);
  }
  return out + "^\n";
}

TemplateDiagnostic DiagnoseScriptError(const script::ScriptError& error, const SourceMap& map,
                                       std::string_view script) {
  TemplateDiagnostic d;
  d.kind = error.kind == script::ScriptError::Kind::Compile ? "VBScript compilation error" : "VBScript runtime error";
  d.description = error.description;
  if (error.line < 1) return d;
  // A run-time error may have happened in the system code the page called:
  // only a line of the page's own script maps to the template.
  std::size_t start = LineStart(script, error.line);
  if (start == std::string_view::npos || LineAt(script, start) != error.sourceText) return d;
  d.pos = map.Find(script, error.line, error.column);
  return d;
}

}  // namespace zantrel
