// Script preparation: the blocks of a template become the statements of one
// VBScript function, ovScriptEngine. Literal text goes into the array ovAr,
// expressions and phrases are concatenated onto ovOut, code is copied as it is.
//
//   Function ovScriptEngine()
//   On Error Resume Next
//   Dim ovAr(2)
//   Dim ovOut
//   ovAr(1) = "<p>"
//   ovAr(2) = "</p>"
//   ovOut = ovOut & ovAr(1) & TABLE.TblCaption & ovAr(2)
//   ovScriptEngine = ovOut
//   End Function
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zantrel {

class ObPLanguage;
class ObScript;

class ScriptBuilder {
 public:
  ScriptBuilder(const ObPLanguage* language, const ObScript* script) : language_(language), script_(script) {}

  // Appends the statements of a template text; pending output carries over to
  // the next text and is written by the next flush.
  void AppendScriptBlocks(std::string_view text);
  // The whole function, with the pending output flushed.
  std::string FunctionText();
  // The parser's error, if the last text had one, is in ProjErr.

 private:
  void Flush();
  void AppendExpression(std::string expression);

  const ObPLanguage* language_;
  const ObScript* script_;
  int32_t arrayCount_ = 0;
  std::string declarations_;
  std::string pending_;
  std::string code_;
};

// The names of the files that the include blocks of text name, joined by ",".
std::string GetIncludeNames(std::string_view text);

}  // namespace zantrel
