// The phrase file of a template ("lang.xml"): phrase identifiers and the texts
// of the generated application's language. Scripts see it as "LANG".
//
//   <Zantrel.language>
//     <phrase id="Add" value="Add"/>
//   </Zantrel.language>
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/dispatch.h"

namespace zantrel {

class ObPLanguage : public HostObject<ObPLanguage> {
 public:
  static const MemberTable<ObPLanguage>& Members();

  // Loads the file; false with the reason in LastError on failure.
  bool Load(const std::string& file);
  // The text of the last phrase whose id matches without regard to case; "" when none.
  std::string Phrase(std::string_view id) const;
  int32_t Count() const { return static_cast<int32_t>(phrases_.size()); }
  // The id of the phrase at 1..Count in file order; "" out of range.
  std::string PhraseId(int32_t index) const;
  int16_t curIndex() const { return 0; }
  const std::string& LastError() const { return lastError_; }
  // Why the file did not load, with the line and column when its text is at fault.
  const std::string& LastReason() const { return lastReason_; }

 private:
  struct Record {
    std::string id, value;
  };
  std::vector<Record> phrases_;
  std::string lastError_;
  std::string lastReason_;
};

}  // namespace zantrel
