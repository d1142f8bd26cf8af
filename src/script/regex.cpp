// Parsing a pattern into instructions and running them with an explicit
// backtracking stack. Quantified sub-patterns are copied out ({2,4} becomes
// two copies and two optional ones); loops that can match the empty string
// stop when an iteration makes no progress.
#include "script/regex.h"

#include <algorithm>

#include "core/error.h"
#include "core/names.h"

namespace zantrel::script {
namespace {

constexpr std::size_t kMaxProgram = 200000;
constexpr int kMaxRepeat = 1000;
constexpr int kMaxNesting = 200;

char32_t Fold(char32_t c) { return c < 0x80 ? (c >= 'A' && c <= 'Z' ? c + 32 : c) : FoldCodePoint(c); }
char32_t Upper(char32_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

bool IsWordChar(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

}  // namespace

// A fragment of the program: instructions of one sub-pattern, spliced by the parser.
class RegexParser {
 public:
  RegexParser(Regex& re, std::u32string_view p) : re_(re), p_(p) {}

  void Parse() {
    std::vector<Regex::Inst> body = Alternation(0);
    if (pos_ < p_.size()) Raise(p_[pos_] == ')' ? 5017 : 5017);
    auto& prog = re_.prog_;
    prog.push_back({Regex::Op::Save, 0});
    Append(prog, body);
    prog.push_back({Regex::Op::Save, 1});
    prog.push_back({Regex::Op::Match});
  }

 private:
  using Code = std::vector<Regex::Inst>;

  bool More() const { return pos_ < p_.size(); }
  char32_t Peek() const { return More() ? p_[pos_] : 0; }

  // Appends code, shifting its jump targets by where it lands.
  static void Append(Code& to, const Code& from) {
    const int32_t base = static_cast<int32_t>(to.size());
    for (Regex::Inst in : from) {
      if (in.op == Regex::Op::Split) in.x += base, in.y += base;
      else if (in.op == Regex::Op::Jmp || in.op == Regex::Op::Look) in.x += base;
      to.push_back(in);
    }
    if (to.size() > kMaxProgram) Raise(5017, "Regular expression too complex");
  }

  // alternation -> sequence { "|" sequence }
  Code Alternation(int depth) {
    if (depth > kMaxNesting) Raise(5017, "Regular expression too complex");
    Code left = Sequence(depth);
    while (Peek() == '|') {
      ++pos_;
      Code right = Sequence(depth);
      Code out;
      out.push_back({Regex::Op::Split, 1, static_cast<int32_t>(left.size()) + 2});
      Append(out, left);
      out.push_back({Regex::Op::Jmp, static_cast<int32_t>(out.size() + 1 + right.size())});
      Append(out, right);
      left = std::move(out);
    }
    return left;
  }

  // sequence -> { atom [quantifier] }
  Code Sequence(int depth) {
    Code out;
    while (More() && Peek() != '|' && Peek() != ')') {
      const int firstGroup = re_.groups_ + 1;
      Code atom = Atom(depth);
      Append(out, Quantified(std::move(atom), firstGroup));
    }
    return out;
  }

  bool ParseInt(int& v) {
    const std::size_t start = pos_;
    v = 0;
    while (More() && Peek() >= '0' && Peek() <= '9') {
      v = std::min(v * 10 + static_cast<int>(Peek() - '0'), 100000);
      ++pos_;
    }
    return pos_ > start;
  }

  // quantifier -> ("*" | "+" | "?" | "{" n ["," [m]] "}") ["?"]
  // Each repetition starts with the atom's groups unset, as in JavaScript.
  Code Quantified(Code atom, int firstGroup) {
    int lo, hi;
    const std::size_t save = pos_;
    switch (Peek()) {
      case '*': lo = 0, hi = -1, ++pos_; break;
      case '+': lo = 1, hi = -1, ++pos_; break;
      case '?': lo = 0, hi = 1, ++pos_; break;
      case '{': {
        ++pos_;
        if (!ParseInt(lo)) {
          pos_ = save;
          return atom;
        }
        hi = lo;
        if (Peek() == ',') {
          ++pos_;
          if (!ParseInt(hi)) hi = -1;
        }
        if (Peek() != '}') {
          pos_ = save;
          return atom;
        }
        ++pos_;
        if (hi >= 0 && hi < lo) Raise(5017);
        break;
      }
      default: return atom;
    }
    bool lazy = false;
    if (Peek() == '?') lazy = true, ++pos_;
    if (lo > kMaxRepeat || hi > kMaxRepeat) Raise(5017, "Regular expression too complex");
    if (atom.empty()) return atom;
    if (firstGroup <= re_.groups_) {
      Code reset{Regex::Inst{Regex::Op::Reset, firstGroup, re_.groups_}};
      Append(reset, atom);
      atom = std::move(reset);
    }
    Code out;
    for (int i = 0; i < lo; ++i) Append(out, atom);
    if (hi < 0) {
      // L: split body, exit; body: mark; atom; check; jmp L
      const int32_t reg = re_.registers_++;
      Code loop;
      loop.push_back({Regex::Op::Split, 1, 0});
      loop.push_back({Regex::Op::Mark, reg});
      Append(loop, atom);
      loop.push_back({Regex::Op::Check, reg});
      loop.push_back({Regex::Op::Jmp, 0});
      loop[0].y = static_cast<int32_t>(loop.size());
      if (lazy) std::swap(loop[0].x, loop[0].y);
      Append(out, loop);
      return out;
    }
    for (int i = lo; i < hi; ++i) {
      Code opt;
      opt.push_back({Regex::Op::Split, 1, static_cast<int32_t>(atom.size()) + 1});
      Append(opt, atom);
      if (lazy) std::swap(opt[0].x, opt[0].y);
      Append(out, opt);
    }
    return out;
  }

  Code One(Regex::Inst in) { return Code{in}; }

  int AddClass(Regex::CharClass c) {
    re_.classes_.push_back(std::move(c));
    return static_cast<int>(re_.classes_.size() - 1);
  }

  static Regex::CharClass Predefined(char32_t e) {
    Regex::CharClass c;
    switch (e) {
      case 'd': case 'D': c.ranges = {{'0', '9'}}; break;
      case 'w': case 'W': c.ranges = {{'a', 'z'}, {'A', 'Z'}, {'0', '9'}, {'_', '_'}}; break;
      default:
        c.ranges = {{' ', ' '}, {'\t', '\r'}, {0xA0, 0xA0}, {0x1680, 0x1680}, {0x2000, 0x200A}, {0x2028, 0x2029},
                    {0x202F, 0x202F}, {0x205F, 0x205F}, {0x3000, 0x3000}, {0xFEFF, 0xFEFF}};
    }
    c.negated = e == 'D' || e == 'W' || e == 'S';
    return c;
  }

  int Hex(int digits) {
    int v = 0;
    for (int i = 0; i < digits; ++i) {
      const char32_t c = Peek();
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') d = (c | 0x20) - 'a' + 10;
      else return -1;
      v = v * 16 + d;
      ++pos_;
    }
    return v;
  }

  // A character escape (after "\"): the character it stands for.
  char32_t EscapedChar(char32_t e) {
    switch (e) {
      case 'n': return '\n';
      case 'r': return '\r';
      case 't': return '\t';
      case 'f': return '\f';
      case 'v': return '\v';
      case '0': return 0;
      case 'x': {
        const std::size_t save = pos_;
        const int v = Hex(2);
        if (v >= 0) return static_cast<char32_t>(v);
        pos_ = save;
        return 'x';
      }
      case 'u': {
        const std::size_t save = pos_;
        const int v = Hex(4);
        if (v >= 0) return static_cast<char32_t>(v);
        pos_ = save;
        return 'u';
      }
      case 'c':
        if (More() && ((Peek() | 0x20) >= 'a' && (Peek() | 0x20) <= 'z')) return p_[pos_++] % 32;
        return 'c';
      default: return e;
    }
  }

  // atom -> "." | "^" | "$" | "(" ["?:" | "?=" | "?!"] alternation ")" | "[" class "]" | "\" escape | char
  Code Atom(int depth) {
    const char32_t c = p_[pos_++];
    switch (c) {
      case '.': return One({Regex::Op::Any});
      case '^': return One({Regex::Op::Bol});
      case '$': return One({Regex::Op::Eol});
      case '*': case '+': case '?': Raise(5018);
      case '[': return One({Regex::Op::Class, AddClass(Class())});
      case '(': return Group(depth);
      case '\\': return Escape();
      default: return One({Regex::Op::Char, static_cast<int32_t>(c)});
    }
  }

  Code Group(int depth) {
    Code out;
    if (Peek() == '?') {
      ++pos_;
      const char32_t kind = More() ? p_[pos_++] : 0;
      if (kind == ':') {
        out = Alternation(depth + 1);
      } else if (kind == '=' || kind == '!') {
        Code body = Alternation(depth + 1);
        out.push_back({Regex::Op::Look, 0, kind == '!' ? 1 : 0});
        Append(out, body);
        out.push_back({Regex::Op::LookEnd});
        out[0].x = static_cast<int32_t>(out.size());
      } else {
        Raise(5017);
      }
    } else {
      const int g = ++re_.groups_;
      Code body = Alternation(depth + 1);
      out.push_back({Regex::Op::Save, 2 * g});
      Append(out, body);
      out.push_back({Regex::Op::Save, 2 * g + 1});
    }
    if (Peek() != ')') Raise(5020);
    ++pos_;
    return out;
  }

  Code Escape() {
    if (!More()) Raise(5017);
    const char32_t e = p_[pos_++];
    switch (e) {
      case 'd': case 'D': case 'w': case 'W': case 's': case 'S': return One({Regex::Op::Class, AddClass(Predefined(e))});
      case 'b': return One({Regex::Op::WordB});
      case 'B': return One({Regex::Op::NotWordB});
      default: break;
    }
    if (e >= '1' && e <= '9') {
      int n = e - '0';
      while (More() && Peek() >= '0' && Peek() <= '9' && n * 10 + static_cast<int>(Peek() - '0') <= 99) n = n * 10 + (p_[pos_++] - '0');
      return One({Regex::Op::BackRef, n});
    }
    return One({Regex::Op::Char, static_cast<int32_t>(EscapedChar(e))});
  }

  // class -> ["^"] { item ["-" item] } "]"
  Regex::CharClass Class() {
    Regex::CharClass c;
    if (Peek() == '^') c.negated = true, ++pos_;
    bool first = true;
    for (;;) {
      if (!More()) Raise(5019);
      char32_t ch = p_[pos_];
      if (ch == ']' && !first) {
        ++pos_;
        return c;
      }
      first = false;
      ++pos_;
      char32_t lo = ch;
      if (ch == '\\') {
        if (!More()) Raise(5019);
        const char32_t e = p_[pos_++];
        if (e == 'd' || e == 'D' || e == 'w' || e == 'W' || e == 's' || e == 'S') {
          Regex::CharClass p = Predefined(e);
          if (!p.negated) c.ranges.insert(c.ranges.end(), p.ranges.begin(), p.ranges.end());
          else AddComplement(c, p);
          continue;
        }
        lo = e == 'b' ? U'\b' : EscapedChar(e);
      }
      char32_t hi = lo;
      if (Peek() == '-' && pos_ + 1 < p_.size() && p_[pos_ + 1] != ']') {
        ++pos_;
        hi = p_[pos_++];
        if (hi == '\\') {
          if (!More()) Raise(5019);
          hi = EscapedChar(p_[pos_++]);
        }
        if (hi < lo) Raise(5021);
      }
      c.ranges.push_back({lo, hi});
    }
  }

  static void AddComplement(Regex::CharClass& c, const Regex::CharClass& p) {
    char32_t next = 0;
    std::vector<Regex::Range> sorted = p.ranges;
    std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.lo < b.lo; });
    for (const Regex::Range& r : sorted) {
      if (r.lo > next) c.ranges.push_back({next, r.lo - 1});
      next = std::max<char32_t>(next, r.hi + 1);
    }
    c.ranges.push_back({next, 0x10FFFF});
  }

  Regex& re_;
  std::u32string_view p_;
  std::size_t pos_ = 0;
};

Regex::Regex(std::u32string_view pattern, bool ignoreCase, bool multiLine) : icase_(ignoreCase), multiline_(multiLine) {
  RegexParser(*this, pattern).Parse();
}

bool Regex::ClassMatch(const CharClass& c, char32_t ch) const {
  auto in = [&](char32_t x) {
    for (const Range& r : c.ranges)
      if (x >= r.lo && x <= r.hi) return true;
    return false;
  };
  bool hit = in(ch);
  if (!hit && icase_) hit = in(Fold(ch)) || in(Upper(ch));
  return hit != c.negated;
}

namespace {

struct Backtrack {
  enum Kind : uint8_t { Branch, RestoreCap, RestoreReg } kind;
  int32_t pc;     // Branch: where to resume; Restore: the slot
  std::size_t sp; // Branch: the position; Restore: the old value
};

}  // namespace

bool Regex::Run(std::u32string_view text, int pc, std::size_t sp, std::vector<int>& caps, std::vector<int>& regs,
                const std::function<void()>& tick, std::size_t* endOut) const {
  std::vector<Backtrack> stack;
  uint32_t steps = 0;
  auto fail = [&]() -> bool {
    while (!stack.empty()) {
      const Backtrack b = stack.back();
      stack.pop_back();
      if (b.kind == Backtrack::RestoreCap) caps[b.pc] = static_cast<int>(static_cast<std::ptrdiff_t>(b.sp));
      else if (b.kind == Backtrack::RestoreReg) regs[b.pc] = static_cast<int>(static_cast<std::ptrdiff_t>(b.sp));
      else {
        pc = b.pc;
        sp = b.sp;
        return true;
      }
    }
    return false;
  };
  for (;;) {
    if ((++steps & 0xfff) == 0 && tick) tick();
    const Inst& in = prog_[pc];
    bool ok = true;
    switch (in.op) {
      case Op::Char:
        ok = sp < text.size() && (text[sp] == static_cast<char32_t>(in.x) || (icase_ && Fold(text[sp]) == Fold(in.x)));
        if (ok) ++sp, ++pc;
        break;
      case Op::Any:
        ok = sp < text.size() && text[sp] != '\n';
        if (ok) ++sp, ++pc;
        break;
      case Op::Class:
        ok = sp < text.size() && ClassMatch(classes_[in.x], text[sp]);
        if (ok) ++sp, ++pc;
        break;
      case Op::Split:
        stack.push_back({Backtrack::Branch, in.y, sp});
        pc = in.x;
        break;
      case Op::Jmp: pc = in.x; break;
      case Op::Save:
        stack.push_back({Backtrack::RestoreCap, in.x, static_cast<std::size_t>(static_cast<std::ptrdiff_t>(caps[in.x]))});
        caps[in.x] = static_cast<int>(sp);
        ++pc;
        break;
      case Op::Mark:
        stack.push_back({Backtrack::RestoreReg, in.x, static_cast<std::size_t>(static_cast<std::ptrdiff_t>(regs[in.x]))});
        regs[in.x] = static_cast<int>(sp);
        ++pc;
        break;
      case Op::Reset:
        for (int slot = 2 * in.x; slot <= 2 * in.y + 1; ++slot) {
          stack.push_back({Backtrack::RestoreCap, slot, static_cast<std::size_t>(static_cast<std::ptrdiff_t>(caps[slot]))});
          caps[slot] = -1;
        }
        ++pc;
        break;
      case Op::Check:
        ok = regs[in.x] != static_cast<int>(sp);
        if (ok) ++pc;
        break;
      case Op::Bol:
        ok = sp == 0 || (multiline_ && (text[sp - 1] == '\n' || text[sp - 1] == '\r'));
        if (ok) ++pc;
        break;
      case Op::Eol:
        ok = sp == text.size() || (multiline_ && (text[sp] == '\n' || text[sp] == '\r'));
        if (ok) ++pc;
        break;
      case Op::WordB:
      case Op::NotWordB: {
        const bool before = sp > 0 && IsWordChar(text[sp - 1]);
        const bool after = sp < text.size() && IsWordChar(text[sp]);
        ok = (before != after) == (in.op == Op::WordB);
        if (ok) ++pc;
        break;
      }
      case Op::BackRef: {
        const int g = in.x;
        if (g > groups_ || caps[2 * g] < 0 || caps[2 * g + 1] < 0) {
          ++pc;
          break;
        }
        const std::size_t len = caps[2 * g + 1] - caps[2 * g];
        ok = sp + len <= text.size();
        for (std::size_t i = 0; ok && i < len; ++i) {
          const char32_t a = text[caps[2 * g] + i], b = text[sp + i];
          ok = a == b || (icase_ && Fold(a) == Fold(b));
        }
        if (ok) sp += len, ++pc;
        break;
      }
      case Op::Look: {
        std::vector<int> inner = caps;
        std::vector<int> innerRegs = regs;
        std::size_t end = 0;
        const bool found = Run(text, pc + 1, sp, inner, innerRegs, tick, &end);
        ok = found != (in.y == 1);
        if (ok && found) caps = inner;
        if (ok) pc = in.x;
        break;
      }
      case Op::LookEnd:
      case Op::Match:
        if (endOut) *endOut = sp;
        return true;
    }
    if (!ok && !fail()) return false;
  }
}

bool Regex::Search(std::u32string_view text, std::size_t start, std::vector<int>& caps,
                   const std::function<void()>& tick) const {
  std::vector<int> regs(registers_, -1);
  for (std::size_t at = start; at <= text.size(); ++at) {
    caps.assign(2 * (groups_ + 1), -1);
    std::fill(regs.begin(), regs.end(), -1);
    if (Run(text, 0, at, caps, regs, tick, nullptr)) return true;
  }
  return false;
}

}  // namespace zantrel::script
