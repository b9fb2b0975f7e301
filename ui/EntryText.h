// How a list shows an entry of a catalogue: "name — description", so that a
// bare key (krass, IAU76) says what it is.
#pragma once

#include <QString>

#include "tables/EllipsoidCatalogue.h"

namespace tarnwell {

// "name — description", or the bare name where there is no description.
QString EntryText(const QString& name, const QString& description);

// An ellipsoid as every ellipsoid list shows it.
QString EllipsoidEntryText(const EllipsoidRecord& record);

}  // namespace tarnwell
