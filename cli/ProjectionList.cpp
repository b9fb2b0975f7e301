#include "cli/ProjectionList.h"

#include <algorithm>

#include "tables/ListOrder.h"
#include "tables/ProjectionCatalogue.h"

namespace tarnwell::cli {

std::vector<const ProjectionParams*> SortedProjectionList() {
  std::vector<const ProjectionParams*> list;
  for (const ProjectionParams& entry : TheProjectionCatalogue()) list.push_back(&entry);
  std::stable_sort(list.begin(), list.end(), [](const ProjectionParams* left, const ProjectionParams* right) {
    return ListTextLess(ProjectionListText(*left), ProjectionListText(*right));
  });
  return list;
}

}  // namespace tarnwell::cli
