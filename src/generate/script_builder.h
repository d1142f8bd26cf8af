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
#include <vector>

#include "template/source_map.h"

namespace zantrel {

class ObPLanguage;
class ObScript;

class ScriptBuilder {
 public:
  ScriptBuilder(const ObPLanguage* language, const ObScript* script) : language_(language), script_(script) {}

  // Appends the statements of a template text; pending output carries over to
  // the next text and is written by the next flush.
  // origins, when given, tell where the pieces of text came from; the
  // statements are then mapped back to them (see sourceMap).
  void AppendScriptBlocks(std::string_view text, const TextOrigins* origins = nullptr);
  // The whole function, with the pending output flushed.
  std::string FunctionText();
  // The parser's error, if the last text had one, is in ProjErr, and its
  // template place in parseErrorPos.
  TemplatePos parseErrorPos;
  // Where the lines of the function that FunctionText returned came from.
  const SourceMap& sourceMap() const { return map_; }

 private:
  void Flush();
  void AppendExpression(std::string expression, const TextOrigin& at);
  void MarkPending(const TextOrigin& at, std::size_t length);
  void AppendCode(std::string_view text, const TextOrigin& at);

  const ObPLanguage* language_;
  const ObScript* script_;
  int32_t arrayCount_ = 0;
  std::string declarations_;
  std::string pending_;
  std::string code_;
  // Marks of the declarations and code, at offsets of those texts; of the
  // pending output at offsets of pending_.
  SourceMap declarationsMap_, codeMap_;
  struct PendingMark {
    std::size_t offset;
    TextOrigin origin;
    std::size_t length;
  };
  std::vector<PendingMark> pendingMarks_;
  SourceMap map_;
};

// The names of the files that the include blocks of text name, joined by ",".
std::string GetIncludeNames(std::string_view text);

}  // namespace zantrel
