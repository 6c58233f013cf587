#ifndef BENCH_BENCHSUPPORT_H_
#define BENCH_BENCHSUPPORT_H_

#include <benchmark/benchmark.h>

#include <string>

#include "I18NString.h"
#include "OrvInputParams.h"

// A generated client output: the bytes the client printed (CR LF line ends,
// windows-1252) and the text the query bases receive (decoded, LF line ends).
struct BenchInput {
  std::string bytes;
  I18NString text;
};

// Makes the client output of `lines` lines (or versions); `generate` is one
// of the functions of ClientOutputs.h.
typedef std::string (*ClientOutputGenerator)(int lines,
                                             const std::string& lineEnd);

// The input that `generate` gives for `lines`, generated once per process
// and kept: the benchmark library calls a benchmark several times while it
// settles on an iteration count.
const BenchInput& CachedInput(ClientOutputGenerator generate, int lines);

// Input parameters of query `commandId` holding `input`'s text.
OrvInputParams MakeParams(int commandId, const BenchInput& input);

// Every benchmark's sizes: 1k, 10k, 100k and 1M lines or versions.
void ClientOutputSizes(benchmark::internal::Benchmark* bench);

// Times constructing `Command` and its ProceesOutPut() on the client output
// that `generate` makes for state.range(0), in bytes of client output per
// second.
template <class Command>
void BenchmarkParse(benchmark::State& state, int commandId,
                    ClientOutputGenerator generate) {
  const BenchInput& input =
      CachedInput(generate, static_cast<int>(state.range(0)));
  OrvInputParams params = MakeParams(commandId, input);
  for (auto _ : state) {
    Command command(params);
    command.ProceesOutPut();
    benchmark::DoNotOptimize(&command);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(input.bytes.size()));
}

// Times ConverToOrvFormat() of a `Command` that has already parsed the
// client output, in bytes of client output per second. Printing is left out:
// the handler encodes the document a block at a time as it writes it.
template <class Command>
void BenchmarkDocument(benchmark::State& state, int commandId,
                       ClientOutputGenerator generate) {
  const BenchInput& input =
      CachedInput(generate, static_cast<int>(state.range(0)));
  OrvInputParams params = MakeParams(commandId, input);
  Command command(params);
  command.ProceesOutPut();
  for (auto _ : state) {
    I18NString document = command.ConverToOrvFormat();
    benchmark::DoNotOptimize(&document);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(input.bytes.size()));
}

#endif  // BENCH_BENCHSUPPORT_H_
