#include "BenchSupport.h"

#include <map>
#include <utility>

#include "ClientOutputs.h"

const BenchInput& CachedInput(ClientOutputGenerator generate, int lines) {
  static std::map<std::pair<ClientOutputGenerator, int>, BenchInput> cache;
  auto key = std::make_pair(generate, lines);
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  BenchInput input;
  input.bytes = generate(lines, "\r\n");
  input.text = DecodeWindows1252(generate(lines, "\n"));
  return cache.emplace(key, std::move(input)).first->second;
}

OrvInputParams MakeParams(int commandId, const BenchInput& input) {
  OrvInputParams params;
  params.SetCommandID(commandId);
  params.SetClientOutput(input.text);
  params.SetSourceName("-");
  return params;
}

void ClientOutputSizes(benchmark::internal::Benchmark* bench) {
  bench->RangeMultiplier(10)
      ->Range(1000, 1000000)
      ->Unit(benchmark::kMillisecond);
}
