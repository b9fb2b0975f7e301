#include "ui/CDlgTParas.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "estimate/ThreeParameters.h"
#include "tables/EllipsoidCatalogue.h"
#include "ui/CDlgDatumTrans.h"
#include "ui/FormRows.h"
#include "ui/QtText.h"
#include "ui/UserEllipsoidTable.h"

namespace tarnwell {
CDlgTParas::CDlgTParas(CDlgDatumTrans* datumDialog, QWidget* parent) : QWidget(parent), datumDialog_(datumDialog) {
  setObjectName(QStringLiteral("threeParameterPage"));
  auto* compute = new QPushButton(QStringLiteral("计算三参数"));
  compute->setObjectName(QStringLiteral("computeButton"));
  connect(compute, &QPushButton::clicked, this, &CDlgTParas::OnCompute);

  auto* buttons = new QVBoxLayout;
  buttons->addStretch();
  buttons->addWidget(compute);
  buttons->addStretch();

  auto* layout = new QHBoxLayout(this);
  const std::array<QString, 3> labels = {QStringLiteral("B="), QStringLiteral("L="), QStringLiteral("h=")};
  layout->addWidget(MakeValueGroup(QStringLiteral("输入源坐标"), labels,
                                   {QStringLiteral("sourceB"), QStringLiteral("sourceL"), QStringLiteral("sourceH")},
                                   sourceValues_),
                    1);
  layout->addWidget(MakeValueGroup(QStringLiteral("输入目的坐标"), labels,
                                   {QStringLiteral("targetB"), QStringLiteral("targetL"), QStringLiteral("targetH")},
                                   targetValues_),
                    1);
  layout->addLayout(buttons);

  LoadEllipsoids();
}

void CDlgTParas::OnCompute() {
  // The boxes keep what the user typed; the computation works on copies.
  const std::optional<SevenParams> shift = ComputeThreeParameters(
      CoordSettings::instance(), ToStd(sourceValues_[0]->text()), ToStd(sourceValues_[1]->text()),
      ToStd(sourceValues_[2]->text()), ToStd(targetValues_[0]->text()), ToStd(targetValues_[1]->text()),
      ToStd(targetValues_[2]->text()));
  if (!shift) return;
  // The three translations of the same model, for source → target.
  datumDialog_->Propose(DatumForCurrentPair(*shift, RotationConvention::CoordinateFrame));
}

}  // namespace tarnwell
