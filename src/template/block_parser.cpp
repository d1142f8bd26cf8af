#include "template/block_parser.h"

#include <filesystem>

#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "core/names.h"
#include "core/text.h"
#include "platform/atomic_file.h"

namespace zantrel {
namespace {

constexpr std::string_view kOpen = "<!--##";
constexpr std::string_view kClose = "##-->";
constexpr std::string_view kMarkers = "=~@$";
constexpr int kMaxIncludeDepth = 32;

obc_Block_Type TypeOfMarker(char marker) {
  switch (marker) {
    case '=': return obc_Block_Function;
    case '~': return obc_Block_FunctionIndent;
    case '@': return obc_Block_Language;
    default: return obc_Block_LanguageDynamic;
  }
}

// The blanks and tabs that end text.
std::string TrailingIndent(std::string_view text) {
  std::size_t end = text.find_last_not_of(" \t");
  return std::string(end == std::string_view::npos ? text : text.substr(end + 1));
}

}  // namespace

std::pair<int, int> ObParser::LineAndColumn(std::string_view text, std::size_t offset) {
  std::string_view head = text.substr(0, std::min(offset + 1, text.size()));
  // A line ends at LF, CR LF or a lone CR.
  int line = 1;
  std::size_t lineStart = 0;
  for (std::size_t at = 0; (at = head.find_first_of("\r\n", at)) != std::string_view::npos;) {
    at += head[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
    if (at > head.size()) break;  // the CR of a CR LF is the offset itself
    ++line;
    lineStart = at;
  }
  int column = 0;
  for (std::size_t pos = lineStart; pos < head.size(); ++column) DecodeUtf8(head, pos);
  return {line, column};
}

void ObParser::Report(const char* what, std::size_t offset) {
  errorOffset = offset;
  auto [line, column] = LineAndColumn(source_, offset);
  Context().projErr = std::string(what) + " at line " + std::to_string(line) + " column " + std::to_string(column) +
                      "! Generation failed!";
}

void ObParser::Parse(std::string_view source) {
  source_ = std::string(source);
  errorOffset = std::string_view::npos;
  blocks_.clear();
  blockId_ = 0;
  std::string_view src = source_;
  std::size_t next = 0;
  std::size_t open = src.find(kOpen);
  while (open != std::string_view::npos) {
    if (open > next) blocks_.push_back({obc_Block_Content, "", next, open - next, ""});
    std::size_t close = src.find(kClose, open);
    if (close == std::string_view::npos) return Report("Incomplete Block", open);
    std::size_t nested = src.find(kOpen, open + kOpen.size());
    if (nested != std::string_view::npos && nested < close) return Report("Nested Blocks found", nested);
    std::size_t markerAt = open + kOpen.size();
    bool marked = markerAt < src.size() && kMarkers.find(src[markerAt]) != std::string_view::npos;
    std::size_t start = marked ? markerAt + 1 : markerAt;
    // A closer that overlaps the opener ("<!--##-->") reads as an empty block.
    std::size_t length = close > start ? close - start : 0;
    Block block{obc_Block_Script, "", start, length, ""};
    std::string_view content = src.substr(start, length);
    if (!marked) {
      block.name = DeclaredFunctionName(content);
    } else {
      block.type = TypeOfMarker(src[markerAt]);
      block.name = std::string(Trim(content));
      if (block.type == obc_Block_FunctionIndent && !blocks_.empty() && blocks_.back().type == obc_Block_Content)
        block.indent = TrailingIndent(src.substr(blocks_.back().start, blocks_.back().length));
    }
    blocks_.push_back(std::move(block));
    next = close + kClose.size();
    open = nested;
  }
  if (next < src.size()) blocks_.push_back({obc_Block_Content, "", next, src.size() - next, ""});
  blockId_ = Count();
}

void ObParser::BlockID(int32_t id) {
  if (id >= 1 && id <= Count()) blockId_ = id;
}

const ObParser::Block* ObParser::Current() const {
  return blockId_ >= 1 && blockId_ <= Count() ? &blocks_[blockId_ - 1] : nullptr;
}

int32_t ObParser::BlockType() const { return Current() ? Current()->type : 0; }
std::string ObParser::BlockName() const { return Current() ? Current()->name : std::string(); }
std::string ObParser::BlockIndent() const { return Current() ? Current()->indent : std::string(); }
std::size_t ObParser::BlockStart() const { return Current() ? Current()->start : 0; }
std::string ObParser::BlockValue() const {
  const Block* b = Current();
  return b ? source_.substr(b->start, b->length) : std::string();
}

std::string DeclaredFunctionName(std::string_view code) {
  std::size_t end = code.size();
  while (end > 0) {
    std::size_t at = std::string_view::npos;
    for (std::size_t i = end; i-- > 0;) {
      if (FindNoCase(code.substr(i, 9), "Function ") == 0) {
        at = i;
        break;
      }
    }
    if (at == std::string_view::npos) return {};
    std::size_t lineStart = code.rfind("\r\n", at == 0 ? 0 : at - 1);
    if (lineStart != std::string_view::npos && lineStart < at) {
      std::string_view before = code.substr(lineStart + 2, at - lineStart - 2);
      if (Trim(before).empty()) {
        std::size_t paren = code.find('(', at);
        if (paren == std::string_view::npos) return {};
        return std::string(Trim(code.substr(at + 9, paren - at - 9)));
      }
      bool blankBefore = at > 0 && code[at - 1] == ' ';
      std::string_view trimmed = Trim(before);
      if (blankBefore && trimmed.front() != '\'') return {};
    }
    end = at;  // a commented-out declaration, a longer word, or the first line: look further back
  }
  return {};
}

std::string ObParser::GetSession(std::string_view source, std::string_view sessionId) {
  includeChain_.clear();
  return SessionOf(source, sessionId, 0, Tracking{nullptr, 0, nullptr, 0});
}

std::string ObParser::GetSession(std::string_view source, std::string_view sessionId,
                                 const TextOrigins& sourceOrigins, TextOrigins& origins) {
  includeChain_.clear();
  return SessionOf(source, sessionId, 0, Tracking{&sourceOrigins, 0, &origins, 0});
}

std::string ObParser::SessionOf(std::string_view source, std::string_view sessionId, int depth,
                                const Tracking& track) {
  const std::string opener = std::string(kOpen) + "session";
  const std::string closer = std::string(kOpen) + "/session" + std::string(kClose);
  for (std::size_t at = FindNoCase(source, opener); at != std::string_view::npos;) {
    std::size_t idStart = at + opener.size();
    std::size_t close = source.find(kClose, idStart);
    if (close == std::string_view::npos) return {};
    std::size_t bodyStart = close + kClose.size();
    if (NameEquals(Trim(source.substr(idStart, close - idStart)), Trim(sessionId))) {
      std::size_t end = FindNoCase(source, closer, bodyStart);
      if (end == std::string_view::npos) return {};
      Tracking body{track.source, track.sourceOffset + bodyStart, track.origins, track.outBase};
      return ExpandIncludes(source.substr(bodyStart, end - bodyStart), depth, body);
    }
    at = FindNoCase(source, opener, bodyStart);
  }
  return {};
}

// Notes where the piece of body from offset `from`, written at `written` of the output, came from.
void ObParser::Record(const Tracking& track, std::size_t written, std::size_t from) {
  if (!track.origins || !track.source) return;
  TextOrigin o = track.source->Locate(track.sourceOffset + from);
  track.origins->Add(track.outBase + written, o.file, o.offset);
}

std::string ObParser::ExpandIncludes(std::string_view body, int depth, const Tracking& track) {
  const std::string opener = std::string(kOpen) + "include";
  std::string out;
  std::size_t copied = 0;
  for (std::size_t at = FindNoCase(body, opener); at != std::string_view::npos; at = FindNoCase(body, opener, copied)) {
    std::size_t close = body.find(kClose, at + opener.size());
    if (close == std::string_view::npos) break;
    Record(track, out.size(), copied);
    out.append(body.substr(copied, at - copied));
    copied = close + kClose.size();
    std::string_view argument = body.substr(at + opener.size(), close - at - opener.size());
    std::size_t slash = argument.find('/');
    if (slash == std::string_view::npos || argument.find('/', slash + 1) != std::string_view::npos) continue;
    std::string file(Trim(argument.substr(0, slash)));
    for (char& c : file)
      if (c == '\\') c = '/';
    std::string session(Trim(argument.substr(slash + 1)));
    std::filesystem::path path = std::filesystem::path(templateFolder) / file;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) continue;
    if (depth + 1 >= kMaxIncludeDepth) {
      Context().projErr = "Include nesting deeper than " + std::to_string(kMaxIncludeDepth) + " levels at \"" +
                          file + "/" + session + "\" (a session that includes itself?)! Generation failed!";
      return out;
    }
    std::string content;
    try {
      content = ReadWholeFile(path);
    } catch (const FileError& e) {
      Raise(err::kPathFileAccess, e.what());
    }
    auto included = std::make_shared<SourceText>(SourceText{file, std::move(content)});
    TextOrigins includedOrigins(included);
    out += SessionOf(included->text, session, depth + 1,
                     Tracking{&includedOrigins, 0, track.origins, track.outBase + out.size()});
    if (!Context().projErr.empty()) return out;
  }
  Record(track, out.size(), copied);
  out.append(body.substr(copied));
  return out;
}

const MemberTable<ObParser>& ObParser::Members() {
  using P = ObParser;
  static const MemberTable<P> table(
      "ObParser",
      {{"Parse",
        [](P& p, Args a) {
          p.Parse(CStr(Arg(a, 0)));
          return Variant();
        },
        nullptr},
       {"Count", [](P& p, Args) { return Variant(p.Count()); }, nullptr},
       {"BlockID", [](P& p, Args) { return Variant(p.BlockID()); },
        [](P& p, Args, const Variant& v) { p.BlockID(CLng(v)); }},
       {"BlockType", [](P& p, Args) { return Variant(p.BlockType()); }, nullptr},
       {"BlockName", [](P& p, Args) { return Variant(p.BlockName()); }, nullptr},
       {"BlockValue", [](P& p, Args) { return Variant(p.BlockValue()); }, nullptr},
       {"BlockIndent", [](P& p, Args) { return Variant(p.BlockIndent()); }, nullptr},
       {"GetSession", [](P& p, Args a) { return Variant(p.GetSession(CStr(Arg(a, 0)), CStr(Arg(a, 1)))); },
        nullptr}});
  return table;
}

}  // namespace zantrel
