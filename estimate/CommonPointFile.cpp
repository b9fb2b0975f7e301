#include "estimate/CommonPointFile.h"

#include <cstdint>

#include "engine/Messages.h"
#include "tables/NumberText.h"
#include "tables/TextLineReader.h"

namespace tarnwell {

bool ReadCommonPointFile(const std::string& path, const CommonPointLineReader& readLine) {
  TextLineReader file;
  if (file.Open(path)) {
    std::string_view line;
    for (std::uint64_t number = 1; file.NextLine(line); ++number) {
      if (TrimBlanks(line).empty()) continue;
      if (const std::string refusal = readLine(line); !refusal.empty()) {
        ShowMessage(MessageWithLine(refusal, number, line));
        return false;
      }
    }
  }
  if (!file.Opened() || file.ReadFailed()) {
    ShowMessage("坐标文件无法读取。");
    return false;
  }
  return true;
}

}  // namespace tarnwell
