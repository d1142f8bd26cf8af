// zantrel check: compares a project with its live database and lists the
// differences. Exit 0 in step, 3 when the database differs (or a custom view or
// report no longer loads), 1 when the database cannot be read — a schema-drift
// gate for CI pipelines.
#include <cstdio>

#include "cli.h"
#include "json.h"
#include "project_file.h"
#include "sync/differences.h"

namespace zantrel::cli {
namespace {

bool HasFailures(const SchemaDifferences& differences) {
  for (const Difference& d : differences.items)
    if (d.kind == DifferenceKind::Failure) return true;
  return false;
}

std::string JsonDifference(const Difference& d) {
  std::string out = "{\"kind\": " + JsonString(KindName(d.kind)) + ", \"table\": " + JsonString(d.table) +
                    ", \"tableType\": " + JsonString(d.tableType);
  if (!d.field.empty()) out += ", \"field\": " + JsonString(d.field);
  if (!d.attributes.empty()) {
    out += ", \"attributes\": [";
    for (std::size_t i = 0; i < d.attributes.size(); ++i) {
      const AttributeChange& a = d.attributes[i];
      out += std::string(i ? ", " : "") + "{\"name\": " + JsonString(a.name) + ", \"project\": " +
             JsonString(a.project) + ", \"database\": " + JsonString(a.database) + "}";
    }
    out += "]";
  }
  if (!d.message.empty()) out += ", \"message\": " + JsonString(d.message);
  return out + "}";
}

void PrintJson(int16_t count, bool inStep, const SchemaDifferences& differences) {
  std::printf("{\"inStep\": %s, \"count\": %d, \"differences\": [", inStep ? "true" : "false", count);
  for (std::size_t i = 0; i < differences.items.size(); ++i)
    std::printf("%s\n  %s", i ? "," : "", JsonDifference(differences.items[i]).c_str());
  std::printf("%s]}\n", differences.empty() ? "" : "\n");
}

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
  ArgParser parser(args, {}, {"json"});
  const auto& pos = parser.positionals();
  if (pos.size() != 1) throw UsageError("check takes one PROJECT file");
  Ref<ObP> project = LoadProject(pos[0]);
  SchemaDifferences differences;
  const int16_t count = project->CheckDB(&differences);
  if (count < 0) throw Failure(ObP::ProjErr());
  const bool inStep = count == 0 && !HasFailures(differences);
  if (parser.flag("json")) {
    PrintJson(count, inStep, differences);
  } else {
    for (const Difference& d : differences.items) std::printf("%s\n", Describe(d, false).c_str());
    std::printf(inStep ? "in step with the database\n" : "%d difference(s) from the database\n", count);
  }
  return inStep ? kExitOk : kExitDiffers;
}

}  // namespace zantrel::cli
