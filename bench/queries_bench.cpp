// Parsing and document building of the child listing, checked-out status,
// existence, properties and file-difference queries.
#include "BenchSupport.h"
#include "ClientOutputs.h"
#include "OrvSSCheckOut.h"
#include "OrvSSEnumChildren.h"
#include "OrvSSExist.h"
#include "OrvSSIsFileDifferent.h"
#include "OrvSSProperties.h"

namespace {

void BM_ChildListingParse(benchmark::State& state) {
  BenchmarkParse<OrvSSEnumChildren>(state, 5, &ChildListingOutput);
}
BENCHMARK(BM_ChildListingParse)->Apply(ClientOutputSizes);

void BM_ChildListingDocument(benchmark::State& state) {
  BenchmarkDocument<OrvSSEnumChildren>(state, 5, &ChildListingOutput);
}
BENCHMARK(BM_ChildListingDocument)->Apply(ClientOutputSizes);

void BM_CheckOutParse(benchmark::State& state) {
  BenchmarkParse<OrvSSCheckOut>(state, 3, &CheckOutOutput);
}
BENCHMARK(BM_CheckOutParse)->Apply(ClientOutputSizes);

void BM_ExistParse(benchmark::State& state) {
  BenchmarkParse<OrvSSExist>(state, 1, &ExistOutput);
}
BENCHMARK(BM_ExistParse)->Apply(ClientOutputSizes);

void BM_PropertiesParse(benchmark::State& state) {
  BenchmarkParse<OrvSSProperties>(state, 8, &PropertiesOutput);
}
BENCHMARK(BM_PropertiesParse)->Apply(ClientOutputSizes);

void BM_DiffParse(benchmark::State& state) {
  BenchmarkParse<OrvSSIsFileDifferent>(state, 9, &DiffOutput);
}
BENCHMARK(BM_DiffParse)->Apply(ClientOutputSizes);

}  // namespace
