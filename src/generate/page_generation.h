// Page generation: the control file's controls walked against the schema. Each
// table control makes one page per table, view and custom view; each report
// control one per report; each field control one per field; each other control
// one page. For every page the table and field are made current, the control's
// condition decides, and the prepared script runs and its page is written. In
// check mode nothing is written and the existing outputs are counted.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "template/page_state.h"

namespace zantrel {

class ObPModel;
class ObPTable;
class ObPField;
class ObPDatabase;
struct GenerationRun;

class PageGeneration {
 public:
  PageGeneration(ObPModel& project, GenerationRun& run, bool checkOnly);
  // Check mode: the number of existing outputs (the walk stops at the first
  // table that has some); otherwise 0. Errors end the walk with the run's error set.
  int32_t GeneratePages();

  void SetPageNames();
  void CopyConnectionInfo();
  void PrepareTable(ObPTable* table);
  std::string ResolveExt(const std::string& extension) const;

 private:
  int32_t GenerateTablePages(ObPTable& table);
  int32_t GenerateFieldPages(ObPTable& table, ObPField& field);
  int32_t GenerateOtherPages(std::string_view typeList);
  int32_t CountTablePages();
  // One page: counted in check mode, else written.
  int32_t MakePage(const std::string& outputName, const std::string& controlId, bool overwrite, bool space,
                   int16_t initType);
  bool ConditionHolds(const std::string& condition, int16_t initType);
  void MakeCurrent(ObPTable* table, ObPField* field);
  bool Cancelled();
  // The generated tables by the folded name of their master, built on first use.
  const std::vector<Variant>& DetailTables(const std::string& master);

  ObPModel& project_;
  GenerationRun& run_;
  ObPDatabase* database_;
  bool checkOnly_;
  PageState localPage_;  // used when no script engine runs (check mode)
  PageState& page_;
  std::optional<std::map<std::string, std::vector<Variant>>> detailsByMaster_;
};

}  // namespace zantrel
