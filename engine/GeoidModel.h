// A geoid or quasi-geoid model: the height of the geoid (or the height
// anomaly of the quasi-geoid) N above the ellipsoid, in metres, on a grid of
// geodetic latitude and longitude, so that a normal height is H = h − N.
//
// The grid is read with GDAL's raster drivers (GTX, GeoTIFF, ISG, ESRI ASCII
// grid and whatever else GDAL reads), whole into memory, once; a model is
// then only read, so one model serves any number of threads. Between the
// four nodes of a cell N is interpolated bilinearly, as PROJ's vgridshift
// does. A grid that spans the whole globe wraps in longitude; any other
// grid refuses a point outside its nodes, and a cell with a node without a
// value (GDAL's no-data value or NaN) is refused: N is never extrapolated
// or taken as 0.
//
// ISG files are node-registered: "lat min" and "lat max" are the first and
// the last row of nodes, so nrows = (lat max − lat min) / delta lat + 1, and
// the same for longitude. GDAL 3.6 reads only files whose extents are the
// outer edges of cells; it is handed such a file in its place, the extents
// widened by half a step, and reads the same nodes from it.
//
// Models are kept once opened: opening one again while its file is
// unchanged (the same size and modification time) gives the same model.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/Refusal.h"

namespace tarnwell {

// The name of the one model known by name: EGM96 on a 15' grid, from
// proj-data (egm96_15.gtx in PROJ's data folder).
inline constexpr std::string_view kEgm96Name = "egm96";

class GeoidModel {
 public:
  // The model `model` names: kEgm96Name, or the path of a grid file.
  // Refused, naming the model, when the file is not found or GDAL cannot
  // read it as a grid of latitude and longitude. A model opened before from
  // the same unchanged file is shared, not read again.
  static Refusal Open(const std::string& model, std::shared_ptr<const GeoidModel>& opened);

  // N (metres) at latitude and longitude in decimal degrees; refused,
  // naming the model, outside the grid or in a cell without a value.
  Refusal Undulation(double latitude, double longitude, double& undulation) const;

  const std::string& name() const { return name_; }

 private:
  GeoidModel() = default;
  // Reads the grid of the file at `path` (GDAL's name for it).
  static Refusal Read(const std::string& model, const std::string& path, std::shared_ptr<const GeoidModel>& opened);
  Refusal Refused(RefusalReason reason) const;
  double Node(int row, int column) const { return nodes_[static_cast<std::size_t>(row) * columns_ + column]; }

  std::string name_;  // as the user gave it
  // Node (0, 0) lies at (firstLatitude_, firstLongitude_); rows step by
  // latitudeStep_ (negative for a grid stored north first), columns by
  // longitudeStep_; degrees.
  double firstLatitude_ = 0, firstLongitude_ = 0, latitudeStep_ = 1, longitudeStep_ = 1;
  int rows_ = 0, columns_ = 0;
  bool global_ = false;  // the columns go round the globe: the last cell closes on the first column
  std::vector<double> nodes_;  // metres, row by row; NaN where the grid has no value
};

}  // namespace tarnwell
