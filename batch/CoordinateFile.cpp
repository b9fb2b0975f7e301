#include "batch/CoordinateFile.h"

#include <string_view>
#include <vector>

#include "batch/AtomicFileWriter.h"
#include "tables/TextLineReader.h"
#include "engine/CoordSettings.h"
#include "engine/Messages.h"
#include "engine/PointConversion.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

const char* const kFormatConflict = "文件格式与坐标类型冲突，请检查。";
const char* const kInputUnreadable = "坐标文件无法读取。";
const char* const kOutputNotCreated = "转换后的文件无法生成。";
const char* const kOutputIsInput = "输出文件与输入文件相同,请检查。";
const char* const kBadLine = "文件坐标格式不正确，请检查。";

constexpr std::uint64_t kProgressEveryLines = 4096;

// name,first,second,third CR LF
bool WriteRecord(AtomicFileWriter& output, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < 4; ++i) {
    if (i > 0 && !output.Append(",")) return false;
    if (!output.Append(fields[i])) return false;
  }
  return output.Append("\r\n");
}

void ReportProgress(const BatchOptions& options, const BatchResult& result,
                    const TextLineReader& input) {
  if (options.onProgress) {
    options.onProgress({result.linesWritten, input.BytesConsumed(), input.FileSize()});
  }
}

bool CancelRequested(const BatchOptions& options) {
  return options.cancel && options.cancel->load(std::memory_order_relaxed);
}

}  // namespace

bool CheckFileFormat() {
  const CoordSettings& settings = CoordSettings::instance();
  if (settings.fileFormat == "n,b,l,h") return settings.sourceType == "LB";
  if (settings.fileFormat == "n,x,y,h") return settings.sourceType == "Plan";
  return settings.sourceType == "Space";
}

std::string OutputPathFor(const std::string& inputPath) {
  return inputPath + "1";
}

BatchResult ConvertCoordinateFile(const std::string& inputPath, const BatchOptions& options) {
  BatchResult result;
  if (!CheckFileFormat()) {
    ShowMessage(kFormatConflict);
    return result;
  }
  if (inputPath.empty()) return result;

  TextLineReader input;
  if (!input.Open(inputPath)) {
    ShowMessage(kInputUnreadable);
    return result;
  }
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

  // The stop conditions. On any return before Commit the writer removes its
  // temporary file, and the output name keeps what it held.
  std::vector<std::string> fields;
  std::string_view line;
  while (input.NextLine(line)) {
    if (CancelRequested(options)) {
      result.outcome = BatchOutcome::Cancelled;
      return result;
    }
    SplitAtChar(line, ',', fields);
    if (fields.size() != 4) {
      ShowMessage(kBadLine);
      return result;
    }
    if (!ConvertRecord(fields[1], fields[2], fields[3])) return result;
    if (!WriteRecord(output, fields)) {
      ShowMessage(kOutputNotCreated);
      return result;
    }
    if (++result.linesWritten % kProgressEveryLines == 0) ReportProgress(options, result, input);
  }
  if (input.ReadFailed()) {
    ShowMessage(kInputUnreadable);
    return result;
  }
  if (!output.Commit()) {
    ShowMessage(kOutputNotCreated);
    return result;
  }
  result.outputPath = outputPath;
  ReportProgress(options, result, input);
  result.outcome = BatchOutcome::Converted;
  return result;
}

}  // namespace tarnwell
