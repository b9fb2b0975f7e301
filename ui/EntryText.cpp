#include "ui/EntryText.h"

#include "ui/QtText.h"

namespace tarnwell {

QString EntryText(const QString& name, const QString& description) {
  if (description.isEmpty()) return name;
  return name + QStringLiteral(" — ") + description;
}

QString EllipsoidEntryText(const EllipsoidRecord& record) {
  return EntryText(ToQt(record.name), ToQt(record.description));
}

}  // namespace tarnwell
