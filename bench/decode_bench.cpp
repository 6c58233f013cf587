// Decoding the client's bytes into the text the query bases hold.
#include "BenchSupport.h"
#include "ClientOutputs.h"

namespace {

void BM_DecodeWindows1252(benchmark::State& state) {
  const BenchInput& input =
      CachedInput(&HistoryOutput, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    I18NString text = DecodeWindows1252(input.bytes);
    benchmark::DoNotOptimize(text.getExternalBuffer());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(input.bytes.size()));
}
BENCHMARK(BM_DecodeWindows1252)->Apply(ClientOutputSizes);

}  // namespace
