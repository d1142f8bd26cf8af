// Runs the registered benchmarks and, after Google Benchmark's own table, prints
// each measured case against its baseline from the same run:
//   case  ns/op  baseline  baseline ns/op  ratio
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zantrel::bench {

// Pairs of (case name, baseline name) as Google Benchmark names them.
int RunWithRatios(int argc, char** argv, const std::vector<std::pair<std::string, std::string>>& pairs);

}  // namespace zantrel::bench
