// The RegExp object and its results. Pattern and flags compile lazily; Execute
// returns a Matches collection of Match objects (Value, FirstIndex counted from
// 0 in characters, Length, SubMatches); Replace expands $1…$99, $&, $`, $' and
// $$; a group that took no part gives Empty in SubMatches and "" in Replace.
#include <memory>

#include "core/convert.h"
#include "core/error.h"
#include "script/objects.h"
#include "script/regex.h"
#include "script/text.h"

namespace zantrel::script {
namespace {

class SubMatches : public HostObject<SubMatches> {
 public:
  std::vector<Variant> items;
  static const MemberTable<SubMatches>& Members() {
    static const MemberTable<SubMatches> table(
        "ISubMatches",
        {
            {"Item", [](SubMatches& s, Args a) {
               const int32_t i = CLng(Arg(a, 0));
               if (i < 0 || i >= static_cast<int32_t>(s.items.size())) Raise(err::kInvalidCall);
               return s.items[i];
             }, nullptr},
            {"Count", [](SubMatches& s, Args a) { NoArgs(a); return Variant(static_cast<int32_t>(s.items.size())); }, nullptr},
        },
        "Item");
    return table;
  }
  Ref<Enumerator> NewEnum() override;
};

class VectorEnum : public Enumerator {
 public:
  explicit VectorEnum(std::vector<Variant> items) : items_(std::move(items)) {}
  bool Next(Variant& out) override {
    if (i_ >= items_.size()) return false;
    out = items_[i_++];
    return true;
  }
  void Reset() override { i_ = 0; }

 private:
  std::vector<Variant> items_;
  std::size_t i_ = 0;
};

Ref<Enumerator> SubMatches::NewEnum() { return MakeRef<VectorEnum>(items); }

class Match : public HostObject<Match> {
 public:
  std::string value;
  int32_t firstIndex = 0, length = 0;
  Ref<SubMatches> subs = MakeRef<SubMatches>();
  static const MemberTable<Match>& Members() {
    static const MemberTable<Match> table(
        "IMatch2",
        {
            {"Value", [](Match& m, Args a) { NoArgs(a); return Variant(m.value); }, nullptr},
            {"FirstIndex", [](Match& m, Args a) { NoArgs(a); return Variant(m.firstIndex); }, nullptr},
            {"Length", [](Match& m, Args a) { NoArgs(a); return Variant(m.length); }, nullptr},
            {"SubMatches", [](Match& m, Args a) { NoArgs(a); return Variant(Ref<Dispatch>(m.subs)); }, nullptr},
        },
        "Value");
    return table;
  }
};

class Matches : public HostObject<Matches> {
 public:
  std::vector<Variant> items;
  static const MemberTable<Matches>& Members() {
    static const MemberTable<Matches> table(
        "IMatchCollection2",
        {
            {"Item", [](Matches& s, Args a) {
               const int32_t i = CLng(Arg(a, 0));
               if (i < 0 || i >= static_cast<int32_t>(s.items.size())) Raise(err::kInvalidCall);
               return s.items[i];
             }, nullptr},
            {"Count", [](Matches& s, Args a) { NoArgs(a); return Variant(static_cast<int32_t>(s.items.size())); }, nullptr},
        },
        "Item");
    return table;
  }
  Ref<Enumerator> NewEnum() override { return MakeRef<VectorEnum>(items); }
};

class RegExp : public HostObject<RegExp> {
 public:
  static const MemberTable<RegExp>& Members();

  std::string pattern;
  bool global = false, ignoreCase = false, multiLine = false;

  const Regex& Compiled() {
    if (!re_) re_ = std::make_unique<Regex>(DecodeText(pattern), ignoreCase, multiLine);
    return *re_;
  }
  void Changed() { re_.reset(); }

  // Every match (or the first unless Global) of text as caps vectors.
  std::vector<std::vector<int>> All(const std::u32string& text) {
    const Regex& re = Compiled();
    std::vector<std::vector<int>> out;
    std::size_t start = 0;
    std::vector<int> caps;
    while (start <= text.size() && re.Search(text, start, caps, {})) {
      out.push_back(caps);
      if (!global) break;
      start = caps[1] > caps[0] ? static_cast<std::size_t>(caps[1]) : static_cast<std::size_t>(caps[1]) + 1;
    }
    return out;
  }

 private:
  std::unique_ptr<Regex> re_;
};

std::string Slice(const std::u32string& t, int from, int to) { return EncodeText(std::u32string_view(t).substr(from, to - from)); }

Variant Execute(RegExp& r, Args a) {
  const std::u32string text = DecodeText(CStr(Arg(a, 0)));
  Ref<Matches> result = MakeRef<Matches>();
  for (const std::vector<int>& caps : r.All(text)) {
    Ref<Match> m = MakeRef<Match>();
    m->value = Slice(text, caps[0], caps[1]);
    m->firstIndex = caps[0];
    m->length = caps[1] - caps[0];
    for (std::size_t g = 1; 2 * g < caps.size(); ++g)
      m->subs->items.push_back(caps[2 * g] < 0 || caps[2 * g + 1] < 0 ? Variant() : Variant(Slice(text, caps[2 * g], caps[2 * g + 1])));
    result->items.emplace_back(Ref<Dispatch>(m));
  }
  return Variant(Ref<Dispatch>(result));
}

// The replacement for one match with its $ references expanded.
void Expand(std::u32string& out, const std::u32string& with, const std::u32string& text, const std::vector<int>& caps) {
  const int groups = static_cast<int>(caps.size() / 2) - 1;
  for (std::size_t i = 0; i < with.size(); ++i) {
    const char32_t c = with[i];
    if (c != '$' || i + 1 >= with.size()) {
      out.push_back(c);
      continue;
    }
    const char32_t n = with[i + 1];
    if (n == '$') out.push_back('$'), ++i;
    else if (n == '&') out.append(text, caps[0], caps[1] - caps[0]), ++i;
    else if (n == '`') out.append(text, 0, caps[0]), ++i;
    else if (n == '\'') out.append(text, caps[1]), ++i;
    else if (n >= '0' && n <= '9') {
      int g = n - '0';
      std::size_t used = 1;
      if (i + 2 < with.size() && with[i + 2] >= '0' && with[i + 2] <= '9' && g * 10 + static_cast<int>(with[i + 2] - '0') <= groups) {
        g = g * 10 + (with[i + 2] - '0');
        used = 2;
      }
      if (g == 0 || g > groups) {
        out.push_back(c);
        continue;
      }
      if (caps[2 * g] >= 0 && caps[2 * g + 1] >= 0) out.append(text, caps[2 * g], caps[2 * g + 1] - caps[2 * g]);
      i += used;
    } else {
      out.push_back(c);
    }
  }
}

Variant ReplaceFn(RegExp& r, Args a) {
  const std::u32string text = DecodeText(CStr(Arg(a, 0)));
  const std::u32string with = DecodeText(CStr(Arg(a, 1)));
  std::u32string out;
  std::size_t last = 0;
  for (const std::vector<int>& caps : r.All(text)) {
    out.append(text, last, caps[0] - last);
    Expand(out, with, text, caps);
    last = caps[1];
  }
  out.append(text, last);
  return Variant(EncodeText(out));
}

const MemberTable<RegExp>& RegExp::Members() {
  static const MemberTable<RegExp> table(
      "IRegExp2",
      {
          {"Pattern", [](RegExp& r, Args a) { NoArgs(a); return Variant(r.pattern); },
           [](RegExp& r, Args, const Variant& v) { r.pattern = CStr(v), r.Changed(); }},
          {"Global", [](RegExp& r, Args a) { NoArgs(a); return Variant(r.global); },
           [](RegExp& r, Args, const Variant& v) { r.global = CBool(v); }},
          {"IgnoreCase", [](RegExp& r, Args a) { NoArgs(a); return Variant(r.ignoreCase); },
           [](RegExp& r, Args, const Variant& v) { r.ignoreCase = CBool(v), r.Changed(); }},
          {"MultiLine", [](RegExp& r, Args a) { NoArgs(a); return Variant(r.multiLine); },
           [](RegExp& r, Args, const Variant& v) { r.multiLine = CBool(v), r.Changed(); }},
          {"Test", [](RegExp& r, Args a) {
             std::vector<int> caps;
             return Variant(r.Compiled().Search(DecodeText(CStr(Arg(a, 0))), 0, caps, {}));
           }, nullptr},
          {"Execute", Execute, nullptr},
          {"Replace", ReplaceFn, nullptr},
      });
  return table;
}

}  // namespace

Ref<Dispatch> NewRegExp() { return MakeRef<RegExp>(); }

}  // namespace zantrel::script
