#include "engine/GeoidModel.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <proj.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string_view>

#include "tables/NumberText.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

constexpr std::string_view kEgm96File = "egm96_15.gtx";
constexpr std::string_view kProjDataFallback = "/usr/share/proj";
// Longitude steps that fill 360° within this share of a step make a global grid.
constexpr double kGlobalTolerance = 1e-6;

// The folders PROJ looks for grids in, in its order: PROJ_DATA (or the
// older PROJ_LIB), PROJ's own search path, then Debian's folder.
std::vector<std::string> ProjDataFolders() {
  std::vector<std::string> folders;
  for (const char* variable : {"PROJ_DATA", "PROJ_LIB"}) {
    if (const char* value = std::getenv(variable); value && *value) {
      for (std::string& folder : SplitAtChar(value, ':')) folders.push_back(std::move(folder));
    }
  }
  if (const char* searchPath = proj_info().searchpath; searchPath && *searchPath) {
    for (std::string& folder : SplitAtChar(searchPath, ':')) folders.push_back(std::move(folder));
  }
  folders.emplace_back(kProjDataFallback);
  return folders;
}

// The file of a model: EGM96's in the first folder that holds it, else the
// path as given.
std::string ModelPath(const std::string& model) {
  if (model != kEgm96Name) return model;
  for (const std::string& folder : ProjDataFolders()) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::path(folder) / kEgm96File;
    if (!folder.empty() && std::filesystem::is_regular_file(path, error)) return path.string();
  }
  return std::string(kEgm96File);
}

// GDAL's own messages would go to stderr; its refusals are ours to word.
struct QuietGdal {
  QuietGdal() {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    CPLPushErrorHandler(CPLQuietErrorHandler);
  }
  ~QuietGdal() { CPLPopErrorHandler(); }
  QuietGdal(const QuietGdal&) = delete;
  QuietGdal& operator=(const QuietGdal&) = delete;
};

using Dataset = std::unique_ptr<GDALDataset>;

Dataset OpenDataset(const std::string& path) {
  return Dataset(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
}

// The extents an ISG header gives, by the keys the format names them with.
constexpr std::string_view kIsgExtents[] = {"lat min", "lat max", "lon min", "lon max"};

// A line of an ISG header: "key = value" (ISG 1.0 writes some with ':').
struct IsgHeaderLine {
  std::string_view line;  // as written, with its line end
  std::string key;        // lower case
  std::string_view value;
};

// The header's lines up to "end_of_head", where the nodes start
// (`headerEnd`); false when the file has no such end.
bool ReadIsgHeader(std::string_view text, std::vector<IsgHeaderLine>& header, std::size_t& headerEnd) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    IsgHeaderLine entry{text.substr(start, end - start), {}, {}};
    std::string_view line = entry.line;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    line = TrimBlanks(line);
    if (line == "end_of_head") {
      headerEnd = start;
      return true;
    }
    const std::size_t separator = line.find_first_of("=:");
    entry.key = TrimBlanks(line.substr(0, std::min(separator, line.size())));
    std::transform(entry.key.begin(), entry.key.end(), entry.key.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (separator != std::string_view::npos) entry.value = TrimBlanks(line.substr(separator + 1));
    header.push_back(std::move(entry));
    start = end;
  }
  return false;
}

// Whether `count` nodes from `first` to `last` by `step`: the last node on the extent.
bool NodeRegistered(double first, double last, double step, double count) {
  return step > 0 && count >= 2 && std::fabs((last - first) / step + 1 - count) < 1e-6 * count;
}

// The text of a node-registered ISG file as GDAL 3.6 reads it: the header's
// four extents widened by half a step, to the outer edges of the cells,
// every other line as it was. Empty when `text` is not such a file.
std::string CellRegisteredIsg(std::string_view text) {
  std::vector<IsgHeaderLine> header;
  std::size_t headerEnd = 0;
  if (!ReadIsgHeader(text, header, headerEnd)) return {};
  const auto value = [&header](std::string_view key) {
    double number = std::nan("");
    for (const IsgHeaderLine& entry : header) {
      if (entry.key == key && !ReadNumber(entry.value, number)) number = std::nan("");
    }
    return number;
  };
  const double latStep = value("delta lat"), lonStep = value("delta lon");
  const double extents[] = {value("lat min"), value("lat max"), value("lon min"), value("lon max")};
  if (!NodeRegistered(extents[0], extents[1], latStep, value("nrows")) ||
      !NodeRegistered(extents[2], extents[3], lonStep, value("ncols")))
    return {};
  const double widened[] = {-latStep / 2, latStep / 2, -lonStep / 2, lonStep / 2};
  std::string rewritten;
  for (const IsgHeaderLine& entry : header) {
    const auto* extent = std::find(std::begin(kIsgExtents), std::end(kIsgExtents), entry.key);
    if (extent == std::end(kIsgExtents)) {
      rewritten += entry.line;
      continue;
    }
    const std::size_t which = static_cast<std::size_t>(extent - std::begin(kIsgExtents));
    rewritten += entry.key + " = ";
    AppendShortestNumber(extents[which] + widened[which], rewritten);
    rewritten += '\n';
  }
  rewritten += text.substr(headerEnd);
  return rewritten;
}

bool HasIsgEnding(const std::string& path) {
  std::string ending = std::filesystem::path(path).extension().string();
  std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
  return ending == ".isg";
}

// A text as a file of GDAL's in-memory file system, removed with this.
class MemoryFile {
 public:
  explicit MemoryFile(const std::string& text) {
    static std::atomic<unsigned> made{0};
    name_ = "/vsimem/tarnwell-geoid-" + std::to_string(made++) + ".isg";
    auto* bytes = static_cast<GByte*>(CPLMalloc(text.size()));
    std::copy(text.begin(), text.end(), bytes);
    // GDAL owns the bytes from here and frees them on VSIUnlink.
    VSIFCloseL(VSIFileFromMemBuffer(name_.c_str(), bytes, text.size(), TRUE));
  }
  ~MemoryFile() { VSIUnlink(name_.c_str()); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  const std::string& name() const { return name_; }

 private:
  std::string name_;
};

// A node-registered ISG file as GDAL 3.6 reads it; nothing for another file.
std::unique_ptr<MemoryFile> CellRegisteredCopy(const std::string& path) {
  if (!HasIsgEnding(path)) return nullptr;
  std::ifstream file(path, std::ios::binary);
  const std::string rewritten =
      CellRegisteredIsg(std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
  if (rewritten.empty()) return nullptr;
  return std::make_unique<MemoryFile>(rewritten);
}

// Which file a model was read from, and as it was then.
struct ModelFile {
  std::string model;
  std::string path;  // resolved: absolute, links followed
  std::uintmax_t size = 0;
  std::filesystem::file_time_type modified;

  bool operator==(const ModelFile&) const = default;
};

// The file `model` names as it is now; false when it cannot be looked at.
bool CurrentModelFile(const std::string& model, ModelFile& file) {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::canonical(ModelPath(model), error);
  if (error) return false;
  file = {model, path.string(), std::filesystem::file_size(path, error), {}};
  if (error) return false;
  file.modified = std::filesystem::last_write_time(path, error);
  return !error;
}

// The models last opened, the latest at the back: enough for the models a
// user switches between, each a few megabytes at most.
constexpr std::size_t kKeptModels = 4;

struct ModelCache {
  std::mutex mutex;
  std::vector<std::pair<ModelFile, std::shared_ptr<const GeoidModel>>> models;
};

ModelCache& TheModelCache() {
  static ModelCache cache;
  return cache;
}

}  // namespace

Refusal GeoidModel::Refused(RefusalReason reason) const { return {reason, "高程模型: " + name_}; }

Refusal GeoidModel::Open(const std::string& model, std::shared_ptr<const GeoidModel>& opened) {
  ModelFile file;
  // What is no file of ours (a GDAL /vsi path, or nothing at all) is left
  // to GDAL, unkept.
  if (model.empty() || !CurrentModelFile(model, file)) return Read(model, ModelPath(model), opened);
  ModelCache& cache = TheModelCache();
  // Held while reading: two conversions starting at once read a model once.
  const std::lock_guard lock(cache.mutex);
  const auto kept = std::find_if(cache.models.begin(), cache.models.end(),
                                 [&file](const auto& entry) { return entry.first == file; });
  if (kept != cache.models.end()) {
    opened = kept->second;
    std::rotate(kept, kept + 1, cache.models.end());
    return {};
  }
  std::shared_ptr<const GeoidModel> read;
  if (Refusal refusal = Read(model, file.path, read)) return refusal;
  if (cache.models.size() == kKeptModels) cache.models.erase(cache.models.begin());
  cache.models.emplace_back(std::move(file), read);
  opened = std::move(read);
  return {};
}

Refusal GeoidModel::Read(const std::string& model, const std::string& path, std::shared_ptr<const GeoidModel>& opened) {
  std::shared_ptr<GeoidModel> made(new GeoidModel);
  made->name_ = model;
  const Refusal unreadable = made->Refused(RefusalReason::GeoidUnreadable);
  if (model.empty()) return unreadable;

  const QuietGdal quiet;
  std::unique_ptr<MemoryFile> isgCopy;  // outlives the dataset read from it
  Dataset dataset = OpenDataset(path);
  if (!dataset && (isgCopy = CellRegisteredCopy(path))) dataset = OpenDataset(isgCopy->name());
  if (!dataset || dataset->GetRasterCount() < 1) return unreadable;
  const OGRSpatialReference* crs = dataset->GetSpatialRef();
  if (crs && !crs->IsGeographic()) return unreadable;
  // Node centres: GDAL describes every grid by the outer edges of its cells.
  std::array<double, 6> transform;
  if (dataset->GetGeoTransform(transform.data()) != CE_None || transform[2] != 0 || transform[4] != 0) return unreadable;
  made->columns_ = dataset->GetRasterXSize();
  made->rows_ = dataset->GetRasterYSize();
  if (made->columns_ < 2 || made->rows_ < 2) return unreadable;
  made->longitudeStep_ = transform[1];
  made->latitudeStep_ = transform[5];
  made->firstLongitude_ = transform[0] + transform[1] / 2;
  made->firstLatitude_ = transform[3] + transform[5] / 2;
  made->global_ = std::fabs(made->columns_ * std::fabs(made->longitudeStep_) - 360) <
                  kGlobalTolerance * std::fabs(made->longitudeStep_);

  GDALRasterBand* band = dataset->GetRasterBand(1);
  made->nodes_.resize(static_cast<std::size_t>(made->rows_) * made->columns_);
  if (band->RasterIO(GF_Read, 0, 0, made->columns_, made->rows_, made->nodes_.data(), made->columns_, made->rows_,
                     GDT_Float64, 0, 0) != CE_None)
    return unreadable;
  int hasNoData = 0;
  const double noData = band->GetNoDataValue(&hasNoData);
  const double scale = band->GetScale(), offset = band->GetOffset();
  for (double& node : made->nodes_) {
    node = (hasNoData && node == noData) ? std::nan("") : node * scale + offset;
  }
  opened = std::move(made);
  return {};
}

Refusal GeoidModel::Undulation(double latitude, double longitude, double& undulation) const {
  const double row = (latitude - firstLatitude_) / latitudeStep_;
  double column = (longitude - firstLongitude_) / longitudeStep_;
  if (global_ && std::isfinite(column)) {
    column = std::fmod(column, columns_);
    if (column < 0) column += columns_;
  }
  const double lastColumn = global_ ? columns_ : columns_ - 1;
  if (!(row >= 0 && row <= rows_ - 1 && column >= 0 && column <= lastColumn))
    return Refused(RefusalReason::GeoidOutside);
  // The last node is the far corner of the last cell.
  const int row0 = std::min(static_cast<int>(row), rows_ - 2);
  const int column0 = std::min(static_cast<int>(column), static_cast<int>(lastColumn) - 1);
  const int column1 = (column0 + 1) % columns_;
  const double v = row - row0, u = column - column0;
  const double n00 = Node(row0, column0), n01 = Node(row0, column1);
  const double n10 = Node(row0 + 1, column0), n11 = Node(row0 + 1, column1);
  const double value = (1 - v) * ((1 - u) * n00 + u * n01) + v * ((1 - u) * n10 + u * n11);
  if (std::isnan(value)) return Refused(RefusalReason::GeoidNoValue);
  undulation = value;
  return {};
}

}  // namespace tarnwell
