#include "ui/CAboutDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/ProgramIcon.h"

namespace tarnwell {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QStringLiteral("关于 Tarnwell"));

  auto* icon = new QLabel;
  icon->setObjectName(QStringLiteral("aboutIcon"));
  icon->setPixmap(ProgramIcon().pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop);

  auto* lines = new QVBoxLayout;
  for (const QString& text : {QStringLiteral("Tarnwell,1.0.0版"), QStringLiteral("Tarnwell 开发组"),
                              QStringLiteral("详细的帮助信息见《Tarnwell 使用手册》：菜单“帮助 › 帮助文档”，或按 F1。")}) {
    auto* line = new QLabel(text);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lines->addWidget(line);
  }

  auto* ok = new QPushButton(QStringLiteral("确定"));
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* body = new QHBoxLayout;
  body->addWidget(icon);
  body->addLayout(lines, 1);
  body->addWidget(ok, 0, Qt::AlignTop);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tarnwell
