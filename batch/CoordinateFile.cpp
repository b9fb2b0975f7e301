#include "batch/CoordinateFile.h"

#include <tbb/concurrent_queue.h>
#include <tbb/enumerable_thread_specific.h>
#include <tbb/global_control.h>
#include <tbb/info.h>
#include <tbb/parallel_pipeline.h>
#include <tbb/task_arena.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "batch/AtomicFileWriter.h"
#include "engine/ConversionPlan.h"
#include "engine/Messages.h"
#include "engine/PointConversion.h"
#include "tables/NumberText.h"
#include "tables/TableText.h"
#include "tables/TextLineReader.h"

namespace tarnwell {
namespace {

const char* const kFormatConflict = "文件格式与坐标类型冲突，请检查。";
const char* const kInputUnreadable = "坐标文件无法读取。";
const char* const kOutputNotCreated = "转换后的文件无法生成。";
const char* const kBadLine = "文件坐标格式不正确，请检查。";
const char* const kOutputIsInput = "输出文件与输入文件相同,请检查。";
const char* const kOutputReadOnly = "输出文件是只读的，未被替换: ";
const char* const kLinesSkipped = "已跳过坏行 ";
const char* const kSkippedReport = " 行，见报告: ";
const char* const kFactorsNeedPlan = "比例因子只用于有平面坐标 (Plan) 一侧的转换。";
// The headers of the grid factors' columns in CSV output.
constexpr std::string_view kFactorNames[] = {"子午线收敛角(度)", "比例因子k", "高程因子", "综合因子", "长度变形(mm/km)"};
constexpr std::string_view kReportHeader = "行号\t原因\t原文\r\n";

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
  std::string report;                 // the bad lines left out, as report lines
  std::uint64_t skippedLines = 0;

  // Empties the block for the next lines, keeping the storage of its strings.
  void Reuse() {
    lines.clear();
    converted.clear();
    convertedLines = 0;
    refusal.clear();
    report.clear();
    skippedLines = 0;
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

// How the lines of a file read: a fixed layout, or the columns of the user's
// own with a header above the points and comment lines among them.
struct LineLayout {
  // Per column, the value it holds (ValueIndexOf, read once here rather
  // than per line); empty for the fixed layout.
  std::vector<std::optional<int>> columns;
  std::array<std::size_t, 3> valueColumns{};  // where the three values stand
  std::optional<std::size_t> nameColumn;
  Separator separator = Separator::Comma;
  std::uint64_t headerLines = 0;  // a count given
  bool automaticHeader = false;   // the first line, when it is not a point
  // CSV output: commas, fields quoted where they must be, the header lines
  // replaced by one of CSV's own.
  bool csv = false;
  char outputSeparator = ',';

  bool Custom() const { return !columns.empty(); }
};

// The layout of the settings, once CheckFileFormat has passed them.
LineLayout LineLayoutOf(const CoordSettings& settings) {
  LineLayout layout;
  layout.csv = settings.outputLayout == OutputLayout::Csv;
  const FileLayout& chosen = settings.fileLayout;
  if (chosen.columns.empty()) return layout;
  const std::optional<std::vector<ColumnContent>> contents = ReadColumns(chosen.columns, settings.sourceType);
  for (const ColumnContent content : *contents) {
    const std::optional<int> value = ValueIndexOf(content);
    if (value) layout.valueColumns[static_cast<std::size_t>(*value)] = layout.columns.size();
    if (content == ColumnContent::Name) layout.nameColumn = layout.columns.size();
    layout.columns.push_back(value);
  }
  layout.separator = chosen.separator;
  if (!layout.csv) layout.outputSeparator = SeparatorChar(chosen.separator);
  layout.automaticHeader = chosen.headerLines == kAutomaticHeader;
  layout.headerLines = layout.automaticHeader ? 0 : static_cast<std::uint64_t>(chosen.headerLines);
  return layout;
}

// A header or comment line goes to the output as it stands.
void CopyLine(std::string_view line, std::string& converted) {
  converted += line;
  converted += "\r\n";
}

// A field passed through: as it stands, or as a CSV field.
void AppendPassedField(const LineLayout& layout, std::string_view field, std::string& converted) {
  if (layout.csv) AppendCsvField(field, converted);
  else converted += field;
}

// The one header line of CSV output: the columns in their order, the values
// named as the target has them, then the grid factors.
std::string CsvHeader(const CoordSettings& settings, bool factors) {
  std::string header;
  const auto add = [&header](std::string_view name) {
    if (!header.empty()) header += ',';
    header += name;
  };
  if (settings.fileLayout.columns.empty()) {
    add("点名");
    for (const std::string_view name : ValueNames(settings.targetType, settings.targetHeight)) add(name);
  } else {
    for (const std::string& word : SplitAtChar(settings.fileLayout.columns, ','))
      add(ColumnWordName(word, settings.sourceType, settings.targetType, settings.targetHeight));
  }
  if (factors) {
    for (const std::string_view name : kFactorNames) add(name);
  }
  return header + "\r\n";
}

// What converts the lines of a file: the conversion plan and, when the grid
// factors are asked for, the plan to the points on the Plan side. One for
// each thread.
struct FilePlans {
  ConversionPlan conversion;
  std::optional<PlanSideFactors> factors;
};

// Converts the three value texts, with the grid factors when they are asked
// for; false, with the reason, for a bad line.
bool ConvertValues(const FilePlans& plans, std::string_view first, std::string_view second, std::string_view third,
                   TargetPoint& target, GridFactors& factors, std::string& reason) {
  Refusal refusal = plans.conversion.Convert(first, second, third, target);
  if (!refusal && plans.factors) refusal = plans.factors->At(first, second, third, factors);
  if (!refusal) return true;
  reason = MessageText(refusal);
  return false;
}

// The extra columns of the grid factors, when they are asked for: γ
// (degrees), k, the elevation factor, the combined factor, mm per km.
void AppendFactors(const FilePlans& plans, const GridFactors& factors, char separator, std::string& converted) {
  if (!plans.factors) return;
  for (const double value : {factors.convergenceDegrees, factors.pointScale, factors.elevationFactor,
                             factors.combinedFactor, factors.distortionMmPerKm}) {
    converted += separator;
    AppendShortestNumber(value, converted);
  }
}

// Appends the converted line to `converted`; false, with the reason, for a
// bad line.
bool ConvertLine(const FilePlans& plans, const LineLayout& layout, std::string_view line, std::string& converted,
                 std::string& reason) {
  std::array<std::string_view, 4> fields;  // name and the three values
  if (!SplitExactly(line, ',', fields)) {
    reason = kBadLine;
    return false;
  }
  TargetPoint target;
  GridFactors factors;
  if (!ConvertValues(plans, fields[1], fields[2], fields[3], target, factors, reason)) return false;
  AppendPassedField(layout, fields[0], converted);
  converted += ',';
  plans.conversion.AppendTexts(target, ',', converted);
  AppendFactors(plans, factors, ',', converted);
  converted += "\r\n";
  return true;
}

// The same for a layout of the user's own: the values are replaced in their
// columns, every other column is passed through.
bool ConvertColumns(const FilePlans& plans, const LineLayout& layout, std::string_view line,
                    std::vector<std::string_view>& fields, std::string& converted, std::string& reason) {
  SplitFields(line, layout.separator, fields);
  if (fields.size() != layout.columns.size()) {
    reason = kBadLine;
    return false;
  }
  const std::array<std::size_t, 3>& at = layout.valueColumns;
  TargetPoint target;
  GridFactors factors;
  if (!ConvertValues(plans, fields[at[0]], fields[at[1]], fields[at[2]], target, factors, reason)) return false;
  const char separator = layout.outputSeparator;
  for (std::size_t column = 0; column < fields.size(); ++column) {
    if (column > 0) converted += separator;
    if (const std::optional<int> value = layout.columns[column]) {
      plans.conversion.AppendValueText(target, *value, converted);
    } else {
      AppendPassedField(layout, fields[column], converted);
    }
  }
  AppendFactors(plans, factors, separator, converted);
  converted += "\r\n";
  return true;
}

// One line of the report; a reason of two lines (the message and why) is
// joined into one, so each bad line keeps one line of the report.
void AppendReportLine(std::uint64_t lineNumber, std::string_view reason, std::string_view line, std::string& report) {
  report += std::to_string(lineNumber);
  report += '\t';
  for (const char c : reason) {
    if (c == '\n') report += "; ";
    else report += c;
  }
  report += '\t';
  report += line;
  report += "\r\n";
}

// The conversion of one block: a bad line stops it, or goes to its report.
void ConvertBlock(const FilePlans& plans, const LineLayout& layout, BadLines badLines, LineBlock& block) {
  std::string_view rest = block.lines;
  std::string reason;
  std::vector<std::string_view> fields;
  for (std::uint64_t number = block.firstLineNumber; !rest.empty(); ++number) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    const bool header = layout.Custom() && number <= layout.headerLines;
    if (header || (layout.Custom() && line.starts_with('#'))) {
      if (!(header && layout.csv)) CopyLine(line, block.converted);
      continue;
    }
    const bool converted = layout.Custom() ? ConvertColumns(plans, layout, line, fields, block.converted, reason)
                                           : ConvertLine(plans, layout, line, block.converted, reason);
    if (converted) {
      ++block.convertedLines;
    } else if (number == 1 && layout.automaticHeader) {
      if (!layout.csv) CopyLine(line, block.converted);
    } else if (badLines == BadLines::Stop) {
      block.refusal = MessageWithLine(reason, number, line);
      return;
    } else {
      AppendReportLine(number, reason, line, block.report);
      ++block.skippedLines;
    }
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

// Where the converted lines and the report of the bad lines go; no report
// when a bad line stops the conversion.
struct FileWriters {
  AtomicFileWriter output;
  std::optional<AtomicFileWriter> report;
};

// Runs the three stages over the whole input: read in order, convert in
// parallel, write in order. Returns the outcome and counts the lines in
// `result`; a refused line is shown once, by the writer, for the first block
// (in input order) that has one.
BatchOutcome RunPipeline(const FilePlans& plans, const LineLayout& layout, TextLineReader& input,
                         FileWriters& writers, const BatchOptions& options, BatchResult& result) {
  const int threads = ThreadCount(options);
  tbb::enumerable_thread_specific<FilePlans> threadPlans([&plans] { return plans; });
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
  const auto convert = [&threadPlans, &layout, &options](LineBlock* block) {
    ConvertBlock(threadPlans.local(), layout, options.badLines, *block);
    return block;
  };
  const auto writeBlock = [&](const LineBlock& block) {
    if (stopRequested) return;
    if (cancelled()) {
      outcome = BatchOutcome::Cancelled;
      stopRequested = true;
      return;
    }
    result.linesWritten += block.convertedLines;  // before a refused line, too
    result.linesSkipped += block.skippedLines;
    const bool written = writers.output.Append(block.converted) && (!writers.report || writers.report->Append(block.report));
    if (!block.refusal.empty() || !written) {
      ShowMessage(block.refusal.empty() ? std::string(kOutputNotCreated) : block.refusal);
      outcome = BatchOutcome::Stopped;
      stopRequested = true;
      return;
    }
    if (options.onProgress) options.onProgress({result.linesWritten, block.bytesConsumed, input.FileSize()});
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

// Opens a writer for an output path, which must not lead to the input nor
// be read-only; false, with the message shown, otherwise.
bool OpenOutput(const std::string& inputPath, const std::string& path, AtomicFileWriter& writer) {
  // A link at the output name may lead back to the input.
  if (IsSameFile(inputPath, path)) {
    ShowMessage(kOutputIsInput);
    return false;
  }
  if (IsReadOnlyFile(path)) {
    ShowMessage(kOutputReadOnly + path);
    return false;
  }
  if (!writer.Open(path)) {
    ShowMessage(kOutputNotCreated);
    return false;
  }
  return true;
}

// The plans for a file; nullopt, with the message shown, when there are
// none. A file whose two sides are one system in one format would only be
// copied: that is no conversion, unless the options ask for the copy. Grid
// factors need a Plan side.
std::optional<FilePlans> MakeFilePlans(const CoordSettings& settings, const BatchOptions& options) {
  const bool withFactors = options.factors;
  if (withFactors && !HasPlanSide(settings)) {
    ShowMessage(kFactorsNeedPlan);
    return std::nullopt;
  }
  std::optional<ConversionPlan> plan;
  std::optional<PlanSideFactors> factors;
  Refusal refusal = ConversionPlan::FromSettings(settings, plan);
  if (!refusal && plan->SameSystem() && !options.copySameSystem) refusal.reason = RefusalReason::SameSystem;
  if (!refusal && withFactors) refusal = PlanSideFactors::Make(settings, factors);
  if (!refusal) return FilePlans{std::move(*plan), std::move(factors)};
  ShowMessage(MessageText(refusal));
  return std::nullopt;
}

}  // namespace

bool CheckFileFormat(const CoordSettings& settings) {
  if (!settings.fileLayout.columns.empty()) return ReadColumns(settings.fileLayout.columns, settings.sourceType).has_value();
  switch (settings.fileFormat) {
    case FileFormat::NameBLh: return settings.sourceType == CoordinateType::LB;
    case FileFormat::NameXYh: return settings.sourceType == CoordinateType::Plan;
    case FileFormat::NameXYZ: return settings.sourceType == CoordinateType::Space;
  }
  return false;
}

bool ApplyLayoutPreset(std::string_view name, CoordSettings& settings) {
  if (name == "cass") {
    settings.fileLayout = {"name,code,y,x,h", Separator::Comma, 0};
    return true;
  }
  if (!ReadKeyword<FileFormat>(kFileFormats, name, settings.fileFormat)) return false;
  settings.fileLayout = {};
  return true;
}

std::string OutputPathFor(const std::string& inputPath, const std::string& chosenPath, OutputLayout layout) {
  const std::filesystem::path input(inputPath);
  const bool csv = layout == OutputLayout::Csv;
  if (chosenPath.empty()) {
    if (!csv) return inputPath + "1";
    return input.parent_path() / input.stem().concat("1.csv");
  }
  std::error_code error;
  if (!std::filesystem::is_directory(chosenPath, error)) return chosenPath;
  return std::filesystem::path(chosenPath) / (csv ? input.stem().concat(".csv") : input.filename());
}

std::vector<std::string> CoordinateFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::string extension = entry.path().extension();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string name = entry.path().filename();
    std::error_code notFile;
    if (name.starts_with('.') || !entry.is_regular_file(notFile)) continue;
    if (extension == ".csv" || extension == ".txt" || extension == ".dat") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  // What the others are converted into by default, with their reports.
  const auto madeFromAnother = [&names](const std::string& name) {
    return std::any_of(names.begin(), names.end(), [&name](const std::string& other) {
      return other != name && (name.starts_with(OutputPathFor(other)) ||
                               name.starts_with(OutputPathFor(other, {}, OutputLayout::Csv)));
    });
  };
  std::vector<std::string> files;
  for (const std::string& name : names) {
    if (!madeFromAnother(name)) files.push_back((std::filesystem::path(folder) / name).string());
  }
  return files;
}

std::string BadLineReportPathFor(const std::string& outputPath) {
  return outputPath + ".bad.txt";
}

namespace {

// A line of a layout of the user's own, read into `row` as the conversion
// reads it.
void ReadColumnsLine(const LineLayout& layout, const CoordinateSystem& source, std::string_view line,
                     std::vector<std::string_view>& fields, PreviewRow& row) {
  if (row.lineNumber > layout.headerLines && line.starts_with('#')) {
    row.role = LineRole::Comment;
    row.fields = {std::string(line)};
    return;
  }
  SplitFields(line, layout.separator, fields);
  row.fields.assign(fields.begin(), fields.end());
  if (row.lineNumber <= layout.headerLines) {
    row.role = LineRole::Header;
    return;
  }
  const std::array<std::size_t, 3>& at = layout.valueColumns;
  if (fields.size() != layout.columns.size()) {
    row.refusal = kBadLine;
  } else {
    if (layout.nameColumn) row.name = fields[*layout.nameColumn];
    if (!ReadPointValues(source, fields[at[0]], fields[at[1]], fields[at[2]], row.values))
      row.refusal = MessageText({RefusalReason::Format, {}});
  }
  if (!row.refusal.empty() && row.lineNumber == 1 && layout.automaticHeader) {
    row.role = LineRole::Header;
    row.refusal.clear();
  }
}

// A line of a fixed layout, read into `row`.
void ReadFixedLine(const CoordinateSystem& source, std::string_view line, PreviewRow& row) {
  std::array<std::string_view, 4> fields;
  if (!SplitExactly(line, ',', fields)) {
    row.refusal = kBadLine;
    return;
  }
  row.fields.assign(fields.begin(), fields.end());
  row.name = fields[0];
  if (!ReadPointValues(source, fields[1], fields[2], fields[3], row.values))
    row.refusal = MessageText({RefusalReason::Format, {}});
}

// Reads every line of the file as the conversion will, handing each to
// `visit` until it returns false. Shows no message; false when the file
// cannot be read. Columns that do not fit the source type refuse every line.
bool VisitFileLines(const CoordSettings& settings, const std::string& path,
                    const std::function<bool(const PreviewRow&)>& visit) {
  // A pipe or a device is read by the conversion alone: a look would take its lines.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  TextLineReader input;
  if (!input.Open(path)) return false;
  const bool conflict = !settings.fileLayout.columns.empty() && !CheckFileFormat(settings);
  const LineLayout layout = conflict ? LineLayout{} : LineLayoutOf(settings);
  const CoordinateSystem source = SourceSystem(settings);
  std::vector<std::string_view> fields;
  std::string_view line;
  for (std::uint64_t lineNumber = 1; input.NextLine(line); ++lineNumber) {
    PreviewRow row;
    row.lineNumber = lineNumber;
    if (conflict) row.refusal = kFormatConflict;
    else if (layout.Custom()) ReadColumnsLine(layout, source, line, fields, row);
    else ReadFixedLine(source, line, row);
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
  const std::optional<FilePlans> plans = MakeFilePlans(settings, options);
  if (!plans) return result;
  const std::string outputPath = OutputPathFor(inputPath, options.output, settings.outputLayout);
  const std::string reportPath = BadLineReportPathFor(outputPath);
  FileWriters writers;
  if (options.badLines == BadLines::Report) {
    if (!OpenOutput(inputPath, reportPath, writers.report.emplace())) return result;
    writers.report->Append(kReportHeader);
  }
  if (!OpenOutput(inputPath, outputPath, writers.output)) return result;
  if (settings.outputLayout == OutputLayout::Csv) writers.output.Append(CsvHeader(settings, options.factors));
  // On any return before Commit the writers remove their temporary files,
  // and the output names keep what they held.
  result.outcome = RunPipeline(*plans, LineLayoutOf(settings), input, writers, options, result);
  if (result.outcome != BatchOutcome::Converted) return result;
  if (input.ReadFailed()) {
    ShowMessage(kInputUnreadable);
    result.outcome = BatchOutcome::Stopped;
    return result;
  }
  // A report only of lines this run left out, committed after the output.
  const bool reported = result.linesSkipped > 0;
  if (!writers.output.Commit() || (reported && !writers.report->Commit())) {
    ShowMessage(kOutputNotCreated);
    result.outcome = BatchOutcome::Stopped;
    return result;
  }
  if (reported) {
    result.reportPath = reportPath;
    ShowMessage(kLinesSkipped + std::to_string(result.linesSkipped) + kSkippedReport + reportPath);
  }
  result.outputPath = outputPath;
  return result;
}

}  // namespace tarnwell
