// The micro-benchmarks' entry point: document building needs the XML
// platform, so it is started before the benchmarks run and stopped after.
#include <benchmark/benchmark.h>

#include <xercesc/util/PlatformUtils.hpp>

int main(int argc, char** argv) {
  xercesc::XMLPlatformUtils::Initialize();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  xercesc::XMLPlatformUtils::Terminate();
  return 0;
}
