// LoadProject: reads a project file into the project as it stands. Files of an
// older version go through the converter first. Every failure throws Error
// with the product name in front of its text.
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "core/names.h"
#include "core/text.h"
#include "model/schema_rules.h"
#include "persist/converter.h"
#include "persist/load_check.h"
#include "persist/project_file.h"
#include "platform/status.h"
#include "platform/xml_file.h"

namespace zantrel {
namespace {

// The host name stored when a file names no mail server.
constexpr std::string_view kLoopbackHost = "localhost";

// Attribute text converted by the setting's data type; text that does not
// convert gives Empty.
Variant ConvertAttribute(std::string_view text, const std::string& dataType) {
  try {
    return SettingFromText(text, SettingTypeOf(dataType));
  } catch (const Error&) {
    return Variant();
  }
}

// FldTagValues, P_Ext and P_DefaultPage are read by rules of their own.
bool IsSpecialAttribute(std::string_view name) {
  return NameEquals(name, "fldtagvalues") || NameEquals(name, "p_ext") || NameEquals(name, "p_defaultpage");
}

Variant SpecialAttribute(std::string_view name, std::string_view text) {
  if (NameEquals(name, "fldtagvalues")) {
    std::string s(text);
    for (std::size_t at = 0; (at = s.find('|', at)) != std::string::npos; at += 2) s.replace(at, 1, "\r\n");
    return Variant(std::move(s));
  }
  if (NameEquals(name, "p_ext")) return Variant(text.empty() ? std::string_view("php") : text);
  return Variant(text.empty() ? std::string_view("index.php") : text);
}

// Stores the element's attributes in the bag: only settings whose name matches
// exactly and that are kept in the file; others (Version among them) are ignored.
void ReadAttributes(const pugi::xml_node& element, ObProperties& bag) {
  int32_t hint = 0;
  for (const pugi::xml_attribute& attr : element.attributes()) {
    std::string_view name = attr.name();
    int32_t at = hint < bag.Count() && bag.MetaAt(hint).name == name ? hint : bag.Find(name);
    hint = at + 1;
    if (at < 0 || bag.MetaAt(at).name != name || !bag.MetaAt(at).fileSave) continue;
    const std::string& dataType = bag.MetaAt(at).dataType;
    std::string_view text = attr.value();
    bool maybeSpecial = name.size() == 5 || name.size() == 12 || name.size() == 13;
    bag.ValueAt(at) = maybeSpecial && IsSpecialAttribute(name) ? SpecialAttribute(name, text)
                                                               : ConvertAttribute(text, dataType);
  }
}

// Quote characters of a field by its ADO type and the database's DBMS class.
void SetFieldQuotes(ObPField& field, int16_t dbmsClass) {
  int16_t type = field.FldType();
  if (type < 2 || type > 205) return;
  auto set = [&field](std::string_view q) {
    field.FldQuoteS(q);
    field.FldQuoteE(q);
  };
  switch (type) {
    case 2: case 3: case 4: case 5: case 6: case 11: case 14: case 16: case 17: case 18: case 19: case 20:
    case 21: case 131: case 139:
      set("");
      return;
    case 7: case 133: case 134: case 135:
      set(dbmsClass == 1 ? "#" : "'");
      return;
    case 8: case 72: case 129: case 130: case 200: case 201: case 202: case 203: case 205:
      set("'");
      return;
    default:
      return;
  }
}

class ProjectReader {
 public:
  explicit ProjectReader(ObPModel& project) : project_(project) {}

  void ReadRoot(pugi::xml_node root) {
    CountSteps(root);
    ReadAttributes(root, project_.Properties());
    if (project_.SmtpServer().empty()) {
      project_.SmtpServer(kLoopbackHost);
      project_.SmtpServerPort(25);
    }
    ReadNodes(root);
    CloseProgress();
  }
  ~ProjectReader() { CloseProgress(); }

 private:
  void CountSteps(const pugi::xml_node& root) {
    total_ = 0;
    if (pugi::xml_node first = root.first_child())
      for (pugi::xml_node n = first.first_child(); n; n = n.next_sibling()) ++total_;
    if (total_ > 0) {
      Status().ShowStatus(project_.hWnd(), "Loading Project File...");
      progressOpen_ = true;
    }
  }

  void CloseProgress() {
    if (progressOpen_) Status().CloseStatus();
    progressOpen_ = false;
  }

  // Reads the children of node in document order. A table is dropped from the
  // document once read, so that a large project is not held twice in memory.
  void ReadNodes(pugi::xml_node node) {
    for (pugi::xml_node child = node.first_child(), next; child; child = next) {
      next = child.next_sibling();
      if (child.type() != pugi::node_element) continue;
      std::string_view name = child.name();
      if (name == "Database") {
        ReadDatabase(child);
      } else if (name == "Table") {
        ReadTable(child);
        node.remove_child(child);
      } else if (name == "Field") {
        ReadField(child);
      }
    }
  }

  void ReadDatabase(pugi::xml_node element) {
    std::string name = element.attribute("DBName").value();
    project_.currentDatabaseName(name);
    project_.databases().Add(name);
    ReadAttributes(element, project_.db()->Properties());
    ReadNodes(element);
  }

  void ReadTable(pugi::xml_node element) {
    std::string name = element.attribute("TblName").value();
    if (progressOpen_) {
      Status().DispStatus("Loading TABLE/VIEW \"" + name + "\" ...");
      Status().SetStatus(ObPStatus::Percent(++step_, total_));
    }
    Ref<ObPTable> table = project_.db()->tables().Add(name);
    ReadAttributes(element, table->Properties());
    ReadNodes(element);
  }

  void ReadField(const pugi::xml_node& element) {
    Ref<ObPDatabase> database = project_.db();
    ObPTables& tables = database->tables();
    ObPTable* table = tables.Find(tables.curName());
    if (!table) Raise(err::kObjectNotSet);
    Ref<ObPField> field = table->Fields().Add(element.attribute("FldName").value());
    ReadAttributes(element, field->Properties());
    SetFieldQuotes(*field, DBMSClass(database->DBDBMSName()));
  }

  ObPModel& project_;
  int32_t total_ = 0;
  int32_t step_ = 0;
  bool progressOpen_ = false;
};

// Compares the first three numbers of two versions; true when the library's is greater.
bool IsOlderVersion(std::string_view fileVersion, std::string_view libraryVersion) {
  auto numbers = [](std::string_view v) {
    std::vector<long> out;
    std::size_t start = 0;
    while (out.size() < 3 && start <= v.size()) {
      std::size_t dot = v.find('.', start);
      std::string_view part = v.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
      long n = 0;
      auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), n);
      if (ec != std::errc() || end != part.data() + part.size()) return std::vector<long>{};
      out.push_back(n);
      if (dot == std::string_view::npos) break;
      start = dot + 1;
    }
    return out;
  };
  std::vector<long> file = numbers(fileVersion), library = numbers(libraryVersion);
  for (std::size_t i = 0; i < std::min(file.size(), library.size()); ++i)
    if (file[i] != library[i]) return library[i] > file[i];
  return false;
}

void RefreshThreadValues(ObPModel& project) {
  ThreadContext& ctx = Context();
  ctx.sqlQuote = project.sqlquote();
  const Variant* format = project.Properties().FindValue("defaultDateFormat");
  ctx.dateFormat = format && !format->IsEmpty() && ParseNumber(CStr(*format)) ? CInt(*format) : 0;
  if (ObPDatabase* database = project.openDatabase()) {
    ctx.dbmsName = database->DBDBMSName();
    ctx.dbQuoteS = database->DBQuoteS();
    ctx.dbQuoteE = database->DBQuoteE();
    ctx.secDefault = database->SecDefault();
  }
}

}  // namespace

void LoadProject(ObPModel& project, const std::string& projFile) {
  const std::string loadFailed = ProductError(": Load Project File failed! Please check!");
  bool projectRoot = false;
  pugi::xml_document doc;
  if (XmlError failure; !LoadXmlFile(projFile, doc, &failure))
    throw Error(err::kProjectFileUnreadable, loadFailed + " Reason: " + failure.Text() + ".", projFile,
                failure.line, failure.column);
  try {
    project.LoadDefault();
    pugi::xml_node root = doc.document_element();
    pugi::xml_attribute version = root.attribute("Version");
    if (!version) Raise(err::kInvalidCall);
    project.newerFileVersion = IsOlderVersion(project.versionText(), version.value()) ? version.value() : "";
    if (IsOlderVersion(version.value(), project.versionText())) {
      std::string converted = ConvertProjectFile(projFile, Context().product.languageTag, project.versionText());
      pugi::xml_document convertedDoc;
      if (!converted.empty() && LoadXmlFile(converted, convertedDoc)) doc.reset(convertedDoc);
      RemoveConvertedFile(converted);
      root = doc.document_element();
    }
    projectRoot = std::string_view(root.name()) == "Project";
    if (projectRoot) {
      ProjectReader(project).ReadRoot(root);
      RefreshThreadValues(project);
    }
  } catch (const std::exception&) {
    throw Error(err::kProjectFileUnreadable, loadFailed);
  }
  if (!projectRoot) throw Error(err::kInvalidProjectFile, ProductError(": Invalid Project File!"));
  if (project.DBCnt() == 0)
    throw Error(err::kNoDatabaseInformation, ProductError(": No Database Information in Project File!"));
  // A failed load-time check leaves the project loaded as saved; its error
  // comes after the key flags.
  std::optional<Error> checkFailure;
  try {
    try {
      if (LoadTimeCheck check = InstalledLoadTimeCheck(); check && project.AutoSync()) check(project);
    } catch (const Error& e) {
      checkFailure = e;
    }
    project.SetPrimaryKeyFlags();
  } catch (const std::exception&) {
    throw Error(err::kProjectFileUnreadable, loadFailed);
  }
  if (checkFailure) throw *checkFailure;
}

}  // namespace zantrel
