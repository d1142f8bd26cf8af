#include "generate/script_builder.h"

#include "core/names.h"
#include "core/text.h"
#include "template/block_parser.h"
#include "template/language_file.h"
#include "template/script_host.h"
#include "template/script_literal.h"

namespace zantrel {
namespace {

constexpr std::string_view kOut = "ovOut";
constexpr std::string_view kArray = "ovAr";
constexpr std::string_view kIndent = "ovIndentWrk";

std::string HookName(std::string_view expression) {
  std::string hook = "USER_" + std::string(expression);
  for (char& c : hook)
    if (c == '.') c = '_';
  return hook;
}

}  // namespace

void ScriptBuilder::Flush() {
  if (pending_.empty()) return;
  std::string head = std::string(kOut) + " = " + std::string(kOut);
  for (const PendingMark& m : pendingMarks_) codeMap_.Mark(code_.size() + head.size() + m.offset, m.origin, m.length);
  pendingMarks_.clear();
  code_ += head + pending_ + std::string(kCrLf);
  pending_.clear();
}

// Marks the term about to be appended to the pending output (after its " & ").
void ScriptBuilder::MarkPending(const TextOrigin& at, std::size_t length) {
  pendingMarks_.push_back({pending_.size() + 3, at, length});
}

void ScriptBuilder::AppendExpression(std::string expression, const TextOrigin& at) {
  std::string hook = HookName(expression);
  bool hooked = script_ && script_->UserModuleExist(hook);
  MarkPending(at, hooked ? 0 : expression.size());
  if (hooked) expression = hook + "(" + expression + ")";
  pending_ += " & " + expression;
}

// Code copied as it stands, each of its lines marked at its own place.
void ScriptBuilder::AppendCode(std::string_view text, const TextOrigin& at) {
  for (std::size_t line = 0; line <= text.size();) {
    std::size_t end = text.find('\n', line);
    std::size_t length = (end == std::string_view::npos ? text.size() : end) - line;
    codeMap_.Mark(code_.size() + line, {0, at.file, at.offset + line}, length);
    if (end == std::string_view::npos) break;
    line = end + 1;
  }
  code_ += text;
  code_ += kCrLf;
}

void ScriptBuilder::AppendScriptBlocks(std::string_view text, const TextOrigins* origins) {
  ObParser parser;
  parser.Parse(text);
  auto origin = [origins](std::size_t offset) { return origins ? origins->Locate(offset) : TextOrigin{}; };
  if (parser.errorOffset != std::string_view::npos && origins) parseErrorPos = origins->PositionOf(parser.errorOffset);
  for (int32_t i = 1; i <= parser.Count(); ++i) {
    parser.BlockID(i);
    std::size_t start = parser.BlockStart();
    switch (parser.BlockType()) {
      case obc_Block_Script:
        Flush();
        AppendCode(parser.BlockValue(), origin(start));
        break;
      case obc_Block_FunctionIndent:
      case obc_Block_Function: {
        // The expression is the block's text trimmed of blanks.
        std::string value = parser.BlockValue();
        std::size_t lead = value.find_first_not_of(' ');
        TextOrigin at = origin(start + (lead == std::string::npos ? 0 : lead));
        if (parser.BlockType() == obc_Block_FunctionIndent) {
          Flush();
          codeMap_.Mark(code_.size(), at, 0);
          code_ += std::string(kIndent) + " = \"" + parser.BlockIndent() + "\"" + std::string(kCrLf);
        }
        AppendExpression(parser.BlockName(), at);
        break;
      }
      case obc_Block_Language: {
        std::string phrase = language_ ? language_->Phrase(parser.BlockName()) : std::string();
        MarkPending(origin(start), 0);
        pending_ += " & " + QuoteScriptString(phrase);
        break;
      }
      case obc_Block_LanguageDynamic:
        MarkPending(origin(start), 0);
        pending_ += " & LANG.Phrase(" + parser.BlockName() + ")";
        break;
      case obc_Block_Content: {
        std::string literal = ToScriptLiteral(parser.BlockValue());
        if (literal.empty()) break;
        std::string element = std::string(kArray) + "(" + std::to_string(++arrayCount_) + ")";
        declarationsMap_.Mark(declarations_.size(), origin(start), 0);
        declarations_ += element + " = " + literal + std::string(kCrLf);
        MarkPending(origin(start), 0);
        pending_ += " & " + element;
        break;
      }
      default:
        break;
    }
  }
}

std::string ScriptBuilder::FunctionText() {
  Flush();
  std::string out;
  out.reserve(declarations_.size() + code_.size() + 128);
  out += "Function ovScriptEngine()\r\n";
  out += "On Error Resume Next\r\n";
  out += "Dim " + std::string(kArray) + "(" + std::to_string(arrayCount_) + ")\r\n";
  out += "Dim " + std::string(kOut) + "\r\n";
  map_ = SourceMap();
  map_.Append(declarationsMap_, out.size());
  out += declarations_;
  map_.Append(codeMap_, out.size());
  out += code_;
  out += "ovScriptEngine = " + std::string(kOut) + "\r\n";
  out += "End Function\r\n";
  return out;
}

std::string GetIncludeNames(std::string_view text) {
  constexpr std::string_view kInclude = "<!--##include";
  std::string names;
  for (std::size_t at = FindNoCase(text, kInclude, 0); at != std::string_view::npos;) {
    std::size_t close = FindNoCase(text, "##-->", at);
    if (close == std::string_view::npos) break;
    std::string_view argument = text.substr(at + kInclude.size(), close - at - kInclude.size());
    std::size_t slash = argument.rfind('/');
    if (slash != std::string_view::npos) argument = argument.substr(0, slash);
    std::size_t a = argument.find_first_not_of(' ');
    argument = a == std::string_view::npos ? std::string_view() : argument.substr(a, argument.find_last_not_of(' ') - a + 1);
    names += (names.empty() ? "" : ",") + std::string(argument);
    at = FindNoCase(text, kInclude, close + 5);
  }
  return names;
}

}  // namespace zantrel
