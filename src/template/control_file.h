// The control file of a template ("control.xml"): the generation units
// (controls) of the template and, for each, the template fragments (sessions)
// that make it up. Scripts see the list as the named object "Controls".
//
//   <Zantrel date="…" version="…" desc="…" author="…">
//     <control id="list" type="table" ofile="list" oext="php" ifiles="list.php" cond="…">
//       <session type="…" value="…" ifile="…" cond="…"/>
//     </control>
//   </Zantrel>
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "core/dispatch.h"

namespace zantrel {

class ObPSession : public HostObject<ObPSession> {
 public:
  static const MemberTable<ObPSession>& Members();
  void Load(const pugi::xml_node& session);

  std::string SessType, SessValue, SessIFile, SessCond;
};

class ObPSessions : public HostObject<ObPSessions> {
 public:
  static const MemberTable<ObPSessions>& Members();
  void Load(const pugi::xml_node& control);
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  Ref<ObPSession> Item(int32_t index) const;  // 1-based; null when out of range
  Ref<Enumerator> NewEnum() override;

 private:
  std::vector<Ref<ObPSession>> items_;
};

// What a control makes: pages per table, per field, per report, once
// ("other"), or copies of template files ("copy").
enum class ControlKind { Table, Field, Report, Other, Copy, Unknown };
// The kind a control's type names, spelt as in the control file; Unknown else.
ControlKind ControlKindOf(std::string_view type);

class ObPControl : public HostObject<ObPControl> {
 public:
  static const MemberTable<ObPControl>& Members();
  void Load(const pugi::xml_node& control);
  ControlKind Kind() const { return ControlKindOf(CtrlType); }

  std::string CtrlID, CtrlType, CtrlOFile, CtrlOExt, CtrlOFolder, CtrlIFiles, CtrlIFolder, CtrlCond, CtrlTagExt,
      CtrlParm;
  bool CtrlSpace = true;
  ObPSessions& Sessions();

 private:
  Ref<ObPSessions> sessions_;
};

class ObPControls : public HostObject<ObPControls> {
 public:
  static const MemberTable<ObPControls>& Members();

  // Loads the file; false with the reason in LastError on failure: XML that
  // does not parse, another root, two controls of one id.
  bool LoadControls(const std::string& file);
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // The control at 1..Count, which becomes curIndex; null when out of range.
  Ref<ObPControl> Item(int16_t index);
  Ref<Enumerator> NewEnum() override;

  std::string ProdDate, ProdVersion, ProdDesc, ProdAuthor;
  int16_t curIndex = 0;
  const std::string& LastError() const { return lastError_; }
  // Why the file did not load, with the line and column when its text is at fault.
  const std::string& LastReason() const { return lastReason_; }

 private:
  bool Fail(std::string message, std::string reason);

  std::vector<Ref<ObPControl>> items_;
  std::string lastError_;
  std::string lastReason_;
};

}  // namespace zantrel
