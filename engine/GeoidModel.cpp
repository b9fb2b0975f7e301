#include "engine/GeoidModel.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <proj.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string_view>

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

}  // namespace

Refusal GeoidModel::Refused(RefusalReason reason) const { return {reason, "高程模型: " + name_}; }

Refusal GeoidModel::Open(const std::string& model, std::shared_ptr<const GeoidModel>& opened) {
  std::shared_ptr<GeoidModel> made(new GeoidModel);
  made->name_ = model;
  const Refusal unreadable = made->Refused(RefusalReason::GeoidUnreadable);
  if (model.empty()) return unreadable;

  const QuietGdal quiet;
  const std::unique_ptr<GDALDataset> dataset(
      GDALDataset::Open(ModelPath(model).c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
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
