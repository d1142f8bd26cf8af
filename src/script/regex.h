// A small backtracking regular-expression engine with the syntax and meaning
// of VBScript's RegExp (ECMAScript-flavoured): alternation, greedy and lazy
// quantifiers, groups, non-capturing groups, lookahead, back references,
// classes and the \d \w \s \b escapes. It works on code points and keeps its
// backtracking on the heap, so long inputs do not exhaust the C++ stack.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zantrel::script {

class Regex {
 public:
  // Raises 5017 (syntax), 5018 (quantifier), 5019 (']'), 5020 (')'), 5021 (range).
  Regex(std::u32string_view pattern, bool ignoreCase, bool multiLine);

  int Groups() const { return groups_; }
  // The leftmost match at or after start: caps[2g], caps[2g+1] are the bounds of
  // group g (group 0 the whole match), -1 when the group did not take part.
  // tick is called every few thousand steps (the engine's time-out check).
  bool Search(std::u32string_view text, std::size_t start, std::vector<int>& caps,
              const std::function<void()>& tick) const;

  struct Range {
    char32_t lo, hi;
  };
  struct CharClass {
    std::vector<Range> ranges;
    bool negated = false;
  };
  enum class Op : uint8_t { Char, Any, Class, Split, Jmp, Save, Bol, Eol, WordB, NotWordB, BackRef, Look, LookEnd, Mark, Check, Reset, Match };
  struct Inst {
    Op op;
    int32_t x = 0;  // char, class index, jump target, save slot, group, register; Reset: first group
    int32_t y = 0;  // second target of Split; Look: negated; Split: 1 when y is preferred
  };

 private:
  friend class RegexParser;
  bool Run(std::u32string_view text, int pc, std::size_t sp, std::vector<int>& caps, std::vector<int>& regs,
           const std::function<void()>& tick, std::size_t* endOut) const;
  bool ClassMatch(const CharClass& c, char32_t ch) const;

  std::vector<Inst> prog_;
  std::vector<CharClass> classes_;
  int groups_ = 0;
  int registers_ = 0;
  bool icase_ = false;
  bool multiline_ = false;
};

}  // namespace zantrel::script
