#ifndef BENCH_CLIENTOUTPUTS_H_
#define BENCH_CLIENTOUTPUTS_H_

#include <string>

#include "I18NString.h"

// Client outputs in the layout the command-line client prints, generated in
// memory for the micro-benchmarks. Each returns ASCII bytes (the same in
// windows-1252) whose lines end in `lineEnd` ("\r\n" as the client writes
// them, "\n" as the command-line parser hands them to the query bases). The
// layouts mirror bench/gen-client-output, which writes the end-to-end inputs.

// A history of `versions` versions, newest first: check-ins with one- and
// multi-line comments, labels, additions, and the creation last.
std::string HistoryOutput(int versions, const std::string& lineEnd);

// A project listing of `children` children, a tenth of them sub-projects,
// then the blank line and the item count.
std::string ChildListingOutput(int children, const std::string& lineEnd);

// A status listing of `lines` checkouts under one project heading.
std::string CheckOutOutput(int lines, const std::string& lineEnd);

// A file's properties padded with `lines` lines of a project's properties,
// "Contains:" last, so the marker search crosses the whole text.
std::string PropertiesOutput(int lines, const std::string& lineEnd);

// A comparison report: the heading, "The files are different." and
// `lines` lines of differences.
std::string DiffOutput(int lines, const std::string& lineEnd);

// A Dir listing of `lines` files, which the existence query reads whole
// without finding any of its markers.
std::string ExistOutput(int lines, const std::string& lineEnd);

// `bytes` decoded from windows-1252.
I18NString DecodeWindows1252(const std::string& bytes);

#endif  // BENCH_CLIENTOUTPUTS_H_
