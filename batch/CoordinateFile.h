// Batch conversion of a coordinate file, line by line, with a snapshot of the
// settings. A line is "name,v1,v2,v3" in the layout fileFormat names, or
// follows the columns of fileLayout: then its header lines and the comment
// lines (beginning with "#") are copied to the output as they stand, the
// values are replaced in their columns and every other column is passed
// through, with the same separator. The
// output lies beside the input, named input path + "1", or where the options
// say, lines ending in CR LF. The output name gets the complete result or
// keeps what it held before; it is never the input itself, nor left holding
// a part. Every refusal is reported through ShowMessage with a fixed text
// and, for a line, its number and the line itself.
//
// A bad line stops the conversion, or, when the options ask for a report,
// is left out of the output and written to the report beside it (output
// path + ".bad.txt"): one line a bad line, "number<TAB>reason<TAB>line"
// with the line byte for byte, under a header line.
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
#include <string_view>
#include <vector>

#include "engine/CoordSettings.h"
#include "engine/Keywords.h"

namespace tarnwell {

// True when the file layout belongs to sourceType: "n,b,l,h" needs "LB",
// "n,x,y,h" needs "Plan", "n,X,Y,Z" needs "Space"; columns of the user's own
// must use the type's value letters.
bool CheckFileFormat(const CoordSettings& settings);

// Sets the layout a name stands for: "cass" for CASS .dat files (点名,编码,
// Y,X,H with Y east and X north: columns "name,code,y,x,h", commas), or one
// of the fixed layouts by its keyword ("n,b,l,h", ...). False, nothing
// changed, for another name.
bool ApplyLayoutPreset(std::string_view name, CoordSettings& settings);

// The output path for an input path: the input path with "1" appended when
// nothing is chosen; the chosen path; or, when that is an existing folder,
// the input's file name in it. For CSV output the name ends in ".csv"
// instead: "pts1.csv" beside "pts.dat", or "pts.csv" in a chosen folder.
std::string OutputPathFor(const std::string& inputPath, const std::string& chosenPath = {},
                          OutputLayout layout = OutputLayout::Input);

// The coordinate files of a folder, sorted by name: its files ending in
// ".csv", ".txt" or ".dat" (in any case), not hidden, and not an output or
// a report another of them would be converted into by default
// ("pts.csv1.bad.txt", "pts1.csv" beside "pts.csv"). Empty when the folder
// cannot be read.
std::vector<std::string> CoordinateFilesIn(const std::string& folder);

// The report of the bad lines left out of outputPath.
std::string BadLineReportPathFor(const std::string& outputPath);

enum class BadLines {
  Stop,    // the first bad line stops the conversion, nothing is written
  Report,  // bad lines are left out and written to the report
};

inline constexpr Keyword<BadLines> kBadLinesKeywords[] = {{"stop", BadLines::Stop}, {"report", BadLines::Report}};

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
  // A file or a folder for the output (see OutputPathFor); empty for beside the input.
  std::string output;
  BadLines badLines = BadLines::Stop;
  // Five columns after each point: its grid factors on the Plan side, γ
  // (degrees), k, the elevation factor, the combined factor and the length
  // distortion in mm per km (engine/GridFactors.h).
  bool factors = false;
  // A file whose two sides are one system is copied, its values read and
  // written again, rather than refused (an export changes only the format).
  bool copySameSystem = false;
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
  std::uint64_t linesSkipped = 0;  // bad lines left out, with BadLines::Report
  std::string reportPath;          // set once the output is complete, when lines were skipped
};

// Everything the file page's convert command does once it has read the
// input path from its box: the format check, opening both files, every line
// through a conversion plan, every message and stop.
BatchResult ConvertCoordinateFile(const CoordSettings& settings, const std::string& inputPath,
                                  const BatchOptions& options = {});

// What the conversion does with a line.
enum class LineRole {
  Point,    // converted (or refused, with its reason)
  Header,   // above the points: copied to the output, or left out of CSV output
  Comment,  // "#" among the points of a layout of the user's own: copied
};

// One line of a file as the conversion will read it.
struct PreviewRow {
  std::uint64_t lineNumber = 0;  // counted from 1
  LineRole role = LineRole::Point;
  std::vector<std::string> fields;  // as the layout splits the line; a comment whole
  std::string name;              // the name's field, byte for byte; empty without one
  std::array<double, 3> values{};  // the first, second and third value; B and L in decimal degrees
  std::string refusal;           // why the conversion would stop here; empty when the line reads
};

// The first `lineCount` lines of the file, each split and read with the
// layout, source type and source angle format of `settings`, by the
// conversion's own readers. Shows no message; nullopt when the file cannot be read.
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
