#include <algorithm>

#include "cli.h"
#include "suggest.h"

namespace zantrel::cli {
namespace {

bool Contains(const std::vector<std::string>& list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

ArgParser::ArgParser(std::vector<std::string> args, std::vector<std::string> valueOptions,
                     std::vector<std::string> flagOptions) {
  flagOptions.push_back("help");
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      positionals_.insert(positionals_.end(), args.begin() + i + 1, args.end());
      break;
    }
    if (a == "-h") {
      options_["help"] = "1";
      continue;
    }
    if (a.rfind("--", 0) != 0) {
      positionals_.push_back(a);
      continue;
    }
    std::string name = a.substr(2);
    std::string value;
    bool inlineValue = false;
    if (auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
      inlineValue = true;
    }
    if (Contains(valueOptions, name)) {
      if (!inlineValue) {
        if (i + 1 >= args.size()) throw UsageError("option --" + name + " needs a value");
        value = args[++i];
      }
      options_[name] = value;
    } else if (Contains(flagOptions, name) && !inlineValue) {
      options_[name] = "1";
    } else {
      std::vector<std::string> known = valueOptions;
      known.insert(known.end(), flagOptions.begin(), flagOptions.end());
      throw UsageError("unknown option --" + name + DidYouMean(name, known, "--"));
    }
  }
}

bool ArgParser::flag(std::string_view name) const { return options_.contains(name); }
bool ArgParser::has(std::string_view name) const { return options_.contains(name); }

std::string ArgParser::option(std::string_view name, std::string_view fallback) const {
  auto it = options_.find(name);
  return it == options_.end() ? std::string(fallback) : it->second;
}

}  // namespace zantrel::cli
