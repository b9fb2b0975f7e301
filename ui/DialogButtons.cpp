#include "ui/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace tarnwell {

QHBoxLayout* MakeOkCancelRow(QDialog* dialog, Qt::Alignment side) {
  auto* ok = new QPushButton(QStringLiteral("确定"), dialog);
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("取消"), dialog);
  cancel->setObjectName(QStringLiteral("cancelButton"));
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);

  auto* row = new QHBoxLayout;
  if (side & Qt::AlignRight) row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  if (side & Qt::AlignLeft) row->addStretch();
  return row;
}

}  // namespace tarnwell
