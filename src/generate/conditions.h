// Conditions of controls and sessions: comma-separated items that must all hold,
// each scope/name/operator/values, for example
//
//   table/TblGen/eq/1, field/FldType/in/200|201, custom:TABLE.Fields.Count/long/gt/3
//
// The scope is ctrl, proj, db, table or field (or a custom: expression with its
// type name); the operator eq, ne, gt, ge, lt, le, in or ni; the values are
// alternatives separated by "|", "%Name" taking another setting's value.
#pragma once

#include <string>
#include <string_view>

#include "core/variant.h"

namespace zantrel {

class ObPModel;
class ObProperties;
struct GenerationRun;

bool EvalCond(ObPModel& project, GenerationRun& run, std::string_view condition);

// The value of a custom expression in the running script engine ("" without one).
std::string EvalCustomExpr(GenerationRun& run, const std::string& expression);

// Exact-name conversions (Boolean, Integer, Long); other names leave the value.
Variant ConvertByDataType(const Variant& value, std::string_view typeName);
// A candidate value for a setting of bag: "%Name" refers to another setting.
Variant ConvertToPropType(const ObProperties& bag, std::string_view candidate, std::string_view dataType);

}  // namespace zantrel
