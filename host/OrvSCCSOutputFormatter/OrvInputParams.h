#ifndef ORVSCCSOUTPUTFORMATTER_ORVINPUTPARAMS_H_
#define ORVSCCSOUTPUTFORMATTER_ORVINPUTPARAMS_H_

#include <string>

#include "I18NString.h"
#include "OrvExplanation.h"

// The decoded command line of one query: the command identifier, the client
// output (decoded, without a byte-order mark, CR LF made LF) and where it came
// from, and the explanation its query writes to (--explain). A plain value
// that the command-line parser fills and the query bases read.
class OrvInputParams {
 public:
  OrvInputParams() = default;

  // The command identifier (_CmdId).
  int GetCommandID() const { return commandId_; }
  void SetCommandID(int id) { commandId_ = id; }

  // The client output of the query.
  const I18NString& GetClientOutput() const { return clientOutput_; }
  void SetClientOutput(I18NString text) { clientOutput_ = std::move(text); }

  // The name the client output was read from: a file name, or "-" for
  // standard input.
  const std::string& GetSourceName() const { return sourceName_; }
  void SetSourceName(std::string name) { sourceName_ = std::move(name); }

  // Where the query says why its answer says what it says: the one set, or
  // a silent one. The explanation set must outlive every reader of it.
  OrvExplanation& GetExplanation() const;
  void SetExplanation(OrvExplanation* explanation) {
    explanation_ = explanation;
  }

 private:
  int commandId_ = 0;
  I18NString clientOutput_;
  std::string sourceName_;
  OrvExplanation* explanation_ = nullptr;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVINPUTPARAMS_H_
