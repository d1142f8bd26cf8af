#include "persist/charset.h"

#include <langinfo.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "core/context.h"
#include "core/names.h"

namespace zantrel {
namespace {

struct CharsetGroup {
  std::string_view charset;
  std::initializer_list<int> codePages;  // in test order
};

// The first group holding the code page names its charset.
const CharsetGroup kCharsetGroups[] = {
    {"iso-8859-1", {29001, 20106, 20277, 1142, 20278, 1143, 1147, 20273, 1141, 20871, 1149, 1148, 20280, 1144,
                    20284, 1145, 20285, 1146, 37, 1140, 861, 10079, 20108, 437, 20107, 20127, 850, 20105, 28591,
                    10000, 1252}},
    {"iso-8859-2", {852, 28592, 10029, 1250, 870}},
    {"iso-8859-3", {28593}},
    {"iso-8859-4", {775, 28594, 1257}},
    {"iso-8859-5", {866, 28595, 20866, 21866, 10007, 1251, 20880, 21025, 1026}},
    {"iso-8859-6", {708, 720, 28596, 10004, 1256, 20420}},
    {"iso-8859-7", {737, 28597, 10006, 1253, 869, 875, 20423}},
    {"iso-8859-8", {862, 38598, 28598, 10005, 1255, 20424}},
    {"iso-8859-9", {20905, 857, 28599, 10081, 1254}},
    {"iso-8859-15", {28605}},
    {"gb2312", {51936, 936, 52936, 10008, 50935}},
    {"big5", {950, 20000, 20002, 10002, 50937}},
    {"shift_jis", {50930, 20290, 50931, 51932, 50220, 50222, 50221, 10001, 932, 50939}},
    {"euc-kr", {50933, 20833, 949, 51949, 50225, 1361, 10003}},
    {"windows-874", {20838, 874}},
    {"windows-1258", {1258}},
    {"utf-16", {1200, 1201}},
    {"utf-7", {65000}},
    {"utf-8", {65001}},
    // The ISCII code pages 57002 to 57011 have no charset, like every number not listed.
};

struct CodesetCodePage {
  std::string_view codeset;  // as glibc names it, compared without case, '-' and '_'
  int codePage;
};

const CodesetCodePage kCodesets[] = {
    {"UTF-8", 65001},       {"ANSI_X3.4-1968", 20127}, {"ISO-8859-1", 28591},  {"ISO-8859-2", 28592},
    {"ISO-8859-3", 28593},  {"ISO-8859-4", 28594},     {"ISO-8859-5", 28595},  {"ISO-8859-6", 28596},
    {"ISO-8859-7", 28597},  {"ISO-8859-8", 28598},     {"ISO-8859-9", 28599},  {"ISO-8859-13", 28603},
    {"ISO-8859-15", 28605}, {"CP1250", 1250},          {"CP1251", 1251},       {"CP1252", 1252},
    {"CP1253", 1253},       {"CP1254", 1254},          {"CP1255", 1255},       {"CP1256", 1256},
    {"CP1257", 1257},       {"CP1258", 1258},          {"KOI8-R", 20866},      {"KOI8-U", 21866},
    {"GB2312", 936},        {"GBK", 936},              {"GB18030", 54936},     {"BIG5", 950},
    {"BIG5-HKSCS", 950},    {"EUC-JP", 51932},         {"SHIFT_JIS", 932},     {"SJIS", 932},
    {"EUC-KR", 51949},      {"EUC-TW", 51950},         {"TIS-620", 874},       {"CP874", 874},
    {"UTF-16", 1200},          {"UTF-7", 65000},       {"US-ASCII", 20127},
};

std::string SimplifyCodeset(std::string_view name) {
  std::string out;
  for (char c : name)
    if (c != '-' && c != '_') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string TrimCodePage(std::string_view text) {
  std::string s;
  for (char c : text)
    if (c != '\0') s += c;
  auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Per-thread values of the last query.
struct CharsetState : ThreadService {
  std::string codePage;
  std::string charset;
};

}  // namespace

std::string CharsetForCodePage(std::string_view codePage) {
  std::string text = TrimCodePage(codePage);
  for (const CharsetGroup& group : kCharsetGroups)
    for (int number : group.codePages)
      if (text == std::to_string(number)) return std::string(group.charset);
  return {};
}

int CodePageForCodeset(std::string_view codeset) {
  std::string wanted = SimplifyCodeset(codeset);
  for (const CodesetCodePage& c : kCodesets)
    if (SimplifyCodeset(c.codeset) == wanted) return c.codePage;
  return 0;
}

std::string SystemCodePage() {
  int codePage = CodePageForCodeset(nl_langinfo(CODESET));
  CharsetState& state = Context().Service<CharsetState>();
  state.codePage = codePage ? std::to_string(codePage) : "";
  return state.codePage;
}

std::string SystemCharset() {
  std::string charset = CharsetForCodePage(SystemCodePage());
  Context().Service<CharsetState>().charset = charset;
  return charset;
}

}  // namespace zantrel
