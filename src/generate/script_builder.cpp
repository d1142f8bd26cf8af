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
  code_ += std::string(kOut) + " = " + std::string(kOut) + pending_ + std::string(kCrLf);
  pending_.clear();
}

void ScriptBuilder::AppendExpression(std::string expression) {
  std::string hook = HookName(expression);
  if (script_ && script_->UserModuleExist(hook)) expression = hook + "(" + expression + ")";
  pending_ += " & " + expression;
}

void ScriptBuilder::AppendScriptBlocks(std::string_view text) {
  ObParser parser;
  parser.Parse(text);
  for (int32_t i = 1; i <= parser.Count(); ++i) {
    parser.BlockID(i);
    switch (parser.BlockType()) {
      case obc_Block_Script:
        Flush();
        code_ += parser.BlockValue() + std::string(kCrLf);
        break;
      case obc_Block_FunctionIndent:
        Flush();
        code_ += std::string(kIndent) + " = \"" + parser.BlockIndent() + "\"" + std::string(kCrLf);
        AppendExpression(parser.BlockName());
        break;
      case obc_Block_Function:
        AppendExpression(parser.BlockName());
        break;
      case obc_Block_Language: {
        std::string phrase = language_ ? language_->Phrase(parser.BlockName()) : std::string();
        pending_ += " & " + QuoteScriptString(phrase);
        break;
      }
      case obc_Block_LanguageDynamic:
        pending_ += " & LANG.Phrase(" + parser.BlockName() + ")";
        break;
      case obc_Block_Content: {
        std::string literal = ToScriptLiteral(parser.BlockValue());
        if (literal.empty()) break;
        std::string element = std::string(kArray) + "(" + std::to_string(++arrayCount_) + ")";
        declarations_ += element + " = " + literal + std::string(kCrLf);
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
  out += declarations_;
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
