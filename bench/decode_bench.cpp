// Reading the client's bytes into the text the query bases hold: decoding
// them from windows-1252 where they lie, and making CR LF line ends LF.
#include "BenchSupport.h"
#include "ClientOutputs.h"
#include "I18NEncoding.h"
#include "OrvClientInput.h"

namespace {

void BenchmarkDecode(benchmark::State& state, ClientOutputGenerator generate) {
  const BenchInput& input =
      CachedInput(generate, static_cast<int>(state.range(0)));
  I18NSetPlatformDefaultEncoding("windows-1252");
  for (auto _ : state) {
    I18NString text = OrvDecodeClientOutput(input.bytes);
    benchmark::DoNotOptimize(&text);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(input.bytes.size()));
}

void BM_DecodeHistory(benchmark::State& state) {
  BenchmarkDecode(state, &HistoryOutput);
}
BENCHMARK(BM_DecodeHistory)->Apply(ClientOutputSizes);

void BM_DecodeChildListing(benchmark::State& state) {
  BenchmarkDecode(state, &ChildListingOutput);
}
BENCHMARK(BM_DecodeChildListing)->Apply(ClientOutputSizes);

}  // namespace
