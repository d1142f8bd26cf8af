// ObParser: cuts a template text into literal text and <!--## … ##--> blocks,
// classified by the character after the opener:
//
//   <!--## code ##-->     obc_Block_Script            VBScript copied into the script
//   <!--##= expr ##-->    obc_Block_Function          value written out
//   <!--##~ expr ##-->    obc_Block_FunctionIndent    as =, keeping the line's indent
//   <!--##@ id ##-->      obc_Block_Language          phrase looked up at preparation
//   <!--##$ expr ##-->    obc_Block_LanguageDynamic   phrase looked up when run
//   text between blocks   obc_Block_Content
//
// It also extracts named sessions (<!--##session id##--> … <!--##/session##-->)
// with their <!--##include file/session##--> blocks expanded. Syntax errors go
// to the error text ProjErr with line and column.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/dispatch.h"

namespace zantrel {

enum obc_Block_Type : int32_t {
  obc_Block_Script = 1,
  obc_Block_Function = 2,
  obc_Block_FunctionIndent = 3,
  obc_Block_Language = 4,
  obc_Block_LanguageDynamic = 5,
  obc_Block_Content = 6,
};

class ObParser : public HostObject<ObParser> {
 public:
  static const MemberTable<ObParser>& Members();

  void Parse(std::string_view source);
  int32_t Count() const { return static_cast<int32_t>(blocks_.size()); }
  int32_t BlockID() const { return blockId_; }
  void BlockID(int32_t id);  // 1..Count; other values are ignored
  int32_t BlockType() const;
  std::string BlockName() const;
  std::string BlockValue() const;
  std::string BlockIndent() const;

  // The body of the first session named sessionId, includes expanded; "" when none.
  std::string GetSession(std::string_view source, std::string_view sessionId);

  // The folder that include blocks are relative to (the run's template folder).
  std::string templateFolder;

  // Line and column (both from 1) of the byte at offset in text.
  static std::pair<int, int> LineAndColumn(std::string_view text, std::size_t offset);

 private:
  struct Block {
    int32_t type;
    std::string name;
    std::size_t start;   // byte offset in the source
    std::size_t length;  // bytes
    std::string indent;
  };
  const Block* Current() const;
  void Report(const char* what, std::size_t offset);
  std::string ExpandIncludes(std::string_view body, int depth);
  std::string SessionOf(std::string_view source, std::string_view sessionId, int depth);

  std::string source_;
  std::vector<Block> blocks_;
  int32_t blockId_ = 0;
  std::string includeChain_;  // file/session of the includes being expanded, for the cycle report
};

// The name of the last function that a code block declares, as BlockName gives it.
std::string DeclaredFunctionName(std::string_view code);

}  // namespace zantrel
