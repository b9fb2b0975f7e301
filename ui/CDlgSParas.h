// The seven-parameter page: common points name,B,L,h,B2,L2,h2 imported from
// files into the table; "计算七参数" estimates the Bursa-Wolf parameters by
// least squares from the ticked points, shows every point's residuals, stores
// the parameters in CoordSettings and opens the datum dialog.
#pragma once

#include <vector>

#include "estimate/SevenParameters.h"
#include "ui/CommonPointPage.h"

namespace tarnwell {

class CDlgDatumTrans;

class CDlgSParas : public CommonPointListPage<CommonPointLine> {
  Q_OBJECT

 public:
  // `datumDialog` is the main window's datum dialog, opened after a
  // computation.
  explicit CDlgSParas(CDlgDatumTrans* datumDialog, QWidget* parent = nullptr);

  void OnCompute() override;

  // The list is sorted by line text.

 protected:
  bool Import(const std::string& path) override;
  std::vector<CommonPointTable::Row> Rows() const override;

 private:
  CDlgDatumTrans* datumDialog_;
};

}  // namespace tarnwell
