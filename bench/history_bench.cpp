// The history query: splitting and parsing the records, and building the
// document of the entries.
#include "BenchSupport.h"
#include "ClientOutputs.h"
#include "OrvSSHistory.h"

namespace {

void BM_HistoryParse(benchmark::State& state) {
  BenchmarkParse<OrvSSHistory>(state, 4, &HistoryOutput);
}
BENCHMARK(BM_HistoryParse)->Apply(ClientOutputSizes);

void BM_HistoryDocument(benchmark::State& state) {
  BenchmarkDocument<OrvSSHistory>(state, 4, &HistoryOutput);
}
BENCHMARK(BM_HistoryDocument)->Apply(ClientOutputSizes);

}  // namespace
