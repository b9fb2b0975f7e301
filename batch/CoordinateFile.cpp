#include "batch/CoordinateFile.h"

#include <tbb/concurrent_queue.h>
#include <tbb/enumerable_thread_specific.h>
#include <tbb/global_control.h>
#include <tbb/info.h>
#include <tbb/parallel_pipeline.h>
#include <tbb/task_arena.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "batch/AtomicFileWriter.h"
#include "engine/ConversionPlan.h"
#include "engine/Messages.h"
#include "tables/TableText.h"
#include "tables/TextLineReader.h"

namespace tarnwell {
namespace {

const char* const kFormatConflict = "文件格式与坐标类型冲突，请检查。";
const char* const kInputUnreadable = "坐标文件无法读取。";
const char* const kOutputNotCreated = "转换后的文件无法生成。";
const char* const kBadLine = "文件坐标格式不正确，请检查。";
const char* const kOutputIsInput = "输出文件与输入文件相同,请检查。";

// A block is cut after this many bytes or lines, whichever comes first.
constexpr std::size_t kBlockBytes = 256 * 1024;
constexpr std::size_t kBlockLines = 4096;

// Lines of the input converted together, with what became of them.
struct LineBlock {
  std::uint64_t firstLineNumber = 0;  // counted from 1
  std::string lines;                  // each line followed by "\n", without its CR
  std::uint64_t bytesConsumed = 0;    // of the input file, once this block is read
  std::string converted;              // the output lines, each ending in CR LF
  std::uint64_t convertedLines = 0;
  std::string refusal;                // the message for the line that stopped the block

  // Empties the block for the next lines, keeping the storage of its strings.
  void Reuse() {
    lines.clear();
    converted.clear();
    convertedLines = 0;
    refusal.clear();
  }
};

// The blocks in flight go round: the writer hands each written block back
// and the reader fills it again. Their strings keep their storage, so a file
// of any length is converted without allocating (and faulting in) fresh
// memory for every block.
class BlockPool {
 public:
  // For the reader alone.
  LineBlock* Take() {
    LineBlock* block = nullptr;
    if (returned_.try_pop(block)) {
      block->Reuse();
      return block;
    }
    return owned_.emplace_back(std::make_unique<LineBlock>()).get();
  }
  void Return(LineBlock* block) { returned_.push(block); }

 private:
  std::vector<std::unique_ptr<LineBlock>> owned_;
  tbb::concurrent_queue<LineBlock*> returned_;
};

// The conversion of one block, stopping at its first refused line.
void ConvertBlock(const ConversionPlan& plan, LineBlock& block) {
  std::string_view rest = block.lines;
  std::array<std::string_view, 4> fields;  // name and the three values
  TargetPoint target;
  for (std::uint64_t number = block.firstLineNumber; !rest.empty(); ++number) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    if (!SplitExactly(line, ',', fields)) {
      block.refusal = MessageWithLine(kBadLine, number, line);
      return;
    }
    if (const Refusal refusal = plan.Convert(fields[1], fields[2], fields[3], target)) {
      block.refusal = MessageWithLine(MessageText(refusal), number, line);
      return;
    }
    block.converted += fields[0];
    block.converted += ',';
    plan.AppendTexts(target, ',', block.converted);
    block.converted += "\r\n";
    ++block.convertedLines;
  }
}

// Reads the next block of lines; false at the end of the file (or after a
// read error, which the reader tells).
bool ReadBlock(TextLineReader& input, std::uint64_t& nextLineNumber, LineBlock& block) {
  block.firstLineNumber = nextLineNumber;
  std::string_view line;
  std::size_t count = 0;
  while (count < kBlockLines && block.lines.size() < kBlockBytes && input.NextLine(line)) {
    block.lines += line;
    block.lines += '\n';
    ++count;
  }
  nextLineNumber += count;
  block.bytesConsumed = input.BytesConsumed();
  return count > 0;
}

int ThreadCount(const BatchOptions& options) {
  return options.threads > 0 ? options.threads : tbb::info::default_concurrency();
}

// Runs the three stages over the whole input: read in order, convert in
// parallel, write in order. Returns the outcome; a refused line is shown once,
// by the writer, for the first block (in input order) that has one.
BatchOutcome RunPipeline(const ConversionPlan& plan, TextLineReader& input, AtomicFileWriter& output,
                         const BatchOptions& options, std::uint64_t& linesWritten) {
  const int threads = ThreadCount(options);
  tbb::enumerable_thread_specific<ConversionPlan> plans([&plan] { return plan; });
  const auto cancelled = [&options] { return options.cancel && options.cancel->load(std::memory_order_relaxed); };
  BatchOutcome outcome = BatchOutcome::Converted;  // the writer's
  std::atomic<bool> stopRequested = false;         // by the writer, for the reader
  std::uint64_t nextLineNumber = 1;                // the reader's

  BlockPool blocks;

  const auto read = [&](tbb::flow_control& control) -> LineBlock* {
    LineBlock* block = blocks.Take();
    if (stopRequested || cancelled() || !ReadBlock(input, nextLineNumber, *block)) {
      blocks.Return(block);
      control.stop();
      return nullptr;
    }
    return block;
  };
  const auto convert = [&plans](LineBlock* block) {
    ConvertBlock(plans.local(), *block);
    return block;
  };
  const auto writeBlock = [&](const LineBlock& block) {
    if (stopRequested) return;
    if (cancelled()) {
      outcome = BatchOutcome::Cancelled;
      stopRequested = true;
      return;
    }
    linesWritten += block.convertedLines;  // before a refused line, too
    if (!block.refusal.empty() || !output.Append(block.converted)) {
      ShowMessage(block.refusal.empty() ? std::string(kOutputNotCreated) : block.refusal);
      outcome = BatchOutcome::Stopped;
      stopRequested = true;
      return;
    }
    if (options.onProgress) options.onProgress({linesWritten, block.bytesConsumed, input.FileSize()});
  };
  const auto write = [&](LineBlock* block) {
    writeBlock(*block);
    blocks.Return(block);
  };

  // More threads than cores is the caller's choice: the pool may grow to it.
  const tbb::global_control parallelism(tbb::global_control::max_allowed_parallelism,
                                        static_cast<std::size_t>(threads));
  tbb::task_arena arena(threads);
  arena.execute([&] {
    tbb::parallel_pipeline(static_cast<std::size_t>(2 * threads + 2),
                           tbb::make_filter<void, LineBlock*>(tbb::filter_mode::serial_in_order, read) &
                               tbb::make_filter<LineBlock*, LineBlock*>(tbb::filter_mode::parallel, convert) &
                               tbb::make_filter<LineBlock*, void>(tbb::filter_mode::serial_in_order, write));
  });
  // A cancel the reader saw before the writer did.
  if (outcome == BatchOutcome::Converted && cancelled()) outcome = BatchOutcome::Cancelled;
  return outcome;
}

// The conversion plan for a file; nullopt, with the message shown, when
// there is none. A file whose two sides are one system in one format would
// only be copied: that is no conversion.
std::optional<ConversionPlan> FilePlan(const CoordSettings& settings) {
  std::optional<ConversionPlan> plan;
  Refusal refusal = ConversionPlan::FromSettings(settings, plan);
  if (!refusal && plan->SameSystem()) refusal.reason = RefusalReason::SameSystem;
  if (!refusal) return plan;
  ShowMessage(MessageText(refusal));
  return std::nullopt;
}

}  // namespace

bool CheckFileFormat(const CoordSettings& settings) {
  switch (settings.fileFormat) {
    case FileFormat::NameBLh: return settings.sourceType == CoordinateType::LB;
    case FileFormat::NameXYh: return settings.sourceType == CoordinateType::Plan;
    case FileFormat::NameXYZ: return settings.sourceType == CoordinateType::Space;
  }
  return false;
}

std::string OutputPathFor(const std::string& inputPath) {
  return inputPath + "1";
}

namespace {

// Reads every line of the file as the conversion will, handing each to
// `visit` until it returns false. Shows no message; false when the file
// cannot be read.
bool VisitFileLines(const CoordSettings& settings, const std::string& path,
                    const std::function<bool(const PreviewRow&)>& visit) {
  // A pipe or a device is read by the conversion alone: a look would take its lines.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  TextLineReader input;
  if (!input.Open(path)) return false;
  const CoordinateSystem source = SourceSystem(settings);
  std::array<std::string_view, 4> fields;
  std::string_view line;
  for (std::uint64_t lineNumber = 1; input.NextLine(line); ++lineNumber) {
    PreviewRow row;
    row.lineNumber = lineNumber;
    if (!SplitExactly(line, ',', fields)) {
      row.refusal = kBadLine;
    } else {
      row.name = fields[0];
      if (!ReadPointValues(source, fields[1], fields[2], fields[3], row.values))
        row.refusal = MessageText({RefusalReason::Format, {}});
    }
    if (!visit(row)) return true;
  }
  return !input.ReadFailed();
}

}  // namespace

std::optional<std::vector<PreviewRow>> PreviewCoordinateFile(const CoordSettings& settings, const std::string& path,
                                                             std::size_t lineCount) {
  std::vector<PreviewRow> rows;
  if (lineCount == 0) return rows;
  const bool read = VisitFileLines(settings, path, [&](const PreviewRow& row) {
    rows.push_back(row);
    return rows.size() < lineCount;
  });
  if (!read) return std::nullopt;
  return rows;
}

FileCheck CheckCoordinateFile(const CoordSettings& settings, const std::string& path, const std::atomic<bool>* cancel) {
  FileCheck check;
  check.readable = VisitFileLines(settings, path, [&](const PreviewRow& row) {
    if (!row.refusal.empty()) check.firstRefused = row;
    return !check.firstRefused && !(cancel && *cancel);
  });
  return check;
}

BatchResult ConvertCoordinateFile(const CoordSettings& settings, const std::string& inputPath,
                                  const BatchOptions& options) {
  BatchResult result;
  if (!CheckFileFormat(settings)) {
    ShowMessage(kFormatConflict);
    return result;
  }
  if (inputPath.empty()) return result;

  TextLineReader input;
  if (!input.Open(inputPath)) {
    ShowMessage(kInputUnreadable);
    return result;
  }
  const std::optional<ConversionPlan> plan = FilePlan(settings);
  if (!plan) return result;
  const std::string outputPath = OutputPathFor(inputPath);
  // A link at the output name may lead back to the input.
  if (IsSameFile(inputPath, outputPath)) {
    ShowMessage(kOutputIsInput);
    return result;
  }
  AtomicFileWriter output;
  if (!output.Open(outputPath)) {
    ShowMessage(kOutputNotCreated);
    return result;
  }
  // On any return before Commit the writer removes its temporary file, and
  // the output name keeps what it held.
  result.outcome = RunPipeline(*plan, input, output, options, result.linesWritten);
  if (result.outcome != BatchOutcome::Converted) return result;
  if (input.ReadFailed()) {
    ShowMessage(kInputUnreadable);
    result.outcome = BatchOutcome::Stopped;
    return result;
  }
  if (!output.Commit()) {
    ShowMessage(kOutputNotCreated);
    result.outcome = BatchOutcome::Stopped;
    return result;
  }
  result.outputPath = outputPath;
  return result;
}

}  // namespace tarnwell
