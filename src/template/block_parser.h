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
#include "template/source_map.h"

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
  // Byte offset in the source where the current block's text (BlockValue) starts.
  std::size_t BlockStart() const;
  // Byte offset of the position the last syntax report names; npos when there was none.
  std::size_t errorOffset = std::string_view::npos;

  // The body of the first session named sessionId, includes expanded; "" when none.
  std::string GetSession(std::string_view source, std::string_view sessionId);
  // The same, recording in origins where each piece of the result came from;
  // sourceOrigins tell where the pieces of source came from.
  std::string GetSession(std::string_view source, std::string_view sessionId, const TextOrigins& sourceOrigins,
                         TextOrigins& origins);

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
  // Where the text being expanded comes from, and where its pieces are recorded.
  struct Tracking {
    const TextOrigins* source;  // where the pieces of the source came from
    std::size_t sourceOffset;   // of the text in the source
    TextOrigins* origins;       // null: not recorded
    std::size_t outBase;   // offset of the result in the whole expanded text
  };
  std::string ExpandIncludes(std::string_view body, int depth, const Tracking& track);
  static void Record(const Tracking& track, std::size_t written, std::size_t from);
  std::string SessionOf(std::string_view source, std::string_view sessionId, int depth, const Tracking& track);

  std::string source_;
  std::vector<Block> blocks_;
  int32_t blockId_ = 0;
  std::string includeChain_;  // file/session of the includes being expanded, for the cycle report
};

// The name of the last function that a code block declares, as BlockName gives it.
std::string DeclaredFunctionName(std::string_view code);

}  // namespace zantrel
