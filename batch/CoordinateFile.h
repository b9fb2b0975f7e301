// Batch conversion of a coordinate file, line by line, with the settings of
// CoordSettings. A line is "name,v1,v2,v3" in the layout fileFormat names;
// the output lies beside the input, named input path + "1", lines ending in
// CR LF. The output name gets the complete result or keeps what it held
// before; it is never the input itself, nor left holding a part. Every
// refusal is reported through ShowMessage with a fixed text.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace tarnwell {

// True when fileFormat belongs to sourceType: "n,b,l,h" needs "LB",
// "n,x,y,h" needs "Plan", any other format needs "Space".
bool CheckFileFormat();

// The output path for an input path: the input path with "1" appended.
std::string OutputPathFor(const std::string& inputPath);

struct BatchProgress {
  std::uint64_t linesDone = 0;
  std::uint64_t bytesDone = 0;
  std::uint64_t bytesTotal = 0;  // size of the input file
};

struct BatchOptions {
  // Called now and then from the converting thread (not for every line).
  std::function<void(const BatchProgress&)> onProgress;
  // Set from any thread to stop after the current line.
  const std::atomic<bool>* cancel = nullptr;
};

enum class BatchOutcome {
  Converted,  // every line written; the output path is to be shown
  Stopped,    // refused or failed with its message (or silently, as the rules say)
  Cancelled,  // stopped on request; the output name keeps what it held
};

struct BatchResult {
  BatchOutcome outcome = BatchOutcome::Stopped;
  std::string outputPath;          // set once the output file is complete
  std::uint64_t linesWritten = 0;  // lines converted before the end or the stop
};

// Everything the file page's convert command does once it has read the
// input path from its box: the format check, opening both files, every line
// through ConvertRecord, every message and stop.
BatchResult ConvertCoordinateFile(const std::string& inputPath, const BatchOptions& options = {});

}  // namespace tarnwell
