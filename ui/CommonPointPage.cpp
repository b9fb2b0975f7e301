#include "ui/CommonPointPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/FormRows.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

QPushButton* MakeButton(const QString& text, const QString& objectName) {
  auto* button = new QPushButton(text);
  button->setObjectName(objectName);
  return button;
}

}  // namespace

CommonPointPage::CommonPointPage(const QString& computeText, const QStringList& coordinateHeaders,
                                 const QStringList& residualHeaders, QWidget* parent)
    : QWidget(parent) {
  table_ = new CommonPointTable(coordinateHeaders, residualHeaders);
  connect(table_, &CommonPointTable::participationChanged, this,
          [this](std::size_t point, bool participates) { SetParticipates(point, participates); });
  summary_ = new QLabel;
  summary_->setObjectName(QStringLiteral("fitSummary"));
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  QPushButton* import = MakeButton(QStringLiteral("导入文件"), QStringLiteral("importButton"));
  QPushButton* compute = MakeButton(computeText, QStringLiteral("computeButton"));
  QPushButton* clear = MakeButton(QStringLiteral("清空"), QStringLiteral("clearButton"));
  QPushButton* remove = MakeButton(QStringLiteral("删除"), QStringLiteral("deleteButton"));
  connect(import, &QPushButton::clicked, this, &CommonPointPage::OnImport);
  connect(compute, &QPushButton::clicked, this, &CommonPointPage::OnCompute);
  connect(clear, &QPushButton::clicked, this, &CommonPointPage::OnClear);
  connect(remove, &QPushButton::clicked, this, &CommonPointPage::OnDelete);

  buttons_ = new QVBoxLayout;
  for (QPushButton* button : {import, compute, remove, clear}) buttons_->addWidget(button);
  buttons_->addStretch();

  auto* pointColumn = new QVBoxLayout;
  pointColumn->addWidget(summary_);
  pointColumn->addWidget(table_, 1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(pointColumn, 4);
  layout->addLayout(buttons_, 1);
}

void CommonPointPage::AddOption(const QString& labelText, QWidget* control) {
  buttons_->insertWidget(1, control);
  buttons_->insertWidget(1, LabelFor(labelText, control));
}

void CommonPointPage::OnImport() {
  const QString path = chooseFile_(this);
  if (!path.isEmpty()) ImportFile(path);
}

void CommonPointPage::ImportFile(const QString& path) {
  if (!Import(ToStdPath(path))) return;
  ShowPoints();
  emit pointsImported();
}

void CommonPointPage::OnClear() {
  ClearPoints();
  ShowPoints();
}

void CommonPointPage::OnDelete() {
  const std::vector<std::size_t> selected = table_->SelectedPoints();
  if (selected.empty()) return;
  RemovePoints(selected);
  ShowPoints();
}

void CommonPointPage::ShowPoints() {
  table_->SetPoints(Rows());
  summary_->clear();
}

void CommonPointPage::ShowResult(const std::vector<CommonPointTable::Residuals>& residuals, const QString& summary) {
  table_->SetResiduals(residuals);
  summary_->setText(summary);
}

}  // namespace tarnwell
