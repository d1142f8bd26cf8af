// Field defaults: the type rule, LoadFldDefault and the pure rules it uses. The
// type groups are data; each rule below reads them.
#include "schema/field_defaults.h"

#include <algorithm>
#include <initializer_list>
#include <span>

#include "core/context.h"
#include "core/names.h"
#include "model/field.h"
#include "model/project.h"
#include "model/schema_rules.h"

namespace zantrel {
namespace {

using Group = std::span<const int32_t>;

constexpr int32_t kNumeric[] = {20, 6, 14, 5, 3, 131, 4, 2, 16, 21, 19, 18, 17, 139};
constexpr int32_t kQuoted[] = {8, 129, 7, 133, 134, 135, 201, 203, 200, 202, 130, 72, 205};
constexpr int32_t kLongText[] = {201, 203};
constexpr int32_t kShortText[] = {200, 202};
constexpr int32_t kDate[] = {7, 133, 135};
constexpr int32_t kBasicSearch[] = {201, 203, 200, 202, 129, 130};
constexpr int32_t kLikeSearch[] = {8, 129, 201, 203, 200, 202, 130};
constexpr int32_t kIntegerValidate[] = {20, 3, 2, 16, 21, 19, 18, 17};
constexpr int32_t kFloatValidate[] = {6, 14, 5, 131, 4};
constexpr int32_t kNotListed[] = {201, 203, 205};
constexpr int32_t kBoolean = 11, kTime = 134, kGuid = 72, kLongBinary = 205;

bool In(Group group, int32_t t) { return std::find(group.begin(), group.end(), t) != group.end(); }

// The date formats that give date fields a format and a validation.
bool FormatsDates(int16_t format) { return format >= 5 && format <= 7; }
constexpr std::string_view kDateValidate[] = {"DATE", "USDATE", "EURODATE"};

// The ENUM tag values that read as a Y/N check box.
constexpr std::string_view kYesNoTags[] = {
    "\"Y\",\"Y\"\r\n\"N\",\"N\"", "\"Y\",\"Y\"\r\n\"N\",\"N\"\r\n",
    "\"N\",\"N\"\r\n\"Y\",\"Y\"", "\"N\",\"N\"\r\n\"Y\",\"Y\"\r\n"};

// The HTML control rule: the first row that matches decides.
void ApplyHtmlControl(ObPField& f, int32_t t) {
  if (f.FldAutoIncrement()) {
    f.FldHtmlTag("NO");
  } else if (t == kBoolean) {
    f.FldHtmlTag("RADIO");
    f.FldTagValues(DBMSClass(Context().dbmsName) == 1 ? "\"Yes\",\"Yes\"\r\n\"No\",\"No\"" : "\"1\",\"Yes\"\r\n\"0\",\"No\"");
  } else if (In(kLongText, t)) {
    f.FldHtmlTag("TEXTAREA");
    f.FldTagCols(35);
    f.FldTagRows(4);
  } else if (In(kShortText, t)) {
    f.FldHtmlTag("TEXT");
    f.FldTagSize(30);
    f.FldTagMaxLength(static_cast<int16_t>(std::min<int32_t>(f.FldSize(), 32767)));
  } else if (In(kDate, t)) {
    f.FldHtmlTag("TEXT");
    if (FormatsDates(Context().dateFormat)) {
      f.FldFmtType("Date/Time");
      f.FldDtFormat(Context().dateFormat);
    }
  } else if (t == kGuid) {
    f.FldHtmlTag("TEXT");
    f.FldTagSize(38);
    f.FldTagMaxLength(38);
  } else if (t == kLongBinary) {
    f.FldHtmlTag("FILE");
    f.FldTagSize(30);
    f.FldHrefFld(f.FldName());
  } else {
    f.FldHtmlTag("TEXT");
    f.FldTagSize(30);
  }
}

void ApplyValidation(ObPField& f, int32_t t) {
  if (f.FldReq()) f.FldRequired(true);
  if (In(kIntegerValidate, t)) f.FldValidate("INTEGER");
  else if (In(kFloatValidate, t)) f.FldValidate("FLOAT");
  else if (In(kDate, t) && FormatsDates(Context().dateFormat)) f.FldValidate(kDateValidate[Context().dateFormat - 5]);
  else if (t == kTime) f.FldValidate("TIME");
  else if (t == kGuid) f.FldValidate("GUID");
}

void ApplyEnumControl(ObPField& f) {
  if (f.NativeDataType() == 247) {
    std::string tags = f.FldTagValues();
    bool yesNo = std::find(std::begin(kYesNoTags), std::end(kYesNoTags), tags) != std::end(kYesNoTags);
    f.FldHtmlTag(yesNo ? "CHECKBOX" : "RADIO");
  } else if (f.NativeDataType() == 248) {
    f.FldHtmlTag("CHECKBOX");
  } else if (f.FldType() == 202 && !f.FldTagValues().empty()) {
    f.FldHtmlTag("RADIO");  // an enum type of another database (PostgreSQL): choose one of its labels
  }
}

}  // namespace

TypeRule TypeRuleFor(int32_t t) {
  if (In(kNumeric, t) || t == kBoolean) return {true, true, ""};
  if (In(kQuoted, t)) return {true, true, "'"};
  return {};
}

void SetFldType(ObPField& field, int32_t adoType) {
  field.FldType(static_cast<int16_t>(adoType));
  TypeRule rule = TypeRuleFor(adoType);
  field.FldSupport(rule.support);
  if (rule.setsQuotes) {
    field.FldQuoteS(rule.quote);
    field.FldQuoteE(rule.quote);
  }
}

void LoadFldDefault(ObPField& field) {
  field.FldBold(false);
  field.FldItalic(false);
  field.FldAlign("");
  field.FldFmtType("None");
  field.FldNumDigits(0);
  field.FldIncLeadDigit(-2);  // -2: the system default
  field.FldUseParen(-2);
  field.FldGpDigits(-2);
  field.FldSelectType("Values");
  field.FldViewTag("FORMATTED TEXT");
  field.FldTagAPrefix("None");
  field.FldIsPrimaryKey(false);
  field.FldRequired(false);
  field.FldPopCalendar(false);
  field.FldHtmlTagReadOnly(false);
  field.FldSrchOpr2("");
  field.FldMemoMaxLength(0);
  field.FldOrderBy(0);
  field.FldOrder("");
  field.FldGroupBy(0);
  field.FldGroupByShowSummary(false);

  const bool support = field.FldSupport();
  const int32_t t = field.FldType();
  field.FldGenerate(support);
  field.FldVar(MakeVarName(field.FldName(), "x_"));
  field.FldList(support && !In(kNotListed, t));
  field.FldEdit(support);
  field.FldAdd(field.FldAutoIncrement() ? false : support);
  field.FldView(support);
  field.FldSearch(support && t != kLongBinary);
  field.FldBasicSearch(support && In(kBasicSearch, t));
  if (field.FldCaption().empty()) field.FldCaption(MakeCaption(field.FldName()));

  ApplyHtmlControl(field, t);
  ApplyValidation(field, t);
  field.FldSrchOpr(In(kLikeSearch, t) ? "LIKE" : "=");
  ApplyEnumControl(field);
  field.FldColumnWrap(true);
}

std::string MakeCaption(std::string_view name) {
  std::string out;
  bool prevBreak = false;  // the previous character was a break
  bool prevUpper = false;  // the previous kept character was upper case
  for (std::size_t pos = 0; pos < name.size();) {
    const bool start = pos == 0;
    std::string ch;
    AppendUtf8(ch, DecodeUtf8(name, pos));
    if (ch == " " || ch == "-" || ch == "_") {
      if (!start && !prevBreak) out += ' ';
      prevBreak = true;
      continue;
    }
    const bool upper = ToUpperText(ch) == ch;  // digits and signs count as upper case
    const bool isBreak = upper && !prevUpper;
    if (isBreak && !start && !prevBreak) out += ' ';
    out += ch;
    prevBreak = isBreak;
    prevUpper = upper;
  }
  return out;
}

std::string SearchOperators(int16_t ftype) {
  std::string out = "USER SELECT";
  auto add = [&](std::initializer_list<std::string_view> ops) {
    for (std::string_view op : ops) out.append("\r\n").append(op);
  };
  switch (FieldCategory(ftype)) {
    case 4: add({"=", "<>"}); break;
    case 3: add({"=", "<>", "<", "<=", ">", ">=", "LIKE", "NOT LIKE", "START WITH"}); break;
    default: add({"=", "<>", "<", "<=", ">", ">="}); break;
  }
  return out;
}

}  // namespace zantrel
