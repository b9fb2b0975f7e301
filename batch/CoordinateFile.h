// Batch conversion of a coordinate file, line by line, with a snapshot of the
// settings. A line is "name,v1,v2,v3" in the layout fileFormat names; the
// output lies beside the input, named input path + "1", lines ending in
// CR LF. The output name gets the complete result or keeps what it held
// before; it is never the input itself, nor left holding a part. Every
// refusal is reported through ShowMessage with a fixed text and, for a line,
// its number and the line itself.
//
// The lines are converted in blocks on every core: a reader cuts the file
// into blocks, the blocks are converted in parallel (each thread with its
// own conversion plan), and a writer puts them out in input order, so the
// output is the same for any number of threads. A fixed number of blocks is
// in flight, however large the file.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/CoordSettings.h"

namespace tarnwell {

// True when fileFormat belongs to sourceType: "n,b,l,h" needs "LB",
// "n,x,y,h" needs "Plan", "n,X,Y,Z" needs "Space".
bool CheckFileFormat(const CoordSettings& settings);

// The output path for an input path: the input path with "1" appended.
std::string OutputPathFor(const std::string& inputPath);

struct BatchProgress {
  std::uint64_t linesDone = 0;
  std::uint64_t bytesDone = 0;
  std::uint64_t bytesTotal = 0;  // size of the input file
};

struct BatchOptions {
  // Called now and then (once a block) from whichever thread writes.
  std::function<void(const BatchProgress&)> onProgress;
  // Set from any thread to stop before the next block.
  const std::atomic<bool>* cancel = nullptr;
  // Threads converting at once; 0 for every core.
  int threads = 0;
};

enum class BatchOutcome {
  Converted,  // every line written; the output path is to be shown
  Stopped,    // refused or failed with its message (or silently, as the rules say)
  Cancelled,  // stopped on request; the output name keeps what it held
};

struct BatchResult {
  BatchOutcome outcome = BatchOutcome::Stopped;
  std::string outputPath;  // set once the output is complete
  std::uint64_t linesWritten = 0;  // lines converted before the end or the stop
};

// Everything the file page's convert command does once it has read the
// input path from its box: the format check, opening both files, every line
// through a conversion plan, every message and stop.
BatchResult ConvertCoordinateFile(const CoordSettings& settings, const std::string& inputPath,
                                  const BatchOptions& options = {});

// One line of a file as the conversion will read it.
struct PreviewRow {
  std::uint64_t lineNumber = 0;  // counted from 1
  std::string name;              // the first field, byte for byte; empty without fields
  std::array<double, 3> values{};  // in file order; B and L in decimal degrees
  std::string refusal;           // why the conversion would stop here; empty when the line reads
};

// The first `lineCount` lines of the file, each split and read with the
// source type and source angle format of `settings`, by the conversion's own
// readers. Shows no message; nullopt when the file cannot be read.
std::optional<std::vector<PreviewRow>> PreviewCoordinateFile(const CoordSettings& settings, const std::string& path,
                                                             std::size_t lineCount);

// The whole file read as the preview reads it, up to its first refused line.
struct FileCheck {
  bool readable = false;
  std::optional<PreviewRow> firstRefused;  // none when every line reads
};
// Stops early, with what it has found so far, once `cancel` is set.
FileCheck CheckCoordinateFile(const CoordSettings& settings, const std::string& path,
                              const std::atomic<bool>* cancel = nullptr);

}  // namespace tarnwell
