#include "template/folder_path.h"

namespace zantrel {

std::string NormalizeFolder(std::string_view folder) {
  std::string out(folder);
  for (char& c : out)
    if (c == '\\') c = '/';
  if (!out.empty() && out.front() == '/') out.erase(0, 1);
  if (!out.empty() && out.back() != '/') out += '/';
  return out;
}

}  // namespace zantrel
